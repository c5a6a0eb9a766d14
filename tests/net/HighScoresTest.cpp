// The sync, the version check and the high-score screen through the real component (and one released before
// uploads carried their game), against a score server inside the test process.
#include "frontend/HighScores.h"
#include "NeonFixture.h"
#include "TestScoreServer.h"
#include "Turning.h"
#include "core/GameState.h"
#include "fortress/World.h"
#include "frontend/KeptGames.h"
#include "frontend/MainMenu.h"
#include "frontend/Network.h"
#include "game/Pages.h"
#include "game/replay/ReplayScript.h"
#include "graphics/VectorFont.h"
#include "platform/Display.h"
#include "platform/Text.h"
#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

namespace {
// A frame of a kept game shown, and the game telling the keeper so, as the game screen does after each flip.
void ShowKeptFrame(World& w) {
    Flip(-1);
    KeptGameFrameShown(w);
}
constexpr int KeyReturnCode = 13;
constexpr int KeyEscapeCode = 27;
constexpr int KeySpace = 32;

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
        TheSettings.OnlineNames[row] = "name" + IntToText(row);
        TheSettings.OnlineLevels[row] = IntToText(row);
        TheSettings.OnlineScores[row] = IntToText(100 + row);
        TheSettings.OnlineDates[row] = "date" + IntToText(row);
    }
}

// A screen in a loop the test turns a frame at a time. A key pressed goes down in the frame after; a wait on the
// server lasts as many frames as the server takes, so what follows one is pressed once it has ended.
class TurnedLoop {
  public:
    explicit TurnedLoop(std::unique_ptr<Screen> screen) { Screens.Open(std::move(screen)); }
    // False when the loop ended first.
    bool Turn(int frames) {
        for (int frame = 0; frame < frames; ++frame)
            if (!RunFrame(Screens)) return false;
        return true;
    }
    // Turns until `done` holds after a frame; false when the loop ended or `most` frames went by first. A wait on the
    // server ends by the component's own time-outs, so its frames are not counted.
    bool TurnUntil(const std::function<bool()>& done, int most = -1) {
        for (int frame = 0; !done(); ++frame)
            if (frame == most || !RunFrame(Screens)) return false;
        return true;
    }
    void Press(int key) { Headless::PressKey(Headless::FrameCount() + 1, key); }
    // Presses the key and turns until the screen it opens over the first (a sync, a watch) has closed again.
    bool PressThroughScreen(int key) {
        Press(key);
        int opened = Headless::FrameCount() + OpeningFrames;
        if (!TurnUntil([&] { return Screens.Depth() > 1 || Headless::FrameCount() > opened; })) return false;
        return Screens.Depth() > 1 && TurnUntil([&] { return Screens.Depth() == 1; });
    }
    // Presses the key; true when the loop has ended within a few frames.
    bool PressToLeave(int key) {
        Press(key);
        return !Turn(OpeningFrames);
    }
    Loop Screens;

  private:
    static constexpr int OpeningFrames = 4;
};

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
    // A game of 120 points on level 7 just over, still on its game-over page (its game not yet written), synced.
    void SyncFromTheGameOverPage() {
        BeginKeptGame(Fight);
        Fight.Score = 120;
        Fight.Level = 7;
        ShowKeptFrame(Fight);
        Fight.ShipsLeft = -1;
        ShowKeptFrame(Fight);
        TurnScreen(OpenSync(Fight));
    }
    TestScoreServer Server;
};

TEST_F(HighScoresTest, SyncUploadsTheScoreWithTheGameThatScoredItAndWithoutOneOnlyFetches) {
    TheSettings.PlayerName = "MaX_Well9";
    // A game just over and still on its game-over page: its script goes up before the game is written.
    SyncFromTheGameOverPage();
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
    TurnScreen(OpenSync(Fight));
    ASSERT_EQ(Requests("addscore").size(), 2u);
    EXPECT_EQ(Requests("addscore")[1].Body, kept);

    Fight.Score = 0;
    TurnScreen(OpenSync(Fight));
    Fight.Score = 125; // a score the kept game did not make goes nowhere
    TurnScreen(OpenSync(Fight));
    EXPECT_EQ(Requests("addscore").size(), 2u);
    EXPECT_EQ(Requests("getscore").size(), 4u);
}

TEST_F(HighScoresTest, AComponentThatCannotPostUploadsTheScoreAloneAsBefore) {
    ASSERT_TRUE(Network::BindNetworkComponent("libkestrovar_net_get_only.so"));
    EXPECT_EQ(Network::BoundSlots(), Network::SlotCount - 1);
    EXPECT_FALSE(Network::CanSendPost());
    Network::SetServer(Server.BaseUrl());
    Network::SetKey(Network::NetworkKey());
    TheSettings.PlayerName = "ace";
    Fight.Score = 120;
    Fight.Level = 7;
    TurnScreen(OpenSync(Fight)); // no kept game at all
    auto uploads = Requests("addscore");
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0].Method, "GET");
    EXPECT_EQ(uploads[0].Params.find("score")->second, "120 ");
    EXPECT_EQ(Requests("getscore").size(), 1u);
    EXPECT_EQ(TheSettings.OnlineNames[0], "MaxAbc");
}

TEST_F(HighScoresTest, AThreeEntryReplyFillsThreeRowsAndTheScreenShowsWhatWasServed) {
    MarkRows();
    TurnScreen(OpenSync(Fight));
    EXPECT_EQ(TheSettings.OnlineNames[0], "MaxAbc");
    EXPECT_EQ(TheSettings.OnlineDates[1], "02 Dec 2026");
    EXPECT_EQ(TheSettings.OnlineScores[2], "0");
    for (int row = 3; row < OnlineRows; ++row) {
        EXPECT_EQ(TheSettings.OnlineNames[row], "name" + IntToText(row));
        EXPECT_EQ(TheSettings.OnlineLevels[row], IntToText(row));
        EXPECT_EQ(TheSettings.OnlineScores[row], IntToText(100 + row));
        EXPECT_EQ(TheSettings.OnlineDates[row], "date" + IntToText(row));
    }

    // From the screen, the sync first puts placeholders in the shown rows; rows 8 and 9 are never touched.
    MarkRows();
    ResetVectorText();
    LoadFontGlyphs();
    TurnedLoop screen(OpenHighscores(Fight));
    ASSERT_TRUE(screen.Turn(1));
    ASSERT_TRUE(screen.PressThroughScreen(KeyReturnCode));
    ASSERT_TRUE(screen.PressToLeave(KeyEscapeCode));
    EXPECT_EQ(TheSettings.OnlineLevels[1], "1234");
    EXPECT_EQ(TheSettings.OnlineNames[3], "..........");
    EXPECT_EQ(TheSettings.OnlineScores[7], "-");
    EXPECT_EQ(TheSettings.OnlineNames[8], "name8");
    EXPECT_EQ(TheSettings.OnlineScores[9], "109");
    EXPECT_EQ(HighscoreRowText(0), "MaxAbc          007          5000");
    EXPECT_EQ(HighscoreRowText(1), "de              234           400");
    EXPECT_TRUE(Shown(HighscoreRowText(0)));
    EXPECT_TRUE(Shown(HighscoreRowText(1)));
    EXPECT_FALSE(Shown(HighscoreRowText(2))); // a score of "0" is no score
    EXPECT_FALSE(HighscoreRowShown(3));       // nor is the placeholder
    EXPECT_TRUE(Shown("last score achieved    : 00000000"));
    EXPECT_TRUE(Shown("playername     level     topscore"));
}

TEST_F(HighScoresTest, AnUploadsReplyOtherThanOkIsTheScreensNote) {
    std::string reply = "not ranked: played without the server's seed";
    int status = 200;
    Server.On("Kestrovar_scores.php", [&](const httplib::Request& request, httplib::Response& response) {
        bool upload = request.get_param_value("option") == "addscore";
        response.status = upload ? status : 200;
        response.set_content(upload ? reply + "\n" : ThreeEntries, "text/plain");
    });
    auto showScreen = [this](bool sync) {
        ResetVectorText();
        LoadFontGlyphs();
        TurnedLoop screen(OpenHighscores(Fight));
        ASSERT_TRUE(screen.Turn(1));
        if (sync) {
            ASSERT_TRUE(screen.PressThroughScreen(KeyReturnCode));
        }
        ASSERT_TRUE(screen.PressToLeave(KeyEscapeCode));
    };
    // Synced from the game-over page: the screen that follows says what came of the upload.
    SyncFromTheGameOverPage();
    EndKeptGame();
    showScreen(false);
    EXPECT_TRUE(ShownCentred(reply));

    // A refusal says why; "ok" is no news.
    reply = "error: that ticket has been used";
    status = 403;
    showScreen(true);
    EXPECT_TRUE(ShownCentred("the server refused your score: that ticket has been used"));
    reply = "ok";
    status = 200;
    showScreen(true);
    EXPECT_FALSE(ShownCentred(" ok "));
    EXPECT_EQ(Requests("addscore").size(), 3u);
}

TEST_F(HighScoresTest, TabOpensNameEntryAndHeldThrustLeaves) {
    constexpr int KeyTab = 9, KeyB = 66;
    TheSettings.PlayerName = "ace";
    int start = Headless::FrameCount();
    Headless::PressKey(start + 2, KeyTab);
    Headless::PressKey(start + 4, KeyB);
    Headless::PressKey(start + 6, KeyReturnCode);
    Headless::HoldKey(start + 10, TheSettings.KeyThrust, 5);
    ASSERT_TRUE(ScreenReturns(OpenHighscores(Fight), 40)); // a screen that never leaves fails rather than hangs
    EXPECT_TRUE(Shown("set name"));
    EXPECT_EQ(TheSettings.PlayerName, "aceB");
    EXPECT_TRUE(ShownCentred("press tab to change name from: aceB"));
    EXPECT_EQ(Requests("getscore").size(), 0u); // neither key syncs
}

TEST_F(HighScoresTest, RowsCutAndPadTheirFields) {
    TheSettings.OnlineNames[0] = "averylongname";
    TheSettings.OnlineLevels[0] = "";
    TheSettings.OnlineScores[0] = "12345678901";
    EXPECT_EQ(HighscoreRowText(0), "averylongn      000      1234567890");
    TheSettings.OnlineNames[1] = "x";
    TheSettings.OnlineLevels[1] = "4 2";
    TheSettings.OnlineScores[1] = "9";
    EXPECT_EQ(HighscoreRowText(1), "x               402             9");
    EXPECT_TRUE(HighscoreRowShown(1));
    TheSettings.OnlineScores[1] = ".";
    EXPECT_FALSE(HighscoreRowShown(1));
}

TEST_F(HighScoresTest, AnotherVersionSetsTheNoticeAndTheRunningOneLeavesIt) {
    Server.Answer("VersionCheck.php", "othergame\n9.9\nkestrovar\n1.3\n");
    TurnScreen(OpenVersionCheck(Fight));
    EXPECT_EQ(VersionNotice, CreditLine);
    EXPECT_EQ(Requests("getversion").at(0).Params.find("nbscore")->second, "30");

    // An entry past the hundred the lists hold is not read, and the search stays inside them.
    std::string longList;
    for (int k = 0; k < 150; ++k) longList += "game" + IntToText(k) + "\n1.0\n";
    Server.Answer("VersionCheck.php", longList + "kestrovar\n2.0\n");
    TurnScreen(OpenVersionCheck(Fight));
    EXPECT_EQ(VersionNotice, CreditLine);

    Server.Answer("VersionCheck.php", "kestrovar\n1.4\n");
    TurnScreen(OpenVersionCheck(Fight));
    EXPECT_EQ(VersionNotice, "  new version (v1.4) is available");
}

TEST_F(HighScoresTest, WithNoServerTheSyncEndsAndLeavesTheTableAndNoticeAsTheyWere) {
    std::string closedServer;
    {
        TestScoreServer gone;
        closedServer = gone.BaseUrl();
    }
    Network::SetServer(closedServer);
    MarkRows();
    Fight.Score = 500;
    Fight.Level = 3;
    TurnScreen(OpenSync(Fight));
    TurnScreen(OpenVersionCheck(Fight));
    EXPECT_TRUE(Shown("   games access to the internet. Allow"));
    for (int row = 0; row < OnlineRows; ++row) {
        EXPECT_EQ(TheSettings.OnlineNames[row], "name" + IntToText(row));
        EXPECT_EQ(TheSettings.OnlineScores[row], IntToText(100 + row));
    }
    EXPECT_EQ(VersionNotice, CreditLine);
    EXPECT_EQ(Network::GetNumberOfCommandsInQueue(), 0);
}

namespace {
int ForgetTextsAt = -1;
bool NoteShownBeforeNameEntry = false;
// Inside name entry: whether the note was up, then a clean memory of texts for what the screen shows afterwards.
void ForgetTextsInNameEntry(int flips) {
    if (flips != ForgetTextsAt) return;
    NoteShownBeforeNameEntry = ShownCentred("no game to watch on that row");
    ResetVectorText();
    LoadFontGlyphs();
}
} // namespace

TEST_F(HighScoresTest, TheWatchLineNeedsARowWithAGameAndANoteEndsWithTheScreen) {
    constexpr int KeyOne = 49, KeyTab = 9;
    MarkRows(); // rows shown, but none names a game
    int start = Headless::FrameCount();
    ForgetTextsAt = start + 6;
    Headless::PressKey(start + 2, KeyOne);
    Headless::PressKey(start + 4, KeyTab);
    Headless::PressKey(start + 8, KeyReturnCode);
    Headless::PressKey(start + 14, KeyEscapeCode);
    Loop loop;
    loop.Open(OpenHighscores(Fight));
    ASSERT_TRUE(TurnUntil(loop, [start] {
        ForgetTextsInNameEntry(Headless::FrameCount());
        return Headless::FrameCount() >= start + 60;
    }));
    EXPECT_TRUE(NoteShownBeforeNameEntry);
    EXPECT_TRUE(ShownCentred("press tab to change name from")) << "the screen came back";
    EXPECT_FALSE(ShownCentred("no game to watch on that row")) << "but not its note";
    EXPECT_FALSE(ShownCentred("press 1 to 8 to watch a game"));
}

TEST_F(HighScoresTest, AFailedSyncKeepsTheTableAndTheScreenSaysWhy) {
    MarkRows();
    Server.Answer("Kestrovar_scores.php", "error: busy\n", 503);
    TurnedLoop screen(OpenHighscores(Fight));
    ASSERT_TRUE(screen.Turn(1));
    ASSERT_TRUE(screen.PressThroughScreen(KeyReturnCode));
    ASSERT_TRUE(screen.PressToLeave(KeyEscapeCode));
    EXPECT_EQ(TheSettings.OnlineNames[0], "name0");
    EXPECT_EQ(TheSettings.OnlineScores[7], "107");
    EXPECT_TRUE(ShownCentred("the server is busy - try again soon"));

    // A refusal is told in the server's own words; a proxy's page of another status says only that it failed.
    Server.Answer("Kestrovar_scores.php", "error: a malformed query\n", 400);
    TurnScreen(OpenSync(Fight));
    EXPECT_EQ(TakeSyncNote(), "the server refused the top ten: a malformed query");
    EXPECT_EQ(TakeSyncNote(), "") << "a note is shown once";
    Server.Answer("Kestrovar_scores.php", "<html>slow down</html>\n", 429);
    TurnScreen(OpenSync(Fight));
    EXPECT_EQ(TakeSyncNote(), "the server is busy - try again soon");
    Server.Answer("Kestrovar_scores.php", "<html>bad gateway</html>\n", 502);
    TurnScreen(OpenSync(Fight));
    EXPECT_EQ(TakeSyncNote(), "the server did not answer - try again later");
    EXPECT_EQ(TheSettings.OnlineNames[0], "name0");
}

TEST_F(HighScoresTest, FireAndThrustOnDigitKeysSyncAndLeaveAndWatchNothing) {
    constexpr int KeyOne = 49;
    // Both rows have a game that a digit would fetch.
    Server.Answer("Kestrovar_scores.php", "ace\n3\n4000\n0123456789abcdef\n01 Dec 2026\n"
                                          "bee\n2\n300\nfedcba9876543210\n02 Dec 2026\n");
    TurnScreen(OpenSync(Fight));
    ASSERT_EQ(Requests("getscore").size(), 1u);
    TheSettings.KeyFire = KeyOne;
    TheSettings.KeyThrust = KeyOne + 1;
    TurnedLoop screen(OpenHighscores(Fight));
    ASSERT_TRUE(screen.Turn(1));
    ASSERT_TRUE(screen.PressThroughScreen(KeyOne)) << "fire synced";
    EXPECT_TRUE(screen.PressToLeave(KeyOne + 1)) << "thrust left the screen";
    EXPECT_EQ(Requests("getscore").size(), 2u);
    EXPECT_TRUE(Requests("getgame").empty()) << "no row's game was fetched";
}

TEST_F(HighScoresTest, ARowsGameIsWatchedInTheWindowAndEscapeComesBackToTheScreenAsItWas) {
    constexpr int KeyOne = 49;
    const std::string watched = "0123456789abcdef", missing = "fedcba9876543210", brief = "00112233445566778899";
    SetUpProgram(StartupFor::Player);
    Network::SetServer(Server.BaseUrl());
    Network::SetKey(Network::NetworkKey());
    Server.On("Kestrovar_scores.php", [&](const httplib::Request& request, httplib::Response& response) {
        std::string option = request.get_param_value("option"), game = request.get_param_value("game");
        if (option == "getgame" && game == watched)
            response.set_content("; a game of the board\nseed 7\nrules " + std::to_string(RulesVersion) +
                                     "\nend 100000\n",
                                 "text/plain");
        else if (option == "getgame" && game == brief)
            response.set_content("seed 9\nrules " + std::to_string(RulesVersion) + "\nend 300\n", "text/plain");
        else if (option == "getgame")
            response.status = 404;
        else
            response.set_content("ace\n3\n4000\n" + watched +
                                     "\n01 Dec 2026\nbee\n2\n300\n-\n02 Dec 2026\n"
                                     "cat\n1\n20\n" +
                                     missing + "\n03 Dec 2026\ndan\n1\n10\n" + brief + "\n04 Dec 2026\n",
                                 "text/plain");
    });
    Fight.Score = 55;
    Fight.Level = 2;
    TheSettings.PersonalHighscore = 777;
    TheSettings.KeyFire = 65;
    Fight.GameState = 3; // on the game-over page of the player's own game, which is leaving
    TurnedLoop screen(OpenHighscores(Fight));
    ASSERT_TRUE(screen.Turn(1));
    ASSERT_TRUE(screen.PressThroughScreen(KeyReturnCode));
    screen.Press(KeyOne + 1); // "bee" has no game
    ASSERT_TRUE(screen.TurnUntil([] { return ShownCentred("no game to watch on that row"); }, 4));
    screen.Press(KeyOne + 2); // "cat"'s game can't be had
    ASSERT_TRUE(screen.TurnUntil([] { return ShownCentred("that game could not be fetched"); }));
    EXPECT_EQ(screen.Screens.Depth(), 1);
    // "ace"'s game is watched in the window until Escape stops it, with no card.
    screen.Press(KeyOne);
    ASSERT_TRUE(screen.TurnUntil([&] { return screen.Screens.Depth() > 1; }));
    ASSERT_TRUE(screen.Turn(480));
    ASSERT_GT(screen.Screens.Depth(), 1);
    screen.Press(KeyEscapeCode);
    ASSERT_TRUE(screen.TurnUntil([&] { return screen.Screens.Depth() == 1; }, 4));
    // "dan"'s game of 300 frames plays to its end, and its card goes at a key.
    screen.Press(KeyOne + 3);
    ASSERT_TRUE(screen.TurnUntil([&] { return screen.Screens.Depth() > 1; }));
    ASSERT_TRUE(screen.TurnUntil([] { return Shown("the recording ends here"); }, 320));
    ASSERT_TRUE(screen.Turn(20));
    screen.Press(KeySpace);
    ASSERT_TRUE(screen.TurnUntil([&] { return screen.Screens.Depth() == 1; }, 4));
    ASSERT_TRUE(screen.PressToLeave(KeyEscapeCode));
    EXPECT_TRUE(Shown("watching ace   score 0"));
    EXPECT_TRUE(Shown("press escape to stop watching"));
    EXPECT_TRUE(Shown("watching dan   score 0"));
    EXPECT_TRUE(Shown("the recording ends here"));
    EXPECT_TRUE(Shown("dan"));
    EXPECT_TRUE(Shown("00000000"));
    EXPECT_TRUE(Shown("0:05")) << "300 frames";
    EXPECT_TRUE(ShownCentred("no game to watch on that row"));
    EXPECT_TRUE(ShownCentred("that game could not be fetched"));
    EXPECT_TRUE(ShownCentred("press 1 to 8 to watch a game"));
    EXPECT_TRUE(Shown("get ready player..."));
    EXPECT_EQ(Requests("getgame").size(), 3u);
    // Nothing of the player's changed, and the watched game was neither kept nor uploaded.
    EXPECT_EQ(Fight.Score, 55);
    EXPECT_EQ(Fight.Level, 2);
    EXPECT_EQ(TheSettings.PersonalHighscore, 777);
    EXPECT_EQ(TheSettings.KeyFire, 65);
    EXPECT_EQ(Fight.DemoMode, 1);
    EXPECT_EQ(Fight.GameState, 3);
    EXPECT_FALSE(FileExists(LastGamePath().c_str()));
    EXPECT_EQ(Requests("addscore").size(), 0u);
    EXPECT_EQ(TheSettings.OnlineNames[0], "ace");
}
