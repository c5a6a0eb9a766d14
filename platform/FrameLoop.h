// Frames made on the machine's own schedule, for a program that cannot keep a loop of its own (a browser's page,
// which must return to the browser between frames). Only the browser's back end has these.
#pragma once

// Called once for each frame due; drawn is true only for the last of the frames due at once. False stops the calls.
using FrameMaker = bool (*)(bool drawn);
// Returns at once; from then on frames are made at exactly 60 a second whatever the screen's refresh rate.
void MakeFramesAtSixtyHertz(FrameMaker frame);
