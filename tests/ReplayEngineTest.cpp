// The replay engine: when a script's events reach the game, how a replay ends, the state line it prints, the pad
// set-ups, and that a replay plays the same game whatever the player's own settings file holds.
#include "game/replay/ReplayEngine.h"
#include "GameFixture.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "fortress/World.h"
#include "frontend/SettingsFile.h"
#include "game/Ship.h"
#include "game/StateHash.h"
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {
using ReplayEngineTest = GameFixture;

ReplayScript ScriptOf(const std::string& text) {
    ReplayScript script;
    std::istringstream in(text);
    std::string error;
    EXPECT_TRUE(ParseReplayScript(in, script, error)) << error;
    return script;
}

// The ship's angle after each frame, index 0 holding frame 1.
std::vector<float> AnglesOf(const std::string& text) {
    std::vector<float> angles;
    World w;
    RunReplay(w, ScriptOf(text), [&angles, &w](int) { angles.push_back(w.ShipAngle); });
    return angles;
}
} // namespace

TEST_F(ReplayEngineTest, AnEventIsReadByTheFrameAfterItsNumber) {
    std::vector<float> angles = AnglesOf("seed 5\n300 down 39\nend 302\n");
    ASSERT_EQ(angles.size(), 302u);
    EXPECT_EQ(angles[299], 270.0f); // frame 300: the key is not down yet
    EXPECT_EQ(angles[300], 271.5f); // frame 301 turns one step right
}

TEST_F(ReplayEngineTest, EachEndingIsNamed) {
    World w;
    ReplayOutcome ended = RunReplay(w, ScriptOf("seed 5\nend 300\n"));
    EXPECT_EQ(ended.How, ReplayOutcome::Ending::ScriptEnded);
    EXPECT_EQ(ended.Frames, 300);
    ReplayOutcome left = RunReplay(w, ScriptOf("seed 5\n300 down 27\n301 up 27\n320 down 89\n321 up 89\nend 2000\n"));
    EXPECT_EQ(left.How, ReplayOutcome::Ending::GameLeft);
    EXPECT_GE(left.Frames, 320);
    EXPECT_LT(left.Frames, 400);
    // A ship left alone is lost to the cannon's missiles and bullets, four times over.
    ReplayOutcome over = RunReplay(w, ScriptOf("seed 5\nend 20000\n"));
    EXPECT_EQ(over.How, ReplayOutcome::Ending::GameOver);
    EXPECT_LT(over.Frames, 20000);
    EXPECT_EQ(w.ShipsLeft, -1);
    EXPECT_EQ(ReplayFinalLine(w, over).rfind("end=game-over frame=" + std::to_string(over.Frames) + " ", 0), 0u);
}

TEST_F(ReplayEngineTest, TheStateLineNamesEveryFigure) {
    World w;
    ReplayOutcome outcome = RunReplay(w, ScriptOf("seed 5\nend 200\n"));
    char hash[24];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(GameStateHash(w)));
    // Frame 200 is still the level page: the ship waits at its spawn point and the rings are whole.
    EXPECT_EQ(ReplayFinalLine(w, outcome), std::string("end=script-ended frame=200 score=0 ships=3 level=1 x=900.00 "
                                                       "y=256.00 angle=270.00 sections=36 missiles=0 enemy-bullets=0 "
                                                       "explosions=0 hash=") +
                                               hash);
}

TEST_F(ReplayEngineTest, ThePadSteersFromWhereItRestedWhenTheGameStarted) {
    // Resting off centre at the start: that position is the stick's middle, so only a push beyond it turns.
    const std::string pad = "seed 5\n0 plug\n0 pad 0.5 0\n300 pad 1 0\nend 302\n";
    std::vector<float> angles = AnglesOf("controls pad\n" + pad);
    ASSERT_EQ(angles.size(), 302u);
    EXPECT_EQ(angles[299], 270.0f);
    EXPECT_EQ(angles[300], 271.5f);
    // Without the pad chosen as the controls, the stick does nothing.
    angles = AnglesOf("controls keyboard\n" + pad);
    ASSERT_EQ(angles.size(), 302u);
    EXPECT_EQ(angles[300], 270.0f);
}

TEST_F(ReplayEngineTest, ThePadButtonsFollowTheChosenSetUp) {
    World w;
    // Button 1 thrusts with the pad set up plainly and fires with the buttons swapped.
    const std::string press = "seed 5\n0 plug\n300 button-down 1\n330 button-up 1\nend 331\n";
    RunReplay(w, ScriptOf("controls pad\n" + press));
    EXPECT_NE(w.ShipX, 900.0f);
    RunReplay(w, ScriptOf("controls pad-swapped\n" + press));
    EXPECT_EQ(w.ShipX, 900.0f);
    EXPECT_EQ(w.PlayerBulletsList.Count(), 1u);
}

TEST_F(ReplayEngineTest, ThePlayersSettingsFileIsNeitherReadNorWritten) {
    namespace fs = std::filesystem;
    fs::path before = fs::current_path();
    fs::path folder = fs::path(KESTROVAR_TEST_DIR) / "kestrovar_replay_settings";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::current_path(folder);
    // A player who turns right with D (68) instead of the cursor key.
    ResetSettings();
    TheSettings.KeyTurnRight = 68;
    SaveSettings(TheSettings);
    auto written = fs::last_write_time(folder / "Kestrovar.dat");
    std::uintmax_t size = fs::file_size(folder / "Kestrovar.dat");
    std::vector<float> angles = AnglesOf("seed 5\n300 down 39\nend 302\n");
    fs::current_path(before);
    ASSERT_EQ(angles.size(), 302u);
    EXPECT_EQ(angles[300], 271.5f);
    EXPECT_EQ(fs::last_write_time(folder / "Kestrovar.dat"), written);
    EXPECT_EQ(fs::file_size(folder / "Kestrovar.dat"), size);
    fs::remove_all(folder);
}
