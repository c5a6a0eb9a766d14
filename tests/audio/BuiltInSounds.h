// The built-in sounds by their stored names, in the order start-up loads them: thirteen effects, then the two loops.
#pragma once

constexpr int BuiltInSoundCount = 15;
constexpr int BuiltInEffectCount = 13;
constexpr const char* BuiltInSounds[BuiltInSoundCount] = {
    "res\\BlipSND.ogg",        "res\\SwooshSND.ogg",   "res\\EnemyDieSND1.ogg",  "res\\EnemyDieSND2.ogg",
    "res\\PlayerShootSND.ogg", "res\\WoorpSND.ogg",    "res\\BonusShip.ogg",     "res\\SectionHit.ogg",
    "res\\GrowRings.ogg",      "res\\MissileHit.ogg",  "res\\RemoveRings.ogg",   "res\\ThrustSND.ogg",
    "res\\BounceSND.ogg",      "music\\menu-loop.ogg", "music\\ingame-loop.ogg",
};
