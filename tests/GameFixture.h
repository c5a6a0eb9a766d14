// The fixture every test starts from: a fresh headless machine and every module's state as a new process has it.
#pragma once
#include "game/Startup.h"
#include "platform/headless/Headless.h"
#include <gtest/gtest.h>

// Frames the first level page stays up when no key closes it: play begins with the next frame.
constexpr int LevelPageShown = 241;

class GameFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        Headless::Reset();
        ResetAllState();
    }
    void TearDown() override { Headless::Reset(); }
};

// Runs the whole program until it ends or reaches the stop frame; returns the exit status, or -1 when stopped.
inline int RunProgramHeadless(int stopFrame = -1) {
    Headless::StopAtFrame(stopFrame);
    try {
        RunProgram();
        return 0;
    } catch (const Headless::ProgramEnded& ended) {
        return ended.Status;
    } catch (const Headless::RunStopped&) {
        return -1;
    }
}
