// Start-up into a game, the frame loop, the exit prompt's answer rules and the program's end, run headless.
#include "game/GameLoop.h"
#include "GameFixture.h"
#include "NeonFixture.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "core/Tables.h"
#include "frontend/MainMenu.h"
#include "game/Levels.h"
#include "game/Pages.h"
#include "game/Ship.h"
#include "game/StateHash.h"
#include "game/TheWorld.h"
#include "graphics/Palette.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Random.h"
#include "platform/Time.h"

using StartupTest = GameFixture;
using GameLoopTest = GameFixture;
using ExitPromptTest = GameFixture;
using StepAndDrawTest = PlayerGameFixture;

namespace {
constexpr int KeyEscape = 27;
constexpr int KeyY = 89;
constexpr int KeyN = 78;

bool FrameClearsPlayfield(const Headless::FrameRecord& frame) {
    for (const Headless::DrawCall& call : frame.Calls)
        if (call.Type == Headless::DrawCall::Clear)
            return call.ViewX == TheSettings.PlayfieldOffsetX && call.ViewY == TheSettings.PlayfieldOffsetY &&
                   call.ViewWidth == 1024 && call.ViewHeight == 768;
    return false;
}
} // namespace

TEST_F(StartupTest, OpensTitledWindowWithDefaultsAndFillsTables) {
    EXPECT_EQ(RunProgramHeadless(5), -1);
    EXPECT_TRUE(Headless::DisplayIsOpen());
    EXPECT_EQ(Headless::DisplayWidth(), 1024);
    EXPECT_EQ(Headless::DisplayHeight(), 768);
    EXPECT_FALSE(Headless::DisplayIsFullScreen());
    EXPECT_FALSE(Headless::PointerShown());
    EXPECT_EQ(Headless::Title(), "Kestrovar v1.3");
    EXPECT_EQ(SinTable[90], 1.0f);
    EXPECT_EQ(CosTable[360], 1.0f);
    EXPECT_EQ(SinTable[0], 0.0f);
    EXPECT_EQ(GetBlend(), LIGHTBLEND); // neon by default
    EXPECT_EQ(TheSettings.KeyTurnLeft, 37);
    EXPECT_EQ(TheSettings.KeyThrust, 164);
    EXPECT_EQ(TheSettings.PlayerName, "unnamed");
    EXPECT_EQ(TheSettings.OnlineNames[9], "..........");
    EXPECT_EQ(TheSettings.OnlineDates[0], " ");
    EXPECT_FLOAT_EQ(TheWorld.ShipMaxSpeed, 13.0f);
    EXPECT_FLOAT_EQ(TheWorld.TurnMax, 5.0f);
}

TEST_F(StartupTest, PaletteFollowsColoursSetting) {
    TheSettings.ColorsOn = 1;
    SetPalette();
    EXPECT_EQ(RingColor0, 0xFF74740Eu);
    EXPECT_EQ(PaletteColor1, 0xFFE47C0Cu);
    for (int setting : {0, 2, -1}) {
        TheSettings.ColorsOn = setting;
        SetPalette();
        EXPECT_EQ(RingColor0, 0xFF404040u);
        EXPECT_EQ(RingColor1, 0xFF606060u);
        EXPECT_EQ(RingColor2, 0xFF808080u);
        EXPECT_EQ(PaletteColor1, 0xFFFFFFFFu);
    }
}

TEST_F(StartupTest, NoDisplayEndsWithOneLineAndNonZeroStatus) {
    Headless::SetDisplayAvailable(false);
    ::testing::internal::CaptureStderr();
    int status = RunProgramHeadless(100);
    std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(status, 0);
    EXPECT_NE(status, -1);
    EXPECT_EQ(message.rfind("Unable to open the display", 0), 0u) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
    // A player who started the game from a desktop icon sees the same line in a message box.
    EXPECT_EQ(Headless::FatalMessage() + "\n", message);
}

TEST_F(StartupTest, RunsOnlyOncePerProcess) {
    Headless::PressKey(LevelPageShown + 3, KeyEscape);
    Headless::PressKey(LevelPageShown + 6, KeyY);
    ASSERT_EQ(RunProgramHeadless(1000), 0);
    int frames = Headless::FrameCount();
    EXPECT_EQ(RunProgramHeadless(1000), 0);
    EXPECT_EQ(Headless::FrameCount(), frames);
}

TEST_F(StartupTest, ClosingTheWindowEndsWithStatusZero) {
    Headless::CloseWindow(20);
    EXPECT_EQ(RunProgramHeadless(1000), 0);
    EXPECT_EQ(Headless::FrameCount(), 20);
}

TEST_F(GameLoopTest, GameStartsShipAtSpawnAndClearsPlayfieldEachFrame) {
    EXPECT_EQ(RunGameHeadless(LevelPageShown + 120), -1);
    EXPECT_EQ(TheWorld.DemoMode, 0);
    EXPECT_EQ(TheWorld.ShipsLeft, 3);
    EXPECT_EQ(TheWorld.Level, 1);
    EXPECT_EQ(TheWorld.ShipX, 900.0f);
    EXPECT_EQ(TheWorld.ShipY, 256.0f);
    EXPECT_EQ(TheWorld.ShipAngle, 270.0f);
    // The cannon holds its fire for the first 120 frames of a level, one count a frame.
    EXPECT_EQ(TheWorld.CannonFireDelay, 0);
    EXPECT_EQ(TheWorld.GameState, 0);
    ASSERT_EQ(Headless::Frames().size(), static_cast<std::size_t>(LevelPageShown + 120));
    for (const Headless::FrameRecord& frame : Headless::Frames()) ASSERT_TRUE(FrameClearsPlayfield(frame));
    // Sixty frames a second on the virtual clock; the intro pauses a tenth of a second after its last frame and the
    // menu a quarter second before a game, so the first frame is late and shows at once. The counter shows twice
    // each half-second's frames.
    EXPECT_EQ(MilliSecs(), 100 + 250 + (LevelPageShown + 120 - 1) * 1000 / 60);
    EXPECT_EQ(TheWorld.Fps, 60);
}

TEST_F(GameLoopTest, EscapeThenYesLeavesTheGameForTheMenu) {
    // Return on the menu's second frame starts the game one flip later than RunGameHeadless does.
    Headless::PressKey(IntroShown + 1, KeyReturn);
    Headless::PressKey(LevelPageShown + 11, KeyEscape);
    Headless::PressKey(LevelPageShown + 31, KeyY);
    EXPECT_EQ(RunProgramHeadless(LevelPageShown + 41), -1);
    EXPECT_EQ(TheWorld.DemoMode, 1);
    EXPECT_EQ(TheWorld.GameState, 0);
    EXPECT_EQ(TheWorld.ExitPromptShown, 0);
    EXPECT_GT(TheMenu.MenuLogoA, 0); // the menu is back and its logo flies in again
    EXPECT_LT(TheMenu.MenuLogoA, 180);
}

TEST_F(GameLoopTest, PromptPulseCountsDownWhileShown) {
    Headless::PressKey(LevelPageShown + 10, KeyEscape);
    EXPECT_EQ(RunGameHeadless(LevelPageShown + 20), -1);
    EXPECT_EQ(TheWorld.ExitPromptShown, 1);
    EXPECT_LT(TheWorld.PromptPulse, 25.0f);
    EXPECT_GT(TheWorld.PromptPulse, 15.0f);
}

TEST_F(ExitPromptTest, NoKeepsPlayingAndTheEscapeThatOpenedItDoesNotAnswer) {
    Headless::PressKey(10, KeyEscape);
    Headless::PressKey(20, KeyN);
    EXPECT_EQ(RunGameHeadless(60), -1);
    EXPECT_EQ(TheWorld.ExitPromptShown, 0);
    EXPECT_EQ(TheWorld.GameState, 0);
}

TEST_F(ExitPromptTest, YesAndNoInOneFrameStays) {
    Headless::PressKey(10, KeyEscape);
    Headless::PressKey(20, KeyY);
    Headless::PressKey(20, KeyN);
    EXPECT_EQ(RunGameHeadless(60), -1);
    EXPECT_EQ(TheWorld.GameState, 0);
    EXPECT_EQ(TheWorld.ExitPromptShown, 0);
}

TEST_F(ExitPromptTest, AnswerRulesForEveryKey) {
    TheSettings.KeyTurnLeft = 65;  // A
    TheSettings.KeyTurnRight = 68; // D
    struct Case {
        std::vector<int> Keys;
        int Answer;
    } cases[] = {
        {{}, 0},          {{KeyY}, 1},       {{65}, 1},     {{13}, 1}, {{KeyN}, 2}, {{68}, 2},
        {{KeyEscape}, 2}, {{KeyY, KeyN}, 2}, {{65, 68}, 2}, {{37}, 0}, {{39}, 0},   {{13, KeyEscape}, 2},
    };
    for (const Case& c : cases) {
        FlushKeys();
        for (int key : c.Keys) Headless::PressKey(Headless::FrameCount(), key);
        EXPECT_EQ(ReadExitAnswer(), c.Answer) << "keys " << c.Keys.size();
    }
}

TEST_F(ExitPromptTest, OneGroupStopsAtItsFirstHit) {
    // Y answers; the Return press of the same group stays counted for later.
    Headless::PressKey(0, KeyY);
    Headless::PressKey(0, 13);
    EXPECT_EQ(ReadExitAnswer(), 1);
    EXPECT_EQ(KeyHit(13), 1);
}

TEST_F(GameLoopTest, FrameRateWindowAdvancesByHalfSeconds) {
    TheWorld.FpsTimer = 0;
    TheWorld.FpsFrames = 0;
    Headless::AdvanceClock(1600); // a stall: three windows are owed
    UpdateFrameRate(TheWorld);
    EXPECT_EQ(TheWorld.Fps, 2);
    EXPECT_FLOAT_EQ(TheWorld.FpsTimer, 500);
    UpdateFrameRate(TheWorld);
    EXPECT_FLOAT_EQ(TheWorld.FpsTimer, 1000);
    UpdateFrameRate(TheWorld);
    EXPECT_FLOAT_EQ(TheWorld.FpsTimer, 1500);
    UpdateFrameRate(TheWorld);
    EXPECT_FLOAT_EQ(TheWorld.FpsTimer, 1500);
    EXPECT_EQ(TheWorld.Fps % 2, 0);
}

// A frame is a step then a draw: the step draws nothing, and the draw changes nothing of the game and takes no
// random number (the checker, which never draws, plays the same game). The ship sits still until the cannon's shots
// and missiles kill it: play, the blast, the ship-lost page and play again, in both display styles.
TEST_F(StepAndDrawTest, StepsDrawNothingAndDrawsChangeNothing) {
    for (int neon : {1, 0}) {
        TheSettings.NeonMode = neon;
        ApplyDisplayStyle();
        SetPalette();
        TheWorld.Level = 3;
        TheWorld.ShipsLeft = 2;
        GameRun run = StartGame(TheWorld);
        SetUpLevel(TheWorld);
        run.Phase = GamePhase::Playing;
        int phasesSeen = 0;
        for (int frame = 0; frame < 900 && run.Phase != GamePhase::Over; ++frame) {
            Flip(0);
            StepGame(TheWorld, run);
            ASSERT_TRUE(Headless::CurrentFrame().Calls.empty()) << "neon " << neon << ", frame " << frame;
            std::uint64_t hash = GameStateHash(TheWorld);
            int seed = RndSeed();
            DrawGame(TheWorld, run);
            ASSERT_FALSE(Headless::CurrentFrame().Calls.empty());
            ASSERT_EQ(GameStateHash(TheWorld), hash) << "neon " << neon << ", frame " << frame;
            ASSERT_EQ(RndSeed(), seed) << "neon " << neon << ", frame " << frame;
            GamePhase before = run.Phase;
            FinishGameFrame(TheWorld, run);
            phasesSeen += run.Phase != before ? 1 : 0;
        }
        EXPECT_GE(phasesSeen, 3) << "play, the blast, the ship-lost page and play again";
    }
}
