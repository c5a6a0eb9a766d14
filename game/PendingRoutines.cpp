// Routines the frame loop and start-up already call whose subsystems are still being built: until each lands it
// draws and changes nothing, so the game around it can already be run and seen.
#include "fortress/Collisions.h"
#include "fortress/Effects.h"
#include "fortress/Fortress.h"
#include "frontend/HighScores.h"
#include "frontend/Intro.h"
#include "game/Levels.h"
#include "game/Ship.h"
#include "graphics/Shapes.h"
#include "graphics/Stars.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"

void UpdateCannon() {}
void UpdateExplosions() {}
void UpdateEnemyBullets() {}
void DrawMissiles() {}
void UpdateMissiles() {}
void UpdateParticles() {}
void ClearEnemyBullets() {}
void ClearMissiles() {}
void BulletHitsMissiles(PlayerBullets&) {}

void CreateExplosion(int, int, std::uint32_t, int) {}
void CreateParticles(int, int) {}
void CreateFrag(int) {}
void UpdateFrags() {}
void ClearExplosions() {}
void ClearParticles() {}
void ClearFrags() {}

void SyncScores() {}
void CheckVersion() {}
void HighscoreScreen() {}

void RunIntro() {}
