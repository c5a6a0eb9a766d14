// The bot player. It reads the state the way a player reads the screen and presses the player's keys; what it
// presses goes through the same input path as a real keyboard, so a recorded bot game replays exactly.
#include "ReplayBot.h"
#include "ReplayEngine.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "fortress/Collisions.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "game/Ship.h"
#include "platform/Random.h"
#include <cmath>

namespace {
constexpr float CentreX = 512, CentreY = 384;
constexpr float FullTurn = 360, HalfTurn = 180;
constexpr int BulletMoves = 61;
constexpr int CannonRadius = 28;
constexpr int MissileRadius = 14;
constexpr float AimTolerance = 2.5f; // degrees either side the resting angle may miss the target by
constexpr float NearRange = 250;     // no closer thrust than this to the fortress
constexpr float DegreesPerRadian = 57.2957795f;

float Wrap180(float angle) {
    while (angle > HalfTurn) angle -= FullTurn;
    while (angle <= -HalfTurn) angle += FullTurn;
    return angle;
}

// The bearing from the ship to a point, 0 up and clockwise, as the ship's angle counts.
float BearingTo(const World& w, float x, float y) {
    float bearing = std::atan2(x - w.ShipX, w.ShipY - y) * DegreesPerRadian;
    return bearing < 0 ? bearing + FullTurn : bearing;
}

// Where the ship's nose comes to rest when the turn key state is `turn` (-1, 0, 1) for one frame and then let go.
float RestingAngle(const World& w, int turn) {
    float speed = w.TurnSpeed;
    float angle = w.ShipAngle;
    for (int step = 0; step < 40; ++step) {
        if (step == 0 && turn < 0) speed = std::fmax(speed - w.TurnAccel, -w.TurnMax);
        if (step == 0 && turn > 0) speed = std::fmin(speed + w.TurnAccel, w.TurnMax);
        angle += speed;
        if (speed > 0)
            speed = std::fmax(speed - w.TurnFriction, 0.0f);
        else if (speed < 0)
            speed = std::fmin(speed + w.TurnFriction, 0.0f);
        if (speed == 0 && step > 0) break;
    }
    return angle;
}
} // namespace

bool BulletWouldReachCannon(const World& w, float angle) {
    float xspeed = Sin(angle) * PlayerBulletSpeed;
    float yspeed = -Cos(angle) * PlayerBulletSpeed;
    float x = w.ShipX, y = w.ShipY;
    for (int move = 1; move <= BulletMoves; ++move) {
        float oldX = x, oldY = y;
        x += xspeed;
        y += yspeed;
        bool blocked = false;
        w.SectionsList.Each([&](const Sections& section) {
            if (blocked) return;
            float turned = section.speed * static_cast<float>(move);
            float r = section.Radius;
            float x1 = CentreX + Sin(section.Angle1 + turned) * r, y1 = CentreY - Cos(section.Angle1 + turned) * r;
            float x2 = CentreX + Sin(section.Angle2 + turned) * r, y2 = CentreY - Cos(section.Angle2 + turned) * r;
            if (SegmentsCross(oldX, oldY, x, y, x1, y1, x2, y2)) blocked = true;
        });
        if (blocked) return false;
        if (WithinDistance(static_cast<int>(x), static_cast<int>(y), static_cast<int>(CentreX),
                           static_cast<int>(CentreY), CannonRadius))
            return true;
    }
    return false;
}

ReplayBot::ReplayBot(const World& world, const ReplayBotStyle& style)
    : Seen(world), Style(style), Choices(style.Seed) {}

void ReplayBot::SetKey(int frame, int key, bool down) {
    if (Held[key] == down) return;
    Held[key] = down;
    InputEvent event;
    event.Type = down ? InputEvent::KeyDown : InputEvent::KeyUp;
    event.Frame = frame;
    event.Code = key;
    InjectReplayEvent(event);
    Made.push_back(event);
}

void ReplayBot::Play(int frame) {
    const World& w = Seen;
    // A fire press lasts one frame, so that every shot is a new hit of the key.
    if (Held[TheSettings.KeyFire]) SetKey(frame, TheSettings.KeyFire, false);
    // The game state stays 2 after a lost ship; 3 means the game is being left.
    bool fighting = w.GameState != 3 && w.PlayerDead == 0 && w.CannonDestroyed == 0 && w.ShipsLeft >= 0;
    if (!fighting) {
        SetKey(frame, TheSettings.KeyTurnLeft, false);
        SetKey(frame, TheSettings.KeyTurnRight, false);
        SetKey(frame, TheSettings.KeyThrust, false);
        return;
    }
    std::uniform_real_distribution<double> chance(0, 1);
    if (chance(Choices) < Style.WanderChance) {
        const int keys[] = {TheSettings.KeyTurnLeft, TheSettings.KeyTurnRight, TheSettings.KeyThrust,
                            TheSettings.KeyFire};
        int key = keys[Choices() % 4];
        SetKey(frame, key, !Held[key]);
        return;
    }
    PlayFight(frame);
}

void ReplayBot::PlayFight(int frame) {
    const World& w = Seen;
    std::uniform_real_distribution<double> chance(0, 1);
    // The target: the nearest missile within range, else the cannon.
    float targetX = CentreX, targetY = CentreY;
    bool missile = false;
    float nearest = static_cast<float>(Style.MissileRange);
    w.MissilesList.Each([&](const Missiles& m) {
        float distance = std::hypot(m.x - w.ShipX, m.y - w.ShipY);
        if (distance < nearest) {
            nearest = distance;
            targetX = m.x;
            targetY = m.y;
            missile = true;
        }
    });
    float bearing = BearingTo(w, targetX, targetY);
    int turn = 0;
    float best = std::fabs(Wrap180(bearing - RestingAngle(w, 0)));
    for (int option : {-1, 1}) {
        float miss = std::fabs(Wrap180(bearing - RestingAngle(w, option)));
        if (miss + AimTolerance < best) {
            best = miss;
            turn = option;
        }
    }
    SetKey(frame, TheSettings.KeyTurnLeft, turn < 0);
    SetKey(frame, TheSettings.KeyTurnRight, turn > 0);

    float aimError = std::fabs(Wrap180(bearing - w.ShipAngle));
    float distance = std::hypot(targetX - w.ShipX, targetY - w.ShipY);
    bool closeToFortress = std::hypot(CentreX - w.ShipX, CentreY - w.ShipY) < NearRange;
    SetKey(frame, TheSettings.KeyThrust,
           !missile && aimError < AimTolerance && !closeToFortress && chance(Choices) < Style.ThrustChance);

    bool gunReady = w.ShotCooldown == 0 && w.PlayerBulletCount < MostPlayerBullets && w.SpawnGrace <= 1;
    if (!gunReady) return;
    bool shoot = false;
    if (missile) {
        float cone = std::asin(std::fmin(1.0f, MissileRadius / std::fmax(distance, 1.0f))) * DegreesPerRadian;
        shoot = aimError < cone;
    } else if (aimError < AimTolerance * 2) {
        shoot = BulletWouldReachCannon(w, w.ShipAngle) || chance(Choices) < Style.DigChance;
    }
    if (shoot) SetKey(frame, TheSettings.KeyFire, true);
}
