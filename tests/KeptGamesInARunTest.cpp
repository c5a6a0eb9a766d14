// Every game of a run is kept so that it plays again the same from a fresh program: three games in one run of the
// program, the first left through the exit prompt in a turn with its bullets and debris in the air, and the menu's
// attract play, the instructions, options and high-score screens between them.
#include "GameFixture.h"
#include "core/GameState.h"
#include "core/ShipState.h"
#include "fortress/Effects.h"
#include "game/TheWorld.h"
#include "game/replay/ReplayBot.h"
#include "game/replay/ReplayEngine.h"
#include <fstream>
#include <memory>
#include <sstream>

namespace {
constexpr int KeyReturn = 13, KeyEscape = 27, KeySpace = 32, KeyRight = 39, KeyTurnLeftCode = 37, KeyY = 89;
constexpr int LongestRun = 120000;
constexpr int GamesPlayed = 3;
constexpr int LeaveAfter[GamesPlayed] = {900, 0, 700}; // frames into the game; 0: played to the game-over page
constexpr int GameOverPageShown = 30;
constexpr int AskAgainAfter = 40;

// The menu between games: the attract play alone for a while, then each screen opened from the carousel and left.
struct MenuStep {
    int After; // frames since the menu came back
    int Key;
    int ItemBefore; // the carousel item a Return must find, -1 for other keys
};
constexpr MenuStep MenuVisit[] = {
    {300, KeyRight, -1},  {330, KeyReturn, 1}, {370, KeyEscape, -1},                       // instructions
    {430, KeyRight, -1},  {460, KeyRight, -1}, {490, KeyReturn, 2},  {530, KeyEscape, -1}, // options
    {590, KeyRight, -1},  {620, KeyRight, -1}, {650, KeyRight, -1},  {680, KeyReturn, 3},
    {720, KeyEscape, -1}, // high scores
    {780, KeyReturn, 0},  // start game
};

struct RunOfGames {
    int Game = -1;        // the game now playing or last played
    bool InGame = false;  // a game is on: from the menu's start game to the menu's return
    int StopAt = -1;      // the flip the run stops at, once the last game is over
    int Since = 0;        // the flip the game or the menu began
    bool Leaving = false; // the game has been asked to end: the bot stops playing
    int AskAgainAt = 0;
    bool Answered = false; // the exit prompt or the game-over page has had its key
    std::unique_ptr<ReplayBot> Bot;
    std::vector<int> ItemsFound; // the carousel item at each of the menu's Returns
    float TurnAtLeave = 0;
    std::size_t AirborneAtLeave = 0; // bullets, explosions and particles when the first game was left
};
RunOfGames* Current = nullptr;

void StartBot(int game) {
    ReplayBotStyle style;
    style.Seed = static_cast<unsigned>(11 + game);
    style.WanderChance = 0.1;
    style.ThrustChance = 0.05;
    Current->Bot = std::make_unique<ReplayBot>(TheWorld, style);
}

// Asks to leave the game; asked again when the prompt did not come (the ship was being lost as it was asked).
void AskToLeave(int flips) {
    RunOfGames& run = *Current;
    run.Leaving = true;
    run.AskAgainAt = flips + AskAgainAfter;
    if (run.Game == 0) {
        // Turning as the prompt comes up: the turn is what the next game must not inherit.
        Headless::HoldKey(flips + 1, KeyTurnLeftCode, 12);
        Headless::PressKey(flips + 10, KeyEscape);
    } else {
        Headless::PressKey(flips + 1, KeyEscape);
    }
}

void Drive(int flips) {
    RunOfGames& run = *Current;
    if (!run.InGame && TheWorld.DemoMode == 0) {
        run.Game += 1;
        run.InGame = true;
        run.Since = flips;
        run.Leaving = run.Answered = false;
        StartBot(run.Game);
    }
    if (run.InGame && TheWorld.DemoMode == 1) {
        run.InGame = false;
        run.Since = flips;
        if (run.Game == GamesPlayed - 1) run.StopAt = flips + 1;
        return;
    }
    if (run.InGame) {
        int into = flips - run.Since;
        if (TheWorld.ExitPromptShown == 1 && !run.Answered) {
            if (run.Game == 0) {
                run.TurnAtLeave = TheWorld.TurnSpeed;
                run.AirborneAtLeave = TheWorld.PlayerBulletsList.Count() + TheWorld.ExplosionsList.Count() +
                                      TheWorld.ParticlesList.Count();
            }
            Headless::PressKey(flips + 5, KeyY);
            run.Answered = true;
        }
        if (TheWorld.ShipsLeft < 0 && !run.Answered) {
            Headless::PressKey(flips + GameOverPageShown, KeySpace);
            run.Answered = true;
        }
        int leaveAt = LeaveAfter[run.Game];
        bool askNow = !run.Leaving ? into >= leaveAt : flips >= run.AskAgainAt;
        if (leaveAt > 0 && !run.Answered && askNow) AskToLeave(flips);
        if (!run.Leaving && !run.Answered) run.Bot->Play(flips);
        return;
    }
    if (run.Game < 0) {
        if (flips == IntroShown + 5) Headless::PressKey(flips + 1, KeyReturn);
        return;
    }
    for (const MenuStep& step : MenuVisit) {
        if (flips - run.Since != step.After) continue;
        if (step.ItemBefore >= 0) run.ItemsFound.push_back(TheMenu.MenuItem);
        Headless::PressKey(flips + 1, step.Key);
    }
}

// After each frame: the run's next keys; true once the run has gone far enough.
bool DriveTheRun(int flips) {
    Drive(flips);
    return Current->StopAt >= 0 && flips >= Current->StopAt;
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

using KeptGamesInARunTest = GameFixture;
} // namespace

TEST_F(KeptGamesInARunTest, EveryGameOfARunPlaysAgainFromAFreshProgramToTheEndItWasKeptWith) {
    RunOfGames run;
    Current = &run;
    Headless::KeepFrames(0);
    EXPECT_EQ(RunProgramHeadless(LongestRun, DriveTheRun), -1);
    Current = nullptr;
    ASSERT_EQ(run.Game, GamesPlayed - 1) << "every game was played";
    EXPECT_NE(run.TurnAtLeave, 0.0f) << "the first game was left in a turn";
    EXPECT_GT(run.AirborneAtLeave, 0u) << "with bullets or debris in the air";
    std::vector<int> expectedItems;
    for (int game = 1; game < GamesPlayed; ++game)
        for (const MenuStep& step : MenuVisit)
            if (step.ItemBefore >= 0) expectedItems.push_back(step.ItemBefore);
    EXPECT_EQ(run.ItemsFound, expectedItems) << "each screen was opened from its own item";

    // The newest game is the last, the ones before it are history, newest first.
    const std::string kept[GamesPlayed] = {HistoryGamePath(2), HistoryGamePath(1), LastGamePath()};
    const char* endings[GamesPlayed] = {"end=game-left ", "end=game-over ", "end=game-left "};
    for (int game = 0; game < GamesPlayed; ++game) {
        std::string text = Contents(kept[game]);
        std::size_t at = text.find("\n; end=");
        ASSERT_NE(at, std::string::npos) << kept[game];
        std::string promised = text.substr(at + 3, text.find('\n', at + 3) - at - 3);
        EXPECT_EQ(promised.rfind(endings[game], 0), 0u) << promised;
        ReplayScript script;
        std::string error;
        std::istringstream in(text);
        ASSERT_TRUE(ParseReplayScript(in, script, error)) << error;
        World replayed;
        EXPECT_EQ(ReplayFinalLine(replayed, RunReplay(replayed, script)), promised) << "game " << game + 1;
    }
}
