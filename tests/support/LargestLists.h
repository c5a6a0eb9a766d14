// What both soaks watch: every entity list's largest size over a long run, and how long a run the caller asked for.
#pragma once
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "game/Ship.h"
#include "game/TheWorld.h"
#include "graphics/Stars.h"
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <string>

struct LargestLists {
    std::size_t Sections = 0, EnemyBullets = 0, Missiles = 0, PlayerBullets = 0;
    std::size_t Explosions = 0, Particles = 0, Frags = 0, Stars = 0;

    // Takes in the lists as they stand now.
    void Measure() {
        Sections = std::max(Sections, TheWorld.SectionsList.Count());
        EnemyBullets = std::max(EnemyBullets, TheWorld.EnemyBulletsList.Count());
        Missiles = std::max(Missiles, TheWorld.MissilesList.Count());
        PlayerBullets = std::max(PlayerBullets, TheWorld.PlayerBulletsList.Count());
        Explosions = std::max(Explosions, TheWorld.ExplosionsList.Count());
        Particles = std::max(Particles, TheWorld.ParticlesList.Count());
        Frags = std::max(Frags, TheWorld.FragsList.Count());
        Stars = std::max(Stars, StarsList.Count());
    }
};

// The frames a soak plays: `standard` in every run, KESTROVAR_SOAK_FRAMES=216000 for the hour the sanitizer build runs.
inline int SoakFrames(int standard) {
    if (const char* wanted = std::getenv("KESTROVAR_SOAK_FRAMES")) return std::stoi(wanted);
    return standard;
}
