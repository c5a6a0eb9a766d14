// The fixture every test starts from: a fresh headless machine and every module's state as a new process has it.
#pragma once
#include "Turning.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "fortress/World.h"
#include "frontend/Intro.h"
#include "frontend/KeptGames.h"
#include "frontend/MainMenu.h"
#include "frontend/SettingsFile.h"
#include "platform/Streams.h"
#include "platform/headless/Headless.h"
#include "program/Program.h"
#include "program/Startup.h"
#include <functional>
#include <gtest/gtest.h>
#include <string>

// Flips the intro shows when no key shortens it: 101 growing, 78 spinning, 221 holding, then one blank.
constexpr int IntroShown = 401;
// Flips the first level page stays up when no key closes it, and the flips from the program's start until then:
// play begins with the next frame.
constexpr int LevelPageFlips = 241;
constexpr int LevelPageShown = IntroShown + LevelPageFlips;

class GameFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        Headless::Reset();
        ResetAllState();
        // Each test has a settings file of its own, in its own build's folder, so that no run reads what another
        // test's run saved, nor what the same suite running at once from another build saved.
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        TestSettingsPath =
            std::string(KESTROVAR_TEST_DIR) + "kestrovar_" + test->test_suite_name() + "_" + test->name() + ".dat";
        SetSettingsPath(TestSettingsPath);
        RemoveTestSettingsFiles();
    }
    void TearDown() override {
        Headless::Reset();
        RemoveTestSettingsFiles();
    }
    void RemoveTestSettingsFiles() const {
        for (const char* suffix : {"", ".bad", ".new"}) DeleteFile((TestSettingsPath + suffix).c_str());
        // The games a run of the program kept beside the settings file.
        for (const std::string& kept : KeptGameFiles()) DeleteFile(kept.c_str());
    }
    std::string TestSettingsPath;
    World Fight; // the test's own world: the menu's and the games' it starts, fresh for each test
};

// Each frame's look at a run: called after every frame with the flips made so far; true stops the run there.
using FrameCheck = std::function<bool(int flips)>;

// Runs the whole program until it ends or reaches the stop frame; returns the exit status, or -1 when stopped.
// The program opens on the main menu.
inline int RunProgramHeadless(World& world, int stopFrame = -1, const FrameCheck& check = {}) {
    try {
        Loop loop = StartProgram(world);
        if (!loop.Running()) return 0;
        bool ended = TurnUntil(loop, [&] {
            int flips = Headless::FrameCount();
            if (check && check(flips)) return true;
            return stopFrame >= 0 && flips >= stopFrame;
        });
        if (!ended) return -1;
        FinishProgram();
        return 0;
    } catch (const Headless::ProgramEnded& ended) {
        return ended.Status;
    }
}

// Start-up and the intro as the program runs them, then a game started at once as the menu's "start game" starts
// it, with no menu frame before it: the game's frames are numbered on from the intro's and its random draws follow
// the intro's. Returns 0 when the game ends, -1 when stopped.
inline int RunGameHeadless(World& world, int stopFrame = -1, const FrameCheck& check = {}) {
    auto stop = [&] {
        int flips = Headless::FrameCount();
        if (check && check(flips)) return true;
        return stopFrame >= 0 && flips >= stopFrame;
    };
    try {
        SetUpProgram(StartupFor::Player);
        // One loop, as the program's: the game opens in the intro's place, with the menu's music.
        Loop loop;
        loop.Open(OpenIntro([&world] {
            if (TheSettings.MusicOn == 1) Sound::Play("menu-loop", 1);
            return OpenGameFromMenu(world);
        }));
        if (!TurnUntil(loop, stop)) return -1;
        FinishGameFromMenu();
        return 0;
    } catch (const Headless::ProgramEnded& ended) {
        return ended.Status;
    }
}
