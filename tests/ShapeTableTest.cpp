// The shape tables: the stored strokes and their counts, the rotation to every degree with its truncation, and the
// ship drawer in both styles and palettes with its flame's random draw.
#include "NeonFixture.h"
#include "game/Ship.h"
#include "game/TheWorld.h"
#include "graphics/Art.h"
#include "platform/Data.h"
#include "platform/Random.h"
#include "platform/Resources.h"
#include <string>

using ShapeTableTest = NeonFixture;
using ShipDrawTest = NeonFixture;
using DataTableCountTest = GameFixture;

namespace {
// Parses one built-in table file on its own, so that reading one value past its end is the end of the data.
void UseOnlyTable(const char* storedName) {
    ResourceBytes bytes = FindResource(storedName);
    ASSERT_TRUE(bytes) << storedName;
    ReplaceDataTables(std::string(reinterpret_cast<const char*>(bytes.Data), bytes.Size));
}

void ExpectEndOfTable() {
    ::testing::internal::CaptureStderr();
    EXPECT_THROW(ReadDataInt(), Headless::ProgramEnded);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Attempt to read beyond end of data\n");
}

void ExpectStroke(const ShapeStroke& s, int x1, int y1, int x2, int y2) {
    EXPECT_EQ(s.X1, x1);
    EXPECT_EQ(s.Y1, y1);
    EXPECT_EQ(s.X2, x2);
    EXPECT_EQ(s.Y2, y2);
}

// The state the generator reaches after `draws` draws from `seed`.
int StateAfterDraws(int seed, int draws) {
    SeedRnd(seed);
    for (int i = 0; i < draws; ++i) RndDraw();
    return RndSeed();
}
} // namespace

TEST_F(DataTableCountTest, EveryShapeFontAndZoomTableHoldsExactlyItsItems) {
    struct Shape {
        const char* File;
        const char* Label;
        int Strokes;
    } shapes[] = {{"data\\ShipShapes.txt", "ShipShapes", 13},
                  {"data\\CannonShapes.txt", "CannonShapes", 12},
                  {"data\\ChevronShapes.txt", "ChevronShapes", 24},
                  {"data\\SparkShapes.txt", "SparkShapes", 16}};
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.Label);
        UseOnlyTable(shape.File);
        RestoreData(shape.Label);
        EXPECT_EQ(ReadDataInt() + 1, shape.Strokes);
        for (int k = 0; k < shape.Strokes; ++k) {
            std::uint32_t colour = static_cast<std::uint32_t>(ReadDataInt());
            EXPECT_EQ(colour >> 24, 0xFFu) << "stroke " << k << " is opaque";
            for (int c = 0; c < 4; ++c) {
                float coordinate = ReadDataFloat();
                EXPECT_LE(std::abs(coordinate), 22.0f);
            }
            int red = ReadDataInt(), green = ReadDataInt(), blue = ReadDataInt();
            // The wireframe colour is the neon colour's channels.
            EXPECT_EQ(static_cast<std::uint32_t>(red), (colour >> 16) & 255);
            EXPECT_EQ(static_cast<std::uint32_t>(green), (colour >> 8) & 255);
            EXPECT_EQ(static_cast<std::uint32_t>(blue), colour & 255);
        }
        ExpectEndOfTable();
    }

    UseOnlyTable("data\\FontGlyphs.txt");
    RestoreData("FontGlyphs");
    for (int g = 1; g <= 54; ++g) {
        int last = ReadDataInt();
        ASSERT_GE(last, 0) << "glyph " << g;
        ASSERT_LT(last, 14) << "glyph " << g;
        for (int k = 0; k <= last; ++k) {
            for (int end = 0; end < 2; ++end) {
                int x = ReadDataInt(), y = ReadDataInt();
                EXPECT_TRUE(x >= -12 && x <= 12 && y >= -13 && y <= 14) << "glyph " << g << " stroke " << k;
            }
        }
    }
    ExpectEndOfTable();

    UseOnlyTable("data\\ZoomTable.txt");
    RestoreData("ZoomTable");
    for (int i = 0; i < 26; ++i) ReadDataFloat();
    ExpectEndOfTable();
}

TEST_F(ShapeTableTest, RowZeroIsTheStoredShapeAndEveryRecordCarriesItsCount) {
    const ShapeStroke& nose = TheArt.ShipShapes[0][0];
    EXPECT_EQ(nose.LastStroke, 12);
    EXPECT_EQ(static_cast<std::uint32_t>(nose.Colour), 0xFF1A54FFu);
    ExpectStroke(nose, 4, -18, 10, 10);
    EXPECT_EQ(nose.Red, 26);
    EXPECT_EQ(nose.Green, 84);
    EXPECT_EQ(nose.Blue, 255);
    ExpectStroke(TheArt.ShipShapes[0][12], 0, 18, 2, 1);
    ExpectStroke(TheArt.CannonShapes[0][11], 0, 6, -13, 14);
    ExpectStroke(TheArt.ChevronShapes[0][23], 0, -21, 3, -18);
    ExpectStroke(TheArt.SparkShapes[0][15], -5, 8, 6, -8);
    EXPECT_EQ(static_cast<std::uint32_t>(TheArt.SparkShapes[0][15].Colour), 0xFFFA8717u);
    for (int row : {0, 1, 180, 359}) {
        for (const ShapeStroke& s : TheArt.ShipShapes[row]) EXPECT_EQ(s.LastStroke, 12);
        for (const ShapeStroke& s : TheArt.CannonShapes[row]) EXPECT_EQ(s.LastStroke, 11);
        for (const ShapeStroke& s : TheArt.ChevronShapes[row]) EXPECT_EQ(s.LastStroke, 23);
        for (const ShapeStroke& s : TheArt.SparkShapes[row]) EXPECT_EQ(s.LastStroke, 15);
    }
}

TEST_F(ShapeTableTest, RowsAreRotatedThenTruncatedTowardZero) {
    // 90 degrees: x' = -y, y' = x, the hair off a whole number from Cos(90) gone in single precision.
    ExpectStroke(TheArt.ShipShapes[90][0], 18, 4, -10, 10);
    // 45 degrees: 15.556, -9.899, 0, 14.142 become 15, -9, 0, 14.
    ExpectStroke(TheArt.ShipShapes[45][0], 15, -9, 0, 14);
    ExpectStroke(TheArt.ShipShapes[180][0], -4, 18, -10, -10);
    ExpectStroke(TheArt.ShipShapes[270][0], -18, -4, 10, -10);
    // The cannon's tip at 30 degrees: (3, -20) turns to (12.598, -15.821).
    EXPECT_EQ(TheArt.CannonShapes[30][0].X1, 12);
    EXPECT_EQ(TheArt.CannonShapes[30][0].Y1, -15);
    EXPECT_EQ(TheArt.CannonShapes[30][0].Colour, TheArt.CannonShapes[0][0].Colour);
}

TEST_F(ShapeTableTest, StoredCountThatDoesNotFitItsTableEndsTheProgram) {
    ReplaceDataTables("#Tiny\n1\n0xFFFFFFFF, 0, 0, 1, 1, 255, 255, 255\n0xFFFFFFFF, 1, 1, 2, 2, 255, 255, 255\n");
    ShapeStroke table[ShapeRows][2];
    BuildShapeTable("Tiny", table);
    ExpectStroke(table[90][1], -1, 1, -2, 2);
    ShapeStroke wrong[ShapeRows][3];
    ::testing::internal::CaptureStderr();
    EXPECT_THROW(BuildShapeTable("Tiny", wrong), Headless::ProgramEnded);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Shape Tiny has 2 strokes where its table holds 3\n");
}

TEST_F(ShipDrawTest, NeonShipIsItsTableRowAtItsPlaceWithTheOffset) {
    TheSettings.PlayfieldOffsetX = 208;
    TheSettings.PlayfieldOffsetY = 66;
    DrawShipShape(ShipHullLastStroke, 300.5f, 200.0f, 45);
    auto strips = Strips();
    ASSERT_EQ(strips.size(), 10u);
    for (int k = 0; k < 10; ++k) {
        StripSegment s = SegmentOf(strips[k]);
        const ShapeStroke& stroke = TheArt.ShipShapes[45][k];
        EXPECT_FLOAT_EQ(s.X1, 208 + 300.5f + stroke.X1);
        EXPECT_FLOAT_EQ(s.Y1, 66 + 200.0f + stroke.Y1);
        EXPECT_FLOAT_EQ(s.X2, 208 + 300.5f + stroke.X2);
        EXPECT_FLOAT_EQ(s.Y2, 66 + 200.0f + stroke.Y2);
        EXPECT_NEAR(s.HalfWidth, static_cast<float>(GlowWidth6), 1e-3);
        EXPECT_EQ(strips[k].Vertices[0].Argb, 0xFF1A54FFu);
    }
}

TEST_F(ShipDrawTest, FlameTakesTheDrawnColourAndTheDrawHappensWithoutAFlame) {
    // Find seeds whose draw is negative (an opaque warm flame) and not negative (a flame with alpha 0).
    int opaqueSeed = -1, clearSeed = -1;
    for (int seed = 123457; seed < 123457 * 100 && (opaqueSeed < 0 || clearSeed < 0); seed += 123457) {
        SeedRnd(seed);
        int draw = Rand(-40000, 40000);
        if (draw < 0 && opaqueSeed < 0) opaqueSeed = seed;
        if (draw >= 0 && clearSeed < 0) clearSeed = seed;
    }
    ASSERT_GT(opaqueSeed, 0);
    ASSERT_GT(clearSeed, 0);
    for (int seed : {opaqueSeed, clearSeed}) {
        SeedRnd(seed);
        std::uint32_t flame = static_cast<std::uint32_t>(Rand(-40000, 40000));
        ForgetCalls();
        SeedRnd(seed);
        DrawShipShape(ShipFlameLastStroke, 512, 384, 0);
        auto strips = Strips();
        ASSERT_EQ(strips.size(), 13u);
        EXPECT_EQ(strips[9].Vertices[0].Argb, 0xFF1A54FFu);
        for (int k = 10; k <= 12; ++k) EXPECT_EQ(strips[k].Vertices[0].Argb, flame);
        EXPECT_EQ(flame >> 24, seed == opaqueSeed ? 0xFFu : 0u);
    }
    // Without thrust, in every style and palette, the draw is still made: exactly one.
    for (int neon : {1, 0})
        for (int colours : {1, 0}) {
            TheSettings.NeonMode = neon;
            TheSettings.ColorsOn = colours;
            SeedRnd(777);
            DrawShipShape(ShipHullLastStroke, 512, 384, 10);
            EXPECT_EQ(RndSeed(), StateAfterDraws(777, 1)) << "neon " << neon << " colours " << colours;
        }
}

TEST_F(ShipDrawTest, GreyNeonShipIsLightGreyAtTheNarrowerWidth) {
    TheSettings.ColorsOn = 0;
    TheSettings.GlowAmount = 3;
    UpdateGlowWidths(TheSettings.GlowAmount);
    DrawShipShape(ShipFlameLastStroke, 100, 100, 0);
    auto strips = Strips();
    ASSERT_EQ(strips.size(), 13u);
    for (const auto& strip : strips) {
        EXPECT_EQ(strip.Vertices[0].Argb, 0xFFF0F0F0u);
        EXPECT_NEAR(SegmentOf(strip).HalfWidth, 24.0f, 1e-3); // GlowWidth4 at glow 3; GlowWidth6 would be 27
    }
}

TEST_F(ShipDrawTest, WireframeShipIsBlueWithARandomWarmFlameOrAllGrey) {
    TheSettings.NeonMode = 0;
    ApplyDisplayStyle();
    SeedRnd(4242);
    DrawShipShape(ShipFlameLastStroke, 50, 60, 90);
    DrawLine(0, 0, 1, 1, 1);
    auto lines = Lines();
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_TRUE(Strips().empty());
    // After the flame colour, the flame's blue, green and red are drawn in that order.
    SeedRnd(4242);
    Rand(-40000, 40000);
    int blue = Rand(64, 128);
    int green = Rand(64, 128);
    int red = Rand(192, 255);
    for (int k = 0; k < 13; ++k) {
        const auto& line = lines[k];
        EXPECT_TRUE(line.LastPixel);
        EXPECT_EQ(line.X1, 50 + TheArt.ShipShapes[90][k].X1);
        EXPECT_EQ(line.Y2, 60 + TheArt.ShipShapes[90][k].Y2);
        if (k < 10) {
            EXPECT_EQ(line.Red, 64);
            EXPECT_EQ(line.Green, 64);
            EXPECT_EQ(line.Blue, 255);
        } else {
            EXPECT_EQ(line.Red, red);
            EXPECT_EQ(line.Green, green);
            EXPECT_EQ(line.Blue, blue);
        }
    }
    EXPECT_EQ(lines[13].Red, 255);
    EXPECT_EQ(lines[13].Green, 255);
    EXPECT_EQ(lines[13].Blue, 255);

    ForgetCalls();
    TheSettings.ColorsOn = 0;
    SeedRnd(4242);
    DrawShipShape(ShipFlameLastStroke, 50, 60, 90);
    EXPECT_EQ(RndSeed(), StateAfterDraws(4242, 1)); // no flame colours in grey
    for (const auto& line : Lines()) {
        EXPECT_EQ(line.Red, 192);
        EXPECT_EQ(line.Blue, 192);
    }
}

TEST_F(ShipDrawTest, GameFrameDrawsTheShipAtItsSpawnPoint) {
    EXPECT_EQ(RunGameHeadless(LevelPageShown + 3), -1);
    ASSERT_FALSE(Headless::Frames().empty());
    const Headless::FrameRecord& frame = Headless::Frames().back();
    int hull = 0;
    for (const auto& call : frame.Calls) {
        if (call.Type != Headless::DrawCall::Strip || call.Vertices[0].Argb != 0xFF1A54FFu) continue;
        StripSegment s = SegmentOf(call);
        EXPECT_FLOAT_EQ(s.X1, 900.0f + TheArt.ShipShapes[270][hull].X1);
        EXPECT_FLOAT_EQ(s.Y1, 256.0f + TheArt.ShipShapes[270][hull].Y1);
        ++hull;
    }
    // Strokes 0 … ShipShape, which the ship's controls keep at the hull's 9 (12 while thrusting).
    EXPECT_EQ(hull, std::min(TheWorld.ShipShape, ShipHullLastStroke) + 1);
    EXPECT_GT(hull, 0);
}
