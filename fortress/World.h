// The world of a fight as one plain value: the score, ships, level and flags, the ship and its bullets, the rings,
// the cannon and its bullets, the missiles and the debris. Whoever plays owns it and hands it to every step (World&)
// and every draw (const World&); a fresh value is a fresh process's, so a new field needs no line in any reset.
#pragma once
#include "Cannon.h"
#include "Effects.h"
#include "Missiles.h"
#include "Sections.h"
#include "core/EntityList.h"
#include "core/GameState.h"
#include "core/ShipState.h"
#include "graphics/Shapes.h"

// The fight's and the ship's parts are bases so that their names stay the fields' own: `world.Score`, `world.ShipX`.
struct World : FightState, ShipState {
    EntityList<Sections> SectionsList;
    EntityList<EnemyBullets> EnemyBulletsList;
    float CannonTurn = 0;
    int ChevronFrame = 0;
    int ChevronFrameTimer = 0;
    int ChevronFrameShown = 0; // the chevrons' frame the cannon shows: the animation moves on after it
    EntityList<Missiles> MissilesList;
    int MissileFrame = 0;
    EntityList<Explosions> ExplosionsList;
    EntityList<Particles> ParticlesList;
    EntityList<frags> FragsList;
    ShipFlame ShownFlame; // the flame's flicker the ship shows this frame, picked at the ship's place in the step
    // While nothing looks at the particles from frame to frame (a check that only steps and reads the state at its
    // end) and they draw no random numbers, their steps are owed and made when they are next needed: see
    // SettleParticles. ParticleClock counts the particles' steps, each particle's Stamp the step it has reached.
    bool ParticlesUnseen = false;
    bool ParticlesOwed = false; // some particle is behind the clock
    int ParticleClock = 0;
};
