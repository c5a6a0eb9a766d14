// The neon look on the real back end, checked in the picture read back: a glow strip's cross-section against the
// glow sprite, additive overlaps, invisible colours, wireframe lines, the playfield's clip and the batched frame.
#include "GlTestSupport.h"
#include "core/Settings.h"
#include "graphics/Art.h"
#include "graphics/TPoly.h"
#include "platform/Display.h"
#include "platform/Random.h"
#include "platform/sdl/SdlControl.h"
#include "program/Startup.h"
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {
constexpr int ScreenWidth = 1024;
constexpr int ScreenHeight = 768;
constexpr int WideScreenWidth = 1680;
constexpr int WideScreenHeight = 1050;
constexpr int PlayfieldX = 328;
constexpr int PlayfieldY = 141;
constexpr int PlayfieldWidth = 1024;
constexpr int PlayfieldHeight = 768;
constexpr int SpriteSize = 64;
constexpr int Full = 255;
// What the sprite's linear filtering and the 8-bit picture may round away from the exact product.
constexpr int FilterSlack = 3;
// The most draw calls a busy frame of four runs of one kind may take.
constexpr int MostBusyFrameCalls = 8;
// The half-width the game gives the fortress's rings with no extra glow.
constexpr int RingGlow = 26;

struct Rgba {
    double Red, Green, Blue, Alpha; // 0 to 255
};

// The sprite sampled as GL's linear filter does, at texel coordinates (x, y) where texel centres sit on whole
// numbers, clamped at the edges.
Rgba Sample(const Image& sprite, double x, double y) {
    auto texel = [&](int tx, int ty) {
        tx = std::clamp(tx, 0, sprite.Width - 1);
        ty = std::clamp(ty, 0, sprite.Height - 1);
        std::size_t at = (static_cast<std::size_t>(ty) * static_cast<std::size_t>(sprite.SheetWidth) +
                          static_cast<std::size_t>(tx)) *
                         4;
        return Rgba{static_cast<double>(sprite.Rgba[at]), static_cast<double>(sprite.Rgba[at + 1]),
                    static_cast<double>(sprite.Rgba[at + 2]), static_cast<double>(sprite.Rgba[at + 3])};
    };
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    double fx = x - x0, fy = y - y0;
    Rgba a = texel(x0, y0), b = texel(x0 + 1, y0), c = texel(x0, y0 + 1), d = texel(x0 + 1, y0 + 1);
    auto mix = [&](double pa, double pb, double pc, double pd) {
        return (pa * (1 - fx) + pb * fx) * (1 - fy) + (pc * (1 - fx) + pd * fx) * fy;
    };
    return {mix(a.Red, b.Red, c.Red, d.Red), mix(a.Green, b.Green, c.Green, d.Green),
            mix(a.Blue, b.Blue, c.Blue, d.Blue), mix(a.Alpha, b.Alpha, c.Alpha, d.Alpha)};
}

// What LIGHTBLEND leaves on black for a texel modulated by a packed colour: the colour weighed by both alphas.
Rgb Lit(const Rgba& texel, std::uint32_t argb) {
    double alpha = texel.Alpha / Full * static_cast<double>(argb >> 24) / Full;
    auto channel = [&](double texelChannel, int shift) {
        double colour = static_cast<double>((argb >> shift) & 255u);
        return static_cast<int>(std::lround(std::min(255.0, texelChannel / Full * colour * alpha)));
    };
    return {channel(texel.Red, 16), channel(texel.Green, 8), channel(texel.Blue, 0)};
}

int Channel(const ReadBack& picture, std::size_t at) { return picture.Rgba[at]; }

class NeonPixels : public ::testing::Test {
  protected:
    void SetUp() override { Open(ScreenWidth, ScreenHeight); }
    void TearDown() override {
        TheSettings = SavedSettings;
        TheArt.GlowDotImage = SavedGlowDot;
        SdlControl::SetKeepBackBuffer(false);
    }
    void Open(int width, int height) {
        Graphics(width, height, 0, 60);
        ASSERT_TRUE(GraphicsOpen());
        SdlControl::SetKeepBackBuffer(false);
        SetBlend(LIGHTBLEND);
        Cls();
    }
    // The game's glow sprite, loaded once.
    static Image* Sprite() {
        static Image* sprite = [] {
            Image* loaded = LoadImage("res\\glowing_dot6.png");
            if (loaded) DecodeImage(*loaded); // its texels are read here before any draw
            return loaded;
        }();
        return sprite;
    }
    static void Glow(float x1, float y1, float x2, float y2, std::uint32_t argb, float halfWidth) {
        TPoly::Line(Sprite(), 0, x1, y1, argb, x2, y2, argb, halfWidth, true, false);
    }
    Settings SavedSettings = TheSettings;
    Image* SavedGlowDot = TheArt.GlowDotImage;
};

TEST_F(NeonPixels, TheGlowSpriteIsWhiteWithABrightCentreLine) {
    const Image* sprite = Sprite();
    ASSERT_NE(sprite, nullptr);
    ASSERT_EQ(sprite->Width, SpriteSize);
    ASSERT_EQ(sprite->Height, SpriteSize);
    Rgba centre = Sample(*sprite, SpriteSize / 2 - 0.5, SpriteSize / 2 - 0.5);
    EXPECT_EQ(centre.Red, Full);
    EXPECT_GT(centre.Alpha, 150);
    EXPECT_LT(Sample(*sprite, SpriteSize / 2 - 0.5, 0).Alpha, 4);
}

// The body of a horizontal segment samples the sprite's two centre columns half and half at its middle, and the
// sprite's rows from top to bottom across its width.
TEST_F(NeonPixels, CrossSectionFollowsTheSpriteTimesTheColour) {
    struct Case {
        float HalfWidth;
        std::uint32_t Colour;
        float Y;
    };
    // One texel a pixel, then two texels a pixel at half alpha, then a half-width that lands texels between
    // pixels.
    const Case cases[] = {{32, 0xFFFF8040, 200}, {16, 0x8040C0FF, 400}, {12.5f, 0xC0FFFFFF, 600}};
    const float left = 100, right = 300;
    const int column = 199; // its centre is the body's middle
    for (const Case& c : cases) {
        Cls();
        Glow(left, c.Y, right, c.Y, c.Colour, c.HalfWidth);
        ReadBack screen = ReadScreen();
        int top = static_cast<int>(std::floor(c.Y - c.HalfWidth)) - 2;
        int bottom = static_cast<int>(std::ceil(c.Y + c.HalfWidth)) + 2;
        int brightest = top, brightestRed = -1;
        for (int row = top; row <= bottom; ++row) {
            double across = (row + 0.5 - (c.Y - c.HalfWidth)) / (2 * c.HalfWidth); // 0..1 over the strip
            Rgb expected{};
            if (across > 0 && across < 1)
                expected = Lit(Sample(*Sprite(), SpriteSize / 2 - 0.5, across * SpriteSize - 0.5), c.Colour);
            Rgb got = screen.At(column, row);
            EXPECT_TRUE(Near(got, expected, FilterSlack))
                << "half-width " << c.HalfWidth << " row " << row << " got " << ::testing::PrintToString(got)
                << " expected " << ::testing::PrintToString(expected);
            if (got.Red + got.Green + got.Blue > brightestRed) {
                brightestRed = got.Red + got.Green + got.Blue;
                brightest = row;
            }
        }
        // The bright line runs down the middle of the strip.
        EXPECT_LE(std::abs(static_cast<float>(brightest) + 0.5f - c.Y), 1.0f) << "half-width " << c.HalfWidth;
    }
}

TEST_F(NeonPixels, OverlappingStripsAddUp) {
    const std::uint32_t across = 0xFF803010, down = 0xFF106080;
    auto drawAcross = [&] { Glow(100, 300, 400, 300, across, 20); };
    auto drawDown = [&] { Glow(250, 150, 250, 450, down, 20); };
    drawAcross();
    ReadBack first = ReadScreen();
    Cls();
    drawDown();
    ReadBack second = ReadScreen();
    Cls();
    drawAcross();
    drawDown();
    ReadBack both = ReadScreen();
    ASSERT_EQ(both.Rgba.size(), first.Rgba.size());
    int overlapping = 0;
    for (std::size_t at = 0; at < both.Rgba.size(); at += 4) {
        bool inBoth = false;
        for (std::size_t c = 0; c < 3; ++c) {
            int a = Channel(first, at + c), b = Channel(second, at + c);
            if (a > 0 && b > 0) inBoth = true;
            ASSERT_LE(std::abs(Channel(both, at + c) - std::min(Full, a + b)), 1)
                << "pixel " << at / 4 % static_cast<std::size_t>(both.Width) << ", "
                << at / 4 / static_cast<std::size_t>(both.Width);
        }
        if (inBoth) ++overlapping;
    }
    EXPECT_GT(overlapping, 400) << "the two strips should cross over a wide patch";
}

TEST_F(NeonPixels, AnInvisibleColourLeavesThePictureAsItWas) {
    SetColor(40, 90, 200);
    DrawLine(50, 50, 500, 400);
    Glow(100, 200, 600, 250, 0xFF20A040, 16);
    Glow(300, 100, 320, 500, 0x80FF2020, 24);
    ReadBack before = ReadScreen();
    Glow(80, 220, 640, 260, 0x00FFFFFF, 24);
    Glow(310, 300, 310, 300, 0x00FFFFFF, 32); // a dot over the others
    EXPECT_TRUE(ReadScreen().Rgba == before.Rgba);
    // The same strip seen shows.
    Glow(80, 220, 640, 260, 0xFFFFFFFF, 24);
    EXPECT_FALSE(ReadScreen().Rgba == before.Rgba);
}

TEST_F(NeonPixels, WireframeSegmentsAreOnePixelWide) {
    TheSettings.NeonMode = 0;
    ApplyDisplayStyle();
    DrawScreenSegment(100, 100, 300, 100, 0xFFFF0000, RingGlow, 255, 0, 0);
    FinishSegments();
    ReadBack flat = ReadScreen();
    EXPECT_EQ(flat.LitPixels(), RectanglePixels(100, 100, 201, 1));
    EXPECT_EQ(flat.At(200, 100), (Rgb{255, 0, 0}));

    // Shallow: one pixel a column; steep: one pixel a row.
    Cls();
    DrawScreenSegment(100, 200, 400, 300, 0xFF00FF00, RingGlow, 0, 255, 0);
    DrawScreenSegment(600, 100, 650, 500, 0xFF00FF00, RingGlow, 0, 255, 0);
    ReadBack sloped = ReadScreen();
    for (int x = 100; x <= 400; ++x) {
        int inColumn = 0;
        for (int y = 190; y <= 310; ++y) inColumn += sloped.Lit(x, y) ? 1 : 0;
        EXPECT_EQ(inColumn, 1) << "column " << x;
    }
    for (int y = 100; y <= 500; ++y) {
        int inRow = 0;
        for (int x = 590; x <= 660; ++x) inRow += sloped.Lit(x, y) ? 1 : 0;
        EXPECT_EQ(inRow, 1) << "row " << y;
    }

    // The same segment in the neon style glows well beyond one row.
    Cls();
    TheSettings.NeonMode = 1;
    TheArt.GlowDotImage = Sprite();
    ApplyDisplayStyle();
    DrawScreenSegment(100, 100, 300, 100, 0xFFFF0000, RingGlow, 255, 0, 0);
    ReadBack neon = ReadScreen();
    int rows = 0;
    for (int y = 60; y <= 140; ++y) rows += neon.Lit(200, y) ? 1 : 0;
    EXPECT_GT(rows, 8);
}

TEST_F(NeonPixels, WideScreenDrawsThePlayfieldOnlyWithinItsViewport) {
    Open(WideScreenWidth, WideScreenHeight);
    SetViewport(PlayfieldX, PlayfieldY, PlayfieldWidth, PlayfieldHeight);
    SdlControl::SetKeepBackBuffer(true);
    const int right = PlayfieldX + PlayfieldWidth, bottom = PlayfieldY + PlayfieldHeight;

    // The playfield's corner is where the game's own segments start from.
    TheSettings.NeonMode = 0;
    TheSettings.PlayfieldOffsetX = PlayfieldX;
    TheSettings.PlayfieldOffsetY = PlayfieldY;
    ApplyDisplayStyle();
    DrawSegment(0, 0, 10, 0, 0xFFFFFFFF, RingGlow, 255, 255, 255);
    FinishSegments();
    EXPECT_EQ(ReadScreen().LitPixels(), RectanglePixels(PlayfieldX, PlayfieldY, 11, 1));
    Cls();

    // Glow strips, lines, plots and a picture, each crossing an edge of the playfield or lying wholly outside it.
    SetBlend(LIGHTBLEND);
    const std::uint32_t glow = 0xFFFFFFFF;
    Glow(100, 400, 700, 400, glow, 32);                                // across the left edge
    Glow(1200, 600, 1600, 620, glow, 32);                              // across the right edge
    Glow(700, 20, 720, 300, glow, 32);                                 // across the top
    Glow(900, 800, 880, 1040, glow, 32);                               // across the bottom
    Glow(10, 10, 300, 120, glow, 32);                                  // all outside
    Glow(PlayfieldX - 40.0f, PlayfieldY - 40.0f, 1380, 940, glow, 32); // corner to corner
    SetColor(255, 255, 255);
    DrawLine(0, 500, 1679, 500);
    DrawLine(800, 0, 800, 1049);
    Plot(PlayfieldX - 1.0f, PlayfieldY + 10.0f);
    Plot(right + 0.0f, PlayfieldY + 10.0f);
    Plot(PlayfieldX + 10.0f, bottom + 0.0f);
    SetScale(8, 8);
    DrawImage(Sprite(), PlayfieldX - 200.0f, bottom - 200.0f);
    SetScale(1, 1);

    ReadBack screen = ReadScreen();
    ASSERT_EQ(screen.Width, WideScreenWidth);
    ASSERT_EQ(screen.Height, WideScreenHeight);
    int inside = 0;
    for (const auto& [x, y] : screen.LitPixels()) {
        ASSERT_TRUE(x >= PlayfieldX && x < right && y >= PlayfieldY && y < bottom) << "lit at " << x << ", " << y;
        ++inside;
    }
    EXPECT_GT(inside, 10000);
    // The drawing runs right up to each edge from inside.
    EXPECT_TRUE(screen.Lit(PlayfieldX, 400));
    EXPECT_TRUE(screen.Lit(right - 1, 610));
    EXPECT_TRUE(screen.Lit(712, PlayfieldY));
    EXPECT_TRUE(screen.Lit(890, bottom - 1));
    EXPECT_TRUE(screen.Lit(0 + PlayfieldX, 500));
    EXPECT_TRUE(screen.Lit(800, bottom - 1));

    Flip(0);
    for (const auto& [x, y] : ShownScreen().LitPixels())
        ASSERT_TRUE(x >= PlayfieldX && x < right && y >= PlayfieldY && y < bottom) << "shown at " << x << ", " << y;
}

// A busy frame in four runs: glow strips, lines and plots, a picture among more strips, lines again. Drawn batched
// and again with everything drawn the moment it is asked for, the pictures must be the same.
TEST_F(NeonPixels, BatchedBusyFrameEqualsOneStripAtATime) {
    SdlControl::SetKeepBackBuffer(true);
    constexpr int RingSections = 40;
    constexpr int Rings = 4;
    constexpr int Lines = 60;
    constexpr int RunsOfOneKind = 4;
    int primitives = 0;
    auto draw = [&](bool oneAtATime) {
        primitives = 0;
        auto drawn = [&] {
            ++primitives;
            if (oneAtATime) SdlControl::FinishDrawing();
        };
        SetBlend(LIGHTBLEND);
        auto rings = [&](float cx, float cy) {
            for (int ring = 0; ring < Rings; ++ring) {
                float radius = 60.0f + 25.0f * static_cast<float>(ring);
                std::uint32_t colour = 0xFF000000u | (0x302000u * static_cast<std::uint32_t>(ring + 1)) | 0x40u;
                for (int s = 0; s < RingSections; ++s) {
                    float a1 = static_cast<float>(s) * 9.0f + 1.0f, a2 = a1 + 7.0f;
                    Glow(cx + radius * Sin(a1), cy - radius * Cos(a1), cx + radius * Sin(a2), cy - radius * Cos(a2),
                         colour, 10.0f + static_cast<float>(ring) * 3.0f);
                    drawn();
                }
            }
        };
        rings(300, 300);
        for (int i = 0; i < Lines; ++i) {
            SetColor((i * 41) % 256, (i * 97) % 256, 200);
            DrawLine(static_cast<float>(i * 15), 10, 1000 - static_cast<float>(i * 7), 740);
            drawn();
            Plot(static_cast<float>(20 + i * 16), 700);
            drawn();
        }
        SetColor(255, 255, 255);
        DrawImage(Sprite(), 650, 350);
        drawn();
        rings(700, 400);
        for (int i = 0; i < Lines; ++i) {
            DrawLine(500, 384, 500 + 400 * Sin(static_cast<float>(i) * 6), 384 + 300 * Cos(static_cast<float>(i) * 6));
            drawn();
        }
        Flip(0);
    };
    draw(false);
    int batchedCalls = SdlControl::DrawCallsLastFrame();
    ReadBack batched = ShownScreen();
    draw(true);
    int singleCalls = SdlControl::DrawCallsLastFrame();
    ReadBack single = ShownScreen();
    EXPECT_EQ(batchedCalls, RunsOfOneKind);
    EXPECT_LE(batchedCalls, MostBusyFrameCalls);
    EXPECT_EQ(singleCalls, primitives);
    EXPECT_GT(batched.LitPixels().size(), 50000u);
    EXPECT_TRUE(batched.Rgba == single.Rgba);
}

} // namespace
