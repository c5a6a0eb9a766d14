// End to end: the headless game's sync and version check, through the real network component, against the real
// score server. What the game's online table shows must be what the server holds.
#include "../ServerTestSupport.h"
#include "GameFixture.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "frontend/HighScores.h"
#include "frontend/MainMenu.h"
#include "frontend/Network.h"
#include "platform/Text.h"

using namespace ServerTests;

namespace {
class GameSyncTest : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        Database = Folder.Path() + "/scores.sqlite";
        Server = std::make_unique<ServerProcess>(Database, Folder.Path() + "/server.log",
                                                 std::initializer_list<std::string>{"--game-version", "1.3"});
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
        PlayerName = name;
        Level = level;
        Score = score;
        SyncScores();
    }
    std::vector<ScoreServer::ScoreEntry> ServerBoard() {
        return ScoreServer::OpenScoreStore(Database)->TopScores("", 10);
    }

    TempFolder Folder;
    std::string Database;
    std::unique_ptr<ServerProcess> Server;
};

TEST_F(GameSyncTest, TheSyncFillsTheRowsTheServerHolds) {
    PlayAndSync("Ace Pilot", 3, 5130);
    PlayAndSync("ROOKIE", 1, 250);
    PlayAndSync("Ace Pilot", 2, 4020);
    PlayAndSync("cheat", 1, 15); // no game pays 15 points: the server refuses it, the sync still reads the board

    auto board = ServerBoard();
    ASSERT_EQ(board.size(), 3u) << Server->Log();
    EXPECT_EQ(board[0].Name, "ace pilot");
    EXPECT_EQ(board[2].Name, "rookie");
    for (std::size_t row = 0; row < board.size(); ++row) {
        EXPECT_EQ(OnlineNames[row], board[row].Name) << row;
        EXPECT_EQ(OnlineLevels[row], std::to_string(board[row].Level)) << row;
        EXPECT_EQ(OnlineScores[row], std::to_string(board[row].Score)) << row;
        EXPECT_EQ(OnlineDates[row], CurrentDate()) << row;
    }
    EXPECT_EQ(OnlineNames[3], "..........");
    EXPECT_EQ(OnlineScores[3], "-");

    CheckVersion();
    EXPECT_EQ(VersionNotice, "  new version (v1.3) is available");
}
} // namespace
