// The browser's back end: the page's canvas with a WebGL 2 context drawn by the desktop's renderer, keys and focus
// through emscripten's html5.h, game pads through the Gamepad API, the page's clock. Events arrive between frames
// and wait in a queue until the game reads its input, as the desktop's window events do.
#include "../Audio.h"
#include "../Backend.h"
#include "../sdl/GlRenderer.h"
#include "WebFrames.h"
#include "WebKeyMap.h"
#include <algorithm>
#include <cstdio>
#include <deque>
#include <emscripten.h>
#include <emscripten/html5.h>
#include <string>

namespace {
constexpr const char* Canvas = "#canvas";
constexpr int PadButtonBits = 16;
// The standard Gamepad mapping's buttons in the desktop's order (SDL's game controller numbering), so a pad's
// buttons mean the same in both: A, B, X, Y, back, guide, start, the sticks, the shoulders.
constexpr int StandardToDesktop[][2] = {{0, 0}, {1, 1},  {2, 2},  {3, 3}, {8, 4}, {16, 5},
                                        {9, 6}, {10, 7}, {11, 8}, {4, 9}, {5, 10}};
constexpr int DpadUp = 12, DpadDown = 13, DpadLeft = 14, DpadRight = 15;
constexpr int DesktopDpadUp = 11, DesktopDpadDown = 12, DesktopDpadLeft = 13, DesktopDpadRight = 14;

struct QueuedEvent {
    enum Kind { Key, FocusLost } Type = Key;
    int Code = 0;
    bool Down = false;
};

struct WebDisplay {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE Context = 0;
    GlRenderer Renderer;
    bool Open = false;
    int Generation = 0;
    // Set by Present: the browser shows the canvas when the frame's callback returns, so the next frame's first
    // drawing clears it, never the one just presented.
    bool ClearPending = false;
    std::deque<QueuedEvent> Events;
    bool Listening = false;
    int PadIndex = -1;   // the Gamepad API's index of the pad in use
    int PadIdentity = 0; // changes whenever another pad takes over
    int PadsSeen = 0;
};

WebDisplay Web;

EM_BOOL KeyEvent(int type, const EmscriptenKeyboardEvent* event, void*) {
    int code = KeyCodeFromBrowser(event->key, event->code);
    if (code == 0) return false; // the browser keeps keys the game has no use for
    // The system's auto-repeat isn't a press: a held key counts one hit.
    if (type == EMSCRIPTEN_EVENT_KEYDOWN && event->repeat) return true;
    Web.Events.push_back({QueuedEvent::Key, code, type == EMSCRIPTEN_EVENT_KEYDOWN});
    return true; // the arrows don't scroll the page, Alt doesn't open its menu
}

EM_BOOL FocusEvent(int, const EmscriptenFocusEvent*, void*) {
    Web.Events.push_back({QueuedEvent::FocusLost});
    return false;
}

EM_BOOL VisibilityEvent(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    if (event->hidden) Web.Events.push_back({QueuedEvent::FocusLost});
    return false;
}

void Listen() {
    if (Web.Listening) return;
    Web.Listening = true;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, true, KeyEvent);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, true, KeyEvent);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, true, FocusEvent);
    emscripten_set_visibilitychange_callback(nullptr, true, VisibilityEvent);
}

// The canvas's backing store follows its size on the page (which the page keeps at 4:3, filling the window) in the
// screen's real pixels; the renderer centres the picture in it.
void FollowCanvasSize() {
    double cssWidth = 0, cssHeight = 0;
    if (emscripten_get_element_css_size(Canvas, &cssWidth, &cssHeight) != EMSCRIPTEN_RESULT_SUCCESS) return;
    double ratio = emscripten_get_device_pixel_ratio();
    int width = std::max(1, static_cast<int>(cssWidth * ratio + 0.5));
    int height = std::max(1, static_cast<int>(cssHeight * ratio + 0.5));
    int oldWidth = 0, oldHeight = 0;
    emscripten_get_canvas_element_size(Canvas, &oldWidth, &oldHeight);
    if (width != oldWidth || height != oldHeight) emscripten_set_canvas_element_size(Canvas, width, height);
    Web.Renderer.SetDrawableSize(width, height);
}

void BeginDrawing() {
    if (!Web.ClearPending) return;
    Web.ClearPending = false;
    FollowCanvasSize();
    Web.Renderer.ClearWhole();
}

// The pad in use, or the first connected one when it went.
bool SamplePad(EmscriptenGamepadEvent& pad) {
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return false;
    if (Web.PadIndex >= 0 && emscripten_get_gamepad_status(Web.PadIndex, &pad) == EMSCRIPTEN_RESULT_SUCCESS &&
        pad.connected)
        return true;
    Web.PadIndex = -1;
    int count = emscripten_get_num_gamepads();
    for (int i = 0; i < count; ++i) {
        if (emscripten_get_gamepad_status(i, &pad) == EMSCRIPTEN_RESULT_SUCCESS && pad.connected) {
            Web.PadIndex = i;
            Web.PadIdentity = ++Web.PadsSeen;
            return true;
        }
    }
    return false;
}

bool Pressed(const EmscriptenGamepadEvent& pad, int button) {
    return button < pad.numButtons && pad.digitalButton[button];
}

EM_JS(void, ShowPageMessage, (const char* text), {
    var message = document.getElementById("message");
    if (message) {
        message.textContent = UTF8ToString(text);
        message.hidden = false;
    }
});
} // namespace

namespace Backend {

bool OpenDisplay(int width, int height, bool /*fullScreen*/, std::string& error) {
    Listen();
    if (Web.Context) {
        Web.Renderer.Abandon();
        emscripten_webgl_destroy_context(Web.Context);
        Web.Context = 0;
        Web.Open = false;
    }
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = false;
    attributes.depth = false;
    attributes.stencil = false;
    attributes.antialias = false;
    attributes.premultipliedAlpha = false;
    Web.Context = emscripten_webgl_create_context(Canvas, &attributes);
    if (Web.Context <= 0) {
        error = "this browser has no WebGL 2";
        Web.Context = 0;
        return false;
    }
    emscripten_webgl_make_context_current(Web.Context);
    if (!Web.Renderer.Create(width, height, true, error)) return false;
    FollowCanvasSize();
    Web.Renderer.ClearWhole();
    Web.Open = true;
    ++Web.Generation;
    return true;
}

bool DisplayOpen() { return Web.Open; }
int DisplayGeneration() { return Web.Generation; }

void SetTitle(const char* title) { emscripten_set_window_title(title ? title : ""); }
void ShowPointer(bool) {}

// The page's main loop runs the game's frames at exactly 60 a second, whatever the screen's rate: the frame clock
// must never wait on top of it.
bool VsyncGives60Hz() { return true; }
bool PacesFrames() { return true; }

void Present(bool) {
    if (!Web.Open) return;
    Web.Renderer.Flush();
    Web.ClearPending = true;
}

void Clear(const DrawState& state) {
    if (!Web.Open) return;
    BeginDrawing();
    Web.Renderer.Clear(state);
}

void Line(const DrawState& state, float x1, float y1, float x2, float y2, bool lastPixel) {
    if (!Web.Open) return;
    BeginDrawing();
    Web.Renderer.Line(state, x1, y1, x2, y2, lastPixel);
}

void Point(const DrawState& state, float x, float y) {
    if (!Web.Open) return;
    BeginDrawing();
    Web.Renderer.Point(state, x, y);
}

void Picture(const DrawState& state, Image& image, int frame, float x, float y) {
    if (!Web.Open) return;
    BeginDrawing();
    Web.Renderer.Picture(state, image, frame, x, y, Web.Generation);
}

void Strip(const DrawState& state, Image& image, int frame, const StripVertex* vertices, int count) {
    if (!Web.Open) return;
    BeginDrawing();
    Web.Renderer.Strip(state, image, frame, vertices, count, Web.Generation);
}

void PumpEvents() {
    while (!Web.Events.empty()) {
        QueuedEvent event = Web.Events.front();
        Web.Events.pop_front();
        if (event.Type == QueuedEvent::FocusLost)
            PlatformFocusLost();
        else
            PlatformKeyEvent(event.Code, event.Down);
    }
}

int PadCount() {
    EmscriptenGamepadEvent pad;
    return SamplePad(pad) ? 1 : 0;
}

int PadIdentity() {
    EmscriptenGamepadEvent pad;
    return SamplePad(pad) ? Web.PadIdentity : 0;
}

bool PadRead(int port, float& x, float& y, std::uint32_t& buttons) {
    EmscriptenGamepadEvent pad;
    if (port != 0 || !SamplePad(pad)) return false;
    x = pad.numAxes > 0 ? std::clamp(static_cast<float>(pad.axis[0]), -1.0f, 1.0f) : 0.0f;
    y = pad.numAxes > 1 ? std::clamp(static_cast<float>(pad.axis[1]), -1.0f, 1.0f) : 0.0f;
    if (Pressed(pad, DpadLeft)) x = -1;
    if (Pressed(pad, DpadRight)) x = 1;
    if (Pressed(pad, DpadUp)) y = -1;
    if (Pressed(pad, DpadDown)) y = 1;
    buttons = 0;
    for (const auto& [standard, desktop] : StandardToDesktop)
        if (Pressed(pad, standard)) buttons |= 1u << desktop;
    const int dpad[][2] = {{DpadUp, DesktopDpadUp},
                           {DpadDown, DesktopDpadDown},
                           {DpadLeft, DesktopDpadLeft},
                           {DpadRight, DesktopDpadRight}};
    for (const auto& [standard, desktop] : dpad)
        if (Pressed(pad, standard) && desktop < PadButtonBits) buttons |= 1u << desktop;
    return true;
}

std::uint32_t Ticks() { return static_cast<std::uint32_t>(static_cast<long long>(emscripten_get_now())); }

// A page cannot block: a pause (a menu's pad repeat, a page's leave, the sync's waits) holds the frames after it
// until it is over.
void Sleep(int ms) { HoldFrames(ms); }

void ShowFatalMessage(const char* message) { ShowPageMessage(message); }

void Exit(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
    Audio::Close();
    emscripten_cancel_main_loop();
    ShowPageMessage(status == 0 ? "Kestrovar has ended. Reload the page to play again." : "Kestrovar stopped.");
    emscripten_force_exit(status);
    __builtin_unreachable();
}

} // namespace Backend
