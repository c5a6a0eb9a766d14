// The main menu: the carousel and its hold rule, the exit confirmation's answers, a game started from it and the
// menu it comes back to, the ghost's wrap, and the attract play's lists staying bounded.
#include "frontend/MainMenu.h"
#include "GameFixture.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "game/GameState.h"
#include "game/Pages.h"
#include "game/Ship.h"
#include "graphics/Stars.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
using MainMenuTest = GameFixture;

constexpr int KeyEscape = 27, KeyY = 89, KeyN = 78, KeyCursorRight = 39;
constexpr int GhostRecords = 1996;

std::vector<int> ItemsShown; // MenuItem after each flip
void RecordItem(int) { ItemsShown.push_back(MenuItem); }
} // namespace

TEST_F(MainMenuTest, HoldingCursorRightStepsOneItemEvery15FramesAndWraps) {
    ItemsShown.clear();
    Headless::SetFlipHook(RecordItem);
    Headless::HoldKey(5, KeyCursorRight, 100); // down for frames 5 … 104
    EXPECT_EQ(RunProgramHeadless(150), -1);
    std::vector<int> steps, items;
    for (std::size_t frame = 1; frame < ItemsShown.size(); ++frame) {
        if (ItemsShown[frame] == ItemsShown[frame - 1]) continue;
        steps.push_back(static_cast<int>(frame));
        items.push_back(ItemsShown[frame]);
    }
    // The flip hook sees frame n's item after n + 1 flips.
    EXPECT_EQ(steps, (std::vector<int>{5, 20, 35, 50, 65, 80, 95}));
    EXPECT_EQ(items, (std::vector<int>{1, 2, 3, 4, 0, 1, 2}));
}

TEST_F(MainMenuTest, EscapeAsksFirstNoOrEscapeReturnsToStartGameAndYLeaves) {
    Headless::PressKey(3, KeyCursorRight);
    Headless::PressKey(10, KeyEscape);
    Headless::PressKey(20, KeyN);
    Headless::PressKey(30, KeyEscape);
    Headless::PressKey(40, KeyEscape);
    Headless::PressKey(50, KeyEscape);
    Headless::PressKey(60, KeyY);
    ItemsShown.clear();
    Headless::SetFlipHook(RecordItem);
    EXPECT_EQ(RunProgramHeadless(1000), 0);
    EXPECT_EQ(ItemsShown[5], 1);
    EXPECT_EQ(ItemsShown[25], 0); // back from the first question on "start game"
    EXPECT_EQ(GameState, 1);
    // Y comes with frame 60 and ends the program after it; the settings are written as it ends.
    EXPECT_EQ(Headless::FrameCount(), 60);
    EXPECT_TRUE(FileExists(TestSettingsPath.c_str()));
}

TEST_F(MainMenuTest, YesAndNoInOneFrameOfTheQuestionIsNo) {
    Headless::PressKey(10, KeyEscape);
    Headless::PressKey(20, KeyY);
    Headless::PressKey(20, KeyN);
    EXPECT_EQ(RunProgramHeadless(40), -1);
    EXPECT_EQ(GameState, 0);
}

TEST_F(MainMenuTest, AGameFromTheMenuReturnsToItWithFreshRingsAndTheSettingsSaved) {
    Headless::PressKey(0, KeyReturn);
    Headless::PressKey(LevelPageShown + 10, KeyEscape);
    Headless::PressKey(LevelPageShown + 20, KeyY);
    // Y is answered after frame 261; the menu's first two frames after it are drawn before the stop.
    EXPECT_EQ(RunProgramHeadless(LevelPageShown + 23), -1);
    EXPECT_EQ(DemoMode, 1);
    EXPECT_EQ(MenuItem, 0);
    EXPECT_EQ(MenuLogoA, 180 - 2 * 4);
    EXPECT_EQ(MenuLogoB, 180 + 2 * 4);
    EXPECT_EQ(GhostIndex, 2 * GhostRecordValues);
    EXPECT_EQ(SectionsList.Count(), 36u);
    SectionsList.Each([](const Sections& s) { EXPECT_LT(s.Radius, 40.0f); });
    EXPECT_TRUE(FileExists(TestSettingsPath.c_str()));
}

TEST_F(MainMenuTest, TheGhostsWrapRebuildsTheRingsFromTheCentre) {
    // Frame n plays record n; the last record's frame starts the flight over and rebuilds the rings.
    EXPECT_EQ(RunProgramHeadless(GhostRecords - 1), -1);
    EXPECT_EQ(GhostIndex, GhostLastIndex);
    float outer = 0;
    SectionsList.Each([&](const Sections& s) { outer = std::max(outer, s.Radius); });
    EXPECT_GE(outer, 112.0f);
    Headless::Reset();
    ResetAllState();
    SetSettingsPath(TestSettingsPath);
    EXPECT_EQ(RunProgramHeadless(GhostRecords), -1);
    EXPECT_EQ(GhostIndex, 0);
    ASSERT_EQ(SectionsList.Count(), 36u);
    SectionsList.Each([](const Sections& s) {
        EXPECT_EQ(s.Life, 2);
        EXPECT_LT(s.Radius, 30.0f);
    });
}
