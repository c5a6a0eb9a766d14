// The homing missiles: the launch, each mode's step, the hunt's steering and speed, the settle and deflect walk,
// the lifetime, the ship test and a bullet's hit.
#include "fortress/Missiles.h"
#include "NeonFixture.h"
#include "core/GameState.h"
#include "fortress/Collisions.h"
#include "fortress/Effects.h"
#include "fortress/Fortress.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "game/Ship.h"
#include "platform/Random.h"

namespace {
using MissileLaunchTest = NeonFixture;
using MissileStepTest = NeonFixture;
using MissileHuntTest = NeonFixture;
using MissileHitTest = PlayerGameFixture;

Missiles& OnlyMissile(World& w) {
    Missiles* found = nullptr;
    w.MissilesList.Walk([&](Missiles& m) { found = &m; });
    return *found;
}

// A hunting missile at (x, y) with the given heading, the ship far away.
Missiles& Hunter(World& w, float x, float y, float heading) {
    Missiles& m = w.MissilesList.Add();
    m.x = x;
    m.y = y;
    m.Angle = heading;
    m.Mode = MissileHunting;
    m.Life = 100;
    return m;
}

// A seed whose first Rand(1, 100) is below 51, or at or above it.
int SeedWhoseFirstPercent(bool below) {
    for (int seed = 1;; ++seed) {
        SeedRnd(seed);
        if ((Rand(1, 100) < 51) == below) return seed;
    }
}
} // namespace

TEST_F(MissileLaunchTest, AMissileLeavesTheMuzzleInModeOneOrNine) {
    Fight.Level = 1;
    bool seen[2] = {false, false};
    SeedRnd(12345);
    for (int launch = 0; launch < 20; ++launch) {
        Fight.MissilesList.Clear();
        LaunchMissile(Fight, 90);
        Missiles& m = OnlyMissile(Fight);
        EXPECT_NEAR(m.x, 528.0f, 1e-3f);
        EXPECT_NEAR(m.y, 384.0f, 1e-3f);
        EXPECT_NEAR(m.xspeed, 2.0f, 1e-4f);
        EXPECT_NEAR(m.yspeed, 0.0f, 1e-4f);
        EXPECT_EQ(m.Life, 480);
        EXPECT_FLOAT_EQ(m.speed, 3.0f);
        ASSERT_TRUE(m.Mode == MissileToInnerRing || m.Mode == MissileStraightOut);
        EXPECT_EQ(m.TargetRing, m.Mode == MissileToInnerRing ? 0 : 1);
        seen[m.Mode == MissileToInnerRing ? 0 : 1] = true;
        // Both modes move right at 2 a frame when launched at 90.
        UpdateMissiles(Fight);
        EXPECT_NEAR(m.x, 530.0f, 1e-3f);
    }
    EXPECT_TRUE(seen[0] && seen[1]);
}

TEST_F(MissileStepTest, AtAngleZeroModeNineGoesUpAndModeOneDownThroughTheCentre) {
    Fight.Level = 1;
    for (int mode : {MissileToInnerRing, MissileStraightOut}) {
        Fight.MissilesList.Clear();
        LaunchMissile(Fight, 0);
        Missiles& m = OnlyMissile(Fight);
        m.Mode = mode;
        UpdateMissiles(Fight);
        EXPECT_NEAR(m.y, mode == MissileToInnerRing ? 370.0f : 366.0f, 1e-3f) << mode;
        EXPECT_EQ(m.RingDistance, 1);
    }
}

TEST_F(MissileStepTest, ModeNineStartsHuntingAfter31FramesWithoutSpendingLife) {
    Fight.Level = 1;
    LaunchMissile(Fight, 90);
    Missiles& m = OnlyMissile(Fight);
    m.Mode = MissileStraightOut;
    for (int frame = 0; frame < 30; ++frame) UpdateMissiles(Fight);
    EXPECT_EQ(m.Mode, MissileStraightOut);
    UpdateMissiles(Fight);
    EXPECT_EQ(m.Mode, MissileHunting);
    EXPECT_NEAR(m.x, 512.0f + 16.0f + 31 * 2.0f, 1e-3f);
    // Mode 9 is above 5: its frames count against its life.
    EXPECT_EQ(m.Life, 480 - 31);
    // Mode 1 does not count.
    Fight.MissilesList.Clear();
    LaunchMissile(Fight, 90);
    Missiles& inner = OnlyMissile(Fight);
    inner.Mode = MissileToInnerRing;
    UpdateMissiles(Fight);
    EXPECT_EQ(inner.Life, 480);
}

TEST_F(MissileStepTest, AModeOneMissileSettlesOnTheLastInnerSectionInReach) {
    Fight.Level = 1;
    Missiles& m = Fight.MissilesList.Add();
    m.x = 500;
    m.y = 300;
    m.Mode = MissileToInnerRing;
    m.Life = 100;
    for (int k = 0; k < 2; ++k) {
        Sections& s = Fight.SectionsList.Add();
        s.x0 = 500;
        s.y0 = 300;
        s.Angle0 = 100.0f + static_cast<float>(k);
        s.Radius = 64.7f;
        s.speed = 1.5f;
    }
    Sections& middle = Fight.SectionsList.Add(); // another ring: never settled on in mode 1
    middle.x0 = 500;
    middle.y0 = 300;
    middle.Ring = 1;
    middle.Angle0 = 200;
    UpdateMissiles(Fight);
    EXPECT_EQ(m.Mode, MissileRiding);
    EXPECT_FLOAT_EQ(m.RingAngle, 101.0f);
    EXPECT_EQ(m.RingDistance, 64);
    EXPECT_FLOAT_EQ(m.RingSpeed, 1.5f);
    EXPECT_EQ(m.TargetRing, 2);
    EXPECT_GE(m.HangAround, 30);
    EXPECT_LE(m.HangAround, 180);
    // Riding: it turns with the copied speed, 2 inside the ring.
    UpdateMissiles(Fight);
    EXPECT_FLOAT_EQ(m.RingAngle, 102.5f);
    EXPECT_NEAR(m.x, 512.0f + Sin(102.5f) * 62.0f, 1e-3f);
    EXPECT_NEAR(m.y, 384.0f - Cos(102.5f) * 62.0f, 1e-3f);
}

TEST_F(MissileStepTest, ADeflectedMissileFliesOnUntilItsTimeRunsOut) {
    Missiles& m = Fight.MissilesList.Add();
    m.Mode = MissileDeflected;
    m.HangAround = 1;
    m.xspeed = 3;
    m.Life = 10;
    UpdateMissiles(Fight);
    EXPECT_EQ(m.Mode, MissileDeflected);
    UpdateMissiles(Fight);
    EXPECT_EQ(m.Mode, MissileHunting);
    EXPECT_FLOAT_EQ(m.x, 6.0f);
}

TEST_F(MissileStepTest, AMissileWhoseLifeRunsOutIsRemovedButTakesItsStep) {
    // A rider whose time on the ring ends this frame draws whether it hunts or leaves, even as it is removed.
    int seed = 1;
    for (;; ++seed) {
        SeedRnd(seed);
        if (Rand(1, 100) >= 26) break;
    }
    int afterOneDraw = RndSeed();
    Missiles& m = Fight.MissilesList.Add();
    m.Mode = MissileRiding;
    m.HangAround = 1;
    m.RingDistance = 64;
    m.Life = 0;
    SeedRnd(seed);
    UpdateMissiles(Fight);
    EXPECT_EQ(Fight.MissilesList.Count(), 0u);
    EXPECT_EQ(RndSeed(), afterOneDraw);
    // With a life of 0 it lived one counted frame; with 1 it is still there after it.
    Missiles& longer = Fight.MissilesList.Add();
    longer.Mode = MissileDeflected;
    longer.HangAround = 100;
    longer.Life = 1;
    UpdateMissiles(Fight);
    EXPECT_EQ(Fight.MissilesList.Count(), 1u);
    UpdateMissiles(Fight);
    EXPECT_EQ(Fight.MissilesList.Count(), 0u);
}

TEST_F(MissileHuntTest, AHunterTurnsFourDegreesTheShorterWayOrFliesStraight) {
    Fight.Level = 1;
    // The aim point is 16 right of and below the ship: here straight below the missile.
    struct Case {
        float AimShift; // across, from straight below
        float Heading, Turned;
    } cases[] = {{0, 0, 4}, {-3.5f, 0, 356}, {0, 179, 179}, {0, 182, 182}, {0, 178, 178}, {0, 177, 181}, {0, 356, 352}};
    for (const Case& c : cases) {
        Fight.MissilesList.Clear();
        Missiles& m = Hunter(Fight, 200, 200, c.Heading);
        Fight.ShipX = 200 - 16 + c.AimShift;
        Fight.ShipY = 400 - 16;
        UpdateMissiles(Fight);
        EXPECT_FLOAT_EQ(m.Angle, c.Turned) << c.AimShift << " " << c.Heading;
    }
}

TEST_F(MissileHuntTest, HuntingSpeedIsTwoAndATenthALevelUpToFive) {
    struct Case {
        int Level;
        float Speed;
    } cases[] = {{1, 2.1f}, {10, 3.0f}, {30, 5.0f}, {45, 5.0f}};
    for (const Case& c : cases) {
        Fight.Level = c.Level;
        Fight.MissilesList.Clear();
        Missiles& m = Hunter(Fight, 200, 200, 90);
        Fight.ShipX = 600 - 16; // dead ahead
        Fight.ShipY = 200 - 16;
        UpdateMissiles(Fight);
        EXPECT_NEAR(m.x, 200.0f + c.Speed, 1e-4f) << c.Level;
    }
}

TEST_F(MissileHuntTest, AHunterWrapsAroundTheEdges) {
    Fight.Level = 1;
    Fight.ShipX = -116; // aim straight left
    Fight.ShipY = 300 - 16;
    Missiles& m = Hunter(Fight, 1, 300, 270);
    UpdateMissiles(Fight);
    EXPECT_NEAR(m.x, 1024.0f + 1.0f - 2.1f, 1e-3f);
}

TEST_F(MissileHuntTest, SettleThenDeflectInListOrder) {
    Fight.Level = 1;
    Fight.ShipX = Fight.ShipY = 900;
    auto section = [this](int ring) -> Sections& {
        Sections& s = Fight.SectionsList.Add();
        s.x0 = 512;
        s.y0 = 300;
        s.Ring = ring;
        s.Angle0 = 10;
        s.Angle2 = 25;
        s.Radius = 112;
        s.speed = -2;
        return s;
    };
    section(2);
    // Alone, an outer section the draw favours takes the missile on at its finishing end.
    SeedRnd(SeedWhoseFirstPercent(true));
    Missiles& m = Hunter(Fight, 512, 302, 0);
    UpdateMissiles(Fight);
    EXPECT_EQ(m.Mode, MissileRiding);
    EXPECT_FLOAT_EQ(m.RingAngle, 25.0f);
    EXPECT_EQ(m.RingDistance, 112);
    // Another section further down the list in reach deflects it in the same frame.
    Fight.MissilesList.Clear();
    section(0);
    SeedRnd(SeedWhoseFirstPercent(true));
    Missiles& twice = Hunter(Fight, 512, 302, 0);
    UpdateMissiles(Fight);
    EXPECT_EQ(twice.Mode, MissileDeflected);
    EXPECT_GE(twice.HangAround, 20);
    EXPECT_LE(twice.HangAround, 50);
    float speed = std::hypot(twice.xspeed, twice.yspeed);
    EXPECT_NEAR(speed, 3.0f, 1e-4f);
    // A failed draw deflects at once.
    Fight.SectionsList.Clear();
    Fight.MissilesList.Clear();
    section(2);
    SeedRnd(SeedWhoseFirstPercent(false));
    Missiles& refused = Hunter(Fight, 512, 302, 0);
    UpdateMissiles(Fight);
    EXPECT_EQ(refused.Mode, MissileDeflected);
}

TEST_F(MissileHitTest, AMissileStrikesTheShipWithin28AndStaysInPlay) {
    Missiles& m = Fight.MissilesList.Add();
    m.x = 300;
    m.y = 300;
    Fight.ShipX = 327;
    Fight.ShipY = 300;
    CountMissiles(Fight);
    EXPECT_EQ(Fight.PlayerDead, 1);
    EXPECT_EQ(Fight.MissileCount, 1);
    EXPECT_EQ(Fight.MissilesList.Count(), 1u);
    EXPECT_EQ(Fight.ExplosionsList.Count(), 64u);
    // It strikes again in a later frame.
    CountMissiles(Fight);
    EXPECT_EQ(Fight.ExplosionsList.Count(), 128u);
    Fight.PlayerDead = 0;
    Fight.ShipX = 328;
    CountMissiles(Fight);
    EXPECT_EQ(Fight.PlayerDead, 0);
}

TEST_F(MissileHitTest, OneBulletDownsEveryMissileWithin14) {
    for (float x : {300.0f, 310.0f, 330.0f}) {
        Missiles& m = Fight.MissilesList.Add();
        m.x = x;
        m.y = 300;
    }
    PlayerBullets& bullet = Fight.PlayerBulletsList.Add();
    bullet.x = 305;
    bullet.y = 300;
    // As the bullets' own walk calls it, so the removed bullet lasts out its step.
    Fight.PlayerBulletsList.Walk([this](PlayerBullets& b) { BulletHitsMissiles(Fight, b); });
    EXPECT_EQ(Fight.MissilesList.Count(), 1u);
    EXPECT_EQ(Fight.PlayerBulletsList.Count(), 0u);
    EXPECT_EQ(Fight.ParticlesList.Count(), 64u);
    EXPECT_EQ(Fight.ExplosionsList.Count(), 40u);
    Fight.ExplosionsList.Each([](const Explosions& e) { EXPECT_EQ(e.color, 0xFFC080A0u + 0xFF000000u + 0x202020u); });
}

TEST_F(MissileHitTest, TheQuotaRefillsTheFrameAfterOneIsShotDown) {
    Fight.Level = 1;
    Fight.PlayerDead = 1;
    Fight.ShipX = Fight.ShipY = 900;
    for (int k = 0; k < 4; ++k) {
        CountMissiles(Fight);
        UpdateCannon(Fight);
    }
    EXPECT_EQ(Fight.MissilesList.Count(), 3u);
    Missiles* first = nullptr;
    Fight.MissilesList.Walk([&](Missiles& m) {
        if (first == nullptr) first = &m;
    });
    Fight.MissilesList.Remove(*first);
    CountMissiles(Fight);
    EXPECT_EQ(Fight.MissileCount, 2);
    UpdateCannon(Fight);
    EXPECT_EQ(Fight.MissilesList.Count(), 3u);
}
