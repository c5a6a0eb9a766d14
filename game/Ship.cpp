// The ship's tuning, its controls (turn, thrust, fire, wrap), its movement with friction and its gun.
#include "Ship.h"
#include "PadRest.h"
#include "core/GameState.h"
#include "core/Playfield.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "core/Tables.h"
#include "fortress/Collisions.h"
#include "fortress/World.h"
#include "graphics/Shapes.h"
#include "platform/Input.h"
#include "platform/Random.h"
#include <cmath>

namespace {
constexpr float TableOffset = 270; // the trig tables turned so that angle 0 thrusts upward
constexpr int FireGate = 4; // a press is always taken, but fires only below this many bullets; the gun stops at 3

void Thrust(World& w, int previousShape) {
    w.ShipShape = ThrustShipShape;
    // The hiss starts when thrust begins and plays out once however long the key is held.
    if (TheSettings.SoundFXOn == 1 && !Sound::IsPlaying("ThrustSND") && previousShape != ThrustShipShape)
        Sound::Play("ThrustSND", 0);
    w.ShipXSpeed += CosTable[w.ShipDirIndex] * w.ShipThrust;
    w.ShipYSpeed += SinTable[w.ShipDirIndex] * w.ShipThrust;
}

void WrapShip(World& w) {
    if (w.ShipX < 0) w.ShipX += FieldWidth;
    if (w.ShipX > FieldRight) w.ShipX -= FieldWidth;
    if (w.ShipY < 0) w.ShipY += FieldHeight;
    if (w.ShipY > FieldBottom) w.ShipY -= FieldHeight;
}
} // namespace

void SetShipTuning(World& w) {
    w.ShipMaxSpeed = 13.0f;
    w.ShipFriction = 0.04f;
    w.ShipThrust = 0.3f;
    w.TurnAccel = 1.5f;
    w.TurnFriction = 0.5f;
    w.TurnMax = 5.0f;
    w.ShipXSpeed = w.ShipYSpeed = 0;
    w.TurnSpeed = 0;
    w.ShipAngle = 0;
}

void UpdateShipControls(World& w) {
    FollowPadChange();
    float jx = JoyX(0);
    if (KeyDown(TheSettings.KeyTurnLeft) || (TheControls.PadActive == 1 && jx < TheControls.PadZeroPositionX)) {
        w.TurnSpeed -= w.TurnAccel;
        if (w.TurnSpeed < -w.TurnMax) w.TurnSpeed = -w.TurnMax;
    }
    if (KeyDown(TheSettings.KeyTurnRight) || (TheControls.PadActive == 1 && jx > TheControls.PadZeroPositionX)) {
        w.TurnSpeed += w.TurnAccel;
        if (w.TurnSpeed > w.TurnMax) w.TurnSpeed = w.TurnMax;
    }
    int previousShape = w.ShipShape;
    w.ShipShape = PlainShipShape;
    if (KeyDown(TheSettings.KeyThrust) || (TheControls.PadActive == 1 && JoyDown(TheControls.PadThrustButton, 0))) {
        Thrust(w, previousShape);
    } else if (Sound::IsPlaying("ThrustSND")) {
        Sound::Stop("ThrustSND");
    }
    if (w.SpawnGrace > 0) w.SpawnGrace -= 1;
    // The fire key is not read during the grace, so a press made then waits and fires when the grace ends.
    if (w.SpawnGrace == 0 && KeyHit(TheSettings.KeyFire) && w.PlayerBulletCount < FireGate) FirePlayerBullet(w, 1);
    if (w.SpawnGrace == 0 && TheControls.PadActive > 0 && JoyHit(TheControls.PadFireButton, 0) &&
        w.PlayerBulletCount < FireGate)
        FirePlayerBullet(w, 1);
    WrapShip(w);
}

void MoveShip(World& w) {
    w.ShipOldX = w.ShipX;
    w.ShipOldY = w.ShipY;
    w.ShipX += w.ShipXSpeed;
    w.ShipY += w.ShipYSpeed;
    w.ShipSpeed = Sqr(w.ShipXSpeed * w.ShipXSpeed + w.ShipYSpeed * w.ShipYSpeed);
    if (w.ShipSpeed > w.ShipMaxSpeed) w.ShipSpeed = w.ShipMaxSpeed;
    w.ShipSpeed -= w.ShipFriction;
    if (w.ShipSpeed < 0) w.ShipSpeed = 0;
    float heading = TurnRemainder(ATan2(w.ShipXSpeed, w.ShipYSpeed) + TableOffset);
    w.ShipXSpeed = Cos(heading) * w.ShipSpeed;
    w.ShipYSpeed = -Sin(heading) * w.ShipSpeed;
    w.ShipAngle = TurnRemainder(FullTurn + w.ShipAngle + w.TurnSpeed);
    w.ShipDirIndex = static_cast<int>(TurnRemainder(TableOffset + w.ShipAngle));
    if (w.TurnSpeed > 0) {
        w.TurnSpeed -= w.TurnFriction;
        if (w.TurnSpeed < 0) w.TurnSpeed = 0;
    } else {
        w.TurnSpeed += w.TurnFriction;
        if (w.TurnSpeed > 0) w.TurnSpeed = 0;
    }
    BounceShipOffRings(w);
}

void FirePlayerBullet(World& w, int withSound) {
    if (w.ShotCooldown != 0 || w.PlayerBulletCount >= MostPlayerBullets) return;
    if (TheSettings.SoundFXOn == 1 && withSound == 1) Sound::Play("PlayerShootSND", 0);
    w.ShotCooldown = ShotCooldownFrames;
    PlayerBullets& bullet = w.PlayerBulletsList.Add();
    bullet.xspeed = Sin(w.ShipAngle) * PlayerBulletSpeed;
    bullet.yspeed = -Cos(w.ShipAngle) * PlayerBulletSpeed;
    bullet.x = w.ShipX;
    bullet.y = w.ShipY;
}

void PickShipFlicker(World& w) { w.ShownFlame = PickShipFlame(w.ShipShape); }

void DrawShip(const World& w) {
    DrawShipShape(w.ShownFlame, w.ShipShape, w.ShipX, w.ShipY, static_cast<int>(w.ShipAngle));
}
