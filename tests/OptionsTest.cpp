// The options screen: moving and choosing with keys and pad, the display sizes and modes, and the toggles whose
// edge cases a player meets.
#include "frontend/Options.h"
#include "FrontEndFixture.h"
#include "core/GameState.h"
#include "fortress/Fortress.h"
#include "fortress/Sections.h"
#include "frontend/SettingsFile.h"
#include "game/TheWorld.h"
#include "graphics/Palette.h"
#include "platform/Input.h"

using OptionsTest = FrontEndFixture;

namespace {
constexpr int KeyEscape = 27, KeyCursorDown = 40, KeyReturn = 13;
constexpr int PadFire = 0, PadThrust = 1;

// Down to the line, then Return on it, then Escape.
void ChooseLine(int line) {
    int frame = Headless::FrameCount();
    for (int i = 0; i < line; ++i) Headless::PressKey(++frame, KeyCursorDown);
    Headless::PressKey(++frame, KeyReturn);
    Headless::PressKey(frame + 2, KeyEscape);
}

const Headless::DrawCall& FirstCallOfLastFrame() { return Headless::Frames().back().Calls.front(); }
} // namespace

TEST_F(OptionsTest, ASizeInAWindowReopensTheWindowWithThePlayfieldCentredAndTheFirstLineFollows) {
    ChooseLine(2);
    ASSERT_TRUE(Returns(OpenOptions(), 20));
    EXPECT_EQ(Headless::DisplayWidth(), 1280);
    EXPECT_EQ(Headless::DisplayHeight(), 1024);
    EXPECT_FALSE(Headless::DisplayIsFullScreen());
    EXPECT_EQ(TheSettings.PlayfieldOffsetX, 128);
    EXPECT_EQ(TheSettings.PlayfieldOffsetY, 128);
    EXPECT_EQ(TheSettings.SavedOffsetY, 128);
    EXPECT_EQ(FirstCallOfLastFrame().ViewX, 128);
    EXPECT_EQ(FirstCallOfLastFrame().ViewY, 128);
    EXPECT_EQ(FirstCallOfLastFrame().ViewWidth, 1024);
    EXPECT_TRUE(Shown("change to fullscreen(1280x1024)"));
    EXPECT_EQ(Bounces(), 0);
}

TEST_F(OptionsTest, AFullScreenTheMonitorLacksKeepsTheWindowAndPlaysTheRefusal) {
    Headless::SetMonitorSize(1024, 768);
    TheSettings.ScreenWidth = 1280, TheSettings.ScreenHeight = 1024,
    TheSettings.PlayfieldOffsetX = TheSettings.PlayfieldOffsetY = TheSettings.SavedOffsetY = 128;
    Graphics(1280, 1024, 0, 60);
    ChooseLine(0);
    ASSERT_TRUE(Returns(OpenOptions(), 20));
    EXPECT_TRUE(Headless::DisplayIsOpen());
    EXPECT_FALSE(Headless::DisplayIsFullScreen());
    EXPECT_EQ(Headless::DisplayWidth(), 1280);
    EXPECT_EQ(TheSettings.FullScreen, 0);
    EXPECT_EQ(TheSettings.PlayfieldOffsetX, 128);
    EXPECT_EQ(FirstCallOfLastFrame().ViewX, 128);
    EXPECT_EQ(Bounces(), 1);
}

TEST_F(OptionsTest, EffectsOffPlaysTheBlipAndOnAgainIsSilent) {
    int frame = Headless::FrameCount();
    for (int i = 0; i < 10; ++i) Headless::PressKey(++frame, KeyCursorDown);
    Headless::PressKey(frame + 1, KeyReturn);
    Headless::PressKey(frame + 3, KeyReturn);
    Headless::PressKey(frame + 5, KeyEscape);
    ASSERT_TRUE(Returns(OpenOptions(), 30));
    EXPECT_EQ(TheSettings.SoundFXOn, 1);
    EXPECT_EQ(Blips(), 10 + 1 + 0 + 1) << "ten moves, the switch off, not the switch on, the leaving";
}

TEST_F(OptionsTest, GlowInWireframeOnlyRefusesAndTheColoursRebuildTheRings) {
    TheSettings.NeonMode = 0;
    ApplyDisplayStyle();
    ChooseLine(8);
    ASSERT_TRUE(Returns(OpenOptions(), 30));
    EXPECT_EQ(Bounces(), 1);

    TheSettings.ColorsOn = 1;
    SetPalette();
    BuildMenuRings(TheWorld);
    ChooseLine(9);
    ASSERT_TRUE(Returns(OpenOptions(), 30));
    EXPECT_EQ(TheSettings.ColorsOn, 0);
    EXPECT_EQ(RingColor0, 0xFF404040u);
    int rings = 0;
    TheWorld.SectionsList.Each([&](const Sections& section) {
        EXPECT_TRUE(section.Color == RingColor0 || section.Color == RingColor1 || section.Color == RingColor2);
        ++rings;
    });
    EXPECT_GT(rings, 0);
}

TEST_F(OptionsTest, ControlsRefuseWithoutAPadAndCycleWithOne) {
    ChooseLine(13);
    ASSERT_TRUE(Returns(OpenOptions(), 30));
    EXPECT_EQ(Bounces(), 1);
    EXPECT_EQ(TheControls.ControlMode, 0);
    EXPECT_EQ(TheControls.PadActive, 0);
    EXPECT_TRUE(Shown("Controls (keyboard, no pad present)"));

    // A pad plugged in while the screen is up is found; the choice then steps keyboard, pad, swapped, keyboard.
    int frame = Headless::FrameCount();
    Headless::PlugPad(frame + 2, true);
    for (int i = 0; i < 13; ++i) Headless::PressKey(frame + 4 + i, KeyCursorDown);
    frame += 4 + 13;
    Headless::PressKey(frame + 1, KeyReturn);
    Headless::PressKey(frame + 3, KeyReturn);
    Headless::PressKey(frame + 5, KeyEscape);
    ASSERT_TRUE(Returns(OpenOptions(), 40));
    EXPECT_TRUE(Shown("Controls (keyboard, pad present)"));
    EXPECT_TRUE(Shown("Controls (pad - normal buttons)"));
    EXPECT_EQ(TheControls.ControlMode, 2);
    EXPECT_EQ(TheControls.PadActive, 1);
    EXPECT_EQ(TheControls.PadFireButton, PadThrust);
    EXPECT_EQ(TheControls.PadThrustButton, PadFire);
}

TEST_F(OptionsTest, ThePadMovesALineAFrameAndChoosesAndEscapeLeavesFromAnyLine) {
    Headless::PlugPad(0, true);
    TheControls.ControlMode = 1, TheControls.PadActive = 1;
    int frame = Headless::FrameCount();
    Headless::SetPad(frame + 1, 0, 1); // held down for two frames: two lines
    Headless::SetPad(frame + 3, 0, 0);
    Headless::PressPadButton(frame + 5, PadFire); // line 2: 1280 x 1024
    Headless::PressKey(frame + 7, KeyEscape);
    std::uint32_t before = Headless::Clock();
    ASSERT_TRUE(Returns(OpenOptions(), 20));
    EXPECT_EQ(Headless::DisplayWidth(), 1280);
    EXPECT_GE(Headless::Clock() - before, 2u * 150u) << "each step of the pad waits 150 ms";
}

TEST_F(OptionsTest, AStoredFullScreenTheMonitorRefusesStartsInAWindowAndSaysWhyInOneLine) {
    TheSettings.FullScreen = 1, TheSettings.ScreenWidth = 1680, TheSettings.ScreenHeight = 1050,
    TheSettings.PlayfieldOffsetX = 328, TheSettings.PlayfieldOffsetY = 141;
    SaveSettings(TheSettings);
    Headless::Reset();
    ResetAllState();
    SetSettingsPath(TestSettingsPath);
    Headless::SetMonitorSize(1024, 768);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunProgramHeadless(5), -1);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(Headless::DisplayIsOpen());
    EXPECT_FALSE(Headless::DisplayIsFullScreen());
    EXPECT_EQ(Headless::DisplayWidth(), 1680);
    EXPECT_EQ(TheSettings.FullScreen, 0) << "the options offer full screen again";
    EXPECT_EQ(TheSettings.PlayfieldOffsetX, 328);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("1680x1050 full screen"), std::string::npos) << said;
}
