// Playing the program from a script: input events delivered by frame number. A back end on a virtual clock provides
// it (the headless one); replays drive the game by it, turning the loop themselves and stopping where they choose.
#pragma once
#include "Input.h"

namespace ScriptedRun {

// Thrown from the program's end on this machine (its orderly end or a fault it reports), where a real back end
// ends the process.
struct ProgramEnded {
    int Status;
};

// Back to a fresh machine: clock 0, no display, no input, no recording.
void Reset();
// Delivers the event once its frame is reached; events of one frame arrive in the order they were scheduled.
void Schedule(const InputEvent& event);
// Keep the draw calls of the last `count` frames only (0 keeps none, -1 keeps all).
void KeepFrames(int count);
int FrameCount(); // flips so far

} // namespace ScriptedRun
