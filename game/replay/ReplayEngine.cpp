// The replay engine: the whole program is a function of the seed and the input script, so playing the script again
// on the headless machine gives the same game, frame for frame. A replay is the game's loop fed with the script; it
// ends by returning, after the flip that shows the game-over page or the script's last frame.
#include "ReplayEngine.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "game/Boot.h"
#include "game/GameLoop.h"
#include "game/Loop.h"
#include "game/Ship.h"
#include "game/StateHash.h"
#include "platform/Random.h"
#include "platform/ScriptedRun.h"
#include <cstdio>
#include <memory>

namespace {
int StartFlips = 0; // the flips made before the replayed game began: events and frames count from there
} // namespace

ReplayOutcome RunReplay(World& world, const ReplayScript& script, const ReplayFrameObserver& observer,
                        ReplayFrames frames) {
    ScriptedRun::Reset();
    ResetGameFloors();
    world = World{};
    ScriptedRun::KeepFrames(0);
    ReplayOutcome outcome;
    try {
        BootGameForReplay();
        ApplyReplaySetup(script);
        StartFlips = ScriptedRun::FrameCount();
        for (InputEvent event : script.Events) {
            event.Frame += StartFlips;
            ScriptedRun::Schedule(event);
        }
        SeedRnd(script.Seed);
        PrepareNewGame(world);
        Loop loop;
        loop.Drawn = frames == ReplayFrames::Drawn;
        // Nobody looks at a particle before the replay ends unless frames are drawn or watched.
        world.ParticlesUnseen = !loop.Drawn && !observer;
        loop.Heard = loop.Drawn;
        loop.Open(std::make_unique<GameScreen>(world));
        outcome.How = ReplayOutcome::Ending::GameLeft; // unless a check below stops the game first
        // The replay owns this loop, as the program's main owns the program's: nothing turns it but this, a frame at a
        // time, stopping where the game or the script ends.
        while (RunFrame(loop)) {
            int frame = ScriptedRun::FrameCount() - StartFlips;
            if (observer) observer(frame);
            // The last ship is gone once the count drops below zero: the flip just made shows the game-over page.
            if (world.ShipsLeft < 0) {
                outcome.How = ReplayOutcome::Ending::GameOver;
                break;
            }
            if (frame >= script.EndFrame) {
                outcome.How = ReplayOutcome::Ending::ScriptEnded;
                break;
            }
        }
    } catch (const ScriptedRun::ProgramEnded& ended) {
        // A fault the game reports ends the program wherever it is; the replay reports it.
        outcome.How = ReplayOutcome::Ending::ProgramEnded;
        outcome.ExitStatus = ended.Status;
    }
    SettleParticles(world);
    world.ParticlesUnseen = false;
    outcome.Frames = ScriptedRun::FrameCount() - StartFlips;
    return outcome;
}

void InjectReplayEvent(InputEvent event) {
    event.Frame += StartFlips;
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

std::string ReplayFinalLine(const World& world, const ReplayOutcome& outcome) {
    return ReplayEndLine(world, ReplayEndingName(outcome.How), outcome.Frames);
}
