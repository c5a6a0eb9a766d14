// The ship's tuning, its controls (turn, thrust, fire, wrap), its movement with friction and its gun.
#include "Ship.h"
#include "PadRest.h"
#include "core/GameState.h"
#include "core/Playfield.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "core/Tables.h"
#include "fortress/Collisions.h"
#include "graphics/Shapes.h"
#include "platform/Input.h"
#include "platform/Random.h"
#include <cmath>

namespace {
constexpr float TableOffset = 270; // the trig tables turned so that angle 0 thrusts upward
constexpr int FireGate = 4; // a press is always taken, but fires only below this many bullets; the gun stops at 3

ShipFlame ShownFlame;

void Thrust(int previousShape) {
    ShipShape = ThrustShipShape;
    // The hiss starts when thrust begins and plays out once however long the key is held.
    if (SoundFXOn == 1 && !Sound::IsPlaying("ThrustSND") && previousShape != ThrustShipShape)
        Sound::Play("ThrustSND", 0);
    ShipXSpeed += CosTable[ShipDirIndex] * ShipThrust;
    ShipYSpeed += SinTable[ShipDirIndex] * ShipThrust;
}

void WrapShip() {
    if (ShipX < 0) ShipX += FieldWidth;
    if (ShipX > FieldRight) ShipX -= FieldWidth;
    if (ShipY < 0) ShipY += FieldHeight;
    if (ShipY > FieldBottom) ShipY -= FieldHeight;
}
} // namespace

void SetShipTuning() {
    ShipMaxSpeed = 13.0f;
    ShipFriction = 0.04f;
    ShipThrust = 0.3f;
    TurnAccel = 1.5f;
    TurnFriction = 0.5f;
    TurnMax = 5.0f;
    ShipXSpeed = ShipYSpeed = 0;
    TurnSpeed = 0;
    ShipAngle = 0;
}

void UpdateShipControls() {
    FollowPadChange();
    float jx = JoyX(0);
    if (KeyDown(KeyTurnLeft) || (PadActive == 1 && jx < PadZeroPositionX)) {
        TurnSpeed -= TurnAccel;
        if (TurnSpeed < -TurnMax) TurnSpeed = -TurnMax;
    }
    if (KeyDown(KeyTurnRight) || (PadActive == 1 && jx > PadZeroPositionX)) {
        TurnSpeed += TurnAccel;
        if (TurnSpeed > TurnMax) TurnSpeed = TurnMax;
    }
    int previousShape = ShipShape;
    ShipShape = PlainShipShape;
    if (KeyDown(KeyThrust) || (PadActive == 1 && JoyDown(PadThrustButton, 0))) {
        Thrust(previousShape);
    } else if (Sound::IsPlaying("ThrustSND")) {
        Sound::Stop("ThrustSND");
    }
    if (SpawnGrace > 0) SpawnGrace -= 1;
    // The fire key is not read during the grace, so a press made then waits and fires when the grace ends.
    if (SpawnGrace == 0 && KeyHit(KeyFire) && PlayerBulletCount < FireGate) FirePlayerBullet(1);
    if (SpawnGrace == 0 && PadActive > 0 && JoyHit(PadFireButton, 0) && PlayerBulletCount < FireGate)
        FirePlayerBullet(1);
    WrapShip();
}

void MoveShip() {
    ShipOldX = ShipX;
    ShipOldY = ShipY;
    ShipX += ShipXSpeed;
    ShipY += ShipYSpeed;
    ShipSpeed = Sqr(ShipXSpeed * ShipXSpeed + ShipYSpeed * ShipYSpeed);
    if (ShipSpeed > ShipMaxSpeed) ShipSpeed = ShipMaxSpeed;
    ShipSpeed -= ShipFriction;
    if (ShipSpeed < 0) ShipSpeed = 0;
    float heading = std::fmod(ATan2(ShipXSpeed, ShipYSpeed) + TableOffset, FullTurn);
    ShipXSpeed = Cos(heading) * ShipSpeed;
    ShipYSpeed = -Sin(heading) * ShipSpeed;
    ShipAngle = std::fmod(FullTurn + ShipAngle + TurnSpeed, FullTurn);
    ShipDirIndex = static_cast<int>(std::fmod(TableOffset + ShipAngle, FullTurn));
    if (TurnSpeed > 0) {
        TurnSpeed -= TurnFriction;
        if (TurnSpeed < 0) TurnSpeed = 0;
    } else {
        TurnSpeed += TurnFriction;
        if (TurnSpeed > 0) TurnSpeed = 0;
    }
    BounceShipOffRings();
}

void FirePlayerBullet(int withSound) {
    if (ShotCooldown != 0 || PlayerBulletCount >= MostPlayerBullets) return;
    if (SoundFXOn == 1 && withSound == 1) Sound::Play("PlayerShootSND", 0);
    ShotCooldown = ShotCooldownFrames;
    PlayerBullets& bullet = PlayerBulletsList.Add();
    bullet.xspeed = Sin(ShipAngle) * PlayerBulletSpeed;
    bullet.yspeed = -Cos(ShipAngle) * PlayerBulletSpeed;
    bullet.x = ShipX;
    bullet.y = ShipY;
}

void PickShipFlicker() { ShownFlame = PickShipFlame(ShipShape); }

void DrawShip() { DrawShipShape(ShownFlame, ShipShape, ShipX, ShipY, static_cast<int>(ShipAngle)); }
