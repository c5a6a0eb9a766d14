// The fortress's frame steps as the game loop runs them: rings, cannon, debris, bullets and missiles.
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
void DrawMissiles();
void UpdateMissiles();
void UpdateParticles();
void ClearEnemyBullets();
void ClearMissiles();
