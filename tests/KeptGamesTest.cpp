// Every game kept as a replay: a bot's game through the real program, kept and played again headless and in the
// watch mode to the same end; the last, best and history files; a damaged script refused before anything happens.
#include "frontend/KeptGames.h"
#include "GameFixture.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "fortress/World.h"
#include "frontend/SettingsFile.h"
#include "frontend/Watching.h"
#include "game/replay/ReplayBot.h"
#include "game/replay/ReplayEngine.h"
#include "graphics/VectorFont.h"
#include "platform/Input.h"
#include "platform/ScriptedRun.h"
#include <algorithm>
#include <fstream>
#include <sstream>

namespace {
constexpr int KeyEscape = 27;
constexpr int LongestRun = 60000;

constexpr int KeySpace = 32;
constexpr int GameOverPageShown = 30;

constexpr int KeyReturn = 13;
constexpr int MenuFramesBeforeStart = 5;

ReplayBot* Player = nullptr;
const World* Played = nullptr; // the test's world, where the program plays: the check looks at it here
bool GameOverPageLeft = false;

// The bot plays whenever a game is on and leaves the game-over page with a key; the run stops once the menu is
// back. The intro and the menu run untouched.
bool PlayWhileAGameRuns(int flips) {
    const World& w = *Played;
    if (w.DemoMode == 0 && w.ShipsLeft >= 0 && Player != nullptr) Player->Play(flips);
    if (w.DemoMode == 0 && w.ShipsLeft < 0 && !GameOverPageLeft) {
        Headless::PressKey(flips + GameOverPageShown, KeySpace);
        GameOverPageLeft = true;
    }
    return w.DemoMode == 1 && GameOverPageLeft;
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The end line a kept game's file promises: the comment after the score line.
std::string PromisedEndLine(const std::string& text) {
    std::size_t at = text.find("\n; end=");
    if (at == std::string::npos) return "";
    std::size_t start = at + 3;
    return text.substr(start, text.find('\n', start) - start);
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Watching as the program's main does it: the watch started, then its loop turned until it ends.
int Watch(World& w, const std::string& path) {
    Loop loop;
    int status = StartWatch(w, path, loop);
    if (status == 0) TurnToFrame(loop, -1);
    return status;
}

bool Shown(const std::string& text) {
    return std::find(RecentTexts().begin(), RecentTexts().end(), text) != RecentTexts().end();
}

// What a frame showed: the calls after its last clear, each by its kind and place.
std::string ShownPicture(const Headless::FrameRecord& frame) {
    std::ostringstream picture;
    for (const Headless::DrawCall& call : frame.Calls) {
        if (call.Type == Headless::DrawCall::Clear) picture.str("");
        picture << call.Type << ' ' << call.X1 << ' ' << call.Y1 << ' ' << call.X2 << ' ' << call.Y2 << ' '
                << call.Vertices.size() << ';';
    }
    return picture.str();
}

class KeptGamesTest : public GameFixture {
  protected:
    // Plays one bot game through the program from its start to its end; returns the kept last game's text.
    std::string KeepABotGame() {
        ReplayBotStyle style;
        style.Seed = 5;
        style.WanderChance = 0.2;
        ReplayBot bot(Fight, style);
        Player = &bot;
        Played = &Fight;
        GameOverPageLeft = false;
        Headless::KeepFrames(0);
        // "start game" is the menu's first item.
        Headless::PressKey(IntroShown + MenuFramesBeforeStart, KeyReturn);
        EXPECT_EQ(RunProgramHeadless(Fight, LongestRun, PlayWhileAGameRuns), -1);
        EXPECT_LT(Headless::FrameCount(), LongestRun) << "the game ended and the menu came back";
        Player = nullptr;
        return Contents(LastGamePath());
    }
};
} // namespace

TEST_F(KeptGamesTest, ABotGameThroughTheProgramReplaysAndWatchesToTheEndItWasKeptWith) {
    std::string kept = KeepABotGame();
    std::string promised = PromisedEndLine(kept);
    ASSERT_EQ(promised.rfind("end=game-over frame=", 0), 0u) << kept.substr(0, 400);
    EXPECT_EQ(Contents(BestGamePath()), kept); // the first game is the best so far

    ReplayScript script;
    std::string error;
    std::istringstream in(kept);
    ASSERT_TRUE(ParseReplayScript(in, script, error)) << error;
    EXPECT_NE(kept.find("\nrules " + std::to_string(RulesVersion) + "\n"), std::string::npos) << "played under";
    EXPECT_GT(script.Events.size(), 10u);
    World replayed;
    ReplayOutcome outcome = RunReplay(replayed, script);
    EXPECT_EQ(ReplayFinalLine(replayed, outcome), promised);

    // Watched in the program's own window, the game reaches the same end under a caption naming the file and the
    // score as it stands, and ends on our card in place of the recorded player's game-over page; the program ends.
    EXPECT_FALSE(Shown("press escape to stop watching")) << "a played game has no caption";
    Headless::Reset();
    ResetAllState();
    SetSettingsPath(TestSettingsPath);
    Write(LastGamePath(), kept);
    DeleteFile(TestSettingsPath.c_str());
    // The last frames shown with no key pressed: the last of play, the flip that would have shown the recorded player's
    // game-over page, then the card's own frames until its time runs out.
    constexpr int LastFramesKept = 2 + WatchCardFrames;
    Headless::KeepFrames(LastFramesKept);
    int status = -1;
    ::testing::internal::CaptureStdout();
    try {
        status = Watch(Fight, LastGamePath());
    } catch (const ScriptedRun::ProgramEnded& ended) {
        status = ended.Status;
    }
    std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(printed, promised + "\n");
    std::string file = LastGamePath().substr(LastGamePath().find_last_of('/') + 1);
    EXPECT_TRUE(Shown("watching " + file.substr(0, WatchNameShown) + "   score " + std::to_string(Fight.Score)));
    EXPECT_TRUE(Shown("watched game"));
    EXPECT_TRUE(Shown("the last ship was lost"));
    EXPECT_GT(Headless::FrameCount(), WatchCardFrames) << "the card waits for a key, or its time";
    ASSERT_EQ(Headless::Frames().size(), static_cast<std::size_t>(LastFramesKept));
    std::string lastOfPlay = ShownPicture(Headless::Frames()[0]), gameOver = ShownPicture(Headless::Frames()[1]);
    std::string card = ShownPicture(Headless::Frames().back());
    EXPECT_FALSE(card.empty());
    EXPECT_NE(lastOfPlay, card) << "the game is shown up to its game-over page";
    EXPECT_EQ(gameOver, card) << "the game-over flip shows the card and nothing else";
    EXPECT_FALSE(FileExists(TestSettingsPath.c_str())) << "watching writes no settings";

    // Escape on the keyboard leaves with the next frame, the game still on.
    Headless::Reset();
    ResetAllState();
    SetSettingsPath(TestSettingsPath);
    Headless::PressKey(50, KeyEscape);
    try {
        status = Watch(Fight, LastGamePath());
    } catch (const ScriptedRun::ProgramEnded& ended) {
        status = ended.Status;
    }
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Headless::FrameCount(), 51);
    EXPECT_GE(Fight.ShipsLeft, 0);
}

TEST_F(KeptGamesTest, TheLastGameTheBestAndEightBeforeTheLastAreKept) {
    const int scores[] = {300, 900, 100, 500, 200, 700, 400, 800, 600, 50, 150};
    for (int score : scores) {
        BeginKeptGame(Fight);
        Fight.Score = score;
        TheSettings.PersonalHighscore =
            std::max(TheSettings.PersonalHighscore, Fight.Score); // each game ends on its game-over page
        EndKeptGame();
    }
    int read = 0;
    ASSERT_TRUE(KeptGameScore(LastGamePath(), read));
    EXPECT_EQ(read, 150);
    ASSERT_TRUE(KeptGameScore(BestGamePath(), read));
    EXPECT_EQ(read, 900);
    for (int n = 1; n <= KeptHistoryGames; ++n) {
        ASSERT_TRUE(KeptGameScore(HistoryGamePath(n), read)) << n;
        EXPECT_EQ(read, scores[std::size(scores) - 1 - static_cast<std::size_t>(n)]) << n;
    }
    EXPECT_FALSE(FileExists(HistoryGamePath(KeptHistoryGames + 1).c_str()));
    for (const std::string& file : KeptGameFiles()) {
        bool halfWritten = file.size() > 4 && file.substr(file.size() - 4) == ".new";
        EXPECT_FALSE(halfWritten && FileExists(file.c_str())) << file;
    }
}

// The game-over page raises the personal highscore; the exit prompt never does, and the best game follows it.
TEST_F(KeptGamesTest, TheBestGameIsTheGameThatMadeThePersonalHighscore) {
    BeginKeptGame(Fight);
    Fight.Score = 300;
    TheSettings.PersonalHighscore = 300; // its game-over page made it the personal highscore
    EndKeptGame();
    BeginKeptGame(Fight);
    Fight.Score = 900; // more, but left through the exit prompt: the personal highscore stays 300
    EndKeptGame();
    int read = 0;
    ASSERT_TRUE(KeptGameScore(LastGamePath(), read));
    EXPECT_EQ(read, 900);
    ASSERT_TRUE(KeptGameScore(BestGamePath(), read));
    EXPECT_EQ(read, 300);
}

TEST_F(KeptGamesTest, ADamagedScriptOrAGameOfOtherRulesIsRefusedByNameBeforeAnythingHappens) {
    BeginKeptGame(Fight);
    Fight.Score = 120;
    EndKeptGame();
    std::string best = Contents(BestGamePath());
    std::string damaged = "; a kept game, damaged\nseed 77\n120 down 37\n130 press 37\nend 200\n";
    Write(LastGamePath(), damaged);
    ::testing::internal::CaptureStderr();
    int status = Watch(Fight, LastGamePath());
    std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 2);
    EXPECT_EQ(message, "Kestrovar: " + LastGamePath() + ": line 4: unknown event \"press\"\n");
    EXPECT_FALSE(Headless::DisplayIsOpen());
    EXPECT_EQ(Headless::FrameCount(), 0);
    EXPECT_FALSE(FileExists(TestSettingsPath.c_str()));
    EXPECT_EQ(Contents(LastGamePath()), damaged);
    EXPECT_EQ(Contents(BestGamePath()), best);
    EXPECT_FALSE(FileExists(HistoryGamePath(1).c_str()));

    // A game kept before the rules line existed was played by rules 1: the player is told so, not shown another game.
    Write(LastGamePath(), "; a kept game of the first rules\nseed 77\n120 down 37\nend 200\n");
    ::testing::internal::CaptureStderr();
    status = Watch(Fight, LastGamePath());
    message = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 2);
    EXPECT_EQ(message, "Kestrovar: " + LastGamePath() + ": played by rules 1; this build plays rules " +
                           std::to_string(RulesVersion) + "\n");
    EXPECT_FALSE(Headless::DisplayIsOpen());
}
