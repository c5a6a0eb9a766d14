// The cannon and its bullets: bearings, the turn, the firing arc, the line of fire, shot delays, the missile quota,
// the chevrons and the bullets' flight, drawing and hits.
#include "fortress/Cannon.h"
#include "NeonFixture.h"
#include "core/GameState.h"
#include "fortress/Effects.h"
#include "fortress/Fortress.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "game/Ship.h"
#include "platform/Random.h"

namespace {
using CannonAimTest = NeonFixture;
using CannonFireTest = PlayerGameFixture;
using EnemyBulletTest = PlayerGameFixture;

// The ship `distance` from the centre at the given bearing.
void PlaceShip(World& w, float bearing, float distance) {
    w.ShipX = FortressX + Sin(bearing) * distance;
    w.ShipY = FortressY - Cos(bearing) * distance;
}

// The cannon at level 1, ready to fire, with a full quota of missiles so none is launched.
void ReadyCannon(World& w) {
    w.Level = 1;
    w.PlayerDead = 0;
    w.ExitPromptShown = 0;
    w.MissileCount = 3;
    w.CannonFireDelay = 1;
}
} // namespace

TEST_F(CannonAimTest, BearingsFromTheCentreFollowTheCompass) {
    EXPECT_NEAR(CentreBearing(512, 100), 0.0f, 1e-3f);
    EXPECT_NEAR(CentreBearing(800, 384), 90.0f, 1e-3f);
    EXPECT_NEAR(CentreBearing(512, 700), 180.0f, 1e-3f);
    EXPECT_NEAR(CentreBearing(100, 384), 270.0f, 1e-3f);
}

TEST_F(CannonAimTest, AngleDiffIsTheShortestSignedTurn) {
    EXPECT_FLOAT_EQ(AngleDiff(350, 10), 20.0f);
    EXPECT_FLOAT_EQ(AngleDiff(10, 350), -20.0f);
    EXPECT_FLOAT_EQ(AngleDiff(0, 180), -180.0f); // the half turn counts as the negative end
    EXPECT_FLOAT_EQ(AngleDiff(90, 90), 0.0f);
    EXPECT_FLOAT_EQ(AngleDiff(0, 359), -1.0f);
}

TEST_F(CannonAimTest, TheCannonTurnsALevelDependentStepAndNeverRests) {
    ReadyCannon(Fight);
    Fight.PlayerDead = 1; // no shots in the way
    Fight.CannonAngle = 0;
    PlaceShip(Fight, 90, 300);
    UpdateCannon(Fight);
    EXPECT_NEAR(Fight.CannonAngle, 1.481f, 1e-4f);
    Fight.Level = 10;
    Fight.MissileCount = 10;
    Fight.CannonAngle = 0;
    UpdateCannon(Fight);
    EXPECT_NEAR(Fight.CannonAngle, 2.21f, 1e-4f);
    // From 350 toward a bearing of 10 it turns clockwise through 360.
    Fight.Level = 1;
    Fight.CannonAngle = 359;
    PlaceShip(Fight, 10, 300);
    UpdateCannon(Fight);
    EXPECT_NEAR(Fight.CannonAngle, 0.481f, 1e-3f);
    // On target it swings one step either side.
    Fight.CannonAngle = 90;
    PlaceShip(Fight, 90, 300);
    UpdateCannon(Fight);
    EXPECT_NEAR(Fight.CannonAngle, 91.481f, 1e-3f);
    UpdateCannon(Fight);
    EXPECT_NEAR(Fight.CannonAngle, 90.0f, 1e-3f);
    // Turning anticlockwise past 0 lands between 359 and 360, which the drawing's wrap makes slightly negative
    // (drawn with row 0).
    Fight.CannonAngle = 1;
    PlaceShip(Fight, 270, 300);
    UpdateCannon(Fight);
    EXPECT_NEAR(Fight.CannonAngle, -0.481f, 1e-3f);
    Fight.CannonAngle = 3;
    UpdateCannon(Fight);
    EXPECT_NEAR(Fight.CannonAngle, 1.519f, 1e-3f);
}

TEST_F(CannonAimTest, BehindTheExitPromptTheCannonHoldsStillButItsChevronsSpin) {
    ReadyCannon(Fight);
    Fight.MissileCount = 0;
    Fight.ExitPromptShown = 1;
    Fight.CannonAngle = 45;
    PlaceShip(Fight, 0, 300);
    UpdateCannon(Fight);
    EXPECT_FLOAT_EQ(Fight.CannonAngle, 45.0f);
    EXPECT_EQ(Fight.CannonFireDelay, 1);
    EXPECT_EQ(Fight.MissilesList.Count(), 0u);
    EXPECT_EQ(Fight.ChevronFrameTimer, 1);
}

TEST_F(CannonAimTest, EachChevronFrameShowsForSixCallsInACycleOf36) {
    Fight.ExitPromptShown = 1;
    for (int call = 1; call <= 36; ++call) {
        UpdateCannon(Fight);
        EXPECT_EQ(Fight.ChevronFrame, (call / 6) % 6) << call;
    }
    EXPECT_EQ(Fight.ChevronFrame, 0);
    EXPECT_EQ(Fight.ChevronFrameTimer, 0);
}

TEST_F(CannonAimTest, TheCannonIsTwelveStrokesAndFourChevronStrokesInGlow) {
    Fight.ExitPromptShown = 1;
    ForgetCalls();
    UpdateCannon(Fight);
    DrawCannon(Fight);
    std::size_t one = Strips().size();
    EXPECT_GT(one, 0u);
    EXPECT_EQ(one % (CannonStrokes + StrokesPerFrame), 0u);
    TheSettings.NeonMode = 0;
    ApplyDisplayStyle();
    ForgetCalls();
    UpdateCannon(Fight);
    DrawCannon(Fight);
    EXPECT_EQ(Lines().size(), static_cast<std::size_t>(CannonStrokes + StrokesPerFrame));
    // The grey chevrons leave the colour white again for whatever is drawn next.
    TheSettings.ColorsOn = 0;
    UpdateCannon(Fight);
    DrawCannon(Fight);
    DrawLine(0, 0, 10, 0);
    const Headless::DrawCall next = Lines().back(); // a copy: Lines() is a temporary
    EXPECT_EQ(std::vector<int>({next.Red, next.Green, next.Blue}), std::vector<int>({255, 255, 255}));
}

TEST_F(CannonFireTest, AShotNeedsTheFacingStrictlyWithinTenDegrees) {
    PlaceShip(Fight, 0, 300);
    struct Case {
        float Facing;
        std::size_t Shots;
    } cases[] = {{350, 0}, {351, 1}, {10, 0}, {9, 1}, {0, 1}};
    for (const Case& c : cases) {
        Fight.EnemyBulletsList.Clear();
        ReadyCannon(Fight);
        Fight.CannonAngle = c.Facing;
        UpdateCannon(Fight);
        EXPECT_EQ(Fight.EnemyBulletsList.Count(), c.Shots) << c.Facing;
    }
}

TEST_F(CannonFireTest, TheBulletFliesAtTheShipsBearingNotTheFacing) {
    ReadyCannon(Fight);
    Fight.CannonAngle = 95;
    PlaceShip(Fight, 90, 300);
    UpdateCannon(Fight);
    ASSERT_EQ(Fight.EnemyBulletsList.Count(), 1u);
    Fight.EnemyBulletsList.Each([](const EnemyBullets& b) {
        EXPECT_NEAR(b.x, 528.0f, 1e-3f);
        EXPECT_NEAR(b.y, 384.0f, 1e-3f);
        EXPECT_NEAR(b.xspeed, 16.0f, 1e-4f);
        EXPECT_NEAR(b.yspeed, 0.0f, 1e-4f);
    });
    EXPECT_EQ(Fight.CannonFireDelay, CannonShotDelay);
}

TEST_F(CannonFireTest, ShotsComeThirtyFramesApartAnd120AfterANewLife) {
    ReadyCannon(Fight);
    Fight.CannonAngle = 0;
    PlaceShip(Fight, 0, 300);
    UpdateCannon(Fight);
    ASSERT_EQ(Fight.EnemyBulletsList.Count(), 1u);
    for (int frame = 1; frame < CannonShotDelay; ++frame) UpdateCannon(Fight);
    EXPECT_EQ(Fight.EnemyBulletsList.Count(), 1u);
    UpdateCannon(Fight);
    EXPECT_EQ(Fight.EnemyBulletsList.Count(), 2u);

    Fight.EnemyBulletsList.Clear();
    Fight.CannonFireDelay = 120;
    for (int frame = 1; frame < 120; ++frame) UpdateCannon(Fight);
    EXPECT_EQ(Fight.EnemyBulletsList.Count(), 0u);
    UpdateCannon(Fight);
    EXPECT_EQ(Fight.EnemyBulletsList.Count(), 1u);
    // A dead ship draws no fire, and the delay stands still.
    Fight.PlayerDead = 1;
    Fight.CannonFireDelay = 1;
    UpdateCannon(Fight);
    EXPECT_EQ(Fight.CannonFireDelay, 1);
}

TEST_F(CannonFireTest, OneIntactChordBlocksTheLineButAGapOrAnEndPointDoesNot) {
    // One ring with its ends at 0, 30, 60 … degrees, standing still.
    CreateSections(Fight, 0, 64.0f, RingColor0, 0.0f, 0);
    MoveSections(Fight);
    EXPECT_FALSE(LineOfFireClear(Fight, FortressX + Sin(15) * 300, FortressY - Cos(15) * 300));
    // Straight up runs exactly through the end point two chords share.
    EXPECT_TRUE(LineOfFireClear(Fight, 512, 100));
    ReadyCannon(Fight);
    Fight.CannonAngle = 15;
    PlaceShip(Fight, 15, 300);
    UpdateCannon(Fight);
    EXPECT_EQ(Fight.EnemyBulletsList.Count(), 0u);
    // Shoot the chord away: the gap lets the shot through.
    Fight.SectionsList.Walk([this](Sections& s) {
        if (s.Angle0 > 14 && s.Angle0 < 16) Fight.SectionsList.Remove(s);
    });
    ASSERT_EQ(Fight.SectionsList.Count(), 11u);
    Fight.CannonFireDelay = 1;
    Fight.CannonAngle = 15;
    UpdateCannon(Fight);
    EXPECT_EQ(Fight.EnemyBulletsList.Count(), 1u);
}

TEST_F(CannonFireTest, TheMissileQuotaGrowsEveryOtherLevel) {
    struct Case {
        int Level, Count;
        std::size_t Launched;
    } cases[] = {{1, 2, 1}, {1, 3, 0}, {2, 3, 1}, {3, 4, 0}, {4, 4, 1}, {5, 5, 0}};
    for (const Case& c : cases) {
        Fight.MissilesList.Clear();
        ReadyCannon(Fight);
        Fight.PlayerDead = 1; // launches go on whether or not the ship is alive
        Fight.Level = c.Level;
        Fight.MissileCount = c.Count;
        UpdateCannon(Fight);
        EXPECT_EQ(Fight.MissilesList.Count(), c.Launched) << c.Level << " " << c.Count;
    }
}

TEST_F(EnemyBulletTest, ABulletLeavesPast1024AcrossAndPast767Down) {
    struct Case {
        float X, Y, XSpeed, YSpeed;
        std::size_t Left;
    } cases[] = {{1008, 300, 16, 0, 1}, {1009, 300, 16, 0, 0}, {300, 751, 0, 16, 1},
                 {300, 752, 0, 16, 0},  {16, 300, -16, 0, 1},  {15, 300, -16, 0, 0}};
    Fight.ShipX = 0;
    Fight.ShipY = 0;
    for (const Case& c : cases) {
        Fight.EnemyBulletsList.Clear();
        EnemyBullets& b = Fight.EnemyBulletsList.Add();
        b.x = c.X;
        b.y = c.Y;
        b.xspeed = c.XSpeed;
        b.yspeed = c.YSpeed;
        UpdateEnemyBullets(Fight);
        EXPECT_EQ(Fight.EnemyBulletsList.Count(), c.Left) << c.X << "," << c.Y;
    }
}

TEST_F(EnemyBulletTest, ABulletWithin32OfTheShipDestroysItAndIsUsedUp) {
    PlaceShip(Fight, 90, 64);
    FireEnemyBullet(Fight, 90);
    UpdateEnemyBullets(Fight); // at 32: not yet within 32
    EXPECT_EQ(Fight.PlayerDead, 0);
    EXPECT_EQ(Fight.EnemyBulletsList.Count(), 1u);
    UpdateEnemyBullets(Fight); // at 48
    EXPECT_EQ(Fight.PlayerDead, 1);
    EXPECT_EQ(Fight.EnemyBulletsList.Count(), 0u);
    EXPECT_EQ(Fight.ExplosionsList.Count(), 64u); // the ship's blast of sparks
}

TEST_F(EnemyBulletTest, ABurstIsNineteenRaysFromPaletteColourZeroToOne) {
    Fight.ShipX = Fight.ShipY = 0;
    FireEnemyBullet(Fight, 180);
    TheSettings.NeonMode = 0;
    TheSettings.ColorsOn = 0;
    ApplyDisplayStyle();
    ForgetCalls();
    UpdateEnemyBullets(Fight);
    DrawEnemyBullets(Fight);
    std::vector<Headless::DrawCall> lines = Lines();
    ASSERT_EQ(lines.size(), 19u);
    for (const Headless::DrawCall& line : lines) {
        EXPECT_EQ(line.Red, line.Green); // grey flicker in the grey palette
        EXPECT_EQ(line.Green, line.Blue);
        EXPECT_GE(line.Red, 128);
        float length = std::hypot(line.X2 - line.X1, line.Y2 - line.Y1);
        EXPECT_LE(length, 30.5f);
    }
    // The upward ray is drawn twice: first and last go the same way.
    EXPECT_FLOAT_EQ(lines.front().X2 - lines.front().X1, 0.0f);
    EXPECT_FLOAT_EQ(lines.back().X2 - lines.back().X1, 0.0f);
    EXPECT_LT(lines.back().Y2, lines.back().Y1);
}
