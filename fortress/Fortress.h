// The fortress's frame as the game loop runs it: the steps (rings, cannon, debris, bullets and missiles), which change
// the fight and draw nothing, and the draws, which show what the steps left and change nothing.
#pragma once
#include <cstdint>

void CreateSections(int startAngle, float growTo, std::uint32_t color, float speed, int ring);
void ClearFortress();
// The three rings behind the title and menu, and the ones a game starts with before its level page.
void BuildMenuRings();
void MoveSections();
void UpdateSections();
void UpdateCannon();
void UpdateExplosions();
void UpdatePlayerBullets();
void UpdateEnemyBullets();
// The missiles' count and their contacts with the ship, and the spark each shows this frame.
void CountMissiles();
void UpdateMissiles();
void UpdateParticles();

void DrawSections();
void DrawCannon();
void DrawExplosions();
void DrawPlayerBullets();
void DrawEnemyBullets();
void DrawMissiles();
void DrawParticles();
void ClearEnemyBullets();
void ClearMissiles();
