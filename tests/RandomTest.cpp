// The random generator and the arithmetic the game depends on.
#include "platform/Random.h"
#include "GameFixture.h"
#include "core/Playfield.h"
#include "core/Tables.h"
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

using RandomTest = GameFixture;

TEST_F(RandomTest, StateFollowsMinimalStandardSequenceTwoStepsPerDraw) {
    for (int seed : {1, 4660, 12345, 2147483646, 987654321}) {
        SeedRnd(seed);
        std::minstd_rand reference(static_cast<std::minstd_rand::result_type>(seed));
        for (int i = 0; i < 1000; ++i) {
            RndDraw();
            reference();
            unsigned expected = reference();
            ASSERT_EQ(static_cast<unsigned>(RndSeed()), expected) << "seed " << seed << " draw " << i;
        }
    }
}

// Worked by hand from seed 1, whose states run 48271, 182605794, 1291394886, 1914720637: the first draw is
// (48271 & 0x1FFFFFFC = 48268 + (182605794 & 0x1FFFFFF8 = 182605792) / 2^27) / 2^29, the second
// (217653060 + 304107896 / 2^27) / 2^29.
TEST_F(RandomTest, DrawCombinesBothStatesAsStated) {
    SeedRnd(1);
    EXPECT_EQ(RndDraw(), 8.990869022751369e-05);
    EXPECT_EQ(RndSeed(), 182605794);
    EXPECT_EQ(RndDraw(), 0.4054104206446193);
    EXPECT_EQ(RndSeed(), 1914720637);
}

TEST_F(RandomTest, SeedZeroAndAllOnesBecome4660) {
    SeedRnd(4660);
    float a = Rnd(0, 1), b = Rnd(0, 1);
    SeedRnd(0);
    EXPECT_EQ(Rnd(0, 1), a);
    EXPECT_EQ(Rnd(0, 1), b);
    SeedRnd(0x7FFFFFFF);
    EXPECT_EQ(Rnd(0, 1), a);
    // The top bit is dropped: a negative seed is its low 31 bits.
    SeedRnd(static_cast<int>(0x80000005u));
    int masked = RndSeed();
    EXPECT_EQ(masked, 5);
}

TEST_F(RandomTest, RandBoundsInEitherOrderAndInclusive) {
    SeedRnd(99);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(Rand(5, 5), 5);
    bool seen[11] = {};
    for (int i = 0; i < 5000; ++i) {
        int r = Rand(10, 1);
        ASSERT_GE(r, 1);
        ASSERT_LE(r, 10);
        seen[r] = true;
    }
    for (int v = 1; v <= 10; ++v) EXPECT_TRUE(seen[v]) << v;
    for (int i = 0; i < 2000; ++i) {
        int r = Rand(-3, 3);
        ASSERT_GE(r, -3);
        ASSERT_LE(r, 3);
    }
}

TEST_F(RandomTest, RndStaysInHalfOpenRangeEitherOrder) {
    SeedRnd(31337);
    for (int i = 0; i < 5000; ++i) {
        float r = Rnd(3.0f, -2.0f);
        ASSERT_GE(r, -2.0f);
        ASSERT_LT(r, 3.0f);
    }
}

TEST_F(RandomTest, SameSeedSameSequence) {
    SeedRnd(2024);
    std::vector<int> first;
    for (int i = 0; i < 100; ++i) first.push_back(Rand(0, 1000));
    SeedRnd(2024);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(Rand(0, 1000), first[i]);
}

TEST_F(RandomTest, TruncationTowardZeroAndDegrees) {
    EXPECT_EQ(Trunc(2.9), 2);
    EXPECT_EQ(Trunc(-2.9), -2);
    EXPECT_EQ(Trunc(-0.5), 0);
    EXPECT_FLOAT_EQ(Sin(90), 1.0f);
    EXPECT_FLOAT_EQ(Cos(360), 1.0f);
    EXPECT_NEAR(Sin(30), 0.5f, 1e-6);
    EXPECT_NEAR(ATan2(1, 0), 90.0f, 1e-4);
    EXPECT_NEAR(ATan2(0, -1), 180.0f, 1e-4);
    EXPECT_NEAR(ATan2(-1, 0), -90.0f, 1e-4);
}

// Most sines and cosines are taken from a table; each must still be the series' own float, bit for bit, or every
// replay becomes another game. A spread of angles over four turns either way (past the table's two, where the
// series alone answers), whole degrees among them.
TEST_F(RandomTest, QuickSinesAreTheSeriesBitForBit) {
    constexpr std::uint32_t FourTurns = 0x44b40000u, Stride = 4099;
    int differ = 0;
    for (std::uint32_t bits = 0; bits < FourTurns; bits += Stride) {
        for (float degrees : {std::bit_cast<float>(bits), -std::bit_cast<float>(bits)}) {
            float sine = 0, cosine = 0;
            SinCos(degrees, sine, cosine);
            std::uint32_t series[2] = {std::bit_cast<std::uint32_t>(SeriesSin(degrees)),
                                       std::bit_cast<std::uint32_t>(SeriesCos(degrees))};
            bool same = std::bit_cast<std::uint32_t>(Sin(degrees)) == series[0] &&
                        std::bit_cast<std::uint32_t>(Cos(degrees)) == series[1] &&
                        std::bit_cast<std::uint32_t>(sine) == series[0] &&
                        std::bit_cast<std::uint32_t>(cosine) == series[1];
            if (!same && ++differ <= 5) ADD_FAILURE() << "the table and the series differ at " << degrees << " degrees";
        }
    }
    // Every whole degree over two turns either way, which a table of their own answers, asked as a float and as a
    // whole number.
    for (int whole = -720; whole <= 720; ++whole) {
        float degrees = static_cast<float>(whole), sine = 0, cosine = 0, wholeSine = 0, wholeCosine = 0;
        SinCos(degrees, sine, cosine);
        WholeSinCos(whole, wholeSine, wholeCosine);
        std::uint32_t series[2] = {std::bit_cast<std::uint32_t>(SeriesSin(degrees)),
                                   std::bit_cast<std::uint32_t>(SeriesCos(degrees))};
        EXPECT_TRUE(std::bit_cast<std::uint32_t>(Sin(degrees)) == series[0] &&
                    std::bit_cast<std::uint32_t>(Cos(degrees)) == series[1] &&
                    std::bit_cast<std::uint32_t>(sine) == series[0] &&
                    std::bit_cast<std::uint32_t>(cosine) == series[1] &&
                    std::bit_cast<std::uint32_t>(wholeSine) == series[0] &&
                    std::bit_cast<std::uint32_t>(wholeCosine) == series[1])
            << whole << " degrees";
    }
    EXPECT_EQ(differ, 0);
}

// Most arc tangents are taken from a table too, and each must be the halvings' own float: a spread of sides over
// the field and far below a pixel, every sign, with the axes and the diagonals among them.
TEST_F(RandomTest, QuickArcTangentsAreTheHalvingsBitForBit) {
    constexpr std::uint32_t Smallest = 0x30000000u, Largest = 0x44c00000u, Stride = 0x1a0f13u;
    int differ = 0;
    for (std::uint32_t ybits = Smallest; ybits < Largest; ybits += Stride)
        for (std::uint32_t xbits = Smallest; xbits < Largest; xbits += Stride / 3)
            for (float y : {std::bit_cast<float>(ybits), -std::bit_cast<float>(ybits), 0.0f})
                for (float x : {std::bit_cast<float>(xbits), -std::bit_cast<float>(xbits), y}) {
                    bool same =
                        std::bit_cast<std::uint32_t>(ATan2(y, x)) == std::bit_cast<std::uint32_t>(SeriesATan2(y, x));
                    if (!same && ++differ <= 5) ADD_FAILURE() << "the arc tangents differ at " << y << ", " << x;
                }
    EXPECT_EQ(differ, 0);
}

// The game's sines, cosines and arc tangents, bit for bit as the golden replays were played with them: they are our
// own, so no system's maths library may round one of them otherwise and play every replay (and every upload) as a
// different game. The arc tangents are the float nearest the true one, in degrees.
TEST_F(RandomTest, TrigTablesAndArcTangentKeepTheirBits) {
    FillTrigTables();
    const struct {
        int Degrees;
        std::uint32_t Sine, Cosine;
    } angles[] = {{1, 0x3c8ef859u, 0x3f7ff605u},   {30, 0x3f000000u, 0x3f5db3d7u},  {45, 0x3f3504f3u, 0x3f3504f3u},
                  {60, 0x3f5db3d7u, 0x3f000000u},  {137, 0x3f2e9772u, 0xbf3b39ffu}, {200, 0xbeaf1d44u, 0xbf708fb2u},
                  {271, 0xbf7ff605u, 0x3c8ef859u}, {359, 0xbc8ef859u, 0x3f7ff605u}};
    for (const auto& angle : angles) {
        EXPECT_EQ(std::bit_cast<std::uint32_t>(SinTable[angle.Degrees]), angle.Sine) << angle.Degrees;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(CosTable[angle.Degrees]), angle.Cosine) << angle.Degrees;
    }
    const struct {
        float Y, X;
        std::uint32_t Degrees;
    } bearings[] = {{0x1p+0f, 0x1p+0f, 0x42340000u},
                    {0x1.8p+1f, -0x1p+2f, 0x430f214eu},
                    {-0x1p-1f, -0x1p+1f, 0xc325f6b9u},
                    {0x1.ed999ap+6f, 0x1.1be666p+9f, 0x41442ec9u},
                    {-0x1.0624dep-10f, 0x1.cp+2f, 0xbc061ad9u},
                    {-0x1.f48p+7f, -0x1.bp+3f, 0xc2ba2d00u}};
    for (const auto& bearing : bearings)
        EXPECT_EQ(std::bit_cast<std::uint32_t>(ATan2(bearing.Y, bearing.X)), bearing.Degrees)
            << bearing.Y << ", " << bearing.X;
}

// The remainder of a turn the game takes without the library's call must be fmod's own bits, signed zeros and the
// edges of one and two turns included, or a bearing and every game after it come out otherwise.
TEST_F(RandomTest, TurnRemainderIsFmodBitForBit) {
    std::vector<float> angles = {0.0f,
                                 -0.0f,
                                 1e-40f,
                                 -1e-40f,
                                 359.99997f,
                                 360,
                                 -360,
                                 -359.99997f,
                                 719.99994f,
                                 -719.99994f,
                                 720,
                                 -720,
                                 1e9f,
                                 -1e9f,
                                 std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::quiet_NaN()};
    for (float degrees = -1500; degrees < 1500; degrees += 0.37f) angles.push_back(degrees);
    for (float degrees : angles)
        EXPECT_EQ(std::bit_cast<std::uint32_t>(TurnRemainder(degrees)),
                  std::bit_cast<std::uint32_t>(std::fmod(degrees, FullTurn)))
            << degrees;
}
