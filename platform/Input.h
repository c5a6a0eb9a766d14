// Keyboard and game pad: down flags and hit counters by Windows virtual-key code, pad axes and buttons.
#pragma once
#include <vector>

constexpr int KeyCodeCount = 256;
constexpr int PadPortCount = 16;
constexpr int PadButtonCount = 16;

int KeyHit(int key);
int KeyDown(int key);
void FlushKeys();

int JoyCount();
float JoyX(int port = 0);
float JoyY(int port = 0);
int JoyHit(int button, int port = 0);
int JoyDown(int button, int port = 0);
void FlushJoy();

// One input event as a recording or a script holds it: what the player did, and the frame it reached the game at.
struct InputEvent {
    enum Kind {
        KeyDown,
        KeyUp,
        PadAxes,
        PadButtonDown,
        PadButtonUp,
        PadPlug,
        PadUnplug,
        Close,
        FocusLost
    } Type = KeyDown;
    int Frame = 0; // delivered once this many flips have happened
    int Code = 0;  // key code or pad button
    float X = 0, Y = 0;
};

// Which pad answers on the port: 0 when none, else a number that changes whenever another pad takes its place.
int JoyId(int port = 0);

// The times the window lost the input focus since the last call; clears that count. FlushKeys leaves it alone:
// losing the focus is no key press, and the game decides where it counts.
int WindowFocusLost();

// Keeping a game as a replay. While recording, every key and pad change the game's reads take in is kept as an
// event whose frame counts the flips since the recording began: played back from the same start, the game reads
// the same input at the same moments.
void StartInputRecording();
void StopInputRecording();
bool InputRecording();
const std::vector<InputEvent>& RecordedInput();

// Playing a kept game back on the real machine: the events reach the game's reads as a recording took them in
// (frames counted from now), and the keyboard and pad no longer do; Escape pressed on the keyboard is kept aside
// as the viewer's wish to stop watching.
void StartInputPlayback(const std::vector<InputEvent>& events);
void StopInputPlayback();
bool PlaybackEscapePressed();
// Flips since the latest recording or playback began.
int InputFramesSinceStart();
