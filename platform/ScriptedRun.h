// Playing the program from a script: input events delivered by frame number, and a run ended at a chosen frame from
// inside any screen loop. A back end on a virtual clock provides it (the headless one); replays drive the game by it.
#pragma once
#include "Input.h"

namespace ScriptedRun {

// Thrown from Flip when the run reaches its stop frame, and from the program's end.
struct RunStopped {
    int Frame;
};
struct ProgramEnded {
    int Status;
};

// Back to a fresh machine: clock 0, no display, no input, no recording.
void Reset();
// Delivers the event once its frame is reached; events of one frame arrive in the order they were scheduled.
void Schedule(const InputEvent& event);
// Called after every flip with the number of flips so far, before a stop at that frame (null: none).
void SetFlipHook(void (*hook)(int frame));
// Stops the run with RunStopped when Flip is called at this frame (-1: never).
void StopAtFrame(int frame);
// Keep the draw calls of the last `count` frames only (0 keeps none, -1 keeps all).
void KeepFrames(int count);
int FrameCount(); // flips so far

} // namespace ScriptedRun
