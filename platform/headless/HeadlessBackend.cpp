// The headless back end: a virtual clock that sleeps by advancing, scripted input delivered by frame number, and a
// renderer that records every draw call instead of drawing.
#include "../Backend.h"
#include "Headless.h"
#include "HeadlessAudio.h"
#include <algorithm>
#include <deque>
#include <string>

namespace {
struct Machine {
    std::uint32_t Clock = 0;
    int Flips = 0;
    int Keep = -1;
    int WorkPerFrame = 0;
    bool DisplayAvailable = true;
    int MonitorWidth = 0, MonitorHeight = 0;
    bool Open = false;
    int Generation = 0;
    int Width = 0, Height = 0;
    bool FullScreen = false;
    bool PointerShown = true;
    std::string Title;
    int VblankPresents = 0;
    bool VblankAt60Hz = false;
    std::vector<Headless::InputEvent> Script; // in delivery order
    std::size_t NextEvent = 0;
    bool PadPlugged = false;
    int PadsPlugged = 0; // each plug is another pad
    float PadX = 0, PadY = 0;
    std::uint32_t PadButtons = 0;
    std::vector<Headless::FrameRecord> Frames;
    Headless::FrameRecord Current;
    std::string FatalMessage;
    void (*SleepHook)(int) = nullptr;
};

Machine M;

Headless::DrawCall CallOf(Headless::DrawCall::Kind kind) {
    Headless::DrawCall call;
    call.Type = kind;
    return call;
}

void Record(Headless::DrawCall call, const DrawState& state) {
    call.Red = state.Red;
    call.Green = state.Green;
    call.Blue = state.Blue;
    call.Blend = state.Blend;
    call.ViewX = state.ViewX;
    call.ViewY = state.ViewY;
    call.ViewWidth = state.ViewWidth;
    call.ViewHeight = state.ViewHeight;
    if (M.Keep != 0) M.Current.Calls.push_back(std::move(call));
}

// The virtual vertical blank comes 60 times a second, the k-th at k * 1000 / 60 ms rounded down.
void WaitForVblank() {
    constexpr std::uint64_t BlanksPerSecond = 60, MsPerSecond = 1000;
    std::uint64_t blank = M.Clock * BlanksPerSecond / MsPerSecond;
    while (blank * MsPerSecond / BlanksPerSecond <= M.Clock) ++blank;
    M.Clock = static_cast<std::uint32_t>(blank * MsPerSecond / BlanksPerSecond);
}
} // namespace

namespace ScriptedRun {

void Reset() {
    M = Machine{};
    PlatformResetInput();
    HeadlessAudio::Reset();
}

void Schedule(const InputEvent& event) {
    // Stable by frame: events of one frame arrive in the order they were scheduled.
    auto at = std::upper_bound(M.Script.begin() + static_cast<long>(M.NextEvent), M.Script.end(), event,
                               [](const InputEvent& a, const InputEvent& b) { return a.Frame < b.Frame; });
    M.Script.insert(at, event);
}

void KeepFrames(int count) { M.Keep = count; }
int FrameCount() { return M.Flips; }

} // namespace ScriptedRun

namespace Headless {

void PressKey(int frame, int key) { HoldKey(frame, key, 1); }

void HoldKey(int frame, int key, int frames) {
    Schedule({InputEvent::KeyDown, frame, key, 0, 0});
    Schedule({InputEvent::KeyUp, frame + std::max(frames, 1), key, 0, 0});
}

void SetPad(int frame, float x, float y) { Schedule({InputEvent::PadAxes, frame, 0, x, y}); }

void PressPadButton(int frame, int button) {
    Schedule({InputEvent::PadButtonDown, frame, button, 0, 0});
    Schedule({InputEvent::PadButtonUp, frame + 1, button, 0, 0});
}

void PlugPad(int frame, bool plugged) {
    Schedule({plugged ? InputEvent::PadPlug : InputEvent::PadUnplug, frame, 0, 0, 0});
}

void CloseWindow(int frame) { Schedule({InputEvent::Close, frame, 0, 0, 0}); }
void LoseFocus(int frame) { Schedule({InputEvent::FocusLost, frame, 0, 0, 0}); }
void SetSleepHook(void (*hook)(int ms)) { M.SleepHook = hook; }
void SetWorkPerFrame(int ms) { M.WorkPerFrame = ms; }
void SetVblankAt60Hz(bool granted) { M.VblankAt60Hz = granted; }
void SetDisplayAvailable(bool available) { M.DisplayAvailable = available; }
void SetMonitorSize(int width, int height) {
    M.MonitorWidth = width;
    M.MonitorHeight = height;
}
void AdvanceClock(int ms) { M.Clock += static_cast<std::uint32_t>(ms); }
std::uint32_t Clock() { return M.Clock; }
const std::vector<FrameRecord>& Frames() { return M.Frames; }
const FrameRecord& CurrentFrame() { return M.Current; }
bool DisplayIsOpen() { return M.Open; }
int DisplayWidth() { return M.Width; }
int DisplayHeight() { return M.Height; }
bool DisplayIsFullScreen() { return M.FullScreen; }
bool PointerShown() { return M.PointerShown; }
std::string Title() { return M.Title; }
std::string FatalMessage() { return M.FatalMessage; }
int PresentsWithVblank() { return M.VblankPresents; }

} // namespace Headless

namespace Backend {

bool OpenDisplay(int width, int height, bool fullScreen, std::string& error) {
    if (!M.DisplayAvailable) {
        error = "no display available";
        return false;
    }
    bool monitorKnown = M.MonitorWidth > 0 && M.MonitorHeight > 0;
    if (fullScreen && monitorKnown && (width > M.MonitorWidth || height > M.MonitorHeight)) {
        // As the real back end: the refused mode leaves no display behind.
        M.Open = false;
        error = "the monitor has no " + std::to_string(width) + "x" + std::to_string(height) + " mode";
        return false;
    }
    M.Open = true;
    ++M.Generation;
    M.Width = width;
    M.Height = height;
    M.FullScreen = fullScreen;
    return true;
}

bool DisplayOpen() { return M.Open; }
int DisplayGeneration() { return M.Generation; }
void SetTitle(const char* title) { M.Title = title; }
void ShowPointer(bool show) { M.PointerShown = show; }
bool VsyncGives60Hz() { return M.Open && M.FullScreen && M.VblankAt60Hz; }
bool PacesFrames() { return false; }

void Present(bool waitForVblank) {
    if (waitForVblank) ++M.VblankPresents;
    if (waitForVblank && M.VblankAt60Hz) WaitForVblank();
    M.Current.Number = M.Flips;
    if (M.Keep != 0) {
        M.Frames.push_back(std::move(M.Current));
        if (M.Keep > 0 && static_cast<int>(M.Frames.size()) > M.Keep)
            M.Frames.erase(M.Frames.begin(), M.Frames.end() - M.Keep);
    }
    M.Current = Headless::FrameRecord{};
    ++M.Flips;
    M.Clock += static_cast<std::uint32_t>(M.WorkPerFrame);
}

void Clear(const DrawState& state) { Record(CallOf(Headless::DrawCall::Clear), state); }

void Line(const DrawState& state, float x1, float y1, float x2, float y2, bool lastPixel) {
    Headless::DrawCall call = CallOf(Headless::DrawCall::Line);
    call.X1 = x1;
    call.Y1 = y1;
    call.X2 = x2;
    call.Y2 = y2;
    call.LastPixel = lastPixel;
    Record(std::move(call), state);
}

void Point(const DrawState& state, float x, float y) {
    Headless::DrawCall call = CallOf(Headless::DrawCall::Point);
    call.X1 = x;
    call.Y1 = y;
    Record(std::move(call), state);
}

void Picture(const DrawState& state, Image& image, int frame, float x, float y) {
    Headless::DrawCall call = CallOf(Headless::DrawCall::Picture);
    call.X1 = x;
    call.Y1 = y;
    call.Source = &image;
    call.Frame = frame;
    Record(std::move(call), state);
}

void Strip(const DrawState& state, Image& image, int frame, const StripVertex* vertices, int count) {
    Headless::DrawCall call = CallOf(Headless::DrawCall::Strip);
    call.Source = &image;
    call.Frame = frame;
    call.Vertices.assign(vertices, vertices + count);
    call.X1 = vertices[0].X;
    call.Y1 = vertices[0].Y;
    Record(std::move(call), state);
}

void PumpEvents() {
    while (M.NextEvent < M.Script.size() && M.Script[M.NextEvent].Frame <= M.Flips) {
        const Headless::InputEvent event = M.Script[M.NextEvent++];
        switch (event.Type) {
        case Headless::InputEvent::KeyDown: PlatformKeyEvent(event.Code, true); break;
        case Headless::InputEvent::KeyUp: PlatformKeyEvent(event.Code, false); break;
        case Headless::InputEvent::PadAxes:
            M.PadX = event.X;
            M.PadY = event.Y;
            break;
        case Headless::InputEvent::PadButtonDown:
            if (event.Code >= 0 && event.Code < 32) M.PadButtons |= 1u << event.Code;
            break;
        case Headless::InputEvent::PadButtonUp:
            if (event.Code >= 0 && event.Code < 32) M.PadButtons &= ~(1u << event.Code);
            break;
        case Headless::InputEvent::PadPlug:
            if (!M.PadPlugged) ++M.PadsPlugged;
            M.PadPlugged = true;
            break;
        case Headless::InputEvent::PadUnplug:
            M.PadPlugged = false;
            M.PadButtons = 0;
            M.PadX = M.PadY = 0;
            break;
        case Headless::InputEvent::Close: PlatformCloseRequested(); break;
        case Headless::InputEvent::FocusLost: PlatformFocusLost(); break;
        }
    }
}

int PadCount() { return M.PadPlugged ? 1 : 0; }
int PadIdentity() { return M.PadPlugged ? M.PadsPlugged : 0; }

bool PadRead(int port, float& x, float& y, std::uint32_t& buttons) {
    if (port != 0 || !M.PadPlugged) return false;
    x = M.PadX;
    y = M.PadY;
    buttons = M.PadButtons;
    return true;
}

std::uint32_t Ticks() { return M.Clock; }
void Sleep(int ms) {
    if (ms <= 0) return;
    M.Clock += static_cast<std::uint32_t>(ms);
    if (M.SleepHook != nullptr) M.SleepHook(ms);
}

void Exit(int status) { throw Headless::ProgramEnded{status}; }
void ShowFatalMessage(const char* message) { M.FatalMessage = message; }

} // namespace Backend
