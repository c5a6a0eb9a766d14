// The player's ship: turning, coasting, the bounce off the fortress, and the gun with its spawn grace and its
// three-bullet limit, on the routines and in scripted games.
#include "game/Ship.h"
#include "GameFixture.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "core/Tables.h"
#include "fortress/Collisions.h"
#include "game/TheWorld.h"
#include "platform/Input.h"
#include "platform/headless/HeadlessAudio.h"
#include <cmath>
#include <vector>

using ShipControlTest = GameFixture;
using ShipBounceTest = GameFixture;
using ShipGunTest = GameFixture;

namespace {
// A ship at rest in open space with the start-up tuning and tables; keys held from now on act at once.
void ShipInOpenSpace() {
    SetShipTuning(TheWorld);
    FillTrigTables();
    TheWorld.ShipX = 200;
    TheWorld.ShipY = 150;
    TheWorld.ShipAngle = 90;
}

void ShipFrame() {
    UpdateShipControls(TheWorld);
    MoveShip(TheWorld);
}

// Degrees from a to b, -180 .. 180.
float AngleBetween(float a, float b) {
    float d = std::fmod(b - a + 540.0f, 360.0f) - 180.0f;
    return d;
}

int BulletsAfterPlayFrames(int frames) {
    EXPECT_EQ(RunGameHeadless(LevelPageShown + frames), -1);
    return static_cast<int>(TheWorld.PlayerBulletsList.Count());
}
} // namespace

TEST_F(ShipControlTest, LeftAndRightHeldTogetherDoNotTurnAndOneAloneTurnsFiveDegreesAFrame) {
    ShipInOpenSpace();
    Headless::HoldKey(Headless::FrameCount(), TheSettings.KeyTurnLeft, 1000);
    Headless::HoldKey(Headless::FrameCount(), TheSettings.KeyTurnRight, 1000);
    for (int i = 0; i < 30; ++i) ShipFrame();
    EXPECT_EQ(TheWorld.ShipAngle, 90.0f);
    EXPECT_EQ(TheWorld.TurnSpeed, 0.0f);

    Headless::Reset();
    ResetAllState();
    ShipInOpenSpace();
    Headless::HoldKey(Headless::FrameCount(), TheSettings.KeyTurnRight, 1000);
    for (int i = 0; i < 10; ++i) ShipFrame();
    float before = TheWorld.ShipAngle;
    ShipFrame();
    EXPECT_FLOAT_EQ(TheWorld.ShipAngle - before, 5.0f); // the cap of 5 applies before the move, the decay after it
    EXPECT_GT(TheWorld.ShipAngle, 90.0f);
}

TEST_F(ShipControlTest, ASpeedOfThirteenCoastsToRestIn325Frames) {
    ShipInOpenSpace();
    TheWorld.ShipXSpeed = 13;
    for (int i = 0; i < 324; ++i) MoveShip(TheWorld);
    EXPECT_GT(TheWorld.ShipSpeed, 0.0f);
    EXPECT_NEAR(TheWorld.ShipXSpeed, 0.04f, 1e-4f);
    MoveShip(TheWorld);
    EXPECT_NEAR(TheWorld.ShipSpeed, 0.0f, 1e-4f);
    MoveShip(TheWorld);
    EXPECT_EQ(TheWorld.ShipSpeed, 0.0f);
    EXPECT_NEAR(TheWorld.ShipYSpeed, 0.0f, 1e-6f);
}

TEST_F(ShipControlTest, ThrustPushesAlongTheFacingAndTheWrapKeepsTheShipOnTheField) {
    ShipInOpenSpace();
    TheWorld.ShipAngle = 180; // nose down
    MoveShip(TheWorld);       // the thrust direction follows the facing one move later
    Headless::HoldKey(Headless::FrameCount(), TheSettings.KeyThrust, 1000);
    ShipFrame();
    EXPECT_NEAR(TheWorld.ShipYSpeed, 0.3f - 0.04f, 1e-4f);
    EXPECT_NEAR(TheWorld.ShipXSpeed, 0.0f, 1e-4f);
    EXPECT_EQ(TheWorld.ShipShape, ThrustShipShape);
    TheWorld.ShipX = -3;
    TheWorld.ShipY = 770;
    UpdateShipControls(TheWorld);
    EXPECT_FLOAT_EQ(TheWorld.ShipX, 1021.0f);
    EXPECT_FLOAT_EQ(TheWorld.ShipY, 2.0f);
}

TEST_F(ShipBounceTest, ThrustingAtTheFortressBouncesOutAtHalfSpeedFacingOutward) {
    ShipInOpenSpace();
    // Worked by hand: from (640, 384) at 10 a frame toward the centre the ship would reach 630, 118 from it; it goes
    // back to 640 at half of 10 less the friction of 0.04, facing right give or take 22 degrees.
    TheWorld.ShipX = 640;
    TheWorld.ShipY = 384;
    TheWorld.ShipXSpeed = -10;
    TheWorld.ShipYSpeed = 0;
    MoveShip(TheWorld);
    EXPECT_EQ(TheWorld.ShipX, 640.0f);
    EXPECT_NEAR(TheWorld.ShipSpeed, 4.98f, 1e-4f);
    EXPECT_NEAR(std::hypot(TheWorld.ShipXSpeed, TheWorld.ShipYSpeed), 4.98f, 1e-3f);
    EXPECT_NEAR(TheWorld.ShipAngle, 90.0f, 22.01f);
    // And thrusting at it for a while never gets the ship inside.
    TheWorld.ShipXSpeed = TheWorld.ShipYSpeed = 0;
    TheWorld.ShipX = 900;
    TheWorld.ShipY = 384;
    TheWorld.ShipAngle = 270; // straight at the centre
    Headless::HoldKey(Headless::FrameCount(), TheSettings.KeyThrust, 100000);
    int bounces = 0;
    for (int i = 0; i < 2000; ++i) {
        UpdateShipControls(TheWorld);
        MoveShip(TheWorld);
        ASSERT_FALSE(
            WithinDistance(static_cast<int>(TheWorld.ShipX), static_cast<int>(TheWorld.ShipY), 512, 384, BounceRadius))
            << "frame " << i << " at " << TheWorld.ShipX << ", " << TheWorld.ShipY;
        if (TheWorld.ShipX != TheWorld.ShipOldX || TheWorld.ShipY != TheWorld.ShipOldY) continue;
        bounces += 1;
        EXPECT_NEAR(std::hypot(TheWorld.ShipXSpeed, TheWorld.ShipYSpeed), TheWorld.ShipSpeed, 1e-3f);
        float outward = std::atan2(TheWorld.ShipY - 384, TheWorld.ShipX - 512) * 57.29578f + 90;
        EXPECT_LE(std::fabs(AngleBetween(outward, TheWorld.ShipAngle)), 22.01f);
        EXPECT_GE(TheWorld.ShipAngle, 0.0f);
        EXPECT_LT(TheWorld.ShipAngle, 360.0f);
    }
    EXPECT_GT(bounces, 3);
}

TEST_F(ShipGunTest, FireDuringTheSpawnGraceFiresOneBulletOnTheSixtiethFrame) {
    struct Case {
        const char* Name;
        int Presses;
        bool Held;
    } cases[] = {{"one press", 1, false}, {"four presses", 4, false}, {"held", 0, true}};
    for (const Case& c : cases) {
        for (int stop : {59, 60, 80}) {
            Headless::Reset();
            ResetAllState();
            for (int p = 0; p < c.Presses; ++p) Headless::PressKey(LevelPageShown + 5 + 10 * p, TheSettings.KeyFire);
            if (c.Held) Headless::HoldKey(LevelPageShown + 2, TheSettings.KeyFire, 100);
            EXPECT_EQ(BulletsAfterPlayFrames(stop), stop < 60 ? 0 : 1) << c.Name << " at frame " << stop;
        }
    }
}

TEST_F(ShipGunTest, ThreeBulletsInFlightBlockAFourthUntilOneExpires) {
    for (int p = 0; p < 4; ++p) Headless::PressKey(LevelPageShown + 70 + 6 * p, TheSettings.KeyFire);
    EXPECT_EQ(BulletsAfterPlayFrames(100), 3);

    Headless::Reset();
    ResetAllState();
    for (int p = 0; p < 4; ++p) Headless::PressKey(LevelPageShown + 70 + 6 * p, TheSettings.KeyFire);
    // The first bullet has been moved its 61 times by frame 133; a press then fires again beside the other two.
    Headless::PressKey(LevelPageShown + 133, TheSettings.KeyFire);
    EXPECT_EQ(BulletsAfterPlayFrames(136), 3);
    EXPECT_EQ(TheWorld.PlayerBulletCount, 3);
}

TEST_F(ShipGunTest, ABulletLeavesFromTheShipAtTenUnitsAFrameAlongItsFacing) {
    ShipInOpenSpace();
    TheWorld.ShipAngle = 30;
    TheWorld.ShipXSpeed = 5; // the ship's own speed is not added
    FirePlayerBullet(TheWorld, 1);
    ASSERT_EQ(TheWorld.PlayerBulletsList.Count(), 1u);
    TheWorld.PlayerBulletsList.Each([](const PlayerBullets& b) {
        EXPECT_FLOAT_EQ(b.x, 200.0f);
        EXPECT_FLOAT_EQ(b.y, 150.0f);
        EXPECT_NEAR(b.xspeed, 5.0f, 1e-4f);
        EXPECT_NEAR(b.yspeed, -8.660254f, 1e-4f);
        EXPECT_EQ(b.life, 0);
    });
    EXPECT_EQ(TheWorld.ShotCooldown, ShotCooldownFrames);
    FirePlayerBullet(TheWorld, 1); // the cooldown holds the gun
    EXPECT_EQ(TheWorld.PlayerBulletsList.Count(), 1u);
}

TEST_F(ShipControlTest, HeldThrustPlaysItsSoundOnceAndANewPressStartsItAgain) {
    // Short presses: the ship stays clear of the fortress and its missiles and is still flying for the second.
    Headless::HoldKey(LevelPageShown + 1, TheSettings.KeyThrust, 20);
    Headless::HoldKey(LevelPageShown + 40, TheSettings.KeyThrust, 10);
    EXPECT_EQ(RunGameHeadless(LevelPageShown + 60), -1);
    EXPECT_EQ(TheWorld.PlayerDead, 0);
    std::vector<int> starts;
    for (const HeadlessAudio::AudioEvent& event : HeadlessAudio::Events())
        if (event.Type == HeadlessAudio::AudioEvent::Play && event.Sound == "res\\ThrustSND.ogg")
            starts.push_back(event.Frame - LevelPageShown);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_LE(starts[0], 2);
    EXPECT_GE(starts[1], 40);
    EXPECT_LE(starts[1], 42);
}
