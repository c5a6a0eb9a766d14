// What both soaks watch: every entity list's largest size over a long run, and how long a run the caller asked for.
#pragma once
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "game/Ship.h"
#include "graphics/Stars.h"
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <string>

struct LargestLists {
    std::size_t Sections = 0, EnemyBullets = 0, Missiles = 0, PlayerBullets = 0;
    std::size_t Explosions = 0, Particles = 0, Frags = 0, Stars = 0;

    // Takes in the lists of `w` as they stand now.
    void Measure(const World& w) {
        Sections = std::max(Sections, w.SectionsList.Count());
        EnemyBullets = std::max(EnemyBullets, w.EnemyBulletsList.Count());
        Missiles = std::max(Missiles, w.MissilesList.Count());
        PlayerBullets = std::max(PlayerBullets, w.PlayerBulletsList.Count());
        Explosions = std::max(Explosions, w.ExplosionsList.Count());
        Particles = std::max(Particles, w.ParticlesList.Count());
        Frags = std::max(Frags, w.FragsList.Count());
        Stars = std::max(Stars, StarsList.Count());
    }
};

// The frames a soak plays: `standard` in every run, KESTROVAR_SOAK_FRAMES=216000 for the hour the sanitizer build runs.
inline int SoakFrames(int standard) {
    if (const char* wanted = std::getenv("KESTROVAR_SOAK_FRAMES")) return std::stoi(wanted);
    return standard;
}
