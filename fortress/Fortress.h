// The fortress's frame as the game loop runs it: the steps (rings, cannon, debris, bullets and missiles), which change
// the fight and draw nothing, and the draws, which show what the steps left and change nothing.
#pragma once
#include <cstdint>

struct World;

void CreateSections(World& w, int startAngle, float growTo, std::uint32_t color, float speed, int ring);
void ClearFortress(World& w);
// The three rings behind the title and menu, and the ones a game starts with before its level page.
void BuildMenuRings(World& w);
void MoveSections(World& w);
void UpdateSections(World& w);
void UpdateCannon(World& w);
void UpdateExplosions(World& w);
void UpdatePlayerBullets(World& w);
void UpdateEnemyBullets(World& w);
// The missiles' count and their contacts with the ship, and the spark each shows this frame.
void CountMissiles(World& w);
void UpdateMissiles(World& w);
void UpdateParticles(World& w);

void DrawSections(const World& w);
void DrawCannon(const World& w);
void DrawExplosions(const World& w);
void DrawPlayerBullets(const World& w);
void DrawEnemyBullets(const World& w);
void DrawMissiles(const World& w);
void DrawParticles(const World& w);
void ClearEnemyBullets(World& w);
void ClearMissiles(World& w);
