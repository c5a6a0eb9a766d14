// kestrovar_make_ghost: records the main menu's ghost flight. The ship is flown by a pilot in the menu's own
// world (the rings, the cannon and its bullets, the ship's bullets, each frame in the menu's order), through the
// game's own controls and movement, from rest at (768, 600) facing up; then the recording is played back as the menu
// plays it, to check that it opens the rings the same way, never reaches the cannon and keeps clear of the rings.
// The pilot flies a few dozen orbits and bursts; the flight kept is the one nearest a showpiece's measure (about 88
// shots, about 900 frames of thrust, the most sections shot away) that is never struck by the cannon. Every run of
// the tool keeps the same flight.
//   kestrovar_make_ghost OUT.txt
#include "GhostPilot.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "core/Tables.h"
#include "fortress/Cannon.h"
#include "fortress/Fortress.h"
#include "fortress/Sections.h"
#include "game/Ship.h"
#include "game/TheWorld.h"
#include "graphics/Shapes.h"
#include "platform/Display.h"
#include "platform/headless/Headless.h"
#include "program/Startup.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr int Records = 1996;
constexpr float StartX = 768, StartY = 600;
constexpr int QuietEnd = 70;          // no shot in the last frames: bullets in flight would meet the rebuilt rings
constexpr float ClosestAllowed = 150; // the ship stays this far from the centre, well outside the outer ring
constexpr int WantedShots = 88, WantedThrust = 900;

struct Record {
    float X, Y, Angle;
    int Fire, Shape;
};

struct Flight {
    std::vector<Record> Records;
    std::vector<std::size_t> Sections; // ring sections standing after each frame
    int CannonHits = 0, ShipHits = 0;
    float Closest = 1e9f;
};

struct Measure {
    int Shots = 0, Thrusting = 0, SectionsShot = 0;
    std::size_t Fewest = 0;
    float Left = 1e9f, Right = -1e9f, Top = 1e9f, Bottom = -1e9f;
};

// The menu's world as a fresh menu (or the ghost's wrap) starts it.
void StartWorld() {
    Headless::Reset();
    ResetAllState();
    Headless::KeepFrames(0);
    SetUpProgram(StartupFor::Replay);
    TheWorld.SectionsList.Clear();
    BuildMenuRings(TheWorld);
    TheWorld.CannonFireDelay = 120;
    TheWorld.DemoMode = 1;
    TheWorld.ShipX = StartX;
    TheWorld.ShipY = StartY;
    TheWorld.ShipAngle = 0;
    TheWorld.ShipXSpeed = TheWorld.ShipYSpeed = TheWorld.TurnSpeed = 0;
    TheWorld.ShipShape = PlainShipShape;
}

// The menu's demonstration step, in its order, before the ghost is placed.
void StepWorld(Flight& flight) {
    MoveSections(TheWorld);
    UpdateSections(TheWorld);
    int deadBefore = TheWorld.PlayerDead;
    UpdateCannon(TheWorld);
    UpdatePlayerBullets(TheWorld);
    UpdateEnemyBullets(TheWorld);
    if (TheWorld.CannonDestroyed == 1) {
        flight.CannonHits += 1;
        TheWorld.CannonDestroyed = 0;
    }
    if (TheWorld.PlayerDead == 1 && deadBefore == 0) flight.ShipHits += 1;
    TheWorld.PlayerDead = 0;
}

void Note(Flight& flight) {
    flight.Sections.push_back(TheWorld.SectionsList.Count());
    flight.Closest = std::min(flight.Closest, std::hypot(TheWorld.ShipX - FortressX, TheWorld.ShipY - FortressY));
}

void SetKey(bool (&held)[256], int key, bool down) {
    if (held[key] == down) return;
    held[key] = down;
    Headless::Schedule(
        {down ? Headless::InputEvent::KeyDown : Headless::InputEvent::KeyUp, Headless::FrameCount() + 1, key, 0, 0});
}

Flight Fly(const GhostPilotStyle& style) {
    StartWorld();
    Flight flight;
    GhostPilot pilot(style);
    bool held[256] = {};
    for (int frame = 0; frame < Records; ++frame) {
        StepWorld(flight);
        UpdateShipControls(TheWorld);
        MoveShip(TheWorld);
        GhostControls controls = pilot.Decide(frame);
        int fired = 0;
        if (controls.Fire && frame < Records - QuietEnd) {
            std::size_t before = TheWorld.PlayerBulletsList.Count();
            FirePlayerBullet(TheWorld, 0);
            fired = TheWorld.PlayerBulletsList.Count() > before ? 1 : 0;
        }
        flight.Records.push_back({TheWorld.ShipX, TheWorld.ShipY, TheWorld.ShipAngle, fired, TheWorld.ShipShape});
        Note(flight);
        SetKey(held, TheSettings.KeyTurnLeft, controls.Left);
        SetKey(held, TheSettings.KeyTurnRight, controls.Right);
        SetKey(held, TheSettings.KeyThrust, controls.Thrust);
        Flip(0);
    }
    return flight;
}

// The recording played as the menu plays it.
Flight PlayBack(const std::vector<Record>& records) {
    StartWorld();
    Flight flight;
    for (const Record& r : records) {
        StepWorld(flight);
        TheWorld.ShipAngle = r.Angle;
        TheWorld.ShipX = r.X;
        TheWorld.ShipY = r.Y;
        TheWorld.ShipShape = r.Shape;
        DrawShipShape(TheWorld.ShipShape, TheWorld.ShipX, TheWorld.ShipY, static_cast<int>(TheWorld.ShipAngle));
        if (r.Fire == 1) FirePlayerBullet(TheWorld, 0);
        Note(flight);
        Flip(0);
    }
    return flight;
}

std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(value));
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

bool Write(const std::string& path, const std::vector<Record>& records) {
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return false;
    std::fprintf(
        out, "; The recorded demo flight the menu's ghost ship replays, made by tools/ghost (kestrovar_make_ghost):\n"
             "; a record a frame of x, y, angle, fire flag (1: a shot this frame) and shape (9, or 12 while\n"
             "; thrusting); 1996 records, then the first value of a record that never completes.\n"
             "#GhostMovement\n");
    for (const Record& r : records)
        std::fprintf(out, "%s, %s, %s, %d, %d\n", Number(r.X).c_str(), Number(r.Y).c_str(), Number(r.Angle).c_str(),
                     r.Fire, r.Shape);
    std::fprintf(out, "%s\n", Number(StartX).c_str());
    return std::fclose(out) == 0;
}

// What the table will hold: three decimals.
std::vector<Record> Stored(const Flight& flight) {
    std::vector<Record> stored;
    for (const Record& r : flight.Records)
        stored.push_back({std::stof(Number(r.X)), std::stof(Number(r.Y)), std::stof(Number(r.Angle)), r.Fire, r.Shape});
    return stored;
}

Measure MeasureOf(const std::vector<Record>& records, const Flight& played) {
    Measure m;
    for (const Record& r : records) {
        m.Shots += r.Fire;
        m.Thrusting += r.Shape == ThrustShipShape ? 1 : 0;
        m.Left = std::min(m.Left, r.X);
        m.Right = std::max(m.Right, r.X);
        m.Top = std::min(m.Top, r.Y);
        m.Bottom = std::max(m.Bottom, r.Y);
    }
    m.Fewest = *std::min_element(played.Sections.begin(), played.Sections.end());
    for (std::size_t i = 1; i < played.Sections.size(); ++i)
        if (played.Sections[i] < played.Sections[i - 1])
            m.SectionsShot += static_cast<int>(played.Sections[i - 1] - played.Sections[i]);
    return m;
}

// Lower is better; a flight that reaches the cannon, is struck or comes near the rings is never kept.
double Cost(const Flight& flown, const Flight& played, const Measure& m) {
    if (played.Sections != flown.Sections || played.CannonHits > 0 || played.ShipHits > 0 ||
        played.Closest < ClosestAllowed)
        return 1e9;
    return 3.0 * std::abs(m.Shots - WantedShots) + 0.2 * std::abs(m.Thrusting - WantedThrust) - 0.5 * m.SectionsShot;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrovar_make_ghost OUT.txt\n");
        return 2;
    }
    GhostPilotStyle best;
    double bestCost = 1e9;
    for (int attackEvery = 56; attackEvery <= 80; attackEvery += 4)
        for (float speed = 5.4f; speed < 6.3f; speed += 0.2f)
            for (float offset : {7.0f, 9.0f, 11.0f}) {
                GhostPilotStyle style;
                style.AttackEvery = attackEvery;
                style.Speed = speed;
                style.AimOffset = offset;
                Flight flown = Fly(style);
                Flight played = PlayBack(Stored(flown));
                double cost = Cost(flown, played, MeasureOf(Stored(flown), played));
                if (cost < bestCost) {
                    bestCost = cost;
                    best = style;
                }
            }
    if (bestCost >= 1e9) {
        std::fprintf(stderr, "kestrovar_make_ghost: no flight holds up; nothing written\n");
        return 1;
    }
    Flight flight = Fly(best);
    std::vector<Record> stored = Stored(flight);
    Flight replayed = PlayBack(stored);
    Measure m = MeasureOf(stored, replayed);
    std::printf("ghost flight: orbit %.0f, burst every %d frames, speed %.1f, aim %.0f degrees beside the centre: %d "
                "records, %d "
                "shots, %d thrusting, x %.1f..%.1f, y %.1f..%.1f, closest %.1f; sections shot %d, fewest standing "
                "%zu; cannon hits %d, ship hits %d\n",
                static_cast<double>(best.Radius), best.AttackEvery, static_cast<double>(best.Speed),
                static_cast<double>(best.AimOffset), Records, m.Shots, m.Thrusting, static_cast<double>(m.Left),
                static_cast<double>(m.Right), static_cast<double>(m.Top), static_cast<double>(m.Bottom),
                static_cast<double>(replayed.Closest), m.SectionsShot, m.Fewest, replayed.CannonHits,
                replayed.ShipHits);
    if (!Write(argv[1], stored)) {
        std::fprintf(stderr, "kestrovar_make_ghost: could not write %s\n", argv[1]);
        return 1;
    }
    std::printf("wrote %s\n", argv[1]);
    return 0;
}
