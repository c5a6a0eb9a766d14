// Playing an input script headless: start-up's set-up, the menu's "start game" with the script's seed, the events
// fed by frame, and the game's state as one line of text whenever it is wanted.
#pragma once
#include "ReplayScript.h"
#include "ReplaySetup.h"
#include <functional>
#include <string>

struct World;

struct ReplayOutcome {
    enum class Ending {
        ScriptEnded, // the end frame was reached with the game still on
        GameOver,    // the last ship was lost: the game-over page came up
        GameLeft,    // the player left through the exit prompt
        ProgramEnded // the program itself ended (a fault the game reports, or its orderly end)
    };
    Ending How = Ending::ScriptEnded;
    int Frames = 0;     // flips since the game started
    int ExitStatus = 0; // the program's status when it ended
};

// Called after every flip of the game, with the flips since the game started (1 after the first).
using ReplayFrameObserver = std::function<void(int frame)>;

// Whether the replay draws its frames. A check steps them only: drawing takes no random number and changes nothing,
// so the game is the same either way.
enum class ReplayFrames { Drawn, SteppedOnly };

// Plays the script from a fresh machine in `world`, made fresh first and left as the last frame had it (the caller
// owns it, and its observer and bot may look at it between frames).
ReplayOutcome RunReplay(World& world, const ReplayScript& script, const ReplayFrameObserver& observer = {},
                        ReplayFrames frames = ReplayFrames::Drawn);

// During a run (from an observer): adds an event, its frame counted from the game's start; an event for the frame
// just shown is seen by the next frame's input reads.
void InjectReplayEvent(InputEvent event);

// The closing line: how the replay ended, then the state line of its last frame.
std::string ReplayFinalLine(const World& world, const ReplayOutcome& outcome);
const char* ReplayEndingName(ReplayOutcome::Ending how);
