// The replay engine: the whole program is a function of the seed and the input script, so playing the script again
// on the headless machine gives the same game, frame for frame.
#include "ReplayEngine.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "frontend/MainMenu.h"
#include "game/GameLoop.h"
#include "game/Ship.h"
#include "game/StateHash.h"
#include "platform/Random.h"
#include "platform/ScriptedRun.h"
#include "program/Startup.h"
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

} // namespace

ReplayOutcome RunReplay(const ReplayScript& script, const ReplayFrameObserver& observer, ReplayFrames frames) {
    ScriptedRun::Reset();
    ResetAllState();
    ScriptedRun::KeepFrames(0);
    ReplayOutcome outcome;
    try {
        SetUpProgram(StartupFor::Replay);
        ApplyReplaySetup(script);
        Current.Observer = &observer;
        Current.StartFlips = ScriptedRun::FrameCount();
        for (InputEvent event : script.Events) {
            event.Frame += Current.StartFlips;
            ScriptedRun::Schedule(event);
        }
        ScriptedRun::StopAtFrame(Current.StartFlips + script.EndFrame);
        ScriptedRun::SetFlipHook(AfterFlip);
        SeedRnd(script.Seed);
        ShowGameFrames(frames == ReplayFrames::Drawn);
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
    ShowGameFrames(true);
    ScriptedRun::SetFlipHook(nullptr);
    ScriptedRun::StopAtFrame(-1);
    Current = Run{};
    return outcome;
}

void InjectReplayEvent(InputEvent event) {
    event.Frame += Current.StartFlips;
    ScriptedRun::Schedule(event);
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
    return ReplayEndLine(ReplayEndingName(outcome.How), outcome.Frames);
}
