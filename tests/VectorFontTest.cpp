// The vector font: its character set and tables, text drawn in both styles, the pop-in zoom, centred lines, the
// letter-by-letter pages, and the texts the game frame and the exit prompt show.
#include "NeonFixture.h"
#include "core/GameState.h"
#include "game/TheWorld.h"
#include "graphics/Art.h"
#include <string>

using FontTableTest = NeonFixture;
using VectorTextTest = NeonFixture;
using ZoomTextTest = NeonFixture;
using TextPageTest = NeonFixture;
using GameTextTest = NeonFixture;

namespace {
constexpr std::uint32_t Yellow = 0xFFFFFF00;
constexpr int KeyEscape = 27;

std::vector<chars> Queued() {
    std::vector<chars> queued;
    CharsList.Each([&](const chars& c) { queued.push_back(c); });
    return queued;
}

int StrokeCount(const std::string& text) {
    int strokes = 0;
    for (char c : text) {
        int g = FontGlyphIndex(c);
        if (g > 0) strokes += TheArt.FontGlyphs[g][0] + 1;
    }
    return strokes;
}

// The strokes of glyph g at pen (x, y) and size s, in drawing order.
std::vector<StripSegment> GlyphAt(int g, float x, float y, float s) {
    std::vector<StripSegment> out;
    for (int k = 0; k <= TheArt.FontGlyphs[g][0]; ++k) {
        const int* stroke = &TheArt.FontGlyphs[g][1 + 4 * k];
        out.push_back({x + stroke[0] * s, y + stroke[1] * s, x + stroke[2] * s, y + stroke[3] * s, 0});
    }
    return out;
}

void ExpectSegments(const std::vector<Headless::DrawCall>& strips, std::size_t from,
                    const std::vector<StripSegment>& expected) {
    ASSERT_GE(strips.size(), from + expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        StripSegment s = SegmentOf(strips[from + i]);
        EXPECT_NEAR(s.X1, expected[i].X1, 1e-3) << "stroke " << i;
        EXPECT_NEAR(s.Y1, expected[i].Y1, 1e-3) << "stroke " << i;
        EXPECT_NEAR(s.X2, expected[i].X2, 1e-3) << "stroke " << i;
        EXPECT_NEAR(s.Y2, expected[i].Y2, 1e-3) << "stroke " << i;
    }
}

// Strips of one colour whose first end lies between two heights: one line of text.
int StripsOfColour(const Headless::FrameRecord& frame, std::uint32_t colour, float top, float bottom) {
    int count = 0;
    for (const auto& call : frame.Calls) {
        if (call.Type != Headless::DrawCall::Strip || call.Vertices[0].Argb != colour) continue;
        float y = SegmentOf(call).Y1;
        if (y >= top && y <= bottom) ++count;
    }
    return count;
}
} // namespace

TEST_F(FontTableTest, CharsetGlyphsAndZoomStepsAreLoaded) {
    ASSERT_EQ(FontCharset.size(), 55u);
    EXPECT_EQ(FontCharset[27], '\xA4');
    EXPECT_EQ(FontGlyphIndex(FontBoxedC), 27);
    EXPECT_EQ(FontGlyphIndex(' '), 0);
    EXPECT_EQ(FontGlyphIndex('a'), 1);
    EXPECT_EQ(FontGlyphIndex('A'), 1);
    EXPECT_EQ(FontGlyphIndex('Z'), 26);
    EXPECT_EQ(FontGlyphIndex('0'), 28);
    EXPECT_EQ(FontGlyphIndex('9'), 37);
    EXPECT_EQ(FontGlyphIndex('\''), 47);
    EXPECT_EQ(FontGlyphIndex('#'), 54);
    EXPECT_EQ(FontGlyphIndex('['), -1);
    EXPECT_EQ(FontGlyphIndex('\0'), -1);
    for (int c = 0; c < FontGlyphColumns; ++c) EXPECT_EQ(TheArt.FontGlyphs[0][c], 0);
    const int one[] = {0, 0, 12, 0, -13, 0};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(TheArt.FontGlyphs[29][c], one[c]);
    EXPECT_EQ(TheArt.FontGlyphs[50][0], 13); // "@", the fullest glyph: 14 strokes
    EXPECT_EQ(TheArt.FontGlyphs[50][56], 12);
    EXPECT_EQ(TheArt.FontGlyphs[54][0], 7);
    EXPECT_EQ(TheArt.FontGlyphs[54][32], 0); // "#"'s last stroke ends at (10, 0)
    EXPECT_EQ(TheArt.FontGlyphs[27][0], 8);
    const float zoom[26] = {0,     0.05f, 0.10f, 0.15f, 0.20f, 0.25f, 0.30f, 0.35f, 0.40f, 0.45f, 0.50f, 0.55f, 0.60f,
                            0.65f, 0.75f, 0.85f, 1,     1.15f, 1.25f, 1.30f, 1.30f, 1.25f, 1.20f, 1.15f, 1.05f, 1};
    for (int i = 0; i < 26; ++i) EXPECT_EQ(TheArt.ZoomTable[i], zoom[i]) << i;
    for (int i = 26; i < ZoomTableSize; ++i) EXPECT_EQ(TheArt.ZoomTable[i], 0);
}

TEST_F(VectorTextTest, TextStandsInCellsWithTheOffsetAndUnknownCharactersTakeACell) {
    TheSettings.PlayfieldOffsetX = 128;
    TheSettings.PlayfieldOffsetY = 128;
    DrawVectorText("A[a", 2, 3, 0xFF00FF00, 0, 0.5f, 2.0f, 0, 0, 255, 0);
    auto strips = Strips();
    int a = FontGlyphIndex('a');
    ASSERT_EQ(strips.size(), 2u * (TheArt.FontGlyphs[a][0] + 1));
    // Pen at column 2 x 28 x 0.5, row 3 x 28 x 2: (156, 296); "[" draws nothing but the third character stands two
    // cells on, at (184, 296). The first stroke of "a", (-9, -6) to (10, -6), at half size.
    ExpectSegments(strips, 0, {{151.5f, 293, 161, 293, 0}});
    ExpectSegments(strips, 5, {{179.5f, 293, 189, 293, 0}});
    for (const auto& strip : strips) {
        EXPECT_EQ(strip.Vertices[0].Argb, 0xFF00FF00u);
        EXPECT_NEAR(SegmentOf(strip).HalfWidth, static_cast<float>(GlowWidth3), 1e-3);
    }
    EXPECT_EQ(TPoly::BoundImage, nullptr); // the text's batch is closed

    ForgetCalls();
    DrawVectorText("x", 100, 200, 0xFF00FF00, 0, 1, 1, 1, 0, 255, 0); // pixel position
    // "x" is (10, -6) to (-9, 12) and (10, 12) to (-9, -6) about the pen at (100 + 128, 200 + 128).
    ExpectSegments(Strips(), 0, {{238, 322, 219, 340, 0}, {238, 340, 219, 322, 0}});
}

TEST_F(VectorTextTest, StrokesStoredTwiceAreDrawnTwice) {
    for (const char* text : {"i", "/", "-"}) {
        ForgetCalls();
        DrawVectorText(text, 0, 0, OpaqueWhite, 0, 1, 1, 0, 255, 255, 255);
        auto strips = Strips();
        ASSERT_EQ(strips.size(), 2u) << text;
        EXPECT_EQ(strips[0].Vertices.size(), strips[1].Vertices.size());
        for (std::size_t v = 0; v < strips[0].Vertices.size(); ++v) {
            EXPECT_EQ(strips[0].Vertices[v].X, strips[1].Vertices[v].X) << text;
            EXPECT_EQ(strips[0].Vertices[v].Y, strips[1].Vertices[v].Y) << text;
        }
    }
}

TEST_F(VectorTextTest, AngleTurnsEachGlyphAboutItsCentreWhileThePenRunsStraight) {
    DrawVectorText("ll", 0, 0, OpaqueWhite, 90, 1, 1, 1, 255, 255, 255);
    auto strips = Strips();
    ASSERT_EQ(strips.size(), 4u);
    // "l" is (-9,-6)-(-9,12); (-9,12)-(10,12); at 90 degrees (x, y) becomes (-y, x).
    ExpectSegments(strips, 0, {{6, -9, -12, -9, 0}, {-12, -9, -12, 10, 0}});
    ExpectSegments(strips, 2, {{34, -9, 16, -9, 0}, {16, -9, 16, 10, 0}});
}

TEST_F(VectorTextTest, PalettesAndStylesChooseColourAndWidth) {
    TheSettings.ColorsOn = 0;
    DrawVectorText("o", 0, 0, 0xFF102030, 0, 1, 1, 0, 1, 2, 3);
    DrawVectorTextBold("o", 0, 0, 0xFF102030, 0, 1, 1, 0, 1, 2, 3);
    auto strips = Strips();
    ASSERT_EQ(strips.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(strips[i].Vertices[0].Argb, OpaqueWhite);
        EXPECT_NEAR(SegmentOf(strips[i]).HalfWidth, static_cast<float>(i < 4 ? GlowWidth3 : GlowWidth10), 1e-3);
    }

    TheSettings.NeonMode = 0;
    ApplyDisplayStyle();
    struct Case {
        int Colours;
        bool Bold;
        int Red, Green, Blue;
    } cases[] = {{1, false, 1, 2, 3}, {1, true, 1, 2, 3}, {0, false, 192, 192, 192}, {0, true, 255, 255, 255}};
    for (const Case& c : cases) {
        ForgetCalls();
        TheSettings.ColorsOn = c.Colours;
        if (c.Bold)
            DrawVectorTextBold("o", 0, 0, 0xFF102030, 0, 1, 1, 0, 1, 2, 3);
        else
            DrawVectorText("o", 0, 0, 0xFF102030, 0, 1, 1, 0, 1, 2, 3);
        DrawLine(0, 0, 1, 1, 1);
        auto lines = Lines();
        ASSERT_EQ(lines.size(), 5u);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(lines[i].Red, c.Red);
            EXPECT_EQ(lines[i].Green, c.Green);
            EXPECT_EQ(lines[i].Blue, c.Blue);
            EXPECT_TRUE(lines[i].LastPixel);
        }
        EXPECT_EQ(lines[4].Red, 255); // white again after the text
        EXPECT_EQ(lines[4].Blue, 255);
        EXPECT_TRUE(Strips().empty());
    }
}

TEST_F(ZoomTextTest, ZoomStepPicksTheSizeFromTheTableAndThePenKeepsTheCell) {
    int a = FontGlyphIndex('a');
    struct Case {
        float Step;
        float Size;
    } cases[] = {{11, 0.75f}, {13.5f, 0.55f}, {0, 1}, {-0.5f, 1}, {6, 1.30f}, {24, 0.05f}};
    for (const Case& c : cases) {
        ForgetCalls();
        DrawZoomText("aa", 1, 2, 0xFF0000FF, c.Step, 2, 1, 0, 0, 0, 255);
        auto strips = Strips();
        ASSERT_EQ(strips.size(), 10u) << c.Step;
        ExpectSegments(strips, 0, GlyphAt(a, 56, 56, 2 * c.Size));
        ExpectSegments(strips, 5, GlyphAt(a, 112, 56, 2 * c.Size)); // 28 x 2 on, however big the glyphs
        EXPECT_NEAR(SegmentOf(strips[0]).HalfWidth, static_cast<float>(GlowWidth3), 1e-3);
    }
    // At step 25 every stroke has shrunk to the glyph's centre: round dots, nothing undefined.
    ForgetCalls();
    DrawZoomText("a", 1, 2, 0xFF0000FF, 25, 1, 1, 0, 0, 0, 255);
    auto dots = Strips();
    ASSERT_EQ(dots.size(), 5u);
    const float w = static_cast<float>(GlowWidth3);
    for (const auto& dot : dots) {
        for (const StripVertex& v : dot.Vertices) {
            ASSERT_TRUE(std::isfinite(v.X) && std::isfinite(v.Y));
            EXPECT_LE(std::abs(v.X - 28), w);
            EXPECT_LE(std::abs(v.Y - 56), w);
        }
        EXPECT_FLOAT_EQ(dot.Vertices[0].X - dot.Vertices[7].X, 2 * w); // both caps: a dot as wide as a stroke
    }
}

TEST_F(ZoomTextTest, WireframeZoomTextIsItsColourOrWhite) {
    TheSettings.NeonMode = 0;
    ApplyDisplayStyle();
    for (int colours : {1, 0}) {
        ForgetCalls();
        TheSettings.ColorsOn = colours;
        DrawZoomText("c", 0, 0, 0xFF0000FF, 0, 1, 1, 0, 10, 20, 30);
        auto lines = Lines();
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0].Red, colours ? 10 : 255);
        EXPECT_EQ(lines[2].Blue, colours ? 30 : 255);
    }
}

TEST_F(VectorTextTest, CentredTextIsPaddedToAtLeastFortyEightCells) {
    // The padding shows as the column of the first glyph: as many cells as spaces were added in front.
    struct Case {
        std::size_t Length;
        int LeadingSpaces;
    } cases[] = {{47, 1}, {48, 1}, {46, 1}, {45, 2}, {1, 24}, {60, 1}};
    int a = FontGlyphIndex('a');
    for (const Case& c : cases) {
        ForgetCalls();
        DrawCentredText(std::string(c.Length, 'a'), 10, OpaqueWhite, 0.75f, 255, 255, 255);
        auto strips = Strips();
        ASSERT_EQ(strips.size(), 5u * c.Length);
        ExpectSegments(strips, 0, GlyphAt(a, c.LeadingSpaces * 28 * 0.75f, 10 * 28 * 0.75f, 0.75f));
    }
    // 47 characters become 49 and 48 become 50: one space each side, so the last glyph is at cell 47 or 48.
    ForgetCalls();
    DrawCentredText(std::string(47, 'a'), 0, OpaqueWhite, 1, 255, 255, 255);
    ExpectSegments(Strips(), 46 * 5, GlyphAt(a, 47 * 28, 0, 1));
    ForgetCalls();
    DrawCentredText(std::string(48, 'a'), 0, OpaqueWhite, 1, 255, 255, 255);
    ExpectSegments(Strips(), 47 * 5, GlyphAt(a, 48 * 28, 0, 1));
}

TEST_F(TextPageTest, CharactersAppearOneAFrameAndGrowToFullSize) {
    CharsList.Clear();
    TextCharCount = 0;
    TypeChars(3, 4, " Ab", 1, 1, 0xFF00FFFF, 0, 255, 255);
    TypeChars(3, 5, "c", 1, 1, 0xFF00FFFF, 0, 255, 255);
    std::vector<chars> queued = Queued();
    ASSERT_EQ(queued.size(), 4u);
    EXPECT_EQ(TextCharCount, 4);
    const chars& second = queued[1];
    EXPECT_EQ(second.Char, "a"); // lower-cased as it is queued
    EXPECT_EQ(second.x, 4);
    EXPECT_EQ(second.y, 4);
    EXPECT_EQ(second.pause, 1);
    EXPECT_EQ(second.angle, 25);
    EXPECT_EQ(queued.back().pause, 3);
    EXPECT_EQ(queued.back().x, 3);

    // First frame: the space and "a" are due; "a" shows at zoom index 1, 0.05 of its size.
    DrawChars();
    auto strips = Strips();
    ASSERT_EQ(strips.size(), static_cast<std::size_t>(StrokeCount("a")));
    ExpectSegments(strips, 0, GlyphAt(FontGlyphIndex('a'), 4 * 28, 4 * 28, 0.05f));
    ForgetCalls();
    DrawChars();
    EXPECT_EQ(Strips().size(), static_cast<std::size_t>(StrokeCount("ab")));
    ForgetCalls();
    DrawChars();
    EXPECT_EQ(Strips().size(), static_cast<std::size_t>(StrokeCount("abc")));
    for (int frame = 0; frame < 40; ++frame) DrawChars();
    for (const chars& c : Queued()) {
        EXPECT_EQ(c.pause, 0);
        EXPECT_EQ(c.angle, 0); // settled at full size and never below
    }
    ForgetCalls();
    DrawChars();
    ExpectSegments(Strips(), 0, GlyphAt(FontGlyphIndex('a'), 4 * 28, 4 * 28, 1));
}

TEST_F(TextPageTest, ResetEmptiesThePageAndItsCounter) {
    TypeChars(0, 0, "abc", 1, 1, OpaqueWhite, 255, 255, 255);
    ResetAllState();
    EXPECT_EQ(CharsList.Count(), 0u);
    EXPECT_EQ(TextCharCount, 0);
}

TEST_F(GameTextTest, GameFrameShowsScoreAndWithTheCounterFramesPerSecond) {
    // "score: " on row 1 and "FPS: " on row 35.5, both at 0.75: rows of 21 units, glyphs reaching 13 up, 14 down.
    EXPECT_EQ(RunGameHeadless(LevelPageShown + 3), -1);
    const Headless::FrameRecord& frame = Headless::Frames().back();
    EXPECT_EQ(StripsOfColour(frame, Yellow, 0, 40), StrokeCount("score: 0"));
    EXPECT_EQ(StripsOfColour(frame, 0xFF4043FF, 700, 768), 0);

    Headless::Reset();
    ResetAllState();
    TheControls.ShowFrameRate = 1;
    EXPECT_EQ(RunGameHeadless(LevelPageShown + 3), -1);
    EXPECT_EQ(StripsOfColour(Headless::Frames().back(), 0xFF4043FF, 700, 768),
              StrokeCount("FPS: " + std::to_string(TheWorld.Fps)));
}

TEST_F(GameTextTest, ExitPromptShowsItsThreeTexts) {
    Headless::PressKey(LevelPageShown + 2, KeyEscape);
    EXPECT_EQ(RunGameHeadless(LevelPageShown + 40), -1);
    ASSERT_EQ(TheWorld.ExitPromptShown, 1);
    const Headless::FrameRecord& frame = Headless::Frames().back();
    // The headline popped in to full size on row 20; the two help lines at 0.75 on rows 28.5 and 30.
    EXPECT_EQ(StripsOfColour(frame, OpaqueWhite, 560 - 14, 560 + 14), StrokeCount("exit game (y/n)"));
    EXPECT_EQ(StripsOfColour(frame, 0xFFFF40FF, 598.5f - 11, 598.5f + 11), StrokeCount("press right key for no"));
    EXPECT_EQ(StripsOfColour(frame, 0xFFFF40FF, 630 - 11, 630 + 11), StrokeCount("press left key for yes"));
}
