// The glow renderer: the glow widths, the strips TPoly builds and hands to the display, the display-style branch,
// and the built-in pictures the neon look is made of.
#include "NeonFixture.h"
#include "graphics/Art.h"
#include "platform/ImageDecode.h"
#include "platform/Resources.h"
#include <bit>
#include <cmath>

using GlowWidthTest = GameFixture;
using TPolyStripTest = NeonFixture;
using DisplayStyleTest = NeonFixture;
using PictureTest = GameFixture;

namespace {
int Widths[10];
void ReadWidths() {
    int* out = Widths;
    for (int w : {GlowWidth1, GlowWidth2, GlowWidth3, GlowWidth4, GlowWidth5, GlowWidth6, GlowWidth7, GlowWidth8,
                  GlowWidth9, GlowWidth10})
        *out++ = w;
}

void ExpectVertex(const StripVertex& v, float x, float y, float u, float vv, std::uint32_t colour) {
    EXPECT_FLOAT_EQ(v.X, x);
    EXPECT_FLOAT_EQ(v.Y, y);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(v.U), std::bit_cast<std::uint32_t>(u));
    EXPECT_EQ(v.V, vv);
    EXPECT_EQ(v.Argb, colour);
}

std::vector<float> VertexArray(int vertices, std::uint32_t colour) {
    std::vector<float> slots;
    for (int i = 0; i < vertices; ++i) {
        float x = static_cast<float>(10 * i);
        float y = static_cast<float>(i % 2 ? 20 : 0);
        for (float slot : {x, y, 0.0f, 0.0f, 0.0f, 1.0f, ColourSlot(colour), 0.5f, static_cast<float>(i % 2)})
            slots.push_back(slot);
    }
    return slots;
}
} // namespace

TEST_F(GlowWidthTest, FirstRunTableThenFormulasAtEveryGlowLevel) {
    ReadWidths();
    const int firstRun[10] = {10, 14, 16, 18, 20, 21, 24, 26, 28, 32};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(Widths[i], firstRun[i]) << "GlowWidth" << i + 1;

    struct GlowLevel {
        int Glow;
        int Expected[10];
    } levels[] = {
        {-3, {7, 11, 13, 12, 14, 15, 15, 11, 19, 23}},
        {0, {10, 14, 16, 18, 20, 21, 24, 20, 28, 32}},
        {3, {13, 17, 19, 24, 26, 27, 33, 29, 37, 41}},
    };
    for (const GlowLevel& level : levels) {
        TheSettings.GlowAmount = level.Glow;
        UpdateGlowWidths(TheSettings.GlowAmount);
        ReadWidths();
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(Widths[i], level.Expected[i]) << "GlowWidth" << i + 1 << " at glow " << level.Glow;
    }
    // The rings glow at 26 on a first run and at their formula's 20 once recomputed at glow 0; a reset goes back.
    ResetGlowWidths();
    EXPECT_EQ(GlowWidth8, 26);
}

TEST_F(TPolyStripTest, CappedSegmentIsTheTabledEightVertexStrip) {
    const std::uint32_t first = 0xFF102030, second = 0x80FFEEDD;
    TPoly::Line(TheArt.GlowDotImage, 0, 100, 200, first, 120, 200, second, 16.0f, true, false);
    auto strips = Strips();
    ASSERT_EQ(strips.size(), 1u);
    const Headless::DrawCall& strip = strips[0];
    EXPECT_EQ(strip.Source, TheArt.GlowDotImage);
    EXPECT_EQ(strip.Frame, 0);
    EXPECT_EQ(strip.Blend, LIGHTBLEND);
    ASSERT_EQ(strip.Vertices.size(), 8u);
    const float body0 = std::bit_cast<float>(0x3EFF3B64u), body1 = std::bit_cast<float>(0x3F00624Eu);
    EXPECT_EQ(body0, 0.4985f);
    EXPECT_EQ(body1, 0.5015f);
    // e points from the second end toward the first: (-16, 0); n = (-ey, ex) = (0, -16).
    const auto& v = strip.Vertices;
    ExpectVertex(v[0], 84, 184, 1.0f, 0, first);
    ExpectVertex(v[1], 84, 216, 1.0f, 1, first);
    ExpectVertex(v[2], 100, 184, body0, 0, first);
    ExpectVertex(v[3], 100, 216, body0, 1, first);
    ExpectVertex(v[4], 120, 184, body1, 0, second);
    ExpectVertex(v[5], 120, 216, body1, 1, second);
    ExpectVertex(v[6], 136, 184, 1.0f, 0, second);
    ExpectVertex(v[7], 136, 216, 1.0f, 1, second);
    // A 20-unit segment at half-width 16 covers 20 plus two caps of 16 along, 32 across.
    EXPECT_FLOAT_EQ(v[6].X - v[0].X, 52.0f);
    EXPECT_FLOAT_EQ(v[1].Y - v[0].Y, 32.0f);
}

TEST_F(TPolyStripTest, SlantedSegmentKeepsCapsAlongAndWidthAcross) {
    // (30, 40) to (0, 0) is 50 long: e = 10 * (30, 40) / 50 = (6, 8), n = (-8, 6).
    TPoly::Line(TheArt.GlowDotImage, 0, 30, 40, OpaqueWhite, 0, 0, OpaqueWhite, 10.0f, true, false);
    auto strips = Strips();
    ASSERT_EQ(strips.size(), 1u);
    const auto& v = strips[0].Vertices;
    ASSERT_EQ(v.size(), 8u);
    EXPECT_FLOAT_EQ(v[0].X, 30 + 6 - 8);
    EXPECT_FLOAT_EQ(v[0].Y, 40 + 8 + 6);
    EXPECT_FLOAT_EQ(v[3].X, 30 + 8);
    EXPECT_FLOAT_EQ(v[3].Y, 40 - 6);
    EXPECT_FLOAT_EQ(v[7].X, 0 - 6 + 8);
    EXPECT_FLOAT_EQ(v[7].Y, 0 - 8 - 6);
}

TEST_F(TPolyStripTest, ZeroLengthSegmentDrawsAFiniteRoundDot) {
    TPoly::Line(TheArt.GlowDotImage, 0, 50, 60, OpaqueWhite, 50, 60, OpaqueWhite, 10.0f, true, false);
    auto strips = Strips();
    ASSERT_EQ(strips.size(), 1u);
    const auto& v = strips[0].Vertices;
    ASSERT_EQ(v.size(), 8u);
    float left = 1e9f, right = -1e9f, top = 1e9f, bottom = -1e9f;
    for (const StripVertex& vertex : v) {
        ASSERT_TRUE(std::isfinite(vertex.X) && std::isfinite(vertex.Y));
        left = std::min(left, vertex.X);
        right = std::max(right, vertex.X);
        top = std::min(top, vertex.Y);
        bottom = std::max(bottom, vertex.Y);
    }
    // The two caps alone: a square of twice the half-width each way around the point, sampling the whole dot.
    EXPECT_FLOAT_EQ(left, 40);
    EXPECT_FLOAT_EQ(right, 60);
    EXPECT_FLOAT_EQ(top, 50);
    EXPECT_FLOAT_EQ(bottom, 70);
    EXPECT_EQ(v[0].U, 1.0f);
    EXPECT_EQ(v[7].U, 1.0f);
}

TEST_F(TPolyStripTest, UncappedQuadStretchesTheSpriteAlongOrAcross) {
    TPoly::Line(TheArt.GlowDotImage, 0, 0, 0, 0xFF000001, 10, 0, 0xFF000002, 4.0f, false, false);
    TPoly::Line(TheArt.GlowDotImage, 0, 0, 0, 0xFF000001, 10, 0, 0xFF000002, 4.0f, false, true);
    auto strips = Strips();
    ASSERT_EQ(strips.size(), 2u);
    for (const auto& strip : strips) ASSERT_EQ(strip.Vertices.size(), 4u);
    const auto& along = strips[0].Vertices;
    const auto& across = strips[1].Vertices;
    // P1 + n, P1 - n, P2 + n, P2 - n with n = (0, -4).
    ExpectVertex(along[0], 0, -4, 0, 0, 0xFF000001);
    ExpectVertex(along[1], 0, 4, 0, 1, 0xFF000001);
    ExpectVertex(along[2], 10, -4, 1, 0, 0xFF000002);
    ExpectVertex(along[3], 10, 4, 1, 1, 0xFF000002);
    ExpectVertex(across[1], 0, 4, 1, 0, 0xFF000001);
    ExpectVertex(across[2], 10, -4, 0, 1, 0xFF000002);
}

TEST_F(TPolyStripTest, DrawTakesEvenArraysOfSixSlotsOrMoreAndKeepsColourBits) {
    std::vector<float> four = VertexArray(4, 0xFFFFFFFF); // all-ones is a NaN's bit pattern: it must survive
    TPoly::Draw(TheArt.GlowDotImage, 0, std::span<const float>(four.data(), 5), TPolyStripMode, 1);
    TPoly::Draw(TheArt.GlowDotImage, 0, std::span<const float>(four.data(), 27), TPolyStripMode,
                1); // three vertices: odd
    EXPECT_TRUE(Strips().empty());
    TPoly::Draw(TheArt.GlowDotImage, 0, four, TPolyStripMode, 1);
    std::vector<float> transparent = VertexArray(4, 0x00FFFFFF);
    TPoly::Draw(TheArt.GlowDotImage, 0, transparent, TPolyStripMode, 1);
    auto strips = Strips();
    ASSERT_EQ(strips.size(), 2u);
    ASSERT_EQ(strips[0].Vertices.size(), 4u);
    for (const StripVertex& v : strips[0].Vertices) EXPECT_EQ(v.Argb, 0xFFFFFFFFu);
    for (const StripVertex& v : strips[1].Vertices) EXPECT_EQ(v.Argb, 0x00FFFFFFu);
    EXPECT_EQ(strips[0].Vertices[3].X, 30);
    EXPECT_EQ(strips[0].Vertices[3].V, 1);
}

TEST_F(TPolyStripTest, OpenPrimitiveJoinsUntilClosedAndPolygonsBecomeStrips) {
    std::vector<float> four = VertexArray(4, OpaqueWhite);
    TPoly::Draw(TheArt.GlowDotImage, 0, four, TPolyStripMode, 0);
    EXPECT_TRUE(Strips().empty());
    TPoly::Draw(TheArt.GlowDotImage, 0, four, TPolyStripMode, 1);
    auto joined = Strips();
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_EQ(joined[0].Vertices.size(), 8u);

    ForgetCalls();
    TPoly::Draw(TheArt.GlowDotImage, 0, four, TPolyStripMode, 0);
    TPoly::_End(); // the batch's end closes what is open
    ASSERT_EQ(Strips().size(), 1u);

    // A polygon's corners 0 1 2 3 4 go to the strip as 0 4 1 3 2: the same convex area.
    ForgetCalls();
    std::vector<float> five = VertexArray(6, OpaqueWhite);
    five.resize(5 * TPolyVertexSlots + 1); // one slot over keeps the length even; the spare slot is not a vertex
    TPoly::Draw(TheArt.GlowDotImage, 0, five, TPolyPolygonMode, 1);
    auto polygon = Strips();
    ASSERT_EQ(polygon.size(), 1u);
    ASSERT_EQ(polygon[0].Vertices.size(), 5u);
    const float order[5] = {0, 40, 10, 30, 20};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(polygon[0].Vertices[i].X, order[i]);
}

TEST_F(TPolyStripTest, BatchBracketsForgetTheBoundFrame) {
    TPoly::Line(TheArt.GlowDotImage, 0, 0, 0, OpaqueWhite, 5, 5, OpaqueWhite, 8.0f, true, false);
    EXPECT_EQ(TPoly::BoundImage, TheArt.GlowDotImage);
    TPoly::_Begin();
    EXPECT_EQ(TPoly::BoundImage, nullptr);
    TPoly::Line(TheArt.GlowDotImage, 0, 0, 0, OpaqueWhite, 5, 5, OpaqueWhite, 8.0f, true, false);
    TPoly::_End();
    EXPECT_EQ(TPoly::BoundImage, nullptr);
    EXPECT_EQ(Strips().size(), 2u); // every Line is its own strip, bound or not
}

TEST_F(DisplayStyleTest, StyleSwitchSetsBlendAndSegmentsFollowTheStyle) {
    TheSettings.PlayfieldOffsetX = 328;
    TheSettings.PlayfieldOffsetY = 141;
    TheSettings.NeonMode = 0;
    ApplyDisplayStyle();
    EXPECT_EQ(GetBlend(), SOLIDBLEND);
    DrawSegment(10, 20, 30, 40, 0xFF123456, 16, 12, 34, 56);
    FinishSegments();
    DrawLine(0, 0, 1, 1, 1);
    auto lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(Strips().empty());
    EXPECT_EQ(lines[0].X1, 338);
    EXPECT_EQ(lines[0].Y1, 161);
    EXPECT_EQ(lines[0].X2, 358);
    EXPECT_EQ(lines[0].Y2, 181);
    EXPECT_TRUE(lines[0].LastPixel);
    EXPECT_EQ(lines[0].Red, 12);
    EXPECT_EQ(lines[0].Green, 34);
    EXPECT_EQ(lines[0].Blue, 56);
    EXPECT_EQ(lines[0].Blend, SOLIDBLEND);
    EXPECT_EQ(lines[1].Red, 255); // the colour is back to white after the routine's last segment
    EXPECT_EQ(lines[1].Blue, 255);

    ForgetCalls();
    TheSettings.NeonMode = 1;
    ApplyDisplayStyle();
    EXPECT_EQ(GetBlend(), LIGHTBLEND);
    EXPECT_EQ(TPoly::RendererPath, TPoly::OpenGLPath);
    DrawSegment(10, 20, 30, 40, 0xFF123456, 16, 12, 34, 56);
    EXPECT_TRUE(Lines().empty());
    auto strips = Strips();
    ASSERT_EQ(strips.size(), 1u);
    StripSegment s = SegmentOf(strips[0]);
    EXPECT_FLOAT_EQ(s.X1, 338);
    EXPECT_FLOAT_EQ(s.Y1, 161);
    EXPECT_FLOAT_EQ(s.X2, 358);
    EXPECT_FLOAT_EQ(s.Y2, 181);
    EXPECT_NEAR(s.HalfWidth, 16, 1e-3);
    EXPECT_EQ(strips[0].Vertices[0].Argb, 0xFF123456u);
    EXPECT_EQ(strips[0].Blend, LIGHTBLEND);
}

TEST_F(PictureTest, GlowSpriteIsAWhiteDotWithTheStoredProfile) {
    Graphics(1024, 768, 0, 60);
    Image* dot = LoadImage("res\\glowing_dot6.png", -1);
    ASSERT_NE(dot, nullptr);
    DecodeImage(*dot);
    ASSERT_EQ(dot->Width, 64);
    ASSERT_EQ(dot->Height, 64);
    auto alpha = [&](int x, int y) { return dot->Rgba[(y * 64 + x) * 4 + 3]; };
    for (int i = 0; i < 64 * 64; ++i) {
        ASSERT_EQ(dot->Rgba[i * 4], 255);
        ASSERT_EQ(dot->Rgba[i * 4 + 1], 255);
        ASSERT_EQ(dot->Rgba[i * 4 + 2], 255);
    }
    const int column[64] = {1,  1,  2,  2,  3,  4,  4,  5,  6,  7,   8,   9,  11, 12, 13, 15, 16, 17, 19, 20, 21, 22,
                            24, 25, 26, 26, 27, 28, 28, 29, 34, 170, 169, 34, 29, 28, 28, 27, 26, 26, 25, 24, 22, 21,
                            20, 19, 17, 16, 15, 13, 12, 11, 9,  8,   7,   6,  5,  4,  4,  3,  2,  2,  1,  1};
    for (int y = 0; y < 64; ++y) EXPECT_EQ(alpha(32, y), column[y]) << "y " << y;
    EXPECT_EQ(alpha(0, 0), 0);
    EXPECT_EQ(alpha(63, 0), 0);
    EXPECT_EQ(alpha(0, 63), 0);
    EXPECT_EQ(alpha(63, 63), 0);
    EXPECT_EQ(alpha(32, 0), 1);
    // The ring of 34 around the 2 x 2 core, and a halo that is the same across as down and mirrored.
    for (int i = 30; i <= 33; ++i) {
        EXPECT_EQ(alpha(i, 30), 34);
        EXPECT_EQ(alpha(30, i), 34);
    }
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            bool core = x >= 31 && x <= 32 && y >= 31 && y <= 32;
            if (core) continue;
            ASSERT_EQ(alpha(x, y), alpha(63 - x, y)) << x << "," << y;
            ASSERT_EQ(alpha(x, y), alpha(x, 63 - y)) << x << "," << y;
            ASSERT_EQ(alpha(x, y), alpha(y, x)) << x << "," << y;
        }
}

TEST_F(PictureTest, BulletCellsAndBackdropAreOurStoredPictures) {
    Graphics(1024, 768, 0, 60);
    Image* shots = LoadAnimImage("res\\playershots.png", 3, 3, 0, 2, -1);
    ASSERT_NE(shots, nullptr);
    DecodeImage(*shots);
    EXPECT_EQ(shots->SheetWidth, 6);
    EXPECT_EQ(shots->SheetHeight, 3);
    EXPECT_EQ(shots->FrameCount, 2);
    bool colouredCellHasColour = false;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) {
            const std::uint8_t* texel = &shots->Rgba[(y * 6 + x) * 4];
            EXPECT_EQ(texel[3], 255); // RGB: opaque
            if (x < 3) {
                EXPECT_EQ(texel[0], texel[1]);
                EXPECT_EQ(texel[1], texel[2]);
            } else if (texel[0] != texel[2]) {
                colouredCellHasColour = true;
            }
        }
    EXPECT_TRUE(colouredCellHasColour);
    EXPECT_EQ(shots->Rgba[(1 * 6 + 1) * 4], 255); // a bright centre in the grey cell

    Image* backdrop = LoadImage("res\\backdrop3.jpg", -1);
    ASSERT_NE(backdrop, nullptr);
    DecodeImage(*backdrop);
    EXPECT_EQ(backdrop->Width, 1024);
    EXPECT_EQ(backdrop->Height, 768);
    // Dark enough that the additive neon over it stays readable, with stars in it.
    double sum = 0;
    int brightest = 0;
    for (std::size_t i = 0; i < backdrop->Rgba.size(); i += 4) {
        int level = std::max({backdrop->Rgba[i], backdrop->Rgba[i + 1], backdrop->Rgba[i + 2]});
        sum += level;
        brightest = std::max(brightest, level);
    }
    double mean = sum / (1024.0 * 768.0);
    EXPECT_LT(mean, 40.0);
    EXPECT_GT(mean, 4.0);
    EXPECT_GT(brightest, 150);
}

// A picture decoded ahead, on a thread of its own, ends with the texels its first draw would have decoded.
TEST_F(PictureTest, APictureDecodedAheadHasTheTexelsOfOneDecodedAtItsDraw) {
    Image* ahead = LoadImage("res\\backdrop3.jpg", -1);
    Image* atDraw = LoadImage("res\\backdrop3.jpg", -1);
    ASSERT_NE(ahead, nullptr);
    ASSERT_NE(atDraw, nullptr);
    DecodeImageAhead(*ahead);
    DecodeImageAhead(*ahead); // asked twice, decoded once
    DecodeImage(*ahead);
    DecodeImage(*atDraw);
    EXPECT_EQ(ahead->Rgba.size(), 1024u * 768u * 4u);
    EXPECT_TRUE(ahead->Rgba == atDraw->Rgba);
}
