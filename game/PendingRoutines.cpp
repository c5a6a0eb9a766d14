// Routines the frame loop and start-up already call whose subsystems are still being built: until each lands it
// draws and changes nothing, so the game around it can already be run and seen.
#include "fortress/Fortress.h"
#include "frontend/Intro.h"
#include "game/Levels.h"
#include "game/Ship.h"
#include "graphics/Shapes.h"
#include "graphics/Stars.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"

void CreateStars() {}
void DrawStars() {}

void CreateSections(int, float, std::uint32_t, float, int) {}
void ClearFortress() {}
void MoveSections() {}
void UpdateSections() {}
void UpdateCannon() {}
void UpdateExplosions() {}
void UpdatePlayerBullets() {}
void UpdateEnemyBullets() {}
void DrawMissiles() {}
void UpdateMissiles() {}
void UpdateParticles() {}

void UpdateShipControls() {}
void MoveShip() {}
void AddScore(int) {}
void StartLevel() {}
void CompleteLevel() {}
void PlayerDeath() {}

void RunIntro() {}
