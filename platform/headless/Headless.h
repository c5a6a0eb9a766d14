// The headless back end's controls for tests: a virtual clock, scripted input and the recorded frames.
#pragma once
#include "../Display.h"
#include "../ScriptedRun.h"
#include <cstdint>
#include <string>
#include <vector>

namespace Headless {

struct DrawCall {
    enum Kind { Clear, Line, Point, Picture, Strip } Type = Clear;
    int Red = 255, Green = 255, Blue = 255;
    int Blend = 0;
    int ViewX = 0, ViewY = 0, ViewWidth = 0, ViewHeight = 0;
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0; // line ends; a point, picture or strip start in X1, Y1
    bool LastPixel = false;
    const Image* Source = nullptr; // the picture or strip's image
    int Frame = 0;
    std::vector<StripVertex> Vertices;
};

struct FrameRecord {
    int Number = 0; // flips before this frame was shown
    std::vector<DrawCall> Calls;
};

// The scripted run, as the replays drive it (platform/ScriptedRun.h).
using ::InputEvent;
using ScriptedRun::FrameCount;
using ScriptedRun::KeepFrames;
using ScriptedRun::ProgramEnded;
using ScriptedRun::Reset;
using ScriptedRun::Schedule;

// Input scripts. A press is a key-down at the frame and its key-up one frame later.
void PressKey(int frame, int key);
void HoldKey(int frame, int key, int frames);
void SetPad(int frame, float x, float y);
void PressPadButton(int frame, int button);
void PlugPad(int frame, bool plugged);
void CloseWindow(int frame);
// The window loses the input focus (another window comes to the front).
void LoseFocus(int frame);

// Called after every sleep with the milliseconds slept (null: none): a test's way to act while the game waits
// between two frames.
void SetSleepHook(void (*hook)(int ms));
// A fixed amount of virtual time each frame's work takes before its flip (0 by default).
void SetWorkPerFrame(int ms);
// A full screen whose vertical blank runs at a trusted 60 Hz (off by default): Flip(-1) then presents in step with
// it, and each such present waits on the virtual clock for the next of 60 blanks a second.
void SetVblankAt60Hz(bool granted);
// Fails OpenDisplay, as a machine without a display would.
void SetDisplayAvailable(bool available);
// The monitor's size: a full-screen mode larger than it is refused, as a monitor without that mode refuses it
// (windows of any size open). 0 x 0, the default, takes every mode.
void SetMonitorSize(int width, int height);
void AdvanceClock(int ms);

std::uint32_t Clock();
const std::vector<FrameRecord>& Frames();
const FrameRecord& CurrentFrame(); // what has been drawn since the last flip
bool DisplayIsOpen();
int DisplayWidth();
int DisplayHeight();
bool DisplayIsFullScreen();
bool PointerShown();
std::string Title();
// The message a fatal error showed in its message box; empty when none did.
std::string FatalMessage();
int PresentsWithVblank();

} // namespace Headless
