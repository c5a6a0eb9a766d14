// The ring sections: twelve chords a ring, turning, growing outward, regrown when a ring is shot empty, and drawn
// from what the step left.
#include "Sections.h"
#include "Effects.h"
#include "Fortress.h"
#include "World.h"
#include "core/GameState.h"
#include "core/Playfield.h"
#include "core/Settings.h"
#include "core/ShipState.h"
#include "core/Sound.h"
#include "graphics/Palette.h"
#include "graphics/TPoly.h"
#include "platform/Random.h"
#include <bit>
#include <cstdint>

namespace {
constexpr int SectionArc = 30;
constexpr int HalfArc = 15;
constexpr int WholeTurn = static_cast<int>(FullTurn); // for the whole-degree start angles
constexpr int StartRadius = 12;
constexpr int RadiusPerRing = 6;
constexpr int SectionLife = 2;
constexpr int InnerScore = 30, MiddleScore = 20, OuterScore = 10;
constexpr int MiddleTarget = 88, OuterTarget = 112;
constexpr int FullColour = 255;
constexpr float GrowStep = 1.5f;
constexpr int InnerStartAngle = 24;
constexpr float InnerTarget = 64.0f;
constexpr float NewInnerSpeed = 1.0f;
constexpr int RingCount = 3;

float WrapAngle(float angle) {
    if (angle > LastWholeDegree) angle -= FullTurn;
    return angle;
}

float LiftAngle(float angle) {
    if (angle < 0) angle += FullTurn;
    return angle;
}

void DrawSection(const Sections& s) {
    DrawSegment(s.x1, s.y1, s.x2, s.y2, s.Color, GlowWidth8, s.rcol, s.gcol, s.bcol);
}
} // namespace

void CreateSections(World& w, int startAngle, float growTo, std::uint32_t color, float speed, int ring) {
    for (int i = 0; i < RingSections; ++i) {
        Sections& s = w.SectionsList.Add();
        s.Angle1 = static_cast<float>((startAngle + SectionArc * i) % WholeTurn);
        s.Angle2 = static_cast<float>((startAngle + SectionArc * (i + 1)) % WholeTurn);
        s.Angle0 = static_cast<float>((startAngle + SectionArc * (i + 1) - HalfArc) % WholeTurn);
        s.Radius = static_cast<float>(ring * RadiusPerRing + StartRadius);
        s.speed = speed;
        s.Color = color;
        s.Life = SectionLife;
        s.Ring = ring;
        s.GrowToThisSize = static_cast<int>(growTo);
        s.Score = ring == 0 ? InnerScore : ring == 1 ? MiddleScore : OuterScore;
        s.rcol = s.gcol = s.bcol = FullColour;
    }
}

void MoveSections(World& w) {
    // A ring's sections meet end to end and turn alike, so a section's first end is, bit for bit, the last end of
    // the section before it in the list: that sine and cosine are kept and not worked out twice.
    std::uint32_t endAngle = 0;
    bool endKept = false;
    float endSin = 0, endCos = 0;
    w.SectionsList.Walk([&](Sections& s) {
        s.Angle0 += s.speed;
        s.Angle1 += s.speed;
        s.Angle2 += s.speed;
        s.Angle0 = LiftAngle(WrapAngle(s.Angle0));
        s.Angle1 = LiftAngle(WrapAngle(s.Angle1));
        s.Angle2 = LiftAngle(WrapAngle(s.Angle2));
        float r = s.Radius;
        float sin1, cos1, sin2, cos2;
        s.MidpointOwed = true;
        s.PlacedRadius = r;
        if (endKept && std::bit_cast<std::uint32_t>(s.Angle1) == endAngle) {
            sin1 = endSin;
            cos1 = endCos;
        } else {
            SinCos(s.Angle1, sin1, cos1);
        }
        SinCos(s.Angle2, sin2, cos2);
        endAngle = std::bit_cast<std::uint32_t>(s.Angle2);
        endKept = true;
        endSin = sin2;
        endCos = cos2;
        s.x1 = FortressX + sin1 * r;
        s.y1 = FortressY - cos1 * r;
        s.x2 = FortressX + sin2 * r;
        s.y2 = FortressY - cos2 * r;
    });
}

RingPoint Midpoint(const Sections& s) {
    if (!s.MidpointOwed) return {s.x0, s.y0};
    float sine, cosine;
    SinCos(s.Angle0, sine, cosine);
    return {FortressX + sine * s.PlacedRadius, FortressY - cosine * s.PlacedRadius};
}

void UpdateSections(World& w) {
    int inRing[RingCount] = {0, 0, 0};
    w.SectionsList.Walk([&](Sections& s) {
        if (s.Radius < static_cast<float>(s.GrowToThisSize)) s.Radius += GrowStep;
        if (s.Ring >= 0 && s.Ring < RingCount) inRing[s.Ring] += 1;
    });
    if (inRing[0] == 0 || inRing[1] == 0 || inRing[2] == 0) GrowRings(w);
}

void GrowRings(World& w) {
    float outerNeighbourSpeed = 0;
    w.SectionsList.Walk([&](Sections& s) {
        s.Ring += 1;
        if (s.Ring == 1) {
            s.Score = MiddleScore;
            s.GrowToThisSize = MiddleTarget;
            s.Color = RingColor1;
            outerNeighbourSpeed = s.speed;
        } else if (s.Ring == 2) {
            // The ring pushed to the outside becomes worth the inner ring's 30 points, more than the 20 it had.
            s.Score = InnerScore;
            s.GrowToThisSize = OuterTarget;
            s.Color = RingColor2;
        } else if (s.Ring >= RingCount) {
            w.SectionsList.Remove(s);
        }
    });
    // The new inner ring turns against the ring just outside it.
    float innerSpeed = outerNeighbourSpeed >= 0 ? -NewInnerSpeed : NewInnerSpeed;
    CreateSections(w, InnerStartAngle, InnerTarget, RingColor0, innerSpeed, 0);
    if (TheSettings.SoundFXOn == 1 && w.DemoMode == 0) Sound::Play("GrowRings", 0);
    SpeedUpRings(w);
}

void SpeedUpRings(World& w) {
    w.SectionsList.Walk([&](Sections& s) {
        if (s.speed < 0) {
            s.speed -= RingSpeedStep;
            if (s.speed < -RingSpeedLimit) s.speed = -RingSpeedLimit;
        } else if (s.speed > 0) {
            s.speed += RingSpeedStep;
            if (s.speed > RingSpeedLimit) s.speed = RingSpeedLimit;
        }
    });
}

void CollapseRings(World& w) {
    int count = 0;
    w.SectionsList.Walk([&](Sections& s) {
        if (s.Radius > 0) {
            s.Radius -= GrowStep;
            count += 1;
        } else {
            w.SectionsList.Remove(s);
        }
    });
    if (count == 0 && w.ExplosionsActive == 0) w.CannonDestroyed = 0;
}

void DrawSections(const World& w) {
    w.SectionsList.Each(DrawSection);
    FinishSegments();
}

void ClearFortress(World& w) {
    w.SectionsList.Clear();
    w.PlayerBulletsList.Clear();
    ClearEnemyBullets(w);
    ClearExplosions(w);
}

void BuildMenuRings(World& w) {
    CreateSections(w, 24, 64.0f, RingColor0, -1.0f, 0);
    CreateSections(w, 30, 88.0f, RingColor1, 1.2f, 1);
    CreateSections(w, 36, 112.0f, RingColor2, -1.5f, 2);
}
