// The main menu: the carousel and its hold rule, the exit confirmation's answers, a game started from it and the
// menu it comes back to, the server's ticket it fetches for that game, the ghost's wrap, and the attract play's lists
// staying bounded.
#include "frontend/MainMenu.h"
#include "GameFixture.h"
#include "core/GameState.h"
#include "core/Tables.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "frontend/Network.h"
#include "frontend/SettingsFile.h"
#include "frontend/Tickets.h"
#include "game/Pages.h"
#include "game/Ship.h"
#include "game/TheWorld.h"
#include "graphics/Stars.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {
using MainMenuTest = GameFixture;

constexpr int KeyEscape = 27, KeyY = 89, KeyN = 78, KeyCursorRight = 39;
constexpr int GhostRecords = 1996;
// The flips before the menu's first frame is shown; an event at Menu + k is read by the menu's k-th frame after it.
constexpr int Menu = IntroShown;

std::vector<int> ItemsShown; // MenuItem after each flip
bool RecordItem(int) {
    ItemsShown.push_back(TheMenu.MenuItem);
    return false;
}
} // namespace

TEST_F(MainMenuTest, HoldingCursorRightStepsOneItemEvery15FramesAndWraps) {
    ItemsShown.clear();
    Headless::HoldKey(Menu + 5, KeyCursorRight, 100); // down for menu frames 5 … 104
    EXPECT_EQ(RunProgramHeadless(Menu + 150, RecordItem), -1);
    std::vector<int> steps, items;
    for (std::size_t frame = Menu + 1; frame < ItemsShown.size(); ++frame) {
        if (ItemsShown[frame] == ItemsShown[frame - 1]) continue;
        steps.push_back(static_cast<int>(frame) - Menu);
        items.push_back(ItemsShown[frame]);
    }
    // The check after each frame sees frame n's item after n + 1 flips.
    EXPECT_EQ(steps, (std::vector<int>{5, 20, 35, 50, 65, 80, 95}));
    EXPECT_EQ(items, (std::vector<int>{1, 2, 3, 4, 0, 1, 2}));
}

TEST_F(MainMenuTest, EscapeAsksFirstNoOrEscapeReturnsToStartGameAndYLeaves) {
    Headless::PressKey(Menu + 3, KeyCursorRight);
    Headless::PressKey(Menu + 10, KeyEscape);
    Headless::PressKey(Menu + 20, KeyN);
    Headless::PressKey(Menu + 30, KeyEscape);
    Headless::PressKey(Menu + 40, KeyEscape);
    Headless::PressKey(Menu + 50, KeyEscape);
    Headless::PressKey(Menu + 60, KeyY);
    ItemsShown.clear();
    EXPECT_EQ(RunProgramHeadless(1000, RecordItem), 0);
    EXPECT_EQ(ItemsShown[Menu + 5], 1);
    EXPECT_EQ(ItemsShown[Menu + 25], 0); // back from the first question on "start game"
    EXPECT_EQ(TheWorld.GameState, 1);
    // Y comes with frame 60 and ends the program after it; the settings are written as it ends.
    EXPECT_EQ(Headless::FrameCount(), Menu + 60);
    EXPECT_TRUE(FileExists(TestSettingsPath.c_str()));
}

TEST_F(MainMenuTest, YesAndNoInOneFrameOfTheQuestionIsNo) {
    Headless::PressKey(Menu + 10, KeyEscape);
    Headless::PressKey(Menu + 20, KeyY);
    Headless::PressKey(Menu + 20, KeyN);
    EXPECT_EQ(RunProgramHeadless(Menu + 40), -1);
    EXPECT_EQ(TheWorld.GameState, 0);
}

TEST_F(MainMenuTest, AGameFromTheMenuReturnsToItWithFreshRingsAndTheSettingsSaved) {
    // Return on the menu's second frame: the game's frames come one flip after those of RunGameHeadless.
    Headless::PressKey(Menu + 1, KeyReturn);
    Headless::PressKey(LevelPageShown + 11, KeyEscape);
    Headless::PressKey(LevelPageShown + 21, KeyY);
    // The menu's first two frames after the game are drawn before the stop.
    EXPECT_EQ(RunProgramHeadless(LevelPageShown + 24), -1);
    EXPECT_EQ(TheWorld.DemoMode, 1);
    EXPECT_EQ(TheMenu.MenuItem, 0);
    EXPECT_EQ(TheMenu.MenuLogoA, 180 - 2 * 4);
    EXPECT_EQ(TheMenu.MenuLogoB, 180 + 2 * 4);
    EXPECT_EQ(TheMenu.GhostIndex, 2 * GhostRecordValues);
    EXPECT_EQ(TheWorld.SectionsList.Count(), 36u);
    TheWorld.SectionsList.Each([](const Sections& s) { EXPECT_LT(s.Radius, 40.0f); });
    EXPECT_TRUE(FileExists(TestSettingsPath.c_str()));
}

TEST_F(MainMenuTest, TheMenuFetchesATicketThatSeedsTheGameItStartsAndAsksAgainAfterIt) {
    SetUpProgram(StartupFor::Player);
    ASSERT_TRUE(Network::BindNetworkComponent("libfake_net_whole.so")); // answers a new game's seed and ticket
    SetKeepPlayerGames(true);
    int start = Headless::FrameCount();
    Headless::PressKey(start + 2, KeyReturn);
    Headless::PressKey(start + 2 + LevelPageFlips + 10, KeyEscape);
    Headless::PressKey(start + 2 + LevelPageFlips + 20, KeyY);
    Loop loop;
    loop.Open(OpenMainMenu());
    EXPECT_FALSE(TurnToFrame(loop, start + 2 + LevelPageFlips + 30)) << "the menu stays until it is left";
    EXPECT_EQ(TheWorld.DemoMode, 1) << "back at the menu";
    std::ifstream in(LastGamePath());
    std::stringstream kept;
    kept << in.rdbuf();
    EXPECT_NE(kept.str().find("\nseed 8675309\nticket fake-Ticket_1\n"), std::string::npos) << kept.str();
    EXPECT_TRUE(HoldingTicket()) << "the next game's";
}

TEST_F(MainMenuTest, TheGhostsWrapRebuildsTheRingsFromTheCentre) {
    // Frame n plays record n; the last record's frame starts the flight over and rebuilds the rings.
    EXPECT_EQ(RunProgramHeadless(Menu + GhostRecords - 1), -1);
    EXPECT_EQ(TheMenu.GhostIndex, GhostLastIndex);
    float outer = 0;
    TheWorld.SectionsList.Each([&](const Sections& s) { outer = std::max(outer, s.Radius); });
    EXPECT_GE(outer, 112.0f);
    Headless::Reset();
    ResetAllState();
    SetSettingsPath(TestSettingsPath);
    EXPECT_EQ(RunProgramHeadless(Menu + GhostRecords), -1);
    EXPECT_EQ(TheMenu.GhostIndex, 0);
    ASSERT_EQ(TheWorld.SectionsList.Count(), 36u);
    TheWorld.SectionsList.Each([](const Sections& s) {
        EXPECT_EQ(s.Life, 2);
        EXPECT_LT(s.Radius, 30.0f);
    });
}

TEST_F(MainMenuTest, TheGhostFlightStartsAtRestAndIsARecordedFlight) {
    SetUpProgram(StartupFor::Replay);
    EXPECT_EQ(GhostMovement[0], 768.0f);
    EXPECT_EQ(GhostMovement[1], 600.0f);
    EXPECT_EQ(GhostMovement[2], 0.0f);
    int shots = 0, thrusting = 0;
    for (int record = 0; record < GhostRecords; ++record) {
        const float* r = &GhostMovement[record * GhostRecordValues];
        ASSERT_TRUE(r[3] == 0.0f || r[3] == 1.0f) << record;
        ASSERT_TRUE(r[4] == 9.0f || r[4] == 12.0f) << record;
        ASSERT_GE(r[2], 0.0f);
        ASSERT_LT(r[2], 360.0f);
        shots += r[3] == 1.0f ? 1 : 0;
        thrusting += r[4] == 12.0f ? 1 : 0;
        // A flown ship: no jump between frames (the edge wrap aside, which this flight never needs).
        if (record > 0) {
            ASSERT_LT(std::hypot(r[0] - r[-5], r[1] - r[-4]), 13.5f) << record;
        }
    }
    EXPECT_NEAR(shots, 88, 8);
    EXPECT_NEAR(thrusting, 900, 100);
}

TEST_F(MainMenuTest, TheBottomLineTakesTurnsWithANewVersionNoticeEvery181Frames) {
    VersionNotice = "  new version (v1.3) is available";
    Headless::KeepFrames(-1);
    EXPECT_EQ(RunProgramHeadless(Menu + 400), -1);
    // The bottom line on row 35 at 0.75: the credit line in blue, the notice in white.
    auto bottomStrips = [](int flip, std::uint32_t colour) {
        int count = 0;
        for (const Headless::DrawCall& call : Headless::Frames()[static_cast<std::size_t>(flip)].Calls)
            if (call.Type == Headless::DrawCall::Strip && call.Vertices[0].Argb == colour && call.Y1 > 720) count += 1;
        return count;
    };
    constexpr std::uint32_t CreditBlue = 0xFF4043FF, White = 0xFFFFFFFF;
    EXPECT_GT(bottomStrips(Menu + 180, CreditBlue), 0);
    EXPECT_EQ(bottomStrips(Menu + 180, White), 0);
    EXPECT_EQ(bottomStrips(Menu + 181, CreditBlue), 0);
    EXPECT_GT(bottomStrips(Menu + 181, White), 0);
    EXPECT_EQ(bottomStrips(Menu + 362, White), 0);
    EXPECT_GT(bottomStrips(Menu + 362, CreditBlue), 0);
}
