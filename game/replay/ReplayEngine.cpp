// The replay engine: the whole program is a function of the seed and the input script, so playing the script again
// on the headless machine gives the same game, frame for frame.
#include "ReplayEngine.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "frontend/DisplayMode.h"
#include "frontend/Settings.h"
#include "game/GameState.h"
#include "game/Ship.h"
#include "game/Startup.h"
#include "game/StateHash.h"
#include "platform/Random.h"
#include "platform/ScriptedRun.h"
#include <cstdio>

namespace {
struct GameIsOver {};

struct Run {
    const ReplayFrameObserver* Observer = nullptr;
    int StartFlips = 0;
};
Run Current;

void AfterFlip(int flips) {
    int frame = flips - Current.StartFlips;
    if (Current.Observer != nullptr && *Current.Observer) (*Current.Observer)(frame);
    // The last ship is gone once the count drops below zero: the flip just made shows the game-over page.
    if (ShipsLeft < 0) throw GameIsOver{};
}

// The pad as the options screen leaves it for each choice of controls.
void SetUpControls(ReplayScript::Controls controls) {
    if (controls == ReplayScript::Controls::Keyboard) return;
    PadActive = 1;
    ControlMode = controls == ReplayScript::Controls::Pad ? 1 : 2;
    PadFireButton = ControlMode == 1 ? 0 : 1;
    PadThrustButton = ControlMode == 1 ? 1 : 0;
}

// The palette and the drawing style as the options screen sets them; the game's start builds its rings anew.
void SetUpLook(const ReplayScript& script) {
    if (script.GreyPalette) {
        ColorsOn = 0;
        SetPalette();
    }
    if (script.Wireframe) {
        NeonMode = 0;
        SetDrawingState();
    }
}
} // namespace

ReplayOutcome RunReplay(const ReplayScript& script, const ReplayFrameObserver& observer) {
    ScriptedRun::Reset();
    ResetAllState();
    ScriptedRun::KeepFrames(0);
    ReplayOutcome outcome;
    try {
        SetUpProgram(StartupFor::Replay);
        SetUpControls(script.ControlSetup);
        SetUpLook(script);
        Current.Observer = &observer;
        Current.StartFlips = ScriptedRun::FrameCount();
        for (InputEvent event : script.Events) {
            event.Frame += Current.StartFlips;
            ScriptedRun::Schedule(event);
        }
        ScriptedRun::StopAtFrame(Current.StartFlips + script.EndFrame);
        ScriptedRun::SetFlipHook(AfterFlip);
        SeedRnd(script.Seed);
        StartGameFromMenu();
        outcome.How = ReplayOutcome::Ending::GameLeft;
    } catch (const GameIsOver&) {
        outcome.How = ReplayOutcome::Ending::GameOver;
    } catch (const ScriptedRun::RunStopped&) {
        outcome.How = ReplayOutcome::Ending::ScriptEnded;
    } catch (const ScriptedRun::ProgramEnded& ended) {
        outcome.How = ReplayOutcome::Ending::ProgramEnded;
        outcome.ExitStatus = ended.Status;
    }
    outcome.Frames = ScriptedRun::FrameCount() - Current.StartFlips;
    ScriptedRun::SetFlipHook(nullptr);
    ScriptedRun::StopAtFrame(-1);
    Current = Run{};
    return outcome;
}

void InjectReplayEvent(InputEvent event) {
    event.Frame += Current.StartFlips;
    ScriptedRun::Schedule(event);
}

std::string ReplayStateLine(int frame) {
    char line[320];
    std::snprintf(line, sizeof line,
                  "frame=%d score=%d ships=%d level=%d x=%.2f y=%.2f angle=%.2f sections=%zu missiles=%zu "
                  "enemy-bullets=%zu explosions=%zu hash=%016llx",
                  frame, Score, ShipsLeft, Level, static_cast<double>(ShipX), static_cast<double>(ShipY),
                  static_cast<double>(ShipAngle), SectionsList.Count(), MissilesList.Count(), EnemyBulletsList.Count(),
                  ExplosionsList.Count(), static_cast<unsigned long long>(GameStateHash()));
    return line;
}

const char* ReplayEndingName(ReplayOutcome::Ending how) {
    switch (how) {
    case ReplayOutcome::Ending::GameOver: return "game-over";
    case ReplayOutcome::Ending::GameLeft: return "game-left";
    case ReplayOutcome::Ending::ProgramEnded: return "program-ended";
    case ReplayOutcome::Ending::ScriptEnded: break;
    }
    return "script-ended";
}

std::string ReplayFinalLine(const ReplayOutcome& outcome) {
    return std::string("end=") + ReplayEndingName(outcome.How) + " " + ReplayStateLine(outcome.Frames);
}
