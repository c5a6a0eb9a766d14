// The sync, the version check and the high-score screen through the real component (and one released before
// uploads carried their game), against a score server inside the test process.
#include "frontend/HighScores.h"
#include "NeonFixture.h"
#include "TestScoreServer.h"
#include "core/GameState.h"
#include "frontend/KeptGames.h"
#include "frontend/MainMenu.h"
#include "frontend/Network.h"
#include "game/Pages.h"
#include "game/replay/ReplayScript.h"
#include "platform/Display.h"
#include "platform/Text.h"
#include <algorithm>
#include <fstream>
#include <sstream>

namespace {
constexpr int KeyReturnCode = 13;
constexpr int KeyEscapeCode = 27;

bool Shown(const std::string& text) {
    const std::deque<std::string>& texts = RecentTexts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// A centred text is drawn padded with spaces.
bool ShownCentred(const std::string& text) {
    const std::deque<std::string>& texts = RecentTexts();
    return std::any_of(texts.begin(), texts.end(),
                       [&](const std::string& shown) { return shown.find(text) != std::string::npos; });
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void MarkRows() {
    for (int row = 0; row < OnlineRows; ++row) {
        OnlineNames[row] = "name" + IntToText(row);
        OnlineLevels[row] = IntToText(row);
        OnlineScores[row] = IntToText(100 + row);
        OnlineDates[row] = "date" + IntToText(row);
    }
}

const char* const ThreeEntries = "MaxAbc\n7\n5000\nignored\n01 Dec 2026\n"
                                 "de\n1234\n400\nignored\n02 Dec 2026\n"
                                 "f\n12\n0\nignored\n03 Dec 2026\n";
} // namespace

class HighScoresTest : public NeonFixture {
  protected:
    void SetUp() override {
        NeonFixture::SetUp();
        ASSERT_TRUE(Network::BindNetworkComponent());
        Network::Cancel();
        Network::SetServer(Server.BaseUrl());
        Network::SetKey(Network::NetworkKey());
        Server.Answer("Kestrovar_scores.php", ThreeEntries);
    }
    void TearDown() override {
        Network::Cancel();
        NeonFixture::TearDown();
    }
    std::vector<TestScoreServer::Seen> Requests(const char* option) const {
        std::vector<TestScoreServer::Seen> found;
        for (const auto& request : Server.SeenRequests())
            if (request.Params.count("option") && request.Params.find("option")->second == option)
                found.push_back(request);
        return found;
    }
    TestScoreServer Server;
};

TEST_F(HighScoresTest, SyncUploadsTheScoreWithTheGameThatScoredItAndWithoutOneOnlyFetches) {
    PlayerName = "MaX_Well9";
    // A game just over and still on its game-over page: its script goes up before the game is written.
    BeginKeptGame();
    Score = 120;
    Level = 7;
    Flip(-1);
    ShipsLeft = -1;
    Flip(-1);
    SyncScores();
    EXPECT_TRUE(Shown("    the game is now attempting to sync"));
    EXPECT_TRUE(Shown(" this message for more than a second or so."));
    auto uploads = Requests("addscore");
    ASSERT_EQ(uploads.size(), 1u);
    const httplib::Params& upload = uploads[0].Params;
    EXPECT_EQ(upload.find("user")->second, "max_well9");
    EXPECT_EQ(upload.find("level")->second, "7");
    EXPECT_EQ(upload.find("score")->second, "120 ");
    EXPECT_EQ(upload.find("date")->second, CurrentDate());
    EXPECT_EQ(upload.find("difficulty")->second, "");
    ASSERT_EQ(Requests("getscore").size(), 1u);
    EXPECT_EQ(Requests("getscore")[0].Params.find("nbscore")->second, "10");
    EndKeptGame();
    std::string kept = Contents(LastGamePath());
    EXPECT_EQ(uploads[0].Method, "POST");
    EXPECT_EQ(uploads[0].Body, kept);

    // Back at the menu, the same game comes from its file.
    SyncScores();
    ASSERT_EQ(Requests("addscore").size(), 2u);
    EXPECT_EQ(Requests("addscore")[1].Body, kept);

    Score = 0;
    SyncScores();
    Score = 125; // a score the kept game did not make goes nowhere
    SyncScores();
    EXPECT_EQ(Requests("addscore").size(), 2u);
    EXPECT_EQ(Requests("getscore").size(), 4u);
}

TEST_F(HighScoresTest, AComponentThatCannotPostUploadsTheScoreAloneAsBefore) {
    ASSERT_TRUE(Network::BindNetworkComponent("libkestrovar_net_get_only.so"));
    EXPECT_EQ(Network::BoundSlots(), Network::SlotCount - 1);
    EXPECT_FALSE(Network::CanSendPost());
    Network::SetServer(Server.BaseUrl());
    Network::SetKey(Network::NetworkKey());
    PlayerName = "ace";
    Score = 120;
    Level = 7;
    SyncScores(); // no kept game at all
    auto uploads = Requests("addscore");
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0].Method, "GET");
    EXPECT_EQ(uploads[0].Params.find("score")->second, "120 ");
    EXPECT_EQ(Requests("getscore").size(), 1u);
    EXPECT_EQ(OnlineNames[0], "MaxAbc");
}

TEST_F(HighScoresTest, AThreeEntryReplyFillsThreeRowsAndTheScreenShowsWhatWasServed) {
    MarkRows();
    SyncScores();
    EXPECT_EQ(OnlineNames[0], "MaxAbc");
    EXPECT_EQ(OnlineDates[1], "02 Dec 2026");
    EXPECT_EQ(OnlineScores[2], "0");
    for (int row = 3; row < OnlineRows; ++row) {
        EXPECT_EQ(OnlineNames[row], "name" + IntToText(row));
        EXPECT_EQ(OnlineLevels[row], IntToText(row));
        EXPECT_EQ(OnlineScores[row], IntToText(100 + row));
        EXPECT_EQ(OnlineDates[row], "date" + IntToText(row));
    }

    // From the screen, the sync first puts placeholders in the shown rows; rows 8 and 9 are never touched.
    MarkRows();
    ResetVectorText();
    LoadFontGlyphs();
    int start = Headless::FrameCount();
    Headless::PressKey(start + 2, KeyReturnCode);
    Headless::PressKey(start + 5, KeyEscapeCode);
    Headless::StopAtFrame(start + 40);
    HighscoreScreen();
    EXPECT_EQ(OnlineLevels[1], "1234");
    EXPECT_EQ(OnlineNames[3], "..........");
    EXPECT_EQ(OnlineScores[7], "-");
    EXPECT_EQ(OnlineNames[8], "name8");
    EXPECT_EQ(OnlineScores[9], "109");
    EXPECT_EQ(HighscoreRowText(0), "MaxAbc          007          5000");
    EXPECT_EQ(HighscoreRowText(1), "de              234           400");
    EXPECT_TRUE(Shown(HighscoreRowText(0)));
    EXPECT_TRUE(Shown(HighscoreRowText(1)));
    EXPECT_FALSE(Shown(HighscoreRowText(2))); // a score of "0" is no score
    EXPECT_FALSE(HighscoreRowShown(3));       // nor is the placeholder
    EXPECT_TRUE(Shown("last score achieved    : 00000000"));
    EXPECT_TRUE(Shown("playername     level     topscore"));
}

TEST_F(HighScoresTest, TabOpensNameEntryAndHeldThrustLeaves) {
    constexpr int KeyTab = 9, KeyB = 66;
    PlayerName = "ace";
    int start = Headless::FrameCount();
    Headless::StopAtFrame(start + 40); // a screen that never leaves fails rather than hangs
    Headless::PressKey(start + 2, KeyTab);
    Headless::PressKey(start + 4, KeyB);
    Headless::PressKey(start + 6, KeyReturnCode);
    Headless::HoldKey(start + 10, KeyThrust, 5);
    HighscoreScreen();
    EXPECT_TRUE(Shown("set name"));
    EXPECT_EQ(PlayerName, "aceB");
    EXPECT_TRUE(ShownCentred("press tab to change name from: aceB"));
    EXPECT_EQ(Requests("getscore").size(), 0u); // neither key syncs
}

TEST_F(HighScoresTest, RowsCutAndPadTheirFields) {
    OnlineNames[0] = "averylongname";
    OnlineLevels[0] = "";
    OnlineScores[0] = "12345678901";
    EXPECT_EQ(HighscoreRowText(0), "averylongn      000      1234567890");
    OnlineNames[1] = "x";
    OnlineLevels[1] = "4 2";
    OnlineScores[1] = "9";
    EXPECT_EQ(HighscoreRowText(1), "x               402             9");
    EXPECT_TRUE(HighscoreRowShown(1));
    OnlineScores[1] = ".";
    EXPECT_FALSE(HighscoreRowShown(1));
}

TEST_F(HighScoresTest, AnotherVersionSetsTheNoticeAndTheRunningOneLeavesIt) {
    Server.Answer("VersionCheck.php", "othergame\n9.9\nkestrovar\n1.2\n");
    CheckVersion();
    EXPECT_EQ(VersionNotice, CreditLine);
    EXPECT_EQ(Requests("getversion").at(0).Params.find("nbscore")->second, "30");

    // An entry past the hundred the lists hold is not read, and the search stays inside them.
    std::string longList;
    for (int k = 0; k < 150; ++k) longList += "game" + IntToText(k) + "\n1.0\n";
    Server.Answer("VersionCheck.php", longList + "kestrovar\n2.0\n");
    CheckVersion();
    EXPECT_EQ(VersionNotice, CreditLine);

    Server.Answer("VersionCheck.php", "kestrovar\n1.3\n");
    CheckVersion();
    EXPECT_EQ(VersionNotice, "  new version (v1.3) is available");
}

TEST_F(HighScoresTest, WithNoServerTheSyncEndsAndLeavesTheTableAndNoticeAsTheyWere) {
    std::string closedServer;
    {
        TestScoreServer gone;
        closedServer = gone.BaseUrl();
    }
    Network::SetServer(closedServer);
    MarkRows();
    Score = 500;
    Level = 3;
    int start = Headless::FrameCount();
    SyncScores();
    CheckVersion();
    EXPECT_EQ(Headless::FrameCount() - start, 1); // the wait screen, drawn once
    EXPECT_TRUE(Shown("   games access to the internet. Allow"));
    for (int row = 0; row < OnlineRows; ++row) {
        EXPECT_EQ(OnlineNames[row], "name" + IntToText(row));
        EXPECT_EQ(OnlineScores[row], IntToText(100 + row));
    }
    EXPECT_EQ(VersionNotice, CreditLine);
    EXPECT_EQ(Network::GetNumberOfCommandsInQueue(), 0);
}

TEST_F(HighScoresTest, ARowsGameIsWatchedInTheWindowAndEscapeComesBackToTheScreenAsItWas) {
    constexpr int KeyOne = 49;
    const std::string watched = "0123456789abcdef", missing = "fedcba9876543210";
    SetUpProgram(StartupFor::Player);
    Network::SetServer(Server.BaseUrl());
    Network::SetKey(Network::NetworkKey());
    Server.On("Kestrovar_scores.php", [&](const httplib::Request& request, httplib::Response& response) {
        std::string option = request.get_param_value("option"), game = request.get_param_value("game");
        if (option == "getgame" && game == watched)
            response.set_content("; a game of the board\nseed 7\nrules " + std::to_string(RulesVersion) +
                                     "\nend 100000\n",
                                 "text/plain");
        else if (option == "getgame")
            response.status = 404;
        else
            response.set_content("ace\n3\n4000\n" + watched +
                                     "\n01 Dec 2026\nbee\n2\n300\n-\n02 Dec 2026\n"
                                     "cat\n1\n20\n" +
                                     missing + "\n03 Dec 2026\n",
                                 "text/plain");
    });
    Score = 55;
    Level = 2;
    PersonalHighscore = 777;
    KeyFire = 65;
    GameState = 3; // on the game-over page of the player's own game, which is leaving
    int start = Headless::FrameCount();
    Headless::PressKey(start + 2, KeyReturnCode);
    Headless::PressKey(start + 5, KeyOne + 1); // "bee" has no game
    Headless::PressKey(start + 8, KeyOne + 2); // "cat"'s game can't be had
    Headless::PressKey(start + 12, KeyOne);
    Headless::PressKey(start + 500, KeyEscapeCode); // stops watching
    Headless::PressKey(start + 560, KeyEscapeCode); // leaves the screen
    Headless::StopAtFrame(start + 700);
    HighscoreScreen();
    EXPECT_GT(Headless::FrameCount() - start, 500) << "the game was played in the window";
    EXPECT_LT(Headless::FrameCount() - start, 600) << "and Escape came back to the screen, which Escape left";
    EXPECT_TRUE(ShownCentred("no game to watch on that row"));
    EXPECT_TRUE(ShownCentred("that game could not be fetched"));
    EXPECT_TRUE(ShownCentred("press 1 to 8 to watch a game"));
    EXPECT_TRUE(Shown("get ready player..."));
    EXPECT_EQ(Requests("getgame").size(), 2u);
    // Nothing of the player's changed, and the watched game was neither kept nor uploaded.
    EXPECT_EQ(Score, 55);
    EXPECT_EQ(Level, 2);
    EXPECT_EQ(PersonalHighscore, 777);
    EXPECT_EQ(KeyFire, 65);
    EXPECT_EQ(DemoMode, 1);
    EXPECT_EQ(GameState, 3);
    EXPECT_FALSE(FileExists(LastGamePath().c_str()));
    EXPECT_EQ(Requests("addscore").size(), 0u);
    EXPECT_EQ(OnlineNames[0], "ace");
}
