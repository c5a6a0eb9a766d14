// End to end: the headless game's sync and version check, through the real network component, against the real
// score server and its replay checker. What the game's online table shows must be what the server holds.
#include "../ServerTestSupport.h"
#include "GameFixture.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "fortress/World.h"
#include "frontend/HighScores.h"
#include "frontend/MainMenu.h"
#include "frontend/Network.h"
#include "platform/Text.h"
#include "server/CanonicalScript.h"
#include "server/GameArchive.h"
#include <fstream>

using namespace ServerTests;

namespace {
// The upload's wait within the component's 10 seconds: a sync whose check outlasts it is answered "accepted".
constexpr const char* ComponentWait = "8";

class GameSyncTest : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        Database = Folder.Path() + "/scores.sqlite";
        Server = std::make_unique<ServerProcess>(
            Database, Folder.Path() + "/server.log",
            std::initializer_list<std::string>{"--game-version", "1.4", "--verify-wait", ComponentWait});
        ASSERT_GT(Server->Port(), 0) << Server->Log();
        ASSERT_TRUE(Network::BindNetworkComponent());
        Network::SetServer("http://127.0.0.1:" + std::to_string(Server->Port()) + "/");
        Network::SetKey(Network::NetworkKey());
    }
    void TearDown() override {
        Network::Cancel();
        GameFixture::TearDown();
    }
    void PlayAndSync(const std::string& name, int level, int score) {
        TheSettings.PlayerName = name;
        Fight.Level = level;
        Fight.Score = score;
        TurnScreen(OpenSync(Fight));
    }
    std::vector<ScoreServer::ScoreEntry> ServerBoard() {
        return ScoreServer::OpenScoreStore(Database)->TopScores("", 10);
    }

    TempFolder Folder;
    std::string Database;
    std::unique_ptr<ServerProcess> Server;
};

TEST_F(GameSyncTest, TheSyncShowsTheVerifiedBoardAndAClaimWithoutItsGameChangesNothing) {
    // Games seeded by the server's tickets, uploaded as the component POSTs them: the script as the body.
    const TestGame first = Ticketed(Database, FirstGame(), NowSeconds() - 600);
    const TestGame cut = Ticketed(Database, CutGames(1)[0], NowSeconds() - 600);
    for (auto [name, game] : {std::pair{"%3F%40%3AAce", &first}, std::pair{"rookie", &cut}}) {
        std::string reply =
            HttpPost(Server->Port(),
                     "/Kestrovar_scores.php?" + UploadQuery(name, game->Level, game->Score, game->Script), game->Script)
                .Body;
        ASSERT_TRUE(reply == "ok\n" || reply == "accepted\n") << name << ": " << reply;
    }
    ASSERT_TRUE(Eventually([&] { return ServerBoard().size() == 2; })) << Server->Log();

    // A score the game claims with no game behind it (a sync without a kept game to send) never reaches the
    // board; the sync still reads the top ten the server holds.
    PlayAndSync("cheat", 3, 99'999'990);

    auto board = ServerBoard();
    ASSERT_EQ(board.size(), 2u) << Server->Log();
    EXPECT_EQ(board[0].Name, "?@:ace");
    EXPECT_EQ(board[1].Name, "rookie");
    for (std::size_t row = 0; row < board.size(); ++row) {
        EXPECT_EQ(TheSettings.OnlineNames[row], board[row].Name) << row;
        EXPECT_EQ(TheSettings.OnlineLevels[row], std::to_string(board[row].Level)) << row;
        EXPECT_EQ(TheSettings.OnlineScores[row], std::to_string(board[row].Score)) << row;
        EXPECT_EQ(TheSettings.OnlineDates[row], "08 Dec 2026") << row;
    }
    EXPECT_EQ(TheSettings.OnlineNames[2], "..........");
    EXPECT_EQ(TheSettings.OnlineScores[2], "-");

    TurnScreen(OpenVersionCheck(Fight));
    EXPECT_EQ(VersionNotice, "  new version (v1.4) is available");
}

TEST_F(GameSyncTest, ASyncUploadsTheKeptGameAndShowsItsScoreAndTheSameGameIsOneRow) {
    // The first game kept as the player's last game beside the settings file, its header naming what it scored,
    // played with a ticket of the server's; the board keeps it without the ticket line.
    const TestGame game = Ticketed(Database, FirstGame(), NowSeconds() - 600);
    const std::string header =
        "; score=" + std::to_string(game.Score) + " level=" + std::to_string(game.Level) + " ending=game-over\n";
    const std::string kept = header + game.Script, stored = header + FirstGame().Script;
    std::ofstream(LastGamePath()) << kept;
    for (int sync = 0; sync < 3; ++sync) {
        PlayAndSync("kept", static_cast<int>(game.Level), static_cast<int>(game.Score));
        if (sync == 0) {
            // The upload is answered before the read behind it: the table shows the game the sync has just sent,
            // unless a busy machine kept its check past the upload's wait ("accepted", the server's log says).
            std::string shown = TheSettings.OnlineNames[0];
            ASSERT_TRUE(Eventually([&] { return ServerBoard().size() == 1; })) << Server->Log();
            if (Server->Log().find(" POST /Kestrovar_scores.php 202 ") == std::string::npos) {
                EXPECT_EQ(shown, "kept") << Server->Log();
            }
            continue;
        }
        // Known to the board: answered at once, and the table shows it.
        EXPECT_EQ(TheSettings.OnlineNames[0], "kept") << sync << "\n" << Server->Log();
        EXPECT_EQ(TheSettings.OnlineLevels[0], std::to_string(game.Level)) << sync;
        EXPECT_EQ(TheSettings.OnlineScores[0], std::to_string(game.Score)) << sync;
        EXPECT_EQ(TheSettings.OnlineNames[1], "..........") << sync;
    }
    auto board = ServerBoard();
    ASSERT_EQ(board.size(), 1u);
    EXPECT_EQ(board[0].Name, "kept");
    EXPECT_EQ(board[0].Score, game.Score);
    EXPECT_EQ(ScoreServer::OpenScoreStore(Database)->GameScript(ScoreServer::GameId(stored)),
              ScoreServer::CanonicalScript(stored));
}
} // namespace
