// Key and pad state kept by the common code: hit counters and down flags fed by the back end's events.
#include "Input.h"
#include "Backend.h"
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
    bool Sampled = false;
};
PadPort Pads[PadPortCount];
int FocusLosses = 0;

// A real stick rests a little off centre and jitters; inside this the axis reads exactly 0.
constexpr float PadDeadZone = 0.15f;

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

// At most one sample a millisecond per port; a button that went down since the last sample counts a hit.
void SamplePad(int port) {
    Backend::PumpEvents();
    PadPort& pad = Pads[port];
    int now = MilliSecs();
    if (pad.Sampled && now == pad.LastSample) return;
    pad.Sampled = true;
    pad.LastSample = now;
    float x = 0, y = 0;
    std::uint32_t buttons = 0;
    if (!Backend::PadRead(port, x, y, buttons)) {
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

void PlatformKeyEvent(int keyCode, bool down) {
    if (!ValidKey(keyCode)) return;
    if (down) {
        ++KeyHits[keyCode];
        KeysDown[keyCode] = true;
    } else {
        KeysDown[keyCode] = false;
    }
}

void PlatformFocusLost() { ++FocusLosses; }

void PlatformResetInput() {
    FocusLosses = 0;
    for (int k = 0; k < KeyCodeCount; ++k) {
        KeyHits[k] = 0;
        KeysDown[k] = false;
    }
    for (PadPort& pad : Pads) pad = PadPort{};
}

int KeyHit(int key) {
    Backend::PumpEvents();
    if (!ValidKey(key)) return 0;
    int hits = KeyHits[key];
    KeyHits[key] = 0;
    return hits;
}

int KeyDown(int key) {
    Backend::PumpEvents();
    if (!ValidKey(key)) return 0;
    return KeysDown[key] ? 1 : 0;
}

void FlushKeys() {
    Backend::PumpEvents();
    for (int k = 0; k < KeyCodeCount; ++k) {
        KeyHits[k] = 0;
        KeysDown[k] = false;
    }
}

int JoyCount() {
    Backend::PumpEvents();
    return Backend::PadCount();
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
    Backend::PumpEvents();
    return Backend::PadIdentity();
}

int WindowFocusLost() {
    Backend::PumpEvents();
    int losses = FocusLosses;
    FocusLosses = 0;
    return losses;
}

void FlushJoy() {
    for (PadPort& pad : Pads)
        for (int& hits : pad.Hits) hits = 0;
}
