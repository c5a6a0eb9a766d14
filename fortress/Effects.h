// Explosions, particles and ship fragments as the rest of the game starts them.
#pragma once
#include <cstdint>

constexpr int SmallExplosion = 0;
constexpr int BigExplosion = 1;
constexpr int ShockwaveExplosion = 2;

void CreateExplosion(int x, int y, std::uint32_t color, int type);
void CreateParticles(int x, int y);
void CreateFrag(int index);
void UpdateFrags();
void ClearExplosions();
void ClearParticles();
void ClearFrags();
