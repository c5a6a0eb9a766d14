// The hit tests: the distance and crossing tests, bullets against chords and the cannon, and the points they give.
#include "fortress/Collisions.h"
#include "NeonFixture.h"
#include "core/GameState.h"
#include "fortress/Fortress.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "game/Levels.h"
#include "game/Ship.h"
#include "platform/Random.h"
#include <cmath>

using HitTestTest = GameFixture;
using BulletHitTest = NeonFixture;
using ScoringTest = GameFixture;

namespace {
// A chord from (x1, y1) to (x2, y2) worth `score`.
Sections& Chord(World& w, float x1, float y1, float x2, float y2, int score = 10) {
    Sections& s = w.SectionsList.Add();
    s.x1 = x1;
    s.y1 = y1;
    s.x2 = x2;
    s.y2 = y2;
    s.Life = 2;
    s.Score = score;
    s.Color = 0xFF74740E;
    s.rcol = s.gcol = s.bcol = 255;
    return s;
}

PlayerBullets& Bullet(World& w, float x, float y, float xspeed, float yspeed) {
    PlayerBullets& b = w.PlayerBulletsList.Add();
    b.x = x;
    b.y = y;
    b.xspeed = xspeed;
    b.yspeed = yspeed;
    return b;
}
} // namespace

TEST_F(HitTestTest, WithinDistanceIsStrictOnWholeUnits) {
    EXPECT_TRUE(WithinDistance(0, 0, 3, 4, 6));
    EXPECT_FALSE(WithinDistance(0, 0, 3, 4, 5)); // exactly 5 is not within 5
    EXPECT_FALSE(WithinDistance(632, 384, 512, 384, 120));
    EXPECT_TRUE(WithinDistance(631, 384, 512, 384, 120));
    EXPECT_TRUE(WithinDistance(-5, -5, -1, -2, 6));
    // Far out the float root decides: 2 short of 4142 squared, yet its root rounds to 4142, which is not within.
    EXPECT_FALSE(WithinDistance(0, 0, 4141, 91, 4142));
}

TEST_F(HitTestTest, SegmentsCrossOnlyStrictlyInsideBoth) {
    EXPECT_TRUE(SegmentsCross(0, 0, 10, 10, 0, 10, 10, 0));
    EXPECT_FALSE(SegmentsCross(0, 0, 5, 5, 0, 10, 10, 0));     // ends exactly on the other
    EXPECT_FALSE(SegmentsCross(0, 0, 4, 4, 0, 10, 10, 0));     // stops short
    EXPECT_FALSE(SegmentsCross(0, 0, 10, 0, 2, 0, 8, 0));      // along it
    EXPECT_FALSE(SegmentsCross(0, 0, 10, 0, 0, 1, 10, 1));     // parallel
    EXPECT_FALSE(SegmentsCross(0, 0, 10, 10, 10, 0, 20, -10)); // touching at an end point
}

TEST_F(BulletHitTest, ABulletMovingAlongAChordNeverHitsIt) {
    Sections& s = Chord(Fight, 100, 200, 300, 200);
    Bullet(Fight, 90, 200, 10, 0);
    for (int i = 0; i < 30; ++i) UpdatePlayerBullets(Fight);
    EXPECT_EQ(s.Life, 2);
    EXPECT_EQ(Fight.PlayerBulletsList.Count(), 1u);
}

TEST_F(BulletHitTest, ABulletCrossingTwoChordsDamagesOnlyTheFirstInListOrder) {
    Sections& later = Chord(Fight, 505, 100, 505, 300);
    Sections& earlier = Chord(Fight, 503, 100, 503, 300);
    // The move crosses both; the one created first in the list takes the hit even though the bullet meets the
    // other first.
    Bullet(Fight, 500, 200, 10, 0);
    UpdatePlayerBullets(Fight);
    EXPECT_EQ(later.Life, 1);
    EXPECT_EQ(earlier.Life, 2);
    EXPECT_EQ(later.Color, 0xFF74740Eu + 0x7F7F7Fu);
    EXPECT_EQ(later.rcol, 175);
    EXPECT_EQ(Fight.PlayerBulletsList.Count(), 0u);
    EXPECT_EQ(Fight.PlayerBulletCount, 1); // a bullet that struck this frame is still counted
}

TEST_F(BulletHitTest, TheSecondHitDestroysTheSectionAndScoresItsPoints) {
    Fight.DemoMode = 0;
    Sections& s = Chord(Fight, 500, 100, 500, 300, 30);
    Bullet(Fight, 495, 200, 10, 0);
    UpdatePlayerBullets(Fight);
    Bullet(Fight, 495, 200, 10, 0);
    UpdatePlayerBullets(Fight);
    EXPECT_EQ(Fight.SectionsList.Count(), 0u);
    EXPECT_EQ(Fight.Score, 30);
    (void)s;
    // In the attract play nothing is scored.
    Fight.DemoMode = 1;
    Chord(Fight, 500, 100, 500, 300, 30).Life = 1;
    Bullet(Fight, 495, 200, 10, 0);
    UpdatePlayerBullets(Fight);
    EXPECT_EQ(Fight.SectionsList.Count(), 0u);
    EXPECT_EQ(Fight.Score, 30);
}

TEST_F(BulletHitTest, ACannonHitEndsEveryBulletAndScoresTheSectionsStillStanding) {
    Fight.DemoMode = 0;
    Chord(Fight, 100, 100, 110, 100, 20);
    Chord(Fight, 100, 120, 110, 120, 30);
    Bullet(Fight, 480, 384, 10, 0);
    Bullet(Fight, 700, 700, 0, 1);
    UpdatePlayerBullets(Fight);
    EXPECT_EQ(Fight.CannonDestroyed, 1);
    EXPECT_EQ(Fight.Score, 1710 + 20 + 30);
    EXPECT_EQ(Fight.SectionsList.Count(), 0u);
    EXPECT_EQ(Fight.PlayerBulletsList.Count(), 0u);
    EXPECT_EQ(Fight.PlayerBulletCount, 1); // the second bullet was never reached
}

TEST_F(BulletHitTest, AnUnobstructedBulletIsMovedSixtyOneTimesAndWraps) {
    PlayerBullets& b = Bullet(Fight, 1020, 10, 5, -5);
    UpdatePlayerBullets(Fight);
    EXPECT_FLOAT_EQ(b.x, 1.0f);
    EXPECT_FLOAT_EQ(b.y, 5.0f);
    for (int i = 1; i < 60; ++i) UpdatePlayerBullets(Fight);
    EXPECT_EQ(Fight.PlayerBulletsList.Count(), 1u);
    UpdatePlayerBullets(Fight);
    EXPECT_EQ(Fight.PlayerBulletsList.Count(), 0u);
    EXPECT_EQ(Fight.PlayerBulletCount, 0);
}

TEST_F(ScoringTest, TenThousandPointsGiveOneBonusShipAndTheRestCarriesOver) {
    Fight.Score = 9990;
    Fight.BonusCounter = 9990;
    Fight.ShipsLeft = 3;
    AddScore(Fight, 30);
    EXPECT_EQ(Fight.Score, 10020);
    EXPECT_EQ(Fight.BonusCounter, 20);
    EXPECT_EQ(Fight.ShipsLeft, 4);
    AddScore(Fight, 25000); // at most one ship a call
    EXPECT_EQ(Fight.ShipsLeft, 5);
    EXPECT_EQ(Fight.BonusCounter, 15020);
}

TEST_F(ScoringTest, AStruckShipIsDeadWhateverItWasBefore) {
    Fight.ShipX = 300;
    Fight.ShipY = 300;
    EXPECT_FALSE(ShipStruckWithin(Fight, 332, 300, 32));
    EXPECT_EQ(Fight.PlayerDead, 0);
    EXPECT_TRUE(ShipStruckWithin(Fight, 331, 300, 32));
    EXPECT_EQ(Fight.PlayerDead, 1);
    EXPECT_TRUE(ShipStruckWithin(Fight, 300, 300, 28));
}

TEST_F(HitTestTest, ABounceThatRoundsToAFullTurnFacesStraightUp) {
    // A seed whose first draw of the spread is 0.
    int seed = 1;
    for (;; ++seed) {
        SeedRnd(seed);
        if (Rand(-22, 22) == 0) break;
    }
    SeedRnd(seed);
    // Straight above the centre, one float step to the left: the outward angle is a hair below 0, and that plus
    // 360 rounds to exactly 360 in single precision.
    Fight.ShipOldX = std::nextafter(512.0f, 0.0f);
    Fight.ShipOldY = 184;
    Fight.ShipX = 512;
    Fight.ShipY = 300;
    Fight.ShipSpeed = 4;
    BounceShipOffRings(Fight);
    EXPECT_EQ(Fight.ShipX, Fight.ShipOldX);
    EXPECT_EQ(Fight.ShipY, 184.0f);
    EXPECT_GE(Fight.ShipAngle, 0.0f);
    EXPECT_LT(Fight.ShipAngle, 360.0f);
    EXPECT_NEAR(Fight.ShipYSpeed, -2.0f, 1e-4f);
}
