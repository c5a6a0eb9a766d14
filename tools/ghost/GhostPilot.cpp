// The ghost pilot: an orbit held by thrusting toward the acceleration it needs, and bursts of aimed shots.
#include "GhostPilot.h"
#include "fortress/Cannon.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "game/Ship.h"
#include "game/replay/ReplayBot.h"
#include "platform/Random.h"
#include <algorithm>
#include <cmath>

namespace {
constexpr float Pi = 3.14159265f;
constexpr float RadialPull = 0.05f;    // units a frame of inward or outward speed per unit off the orbit
constexpr float MostRadialSpeed = 2;   // the pull's limit
constexpr float SpeedResponse = 0.15f; // how hard the pilot corrects its velocity each frame
constexpr float LeastThrust = 0.05f;   // a smaller correction is left to the next frames
constexpr float ThrustCone = 35;       // degrees the facing may be off the wanted thrust
constexpr float TurnRateGain = 0.45f;  // the wanted turn rate per degree of error
constexpr float TurnDeadband = 0.6f;
constexpr int WarmUpFrames = 40; // the ship sets off before its first burst

float Degrees(float dx, float dy) { return std::atan2(dx, -dy) * 180 / Pi; } // 0 up, clockwise
} // namespace

GhostControls GhostPilot::Decide(const World& w, int frame) {
    GhostControls controls;
    float dx = w.ShipX - FortressX, dy = w.ShipY - FortressY;
    float r = std::max(std::hypot(dx, dy), 1.0f);
    float ox = dx / r, oy = dy / r;                                                                      // outward
    float tx = -oy * static_cast<float>(Style.Direction), ty = ox * static_cast<float>(Style.Direction); // along
    float phase = 2 * Pi * static_cast<float>(frame) / static_cast<float>(Style.SwingFrames);
    float wantedRadius = Style.Radius + Style.RadiusSwing * std::sin(phase);
    float radial = std::clamp(RadialPull * (wantedRadius - r), -MostRadialSpeed, MostRadialSpeed);
    float wantX = Style.Speed * tx + radial * ox, wantY = Style.Speed * ty + radial * oy;
    // The velocity error, and the pull toward the centre an orbit needs.
    float centripetal = Style.Speed * Style.Speed / r;
    float ax = (wantX - w.ShipXSpeed) * SpeedResponse - centripetal * ox;
    float ay = (wantY - w.ShipYSpeed) * SpeedResponse - centripetal * oy;
    float thrustBearing = Degrees(ax, ay);

    int inCycle = (frame - WarmUpFrames) % Style.AttackEvery;
    bool attacking = frame >= WarmUpFrames && inCycle < Style.AttackFrames;
    if (frame >= WarmUpFrames && inCycle == 0) Burst += 1;
    // Each burst goes to the other side of the cannon, so the rings open on both.
    float side = Burst % 2 == 0 ? 1.0f : -1.0f;
    float aim = Degrees(-dx, -dy) + side * Style.AimOffset;
    float facing = attacking ? aim : thrustBearing;

    float error = AngleDiff(w.ShipAngle, facing);
    float wantedTurn = std::clamp(error * TurnRateGain, -w.TurnMax, w.TurnMax);
    controls.Right = w.TurnSpeed < wantedTurn - TurnDeadband;
    controls.Left = w.TurnSpeed > wantedTurn + TurnDeadband;
    controls.Thrust = std::hypot(ax, ay) > LeastThrust && std::fabs(AngleDiff(w.ShipAngle, thrustBearing)) < ThrustCone;

    bool onTarget = std::fabs(AngleDiff(w.ShipAngle, aim)) < Style.AimTolerance;
    if (attacking && onTarget && frame - LastShot >= Style.ShotGap && w.ShotCooldown == 0 &&
        w.PlayerBulletCount < MostPlayerBullets && !BulletWouldReachCannon(w, w.ShipAngle)) {
        controls.Fire = true;
        LastShot = frame;
    }
    return controls;
}
