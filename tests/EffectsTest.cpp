// The debris: ray bursts, sparks and streaks, particles and the ship's fragments, with the fragment tables.
#include "fortress/Effects.h"
#include "NeonFixture.h"
#include "core/GameState.h"
#include "fortress/Fortress.h"
#include "game/Ship.h"
#include "game/TheWorld.h"
#include "platform/Data.h"
#include "platform/Random.h"

namespace {
using ExplosionTest = PlayerGameFixture;
using ParticleTest = NeonFixture;
using FragTest = NeonFixture;

Explosions& Piece(int type, float x, float y, float angle) {
    Explosions& e = TheWorld.ExplosionsList.Add();
    e.ExplosionType = type;
    e.x1 = x;
    e.y1 = y;
    e.Angle1 = angle;
    return e;
}

void Wireframe() {
    TheSettings.NeonMode = 0;
    ApplyDisplayStyle();
}
} // namespace

TEST_F(ExplosionTest, ABurstIsTwentyRaysCoveringTheCircleInTheBrightenedColour) {
    CreateExplosion(TheWorld, 300, 200, 0x0073730C, SmallExplosion);
    ASSERT_EQ(TheWorld.ExplosionsList.Count(), 20u);
    int i = 0;
    TheWorld.ExplosionsList.Each([&](const Explosions& e) {
        EXPECT_FLOAT_EQ(e.x1, 300.0f);
        EXPECT_EQ(e.Count, 24);
        EXPECT_GE(e.Length, 40.0f);
        EXPECT_LE(e.Length, 80.0f);
        EXPECT_EQ(e.Steps, static_cast<int>(e.Length) / 24);
        EXPECT_GE(e.Angle1, 20.0f * static_cast<float>(i) - 8);
        EXPECT_LE(e.Angle1, 20.0f * static_cast<float>(i) + 25);
        EXPECT_EQ(e.color, 0xFF93932Cu);
        i += 1;
    });
    CreateExplosion(TheWorld, 300, 200, 0, 3);
    EXPECT_EQ(TheWorld.ExplosionsList.Count(), 20u);
}

TEST_F(ExplosionTest, ARayShrinksByItsStepsAndIsDrawn23Times) {
    Wireframe();
    struct Case {
        float Length;
        int Steps;
        float First, Last;
    } cases[] = {{40, 1, 40, 18}, {80, 3, 80, 14}};
    for (const Case& c : cases) {
        TheWorld.ExplosionsList.Clear();
        Explosions& e = Piece(SmallExplosion, 300, 300, 90);
        e.Length = c.Length;
        e.Steps = c.Steps;
        e.Count = 24;
        std::vector<float> drawn;
        for (int frame = 0; frame < 30; ++frame) {
            ForgetCalls();
            UpdateExplosions(TheWorld);
            DrawExplosions(TheWorld);
            for (const Headless::DrawCall& line : Lines()) drawn.push_back(line.X2 - line.X1);
        }
        ASSERT_EQ(drawn.size(), 23u);
        EXPECT_FLOAT_EQ(drawn.front(), c.First);
        EXPECT_FLOAT_EQ(drawn.back(), c.Last);
        EXPECT_EQ(TheWorld.ExplosionsList.Count(), 0u);
        EXPECT_EQ(TheWorld.ExplosionsActive, 0);
    }
}

TEST_F(ExplosionTest, ABurstAt1024IsDrawnOnceAndRemovedButOneAt0Or1023Stays) {
    for (int x : {0, 1023, 1024}) {
        TheWorld.ExplosionsList.Clear();
        CreateExplosion(TheWorld, x, 300, 0xFF102030, SmallExplosion);
        UpdateExplosions(TheWorld);
        EXPECT_EQ(TheWorld.ExplosionsActive, 20) << x;
        EXPECT_EQ(TheWorld.ExplosionsList.Count(), x == 1024 ? 0u : 20u) << x;
    }
}

TEST_F(ExplosionTest, ASparkLeavingAtTheTopIsRemovedWhateverItsCount) {
    Explosions& e = Piece(BigExplosion, 512, 384, 0);
    e.speed = 12;
    e.Count = 1000;
    for (int move = 0; move < 32; ++move) UpdateExplosions(TheWorld);
    EXPECT_EQ(TheWorld.ExplosionsList.Count(), 1u); // at 0, not above the top
    UpdateExplosions(TheWorld);
    EXPECT_EQ(TheWorld.ExplosionsList.Count(), 0u);
}

TEST_F(ExplosionTest, AStreakIsDrawnFourMovesLongBeforeItMoves) {
    Wireframe();
    Explosions& e = Piece(ShockwaveExplosion, 300, 300, 90);
    e.speed = 10;
    e.Count = 5;
    ForgetCalls();
    UpdateExplosions(TheWorld);
    DrawExplosions(TheWorld);
    std::vector<Headless::DrawCall> lines = Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_FLOAT_EQ(lines[0].X1, 300.0f);
    EXPECT_FLOAT_EQ(lines[0].X2, 340.0f);
    EXPECT_NEAR(e.x1, 310.0f, 1e-4f);
}

TEST_F(ExplosionTest, SparksAndStreaksAreSixtyFourPiecesAndGreyInTheGreyPalette) {
    CreateExplosion(TheWorld, 400, 300, 0, BigExplosion);
    CreateExplosion(TheWorld, 400, 300, 0, ShockwaveExplosion);
    ASSERT_EQ(TheWorld.ExplosionsList.Count(), 128u);
    int sparks = 0;
    TheWorld.ExplosionsList.Each([&](const Explosions& e) {
        EXPECT_EQ(e.color >> 24, 0xFFu);
        if (e.ExplosionType == BigExplosion) {
            sparks += 1;
            EXPECT_GE(e.speed, 6.0f);
            EXPECT_LE(e.speed, 12.0f);
            EXPECT_GE(e.Count, 30);
            EXPECT_LE(e.Count, 110);
        } else {
            EXPECT_GE(e.speed, 8.0f);
            EXPECT_LE(e.speed, 16.0f);
            EXPECT_GE(e.Count, 20);
            EXPECT_LE(e.Count, 80);
        }
    });
    EXPECT_EQ(sparks, 64);
    TheWorld.ExplosionsList.Clear();
    TheSettings.ColorsOn = 0;
    CreateExplosion(TheWorld, 400, 300, 0, BigExplosion);
    CreateExplosion(TheWorld, 400, 300, 0, ShockwaveExplosion);
    TheWorld.ExplosionsList.Each([](const Explosions& e) { EXPECT_EQ(e.color, 0xFFC0C0C0u); });
    CreateParticles(TheWorld, 400, 300);
    TheWorld.ParticlesList.Each([](const Particles& p) { EXPECT_EQ(p.color, 0xFFFFFFFFu); });
}

TEST_F(ParticleTest, ThirtyTwoParticlesLiveTheirLifePlusOneFrames) {
    CreateParticles(TheWorld, 500, 400);
    ASSERT_EQ(TheWorld.ParticlesList.Count(), 32u);
    TheWorld.ParticlesList.Each([](const Particles& p) {
        EXPECT_GE(p.life, 20);
        EXPECT_LE(p.life, 60);
        float speed = std::hypot(p.xspeed, p.yspeed);
        EXPECT_LE(speed, 3.5f * std::sqrt(2.0f) + 1e-3f);
        // Half a million-wide draw read as ARGB: opaque near white or nearly black and transparent.
        EXPECT_TRUE(p.color >= 0xFFFF3CB0u || p.color <= 0x0000C350u);
    });
    TheWorld.ParticlesList.Clear();
    Particles& p = TheWorld.ParticlesList.Add();
    p.life = 3;
    p.xspeed = 1;
    int draws = 0;
    for (int frame = 0; frame < 10; ++frame) {
        ForgetCalls();
        UpdateParticles(TheWorld);
        DrawParticles(TheWorld);
        draws += Strips().empty() ? 0 : 1;
    }
    // Shown where it stood before each move, and not in the frame whose step ends its life.
    EXPECT_EQ(draws, 3);
    EXPECT_EQ(TheWorld.ParticlesList.Count(), 0u);
}

TEST_F(FragTest, TheFragmentTablesHoldSevenLinesEach) {
    for (const char* label : FragLineLabels) EXPECT_EQ(DataTableLength(label), FragLinesPerSet * FragLineInts);
    RestoreData("FragLines1");
    EXPECT_EQ(ReadDataInt(), 6);
    EXPECT_EQ(ReadDataInt(), -6);
    RestoreData("FragLines2");
    for (int k = 0; k < FragLinesPerSet * FragLineInts - 1; ++k) ReadDataInt();
    EXPECT_EQ(ReadDataInt(), 10);
}

TEST_F(FragTest, ThreeFragmentsFlyApartAt0119And238AndSpeedUp) {
    TheWorld.ShipX = 400;
    TheWorld.ShipY = 300;
    TheWorld.ShipAngle = 30;
    for (int index = 0; index < 3; ++index) CreateFrag(TheWorld, index);
    int index = 0;
    TheWorld.FragsList.Each([&](const frags& f) {
        EXPECT_EQ(f.WhichOne, index * 119);
        EXPECT_EQ(f.Data, index);
        EXPECT_FLOAT_EQ(f.Angle, 30.0f);
        EXPECT_GE(f.RotateSpeed, -12.0f);
        EXPECT_LE(f.RotateSpeed, 12.0f);
        index += 1;
    });
    Wireframe();
    ForgetCalls();
    UpdateFrags(TheWorld);
    DrawFrags(TheWorld);
    std::vector<Headless::DrawCall> lines = Lines();
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[0].Red, 80);
    EXPECT_EQ(lines[0].Blue, 255);
    UpdateFrags(TheWorld);
    const frags* first = nullptr;
    TheWorld.FragsList.Each([&](const frags& f) {
        if (first == nullptr) first = &f;
    });
    EXPECT_NEAR(first->y, 300.0f - 0.05f - 0.10f, 1e-4f);
    EXPECT_NEAR(first->Distance, 0.10f, 1e-5f);
    // The first line of set 0, (6, 8), rotated by 30 degrees: 400 + 6 cos 30 + 8 sin 30 = 400 + 5.196 + 4, and
    // 300 + 6 sin 30 - 8 cos 30 = 300 + 3 - 6.928.
    EXPECT_NEAR(lines[0].X1, 409.196f, 1e-3f);
    EXPECT_NEAR(lines[0].Y1, 296.072f, 1e-3f);
}
