// The missiles' state machine, their hits on the ship and a bullet's hit on them, and their drawing as flickering
// sparks.
#include "Missiles.h"
#include "Collisions.h"
#include "Effects.h"
#include "Fortress.h"
#include "Sections.h"
#include "World.h"
#include "core/GameState.h"
#include "core/Playfield.h"
#include "core/Settings.h"
#include "core/ShipState.h"
#include "core/Sound.h"
#include "graphics/Art.h"
#include "graphics/Shapes.h"
#include "graphics/TPoly.h"
#include "platform/Random.h"
#include <cmath>

namespace {
constexpr float MuzzleDistance = 16;
constexpr float LaunchSpeed = 2;
constexpr int LevelSpeedBonus = 2;
constexpr int LifePerLevel = 60;
constexpr int BaseLife = 420;
constexpr int SettleRadius = 18;
constexpr int HangShortest = 30, HangLongest = 180;
constexpr int DeflectShortest = 20, DeflectLongest = 50;
constexpr int LeaveSpread = 22;
constexpr int LifeCountsAboveMode = 5; // the trips out to a ring are free
constexpr int PercentLow = 1, PercentHigh = 100;
constexpr int LeaveRingChance = 25;  // 25 in 100 leave outward, the rest start hunting
constexpr int SettleOuterBelow = 51; // 50 in 100 settle on the outer ring
constexpr int MiddleRingDistance = 120;
constexpr int StraightOutFrames = 30;
constexpr int RideInset = 2;
constexpr float AimOffset = 16; // the missiles aim right of and below the ship's position
constexpr int SteerStep = 4;
constexpr int SteerDeadZone = 2;
constexpr int HalfTurnDegrees = 180;
constexpr int FullTurnDegrees = 360;
constexpr float BaseHuntSpeed = 2;
constexpr float HuntSpeedPerLevel = 0.1f;
constexpr float HuntSpeedLimit = 5;
constexpr float DeflectSpeed = 3;
constexpr int HomeRadius = 130;
constexpr int SparkFrames = 4;
constexpr std::uint32_t MissileBlastColour = 0xFFC080A0;
constexpr int InnerRing = 0, MiddleRing = 1, OuterRing = 2;

bool NearMidpoint(const Missiles& m, const Sections& s) {
    RingPoint mid = Midpoint(s);
    return WithinDistance(static_cast<int>(m.x), static_cast<int>(m.y), static_cast<int>(mid.X),
                          static_cast<int>(mid.Y), SettleRadius);
}

void SettleOn(Missiles& m, const Sections& s, float ringAngle) {
    m.RingAngle = ringAngle;
    m.RingDistance = static_cast<int>(s.Radius);
    m.RingSpeed = s.speed;
    m.Mode = MissileRiding;
    m.HangAround = Rand(HangShortest, HangLongest);
}

// Every section of the ring within reach settles the missile again: the last one in list order decides.
void SettleOnRing(World& w, Missiles& m, int ring) {
    w.SectionsList.Each([&](const Sections& s) {
        if (s.Ring != ring || !NearMidpoint(m, s)) return;
        m.TargetRing += 1;
        SettleOn(m, s, s.Angle0);
    });
}

// Straight out from the centre, give or take the spread.
float OutwardHeading(const Missiles& m) {
    float t = TurnRemainder(ATan2(m.y - FortressY, m.x - FortressX) + QuarterTurn);
    int spread = Rand(-LeaveSpread, LeaveSpread);
    t += static_cast<float>(spread);
    if (t < 0) t += FullTurn;
    return t;
}

void Deflect(Missiles& m) {
    float t = OutwardHeading(m);
    m.Angle = t;
    m.xspeed = Sin(t) * DeflectSpeed;
    m.yspeed = -Cos(t) * DeflectSpeed;
    m.Mode = MissileDeflected;
    m.HangAround = Rand(DeflectShortest, DeflectLongest);
}

void Ride(Missiles& m) {
    m.RingAngle += m.RingSpeed;
    if (m.RingAngle > LastWholeDegree) m.RingAngle -= FullTurn;
    if (m.RingAngle < 0) m.RingAngle += FullTurn;
    float r = static_cast<float>(m.RingDistance - RideInset);
    float sine, cosine;
    SinCos(m.RingAngle, sine, cosine);
    m.x = FortressX + sine * r;
    m.y = FortressY - cosine * r;
    if (m.HangAround > 0) m.HangAround -= 1;
    if (m.HangAround > 0) return;
    int r100 = Rand(PercentLow, PercentHigh);
    if (r100 > LeaveRingChance) {
        m.Mode = MissileHunting;
        return;
    }
    m.Inwards_Outwards = 0;
    m.Mode = MissileToMiddleRing;
    float t = OutwardHeading(m);
    m.xspeed = Sin(t);
    m.yspeed = -Cos(t);
}

void Hunt(World& w, Missiles& m) {
    float aimX = w.ShipX + AimOffset;
    float aimY = w.ShipY + AimOffset;
    float target = TurnRemainder(ATan2(m.y - aimY, m.x - aimX) + ThreeQuarterTurn);
    int h = static_cast<int>(m.Angle);
    float d = target - static_cast<float>(h);
    if (d < 0) d += FullTurn;
    if (d >= FullTurn) d -= FullTurn;
    if (d > SteerDeadZone && d <= HalfTurnDegrees) {
        h += SteerStep;
        if (h >= FullTurnDegrees) h -= FullTurnDegrees;
    } else if (d > HalfTurnDegrees && d < FullTurnDegrees - SteerDeadZone) {
        h -= SteerStep;
        if (h < 0) h += FullTurnDegrees;
    }
    m.Angle = static_cast<float>(h);
    float pace = MissileHuntSpeed(w);
    float sine, cosine;
    WholeSinCos(h, sine, cosine);
    m.x += sine * pace;
    m.y += -cosine * pace;
    if (m.x < 0) m.x += FieldWidth;
    if (m.y < 0) m.y += FieldHeight;
    if (m.x > FieldRight) m.x -= FieldWidth;
    if (m.y > FieldBottom) m.y -= FieldHeight;
    if (!WithinDistance(static_cast<int>(m.x), static_cast<int>(m.y), static_cast<int>(FortressX),
                        static_cast<int>(FortressY), HomeRadius))
        return;
    // The walk goes on after a match: a later match finds the missile no longer hunting and deflects it.
    w.SectionsList.Each([&](const Sections& s) {
        if (!NearMidpoint(m, s)) return;
        if (m.Mode == MissileHunting && s.Missile == 0 && s.Ring == OuterRing) {
            int chance = Rand(PercentLow, PercentHigh);
            if (chance < SettleOuterBelow) {
                SettleOn(m, s, s.Angle2);
                return;
            }
        }
        Deflect(m);
    });
}

void StepMissile(World& w, Missiles& m) {
    if (m.Mode > LifeCountsAboveMode) m.Life -= 1;
    if (m.Life < 0) w.MissilesList.Remove(m); // it still takes this frame's step
    switch (m.Mode) {
    case MissileToInnerRing:
        m.RingDistance += 1;
        m.x += m.xspeed;
        m.y -= m.yspeed; // mirrored top to bottom: it crosses to the far side of the inner ring
        SettleOnRing(w, m, InnerRing);
        break;
    case MissileToMiddleRing:
        if (m.Inwards_Outwards != 0) break;
        m.x += m.xspeed;
        m.y += m.yspeed;
        m.RingDistance += 1;
        SettleOnRing(w, m, MiddleRing);
        if (m.Mode == MissileToMiddleRing && m.RingDistance > MiddleRingDistance) m.Mode = MissileHunting;
        break;
    case MissileRiding: Ride(m); break;
    case MissileDeflected:
        m.x += m.xspeed;
        m.y += m.yspeed;
        m.HangAround -= 1;
        if (m.HangAround < 0) m.Mode = MissileHunting;
        break;
    case MissileStraightOut:
        m.x += m.xspeed;
        m.y += m.yspeed;
        m.RingDistance += 1;
        if (m.RingDistance > StraightOutFrames) m.Mode = MissileHunting;
        break;
    case MissileHunting: Hunt(w, m); break;
    default: break;
    }
}

// Each missile shows the next of the spark's frames, turned to a random row, and in the wireframe colour style a
// fresh flicker colour for each stroke.
void PickSpark(World& w, Missiles& m) {
    w.MissileFrame += 1;
    if (w.MissileFrame >= SparkFrames) w.MissileFrame = 0;
    m.ShownFrame = w.MissileFrame;
    m.ShownRow = Rand(0, ShapeRows - 1);
    m.ShownX = m.x;
    m.ShownY = m.y;
    if (TheSettings.NeonMode != 0 || TheSettings.ColorsOn != 1) return;
    for (Flicker& flicker : m.Shade) {
        int red = Rand(FlickerLow, FlickerHigh);
        int green = Rand(FlickerLow, FlickerHigh);
        int blue = Rand(FlickerLow, FlickerHigh);
        flicker = {red, green, blue};
    }
}

void DrawMissile(const Missiles& m) {
    for (int k = 0; k < StrokesPerFrame; ++k) {
        const ShapeStroke& stroke = TheArt.SparkShapes[m.ShownRow][StrokesPerFrame * m.ShownFrame + k];
        std::uint32_t colour = TheSettings.ColorsOn == 0 ? OpaqueWhite : static_cast<std::uint32_t>(stroke.Colour);
        if (TheSettings.NeonMode == 0 && TheSettings.ColorsOn == 1) {
            const Flicker& flicker = m.Shade[k];
            DrawShapeStroke(stroke, m.ShownX, m.ShownY, colour, GlowWidth3, flicker.Red, flicker.Green, flicker.Blue);
        } else {
            DrawShapeStroke(stroke, m.ShownX, m.ShownY, colour, GlowWidth3, White, White, White);
        }
    }
}
} // namespace

float MissileHuntSpeed(const World& w) {
    float s = BaseHuntSpeed + static_cast<float>(w.Level) * HuntSpeedPerLevel;
    return s > HuntSpeedLimit ? HuntSpeedLimit : s;
}

void LaunchMissile(World& w, int angle) {
    Missiles& m = w.MissilesList.Add();
    float a = static_cast<float>(angle);
    m.x = FortressX + Sin(a) * MuzzleDistance;
    m.y = FortressY - Cos(a) * MuzzleDistance;
    m.xspeed = Sin(a) * LaunchSpeed;
    m.yspeed = -Cos(a) * LaunchSpeed;
    m.Angle = a;
    m.speed = static_cast<float>(w.Level + LevelSpeedBonus);
    m.Life = w.Level * LifePerLevel + BaseLife;
    m.RingDistance = 0;
    m.Inwards_Outwards = 0;
    m.TargetRing = 1;
    int r = Rand(1, 2);
    if (r == 1) {
        m.Mode = MissileToInnerRing;
        m.TargetRing = 0;
    } else {
        m.Mode = MissileStraightOut;
    }
}

void UpdateMissiles(World& w) {
    w.MissilesList.Walk([&](Missiles& m) { StepMissile(w, m); });
}

void CountMissiles(World& w) {
    w.MissileCount = 0;
    w.MissilesList.Walk([&](Missiles& m) {
        PickSpark(w, m);
        w.MissileCount += 1;
        // A missile that strikes the ship stays in play and may strike it again.
        ShipStruckWithin(w, m.x, m.y, MissileShipHitRadius);
    });
}

void DrawMissiles(const World& w) {
    w.MissilesList.Each(DrawMissile);
    FinishSegments();
}

void BulletHitsMissiles(World& w, PlayerBullets& bullet) {
    w.MissilesList.Walk([&](Missiles& m) {
        if (!WithinDistance(static_cast<int>(bullet.x), static_cast<int>(bullet.y), static_cast<int>(m.x),
                            static_cast<int>(m.y), MissileBulletHitRadius))
            return;
        CreateExplosion(w, static_cast<int>(m.x), static_cast<int>(m.y), MissileBlastColour, SmallExplosion);
        CreateParticles(w, static_cast<int>(m.x), static_cast<int>(m.y));
        if (TheSettings.SoundFXOn == 1) Sound::Play("MissileHit", 0);
        w.PlayerBulletsList.Remove(bullet);
        w.MissilesList.Remove(m);
    });
}

void ClearMissiles(World& w) { w.MissilesList.Clear(); }
