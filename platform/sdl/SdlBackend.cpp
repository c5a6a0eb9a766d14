// The real back end: an SDL2 window with an OpenGL context, keyboard and game controller events, SDL's clock.
#include "../Audio.h"
#include "../Backend.h"
#include "../FramePacing.h"
#include "GlRenderer.h"
#include "KeyMap.h"
#include "SdlControl.h"
#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {
constexpr int UnknownInterval = -2;
constexpr int AxisFullScale = 32767;
constexpr int PadButtonBits = 16;
constexpr int GameHz = 60;
constexpr std::uint64_t MsPerSecond = 1000, NsPerMs = 1000000;
constexpr Uint32 StaleInputMs = 1000;

struct SdlDisplay {
    SDL_Window* Window = nullptr;
    SDL_GLContext Context = nullptr;
    GlRenderer Renderer;
    bool Open = false;
    bool FullScreen = false;
    int Generation = 0;
    std::string Title = "Kestrovar";
    bool PointerShown = true;
    int SwapInterval = UnknownInterval; // what the context was last set to
    int RefusedInterval = UnknownInterval;
    int VsyncSixty = -1; // -1: not yet asked for this display
    SDL_GameController* Pad = nullptr;
    SDL_JoystickID PadId = -1;
    bool LibraryLoaded = false;
    int FramesShown = 0;
    int PumpedAtFrame = -1;
    Uint32 PumpedAtTicks = 0;
    long long SleptMs = 0; // every sleep asked for since the program began
    int LastDrawCalls = 0;
    bool KeepShown = false;
    std::vector<std::uint8_t> Shown;
    int ShownWidth = 0, ShownHeight = 0;
    bool PreferCompatibility = false;
    SdlControl::StripSink Redirected = nullptr;
};

SdlDisplay Sdl;

void CloseWindow() {
    Sdl.Renderer.Abandon();
    if (Sdl.Context) SDL_GL_DeleteContext(Sdl.Context);
    if (Sdl.Window) SDL_DestroyWindow(Sdl.Window);
    Sdl.Context = nullptr;
    Sdl.Window = nullptr;
    Sdl.Open = false;
}

void ClosePad() {
    if (Sdl.Pad) SDL_GameControllerClose(Sdl.Pad);
    Sdl.Pad = nullptr;
    Sdl.PadId = -1;
}

void OpenPad(int deviceIndex) {
    if (Sdl.Pad || !SDL_IsGameController(deviceIndex)) return;
    Sdl.Pad = SDL_GameControllerOpen(deviceIndex);
    if (Sdl.Pad) Sdl.PadId = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(Sdl.Pad));
}

// After the one in use goes, the next one plugged in (if any) takes over.
void OpenFirstPad() {
    for (int i = 0; i < SDL_NumJoysticks() && !Sdl.Pad; ++i) OpenPad(i);
}

bool SetSwapInterval(int interval) {
    if (interval == Sdl.SwapInterval) return true;
    if (interval == Sdl.RefusedInterval) return false;
    if (SDL_GL_SetSwapInterval(interval) != 0) {
        Sdl.RefusedInterval = interval;
        return false;
    }
    Sdl.SwapInterval = interval;
    return true;
}

void UpdateDrawableSize() {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(Sdl.Window, &width, &height);
    if (width > 0 && height > 0) Sdl.Renderer.SetDrawableSize(width, height);
}

bool Fail(std::string& error, const char* what) {
    error = std::string(what) + ": " + SDL_GetError();
    CloseWindow();
    return false;
}

// Whether the monitor has a mode at least this large. A driver that names no size for its mode (0 x 0) can't
// switch modes at all: only what its desktop holds fits.
bool MonitorHolds(int display, int width, int height) {
    for (int i = 0; i < SDL_GetNumDisplayModes(display); ++i) {
        SDL_DisplayMode listed;
        if (SDL_GetDisplayMode(display, i, &listed) != 0) continue;
        if (listed.w >= width && listed.h >= height) return true;
        SDL_DisplayMode desktop;
        if ((listed.w == 0 || listed.h == 0) && SDL_GetDesktopDisplayMode(display, &desktop) == 0 &&
            desktop.w >= width && desktop.h >= height)
            return true;
    }
    return false;
}

// A real mode switch to the asked size, or the nearest larger mode the monitor has.
bool EnterFullScreen(int width, int height, std::string& error) {
    int display = std::max(SDL_GetWindowDisplayIndex(Sdl.Window), 0);
    SDL_DisplayMode wanted{SDL_PIXELFORMAT_UNKNOWN, width, height, GameHz, nullptr};
    SDL_DisplayMode closest;
    // A monitor without a mode this large would show only part of the playfield: refused, so that the caller can
    // keep a mode that works.
    if (!MonitorHolds(display, width, height) || !SDL_GetClosestDisplayMode(display, &wanted, &closest)) {
        error = "the monitor has no " + std::to_string(width) + "x" + std::to_string(height) + " mode";
        CloseWindow();
        return false;
    }
    if (SDL_SetWindowDisplayMode(Sdl.Window, &closest) != 0) return Fail(error, "no full-screen mode");
    if (SDL_SetWindowFullscreen(Sdl.Window, SDL_WINDOW_FULLSCREEN) != 0) return Fail(error, "no full screen");
    return true;
}

// Keys the game has no code for don't reach it.
void DeliverKey(const SDL_Keysym& key, bool down) {
    int code = KeyCodeFromSdl(key.scancode, key.sym);
    if (code != 0) PlatformKeyEvent(code, down);
}

// SDL fills a mode's unknown refresh rate in from the rate asked for, so only a rate the display lists is believed.
bool RunsAtSixtyHz(int display, const SDL_DisplayMode& current) {
    std::vector<ListedMode> listed;
    for (int i = 0; i < SDL_GetNumDisplayModes(display); ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(display, i, &mode) == 0) listed.push_back({mode.w, mode.h, mode.refresh_rate});
    }
    return VblankKeepsSixty({current.w, current.h, current.refresh_rate}, listed);
}

bool EnvironmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != 0;
}

// SDL draws into nothing with its offscreen or dummy driver when it finds no display, and the game would then play
// unseen until killed: those drivers only when SDL_VIDEODRIVER names them (the tests do).
bool DriverNamed(const char* driver) {
    const char* named = std::getenv("SDL_VIDEODRIVER");
    return named != nullptr && SDL_strcasecmp(named, driver) == 0;
}

bool StartVideo(std::string& error) {
    if (!EnvironmentSet("SDL_VIDEODRIVER") && !EnvironmentSet("DISPLAY") && !EnvironmentSet("WAYLAND_DISPLAY")) {
        error = "no display to show the game on (DISPLAY and WAYLAND_DISPLAY are not set)";
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        error = SDL_GetError();
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    for (const char* unseen : {"offscreen", "dummy"}) {
        if (driver == nullptr || std::strcmp(driver, unseen) != 0 || DriverNamed(unseen)) continue;
        error = std::string("no display to show the game on (SDL found only its ") + unseen + " driver)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    // The game plays on without a controller subsystem; the keyboard still works.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    return true;
}

bool CreateContext(bool core) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, core ? 3 : 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, core ? 3 : 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, core ? SDL_GL_CONTEXT_PROFILE_CORE : 0);
    Sdl.Context = SDL_GL_CreateContext(Sdl.Window);
    return Sdl.Context != nullptr;
}
} // namespace

namespace Backend {

bool OpenDisplay(int width, int height, bool fullScreen, std::string& error) {
    if (!SDL_WasInit(SDL_INIT_VIDEO) && !StartVideo(error)) return false;
    // Held for the program's life: destroying the last window would otherwise unload the GL driver, and a mode
    // change would load it all over again.
    if (!Sdl.LibraryLoaded) {
        if (SDL_GL_LoadLibrary(nullptr) != 0) {
            error = std::string("no OpenGL: ") + SDL_GetError();
            return false;
        }
        Sdl.LibraryLoaded = true;
    }
    // A fresh window and context each time: the textures of the old display go with it.
    CloseWindow();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    Sdl.Window = SDL_CreateWindow(Sdl.Title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                  SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!Sdl.Window) return Fail(error, "no window");
    if (fullScreen && !EnterFullScreen(width, height, error)) return false;
    SDL_ShowWindow(Sdl.Window);

    bool core = !Sdl.PreferCompatibility && CreateContext(true);
    if (!core && !CreateContext(false)) return Fail(error, "no OpenGL context");
    if (SDL_GL_MakeCurrent(Sdl.Window, Sdl.Context) != 0) return Fail(error, "the OpenGL context won't start");
    if (!Sdl.Renderer.Create(width, height, core, error)) {
        CloseWindow();
        return false;
    }
    UpdateDrawableSize();
    Sdl.Renderer.ClearWhole();
    SDL_ShowCursor(Sdl.PointerShown ? SDL_ENABLE : SDL_DISABLE);

    Sdl.Open = true;
    Sdl.FullScreen = fullScreen;
    ++Sdl.Generation;
    Sdl.SwapInterval = Sdl.RefusedInterval = UnknownInterval;
    Sdl.VsyncSixty = -1;
    return true;
}

bool DisplayOpen() { return Sdl.Open; }
int DisplayGeneration() { return Sdl.Generation; }

void SetTitle(const char* title) {
    Sdl.Title = title ? title : "";
    if (Sdl.Window) SDL_SetWindowTitle(Sdl.Window, Sdl.Title.c_str());
}

void ShowPointer(bool show) {
    Sdl.PointerShown = show;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

bool PacesFrames() { return false; }

bool VsyncGives60Hz() {
    if (!Sdl.Open || !Sdl.FullScreen) return false;
    if (Sdl.VsyncSixty < 0) {
        SDL_DisplayMode mode;
        int display = SDL_GetWindowDisplayIndex(Sdl.Window);
        bool sixty = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && RunsAtSixtyHz(display, mode);
        Sdl.VsyncSixty = sixty && SetSwapInterval(1) ? 1 : 0;
    }
    return Sdl.VsyncSixty == 1;
}

void Present(bool waitForVblank) {
    if (!Sdl.Open) return;
    SetSwapInterval(waitForVblank ? 1 : 0);
    Sdl.Renderer.Flush();
    Sdl.LastDrawCalls = Sdl.Renderer.TakeDrawCalls();
    if (Sdl.KeepShown) Sdl.Shown = Sdl.Renderer.ReadPixels(Sdl.ShownWidth, Sdl.ShownHeight);
    SDL_GL_SwapWindow(Sdl.Window);
    ++Sdl.FramesShown;
    // Whatever the swap left behind, the margins around the viewport start every frame black.
    UpdateDrawableSize();
    Sdl.Renderer.ClearWhole();
}

void Clear(const DrawState& state) {
    if (Sdl.Open) Sdl.Renderer.Clear(state);
}

void Line(const DrawState& state, float x1, float y1, float x2, float y2, bool lastPixel) {
    if (Sdl.Open) Sdl.Renderer.Line(state, x1, y1, x2, y2, lastPixel);
}

void Point(const DrawState& state, float x, float y) {
    if (Sdl.Open) Sdl.Renderer.Point(state, x, y);
}

void Picture(const DrawState& state, Image& image, int frame, float x, float y) {
    if (Sdl.Open) Sdl.Renderer.Picture(state, image, frame, x, y, Sdl.Generation);
}

void Strip(const DrawState& state, Image& image, int frame, const StripVertex* vertices, int count) {
    if (!Sdl.Open) return;
    if (Sdl.Redirected) {
        Sdl.Redirected(image, frame, state.Blend, vertices, count);
        return;
    }
    Sdl.Renderer.Strip(state, image, frame, vertices, count, Sdl.Generation);
}

void PumpEvents() {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
    // Input reaches the game once a frame, at the first read after a flip, as a kept game's playback delivers it,
    // so the game reads the same input at the same moments when it is played again. A screen that waits without
    // showing frames still hears the window after a while.
    Uint32 now = SDL_GetTicks();
    if (Sdl.PumpedAtFrame == Sdl.FramesShown && now - Sdl.PumpedAtTicks < StaleInputMs) return;
    Sdl.PumpedAtFrame = Sdl.FramesShown;
    Sdl.PumpedAtTicks = now;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN:
            // The system's auto-repeat isn't a press: a held key counts one hit.
            if (event.key.repeat == 0) DeliverKey(event.key.keysym, true);
            break;
        case SDL_KEYUP: DeliverKey(event.key.keysym, false); break;
        case SDL_QUIT: PlatformCloseRequested(); break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) PlatformCloseRequested();
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) PlatformFocusLost();
            break;
        case SDL_CONTROLLERDEVICEADDED: OpenPad(event.cdevice.which); break;
        case SDL_CONTROLLERDEVICEREMOVED:
            if (Sdl.Pad && event.cdevice.which == Sdl.PadId) {
                ClosePad();
                OpenFirstPad();
            }
            break;
        default: break;
        }
    }
}

int PadCount() { return Sdl.Pad ? 1 : 0; }
// SDL never gives two devices one instance id in a run, so the id names the pad that holds the port.
int PadIdentity() { return Sdl.Pad ? static_cast<int>(Sdl.PadId) + 1 : 0; }

bool PadRead(int port, float& x, float& y, std::uint32_t& buttons) {
    if (port != 0 || !Sdl.Pad) return false;
    auto axis = [](SDL_GameControllerAxis which) {
        float value = static_cast<float>(SDL_GameControllerGetAxis(Sdl.Pad, which)) / AxisFullScale;
        return std::clamp(value, -1.0f, 1.0f);
    };
    auto pressed = [](int button) {
        return SDL_GameControllerGetButton(Sdl.Pad, static_cast<SDL_GameControllerButton>(button)) != 0;
    };
    x = axis(SDL_CONTROLLER_AXIS_LEFTX);
    y = axis(SDL_CONTROLLER_AXIS_LEFTY);
    if (pressed(SDL_CONTROLLER_BUTTON_DPAD_LEFT)) x = -1;
    if (pressed(SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) x = 1;
    if (pressed(SDL_CONTROLLER_BUTTON_DPAD_UP)) y = -1;
    if (pressed(SDL_CONTROLLER_BUTTON_DPAD_DOWN)) y = 1;
    buttons = 0;
    for (int b = 0; b < PadButtonBits; ++b)
        if (pressed(b)) buttons |= 1u << b;
    return true;
}

// The system's monotonic clock, which counts from the machine's start: a fixed point that differs between runs, so
// the seed start-up takes from it does too (SDL's own clock counts from its start, which start-up reaches in about
// the same few hundred milliseconds every run).
std::uint32_t Ticks() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    auto ms = static_cast<std::uint64_t>(now.tv_sec) * MsPerSecond + static_cast<std::uint64_t>(now.tv_nsec) / NsPerMs;
    return static_cast<std::uint32_t>(ms); // wraps, as the facade's clock does
}

void Sleep(int ms) {
    if (ms <= 0) return;
    Sdl.SleptMs += ms;
    SDL_Delay(static_cast<Uint32>(ms));
}

// Every way out comes here: the sound stops and the mixer closes before the window and SDL go, so that the mixer's
// thread never outlives the sounds it plays and a full-screen mode is given back to the desktop.
void ShowFatalMessage(const char* message) {
    // Drivers with no screen (the tests' offscreen one) have no one to show a box to, and a box would wait there.
    const char* driver = SDL_getenv("SDL_VIDEODRIVER");
    if (driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)) return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Kestrovar", message, Sdl.Window);
}

void Exit(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
    Audio::Close();
    SdlControl::Shutdown();
    std::exit(status);
}

} // namespace Backend

namespace SdlControl {

std::vector<std::uint8_t> ReadPixels(int& width, int& height) {
    if (!Sdl.Open) {
        width = height = 0;
        return {};
    }
    return Sdl.Renderer.ReadPixels(width, height);
}

void SetKeepBackBuffer(bool keep) {
    Sdl.KeepShown = keep;
    if (!keep) Sdl.Shown.clear();
}

std::vector<std::uint8_t> LastShownFrame(int& width, int& height) {
    width = Sdl.Shown.empty() ? 0 : Sdl.ShownWidth;
    height = Sdl.Shown.empty() ? 0 : Sdl.ShownHeight;
    return Sdl.Shown;
}

int DrawCallsLastFrame() { return Sdl.LastDrawCalls; }

void RedirectStrips(StripSink sink) { Sdl.Redirected = sink; }

void FinishDrawing() {
    if (Sdl.Open) Sdl.Renderer.Finish();
}

void SetSubmitToGl(bool submit) {
    if (Sdl.Open) Sdl.Renderer.SetSubmitting(submit);
}

void PreferCompatibilityContext(bool prefer) { Sdl.PreferCompatibility = prefer; }
int FramesShown() { return Sdl.FramesShown; }
long long MillisecondsSlept() { return Sdl.SleptMs; }

std::string WindowTitle() { return Sdl.Window ? SDL_GetWindowTitle(Sdl.Window) : Sdl.Title; }
bool PointerShown() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return Sdl.PointerShown;
    return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE;
}

void Shutdown() {
    CloseWindow();
    Sdl.Redirected = nullptr;
    ClosePad();
    SDL_Quit();
    Sdl.LibraryLoaded = false;
}

} // namespace SdlControl
