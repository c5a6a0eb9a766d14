// Key and pad state kept by the common code: hit counters and down flags fed by the back end's events, and the
// recording and playing back of that input for kept games.
#include "Input.h"
#include "Backend.h"
#include "Display.h"
#include "Time.h"
#include <cmath>
#include <cstdint>

namespace {
int KeyHits[KeyCodeCount];
bool KeysDown[KeyCodeCount];

struct PadPort {
    float X = 0, Y = 0;
    std::uint32_t Buttons = 0;
    int Hits[PadButtonCount] = {};
    int LastSample = 0;
    int SampledAtFlip = 0;
    bool Sampled = false;
};
PadPort Pads[PadPortCount];
int FocusLosses = 0;

// A real stick rests a little off centre and jitters; inside this the axis reads exactly 0.
constexpr float PadDeadZone = 0.15f;
// A screen that waits this long without showing a frame samples the pad again.
constexpr int StaleInputMs = 1000;
constexpr int EscapeKey = 27;
// What a script can hold: key codes 1 to 254, pad buttons 0 to 31.
constexpr int LowestScriptKey = 1, HighestScriptKey = 254;
constexpr int ScriptPadButtons = 32;

// The one pad a kept game knows, as the game's reads last saw it.
struct PadState {
    bool Plugged = false;
    float X = 0, Y = 0;
    std::uint32_t Buttons = 0;
};

struct Recorder {
    bool On = false;
    int StartFlip = 0;
    std::vector<InputEvent> Events;
    PadState Pad;
    int Identity = 0; // the back end's pad last seen
};
Recorder Recording;

struct Playback {
    bool On = false;
    int StartFlip = 0;
    std::vector<InputEvent> Events;
    std::size_t Next = 0;
    PadState Pad;
    int Plugs = 0; // each pad plugged in is a new one, as the game tells pads apart
    bool EscapePressed = false;
};
Playback Played;

// Code 0 is no key at all: a back end that maps nothing must not count a press.
bool ValidKey(int key) { return key > 0 && key < KeyCodeCount; }
bool ValidPort(int port) { return port >= 0 && port < PadPortCount; }
bool ValidButton(int button) { return button >= 0 && button < PadButtonCount; }

float ApplyDeadZone(float value) {
    if (std::fabs(value) < PadDeadZone) return 0.0f;
    if (value > 1.0f) return 1.0f;
    if (value < -1.0f) return -1.0f;
    return value;
}

void Record(InputEvent::Kind kind, int code = 0, float x = 0, float y = 0) {
    Recording.Events.push_back({kind, FlipsShown() - Recording.StartFlip, code, x, y});
}

void DeliverKey(int key, bool down) {
    if (down) {
        ++KeyHits[key];
        KeysDown[key] = true;
    } else {
        KeysDown[key] = false;
    }
    if (Recording.On && key >= LowestScriptKey && key <= HighestScriptKey)
        Record(down ? InputEvent::KeyDown : InputEvent::KeyUp, key);
}

// Keeps what changed since the game's reads last saw the pad.
void RecordPad(const PadState& now) {
    if (!Recording.On) return;
    PadState& was = Recording.Pad;
    if (now.Plugged != was.Plugged) {
        Record(now.Plugged ? InputEvent::PadPlug : InputEvent::PadUnplug);
        was = PadState{};
        was.Plugged = now.Plugged;
        Recording.Identity = now.Plugged ? Backend::PadIdentity() : 0;
    }
    if (!now.Plugged) return;
    if (now.X != was.X || now.Y != was.Y) Record(InputEvent::PadAxes, 0, now.X, now.Y);
    for (int b = 0; b < ScriptPadButtons; ++b) {
        std::uint32_t bit = 1u << b;
        if ((now.Buttons & bit) != (was.Buttons & bit))
            Record(now.Buttons & bit ? InputEvent::PadButtonDown : InputEvent::PadButtonUp, b);
    }
    was = now;
}

// The pad the game reads: the played-back one while a kept game plays, else the back end's.
bool ReadPad(int port, float& x, float& y, std::uint32_t& buttons) {
    if (Played.On) {
        if (port != 0 || !Played.Pad.Plugged) return false;
        x = Played.Pad.X;
        y = Played.Pad.Y;
        buttons = Played.Pad.Buttons;
        return true;
    }
    bool plugged = Backend::PadRead(port, x, y, buttons);
    if (port == 0) RecordPad(plugged ? PadState{true, x, y, buttons} : PadState{});
    return plugged;
}

int PadsPlugged() {
    if (Played.On) return Played.Pad.Plugged ? 1 : 0;
    int count = Backend::PadCount();
    // A pad plugged in reads at rest until its first sample.
    if (Recording.On && (count > 0) != Recording.Pad.Plugged) RecordPad(count > 0 ? PadState{true} : PadState{});
    return count;
}

void DeliverPlayback() {
    int frame = FlipsShown() - Played.StartFlip;
    while (Played.Next < Played.Events.size() && Played.Events[Played.Next].Frame <= frame) {
        const InputEvent event = Played.Events[Played.Next++];
        std::uint32_t bit = event.Code >= 0 && event.Code < ScriptPadButtons ? 1u << event.Code : 0;
        switch (event.Type) {
        case InputEvent::KeyDown:
        case InputEvent::KeyUp:
            if (ValidKey(event.Code)) DeliverKey(event.Code, event.Type == InputEvent::KeyDown);
            break;
        case InputEvent::PadAxes:
            Played.Pad.X = event.X;
            Played.Pad.Y = event.Y;
            break;
        case InputEvent::PadButtonDown: Played.Pad.Buttons |= bit; break;
        case InputEvent::PadButtonUp: Played.Pad.Buttons &= ~bit; break;
        case InputEvent::PadPlug:
            Played.Pad.Plugged = true;
            ++Played.Plugs;
            break;
        case InputEvent::PadUnplug: Played.Pad = PadState{}; break;
        case InputEvent::FocusLost: ++FocusLosses; break;
        case InputEvent::Close: break;
        }
    }
}

// One sample a frame: like the keys, the pad changes for the game between frames, so a kept game plays back the
// same; a button that went down since the last sample counts a hit.
void SamplePad(int port) {
    PumpInput();
    PadPort& pad = Pads[port];
    int now = MilliSecs();
    int flips = FlipsShown();
    if (pad.Sampled && pad.SampledAtFlip == flips && now - pad.LastSample < StaleInputMs) return;
    pad.Sampled = true;
    pad.LastSample = now;
    pad.SampledAtFlip = flips;
    float x = 0, y = 0;
    std::uint32_t buttons = 0;
    if (!ReadPad(port, x, y, buttons)) {
        x = y = 0;
        buttons = 0;
    }
    for (int b = 0; b < PadButtonCount; ++b) {
        std::uint32_t bit = 1u << b;
        if ((buttons & bit) && !(pad.Buttons & bit)) ++pad.Hits[b];
    }
    pad.X = ApplyDeadZone(x);
    pad.Y = ApplyDeadZone(y);
    pad.Buttons = buttons;
}
} // namespace

void PumpInput() {
    Backend::PumpEvents();
    if (Played.On) DeliverPlayback();
}

void PlatformKeyEvent(int keyCode, bool down) {
    if (!ValidKey(keyCode)) return;
    // While a kept game plays, the keyboard only asks to stop watching.
    if (Played.On) {
        if (keyCode == EscapeKey && down) Played.EscapePressed = true;
        return;
    }
    DeliverKey(keyCode, down);
}

void PlatformFocusLost() {
    // The viewer's window losing the focus is nothing to the game being watched.
    if (Played.On) return;
    ++FocusLosses;
    if (Recording.On) Record(InputEvent::FocusLost);
}

void PlatformResetInput() {
    FocusLosses = 0;
    for (int k = 0; k < KeyCodeCount; ++k) {
        KeyHits[k] = 0;
        KeysDown[k] = false;
    }
    for (PadPort& pad : Pads) pad = PadPort{};
    Recording = Recorder{};
    Played = Playback{};
}

int KeyHit(int key) {
    PumpInput();
    if (!ValidKey(key)) return 0;
    int hits = KeyHits[key];
    KeyHits[key] = 0;
    return hits;
}

int KeyDown(int key) {
    PumpInput();
    if (!ValidKey(key)) return 0;
    return KeysDown[key] ? 1 : 0;
}

void FlushKeys() {
    PumpInput();
    for (int k = 0; k < KeyCodeCount; ++k) {
        KeyHits[k] = 0;
        KeysDown[k] = false;
    }
}

int JoyCount() {
    PumpInput();
    return PadsPlugged();
}

float JoyX(int port) {
    if (!ValidPort(port)) return 0;
    SamplePad(port);
    return Pads[port].X;
}

float JoyY(int port) {
    if (!ValidPort(port)) return 0;
    SamplePad(port);
    return Pads[port].Y;
}

int JoyHit(int button, int port) {
    if (!ValidPort(port) || !ValidButton(button)) return 0;
    SamplePad(port);
    int hits = Pads[port].Hits[button];
    Pads[port].Hits[button] = 0;
    return hits;
}

int JoyDown(int button, int port) {
    if (!ValidPort(port) || !ValidButton(button)) return 0;
    SamplePad(port);
    return (Pads[port].Buttons >> button) & 1u;
}

int JoyId(int port) {
    if (port != 0) return 0; // one pad is used at a time, on port 0
    PumpInput();
    if (Played.On) return Played.Pad.Plugged ? Played.Plugs : 0;
    int identity = Backend::PadIdentity();
    if (Recording.On && identity != Recording.Identity) {
        // Another pad in the first one's place: played back, it is one pad pulled out and another plugged in.
        if (identity != 0 && Recording.Pad.Plugged) RecordPad(PadState{});
        RecordPad(identity != 0 ? PadState{true} : PadState{});
        Recording.Identity = identity;
    }
    return identity;
}

int WindowFocusLost() {
    PumpInput();
    int losses = FocusLosses;
    FocusLosses = 0;
    return losses;
}

void FlushJoy() {
    for (PadPort& pad : Pads)
        for (int& hits : pad.Hits) hits = 0;
}

void StartInputRecording() {
    Recording = Recorder{};
    Recording.On = true;
    Recording.StartFlip = FlipsShown();
}

void StopInputRecording() { Recording.On = false; }
bool InputRecording() { return Recording.On; }
const std::vector<InputEvent>& RecordedInput() { return Recording.Events; }

void StartInputPlayback(const std::vector<InputEvent>& events) {
    Played = Playback{};
    Played.On = true;
    Played.StartFlip = FlipsShown();
    Played.Events = events;
}

void StopInputPlayback() { Played.On = false; }
bool PlaybackEscapePressed() { return Played.EscapePressed; }

int InputFramesSinceStart() { return FlipsShown() - (Played.On ? Played.StartFlip : Recording.StartFlip); }
