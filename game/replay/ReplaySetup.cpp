// The set-up a replay script carries, and the state line every replay ends with.
#include "ReplaySetup.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "game/Ship.h"
#include "game/StateHash.h"
#include "graphics/Palette.h"
#include "graphics/TPoly.h"
#include <cstdio>

namespace {
constexpr int PadFirst = 0, PadSecond = 1; // the pad's buttons as the options screen assigns them
}

void ApplyReplaySetup(const ReplayScript& script) {
    TheSettings.KeyTurnLeft = script.Keys[0];
    TheSettings.KeyTurnRight = script.Keys[1];
    TheSettings.KeyThrust = script.Keys[2];
    TheSettings.KeyFire = script.Keys[3];
    if (script.ControlSetup != ReplayScript::Controls::Keyboard) {
        TheControls.PadActive = 1;
        TheControls.ControlMode = script.ControlSetup == ReplayScript::Controls::Pad ? 1 : 2;
        TheControls.PadFireButton = TheControls.ControlMode == 1 ? PadFirst : PadSecond;
        TheControls.PadThrustButton = TheControls.ControlMode == 1 ? PadSecond : PadFirst;
    }
    // The palette and the drawing style as the options screen sets them; the game's start builds its rings anew.
    int colours = script.GreyPalette ? 0 : 1, neon = script.Wireframe ? 0 : 1;
    if (colours != TheSettings.ColorsOn) {
        TheSettings.ColorsOn = colours;
        SetPalette();
    }
    if (neon != TheSettings.NeonMode) {
        TheSettings.NeonMode = neon;
        SetDrawingState();
    }
}

void TakeReplaySetup(ReplayScript& script) {
    script.Keys[0] = TheSettings.KeyTurnLeft;
    script.Keys[1] = TheSettings.KeyTurnRight;
    script.Keys[2] = TheSettings.KeyThrust;
    script.Keys[3] = TheSettings.KeyFire;
    script.ControlSetup = TheControls.ControlMode == 1   ? ReplayScript::Controls::Pad
                          : TheControls.ControlMode == 2 ? ReplayScript::Controls::PadSwapped
                                                         : ReplayScript::Controls::Keyboard;
    script.Wireframe = TheSettings.NeonMode == 0;
    script.GreyPalette = TheSettings.ColorsOn != 1;
}

std::string ReplayStateLine(const World& w, int frame) {
    char line[320];
    std::snprintf(line, sizeof line,
                  "frame=%d score=%d ships=%d level=%d x=%.2f y=%.2f angle=%.2f sections=%zu missiles=%zu "
                  "enemy-bullets=%zu explosions=%zu hash=%016llx",
                  frame, w.Score, w.ShipsLeft, w.Level, static_cast<double>(w.ShipX), static_cast<double>(w.ShipY),
                  static_cast<double>(w.ShipAngle), w.SectionsList.Count(), w.MissilesList.Count(),
                  w.EnemyBulletsList.Count(), w.ExplosionsList.Count(),
                  static_cast<unsigned long long>(GameStateHash(w)));
    return line;
}

std::string ReplayEndLine(const World& w, const char* ending, int frame) {
    return std::string("end=") + ending + " " + ReplayStateLine(w, frame);
}
