// The title logo's table and drawing, and the glow screen: its octagons, the spin of the chosen one and the ends of
// its scale.
#include "graphics/Logo.h"
#include "GameFixture.h"
#include "NeonFixture.h"
#include "core/Settings.h"
#include "frontend/GlowScreen.h"
#include "graphics/Art.h"
#include "platform/Input.h"
#include "platform/Random.h"
#include "platform/headless/HeadlessAudio.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {
using LogoTest = NeonFixture;
using GlowScreenTest = GameFixture;

constexpr int LogoLines = 232;
constexpr std::uint32_t Teal = 0xFF009090, Yellow = 0xFFFFFF00;
constexpr int KeyCursorLeft = 37, KeyCursorRight = 39;

struct Extents {
    int Left = 1 << 20, Top = 1 << 20, Right = -(1 << 20), Bottom = -(1 << 20);
};

// Runs the glow screen on a started program until the stop frame; the frames it drew are kept.
void RunGlowScreen(int frames) {
    SetUpProgram(StartupFor::Replay);
    EXPECT_FALSE(ScreenReturns(OpenGlowScreen(), frames)) << "the glow screen stays until it is left";
}

std::vector<StripSegment> StripsOf(const Headless::FrameRecord& frame, std::uint32_t colour) {
    std::vector<StripSegment> found;
    for (const Headless::DrawCall& call : frame.Calls)
        if (call.Type == Headless::DrawCall::Strip && call.Vertices[0].Argb == colour) found.push_back(SegmentOf(call));
    return found;
}

// The chosen octagon's turn in whole degrees, from its first corner, which stands straight above at angle 0.
int ChosenAngle(const Headless::FrameRecord& frame) {
    std::vector<StripSegment> chosen = StripsOf(frame, Yellow);
    EXPECT_EQ(chosen.size(), 8u);
    if (chosen.empty()) return -1;
    double degrees = std::atan2(512.0 - chosen[0].X1, 512.0 - chosen[0].Y1) * 180.0 / M_PI;
    return static_cast<int>(std::lround(degrees + 360)) % 360;
}
} // namespace

TEST_F(LogoTest, TheTableHoldsTheOuterAndInnerOutlinesInTheirColoursAndExtents) {
    ReadLogo();
    ASSERT_EQ(TheArt.LogoLineCount, LogoLines);
    struct Half {
        int First, Last;
        std::uint32_t Colour;
        int Red, Green, Blue;
        Extents Expected;
    } halves[] = {
        {0, 121, 0xFFBD0022, 189, 0, 34, {-346, -298, 338, 24}},
        {122, 231, 0xFFFBC200, 251, 194, 0, {-340, -292, 332, 16}},
    };
    for (const Half& half : halves) {
        Extents seen;
        for (int k = half.First; k <= half.Last; ++k) {
            const int* line = &TheArt.LogoData[k * 8];
            EXPECT_EQ(static_cast<std::uint32_t>(line[0]), half.Colour) << "line " << k;
            EXPECT_EQ(line[5], half.Red);
            EXPECT_EQ(line[6], half.Green);
            EXPECT_EQ(line[7], half.Blue);
            EXPECT_FALSE(line[1] == line[3] && line[2] == line[4]) << "line " << k << " has no length";
            for (int end = 0; end < 2; ++end) {
                seen.Left = std::min(seen.Left, line[1 + 2 * end]);
                seen.Right = std::max(seen.Right, line[1 + 2 * end]);
                seen.Top = std::min(seen.Top, line[2 + 2 * end]);
                seen.Bottom = std::max(seen.Bottom, line[2 + 2 * end]);
            }
        }
        EXPECT_EQ(seen.Left, half.Expected.Left);
        EXPECT_EQ(seen.Top, half.Expected.Top);
        EXPECT_EQ(seen.Right, half.Expected.Right);
        EXPECT_EQ(seen.Bottom, half.Expected.Bottom);
    }
}

TEST_F(LogoTest, TheHalvesSplitAtLine122AndTurnAboutTheLogoCentreWithTheirGreys) {
    ReadLogo();
    TheSettings.ColorsOn = 0;
    DrawLogoOuter(180);
    std::vector<Headless::DrawCall> outer = Strips();
    ASSERT_EQ(outer.size(), 122u);
    // Half a turn about (512, 386): (x, y) lands on (512 - x, 386 - y).
    StripSegment first = SegmentOf(outer[0]);
    EXPECT_NEAR(first.X1, 512.0f - static_cast<float>(TheArt.LogoData[1]), 0.01f);
    EXPECT_NEAR(first.Y1, 386.0f - static_cast<float>(TheArt.LogoData[2]), 0.01f);
    EXPECT_EQ(outer[0].Vertices[0].Argb, OpaqueWhite);
    ForgetCalls();
    DrawLogoInner(0);
    ASSERT_EQ(Strips().size(), 110u);
    EXPECT_EQ(Strips()[0].Vertices[0].Argb, 0xFF808080u); // grey alone, white when the whole logo is drawn
    ForgetCalls();
    DrawLogo(0);
    ASSERT_EQ(Strips().size(), 232u);
    EXPECT_EQ(Strips()[231].Vertices[0].Argb, OpaqueWhite);
}

TEST_F(GlowScreenTest, SevenOctagonsAcrossThePlayfieldTheChosenOneYellow) {
    RunGlowScreen(2);
    const Headless::FrameRecord& frame = Headless::Frames().back();
    std::vector<StripSegment> others = StripsOf(frame, Teal);
    ASSERT_EQ(others.size(), 48u);
    std::vector<StripSegment> chosen = StripsOf(frame, Yellow);
    ASSERT_EQ(chosen.size(), 8u);
    std::vector<float> centres;
    for (std::size_t octagon = 0; octagon < 7; ++octagon) {
        const std::vector<StripSegment>& strokes = octagon == 3 ? chosen : others;
        std::size_t first = octagon == 3 ? 0 : (octagon < 3 ? octagon : octagon - 1) * 8;
        float sum = 0;
        for (std::size_t k = first; k < first + 8; ++k) sum += strokes[k].X1;
        centres.push_back(sum / 8);
    }
    const float expected[7] = {92, 232, 372, 512, 652, 792, 932};
    for (int i = 0; i < 7; ++i) EXPECT_NEAR(centres[static_cast<std::size_t>(i)], expected[i], 0.01f) << i;
    // Side 36: the corners lie 47.036 from the centre.
    EXPECT_NEAR(512.0f - others[0].Y1, 47.036f, 0.001f);
}

TEST_F(GlowScreenTest, TheSpinPassesThroughMinusHalfADegreeToZeroWithoutAJump) {
    // The chosen (fourth) octagon's spin is the 7f+4th half-degree step: 356 at frame 204, then 359.5 wraps to
    // -0.5, shown as 0 at frame 205, and 3 at frame 206.
    int start = 0;
    {
        SetUpProgram(StartupFor::Replay);
        start = Headless::FrameCount();
        EXPECT_FALSE(ScreenReturns(OpenGlowScreen(), 207));
    }
    const std::vector<Headless::FrameRecord>& frames = Headless::Frames();
    ASSERT_GE(frames.size(), static_cast<std::size_t>(start + 207));
    EXPECT_EQ(ChosenAngle(frames[static_cast<std::size_t>(start + 204)]), 356);
    EXPECT_EQ(ChosenAngle(frames[static_cast<std::size_t>(start + 205)]), 0);
    EXPECT_EQ(ChosenAngle(frames[static_cast<std::size_t>(start + 206)]), 3);
}

TEST_F(GlowScreenTest, TheEndsOfTheScaleRefuseFurtherPressesSilently) {
    struct Case {
        int Start, Key, Expected, Bounces;
    } cases[] = {
        {-3, KeyCursorLeft, -3, 0},
        {3, KeyCursorRight, 3, 0},
        {0, KeyCursorRight, 1, 1},
    };
    for (const Case& c : cases) {
        Headless::Reset();
        HeadlessAudio::Reset();
        ResetAllState();
        SetUpProgram(StartupFor::Replay);
        TheSettings.GlowAmount = c.Start;
        UpdateGlowWidths(TheSettings.GlowAmount);
        Headless::PressKey(Headless::FrameCount() + 2, c.Key);
        EXPECT_FALSE(ScreenReturns(OpenGlowScreen(), 5));
        EXPECT_EQ(TheSettings.GlowAmount, c.Expected) << c.Start;
        EXPECT_EQ(HeadlessAudio::PlayCount("res\\BounceSND.ogg"), c.Bounces) << c.Start;
    }
}
