// Routines the frame loop and start-up already call whose subsystems are still being built: until each lands it
// draws and changes nothing, so the game around it can already be run and seen.
#include "fortress/Fortress.h"
#include "frontend/Intro.h"
#include "frontend/Sound.h"
#include "game/Levels.h"
#include "game/Ship.h"
#include "graphics/Shapes.h"
#include "graphics/Stars.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"

void TPoly::Initialise() {}
void TPoly::_Begin() {}
void TPoly::_End() {}
void UpdateGlowWidths() {}
void ResetGlowWidths() {}

void LoadZoomTable() {}
void LoadFontGlyphs() {}
void DrawVectorText(const std::string&, float, float, std::uint32_t, float, float, float, int, int, int, int) {}
void DrawZoomText(const std::string&, float, float, std::uint32_t, float, float, float, int, int, int, int) {}

void BuildShapeTables() {}
void DrawShipShape(int, float, float, int) {}
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

// With no audio system every sound is absent: loads fail and plays do nothing.
void Sound::StartAudio(int) {}
int Sound::Load(const std::string&, int) { return 0; }
int Sound::Play(const std::string&, int) { return 0; }
int Sound::IsPlaying(const std::string&) { return 0; }
void Sound::Stop(const std::string&) {}
void Sound::ChannelVolume(const std::string&, float) {}

void RunIntro() {}
