// The SDL back end's window, events, pad and clock under the offscreen driver: key presses and SDL's auto-repeat,
// a virtual game controller plugged in and out, the window's close, the title and pointer, and failing to open.
#include "GlTestSupport.h"
#include "platform/Audio.h"
#include "platform/Backend.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/System.h"
#include "platform/Time.h"
#include "platform/sdl/SdlControl.h"
#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {
void PushKey(Uint32 type, SDL_Scancode scancode, SDL_Keycode keycode, int repeat) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = static_cast<Uint8>(repeat);
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = keycode;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

// Input reaches the game once a frame, at its first read after a flip.
void NextFrame() { Flip(0); }

class GlBackend : public ::testing::Test {
  protected:
    void SetUp() override {
        Graphics(1024, 768, 0, 60);
        ASSERT_TRUE(GraphicsOpen());
        FlushKeys();
    }
};

TEST_F(GlBackend, KeyPressCountsOnceHoweverLongTheKeyIsHeld) {
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_y, 0);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_y, 1);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_y, 1);
    EXPECT_EQ(KeyDown(89), 0) << "not before the next frame";
    NextFrame();
    EXPECT_EQ(KeyDown(89), 1);
    EXPECT_EQ(KeyHit(89), 1);
    EXPECT_EQ(KeyHit(90), 0) << "the key labelled Y counts as Y";
    PushKey(SDL_KEYUP, SDL_SCANCODE_Z, SDLK_y, 0);
    NextFrame();
    EXPECT_EQ(KeyDown(89), 0);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_y, 0);
    PushKey(SDL_KEYUP, SDL_SCANCODE_Z, SDLK_y, 0);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_y, 0);
    NextFrame();
    EXPECT_EQ(KeyHit(89), 2);
}

TEST_F(GlBackend, KeypadEnterAndModifiersArrive) {
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 0);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, 0);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_F13, SDLK_F13, 0); // no code of ours: ignored
    NextFrame();
    EXPECT_EQ(KeyHit(13), 1);
    EXPECT_EQ(KeyDown(161), 1);
    EXPECT_EQ(KeyDown(160), 0);
    EXPECT_EQ(KeyHit(0), 0);
}

TEST_F(GlBackend, VirtualControllerPlugsReadsAndUnplugs) {
    // With no window focused (there is none offscreen) SDL would hold back the controller's input.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    EXPECT_EQ(JoyCount(), 0);
    int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 16, 0);
    ASSERT_GE(device, 0) << SDL_GetError();
    NextFrame();
    EXPECT_EQ(JoyCount(), 1) << "plugged in after the start";
    SDL_Joystick* stick = SDL_JoystickOpen(device);
    ASSERT_NE(stick, nullptr);

    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, 16384);
    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTY, -32768);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_Y, 1);
    NextFrame();
    Backend::PumpEvents();
    float x = 0, y = 0;
    std::uint32_t buttons = 0;
    ASSERT_TRUE(Backend::PadRead(0, x, y, buttons));
    EXPECT_NEAR(x, 0.5f, 0.001f);
    EXPECT_EQ(y, -1.0f);
    EXPECT_EQ(buttons, 1u << 3);
    EXPECT_FALSE(Backend::PadRead(1, x, y, buttons));

    // The D-pad overrides the stick, on the same axes.
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_Y, 0);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 1);
    NextFrame();
    Backend::PumpEvents();
    ASSERT_TRUE(Backend::PadRead(0, x, y, buttons));
    EXPECT_EQ(x, -1.0f);
    EXPECT_EQ(y, 1.0f);
    EXPECT_EQ(buttons, (1u << SDL_CONTROLLER_BUTTON_A) | (1u << SDL_CONTROLLER_BUTTON_DPAD_LEFT) |
                           (1u << SDL_CONTROLLER_BUTTON_DPAD_DOWN));
    NextFrame(); // the common code samples a pad once a frame
    EXPECT_EQ(JoyDown(0), 1);
    EXPECT_EQ(JoyX(), -1.0f);

    SDL_JoystickClose(stick);
    ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0);
    NextFrame();
    EXPECT_EQ(JoyCount(), 0);
    EXPECT_FALSE(Backend::PadRead(0, x, y, buttons));
}

TEST_F(GlBackend, EachPadPluggedInIsAnotherPadAndTheWindowsLostFocusIsCounted) {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    EXPECT_EQ(JoyId(), 0);
    int first = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 16, 0);
    ASSERT_GE(first, 0) << SDL_GetError();
    NextFrame();
    int firstId = JoyId();
    EXPECT_NE(firstId, 0);
    ASSERT_EQ(SDL_JoystickDetachVirtual(first), 0);
    NextFrame();
    EXPECT_EQ(JoyId(), 0);
    int second = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 16, 0);
    ASSERT_GE(second, 0) << SDL_GetError();
    NextFrame();
    EXPECT_NE(JoyId(), 0);
    EXPECT_NE(JoyId(), firstId) << "the next pad is another pad";
    ASSERT_EQ(SDL_JoystickDetachVirtual(second), 0);

    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    NextFrame();
    FlushKeys();
    EXPECT_EQ(WindowFocusLost(), 1) << "a flush of the keys leaves it";
    EXPECT_EQ(WindowFocusLost(), 0);
}

TEST_F(GlBackend, TitleGivenBeforeTheWindowIsKept) {
    SdlControl::Shutdown();
    EXPECT_FALSE(GraphicsOpen());
    SetWindowTitle("Kestrovar before the window");
    Graphics(1024, 768, 0, 60);
    EXPECT_EQ(SdlControl::WindowTitle(), "Kestrovar before the window");
    SetWindowTitle("Kestrovar after");
    EXPECT_EQ(SdlControl::WindowTitle(), "Kestrovar after");
}

TEST_F(GlBackend, HideMouseHidesThePointer) {
    Backend::ShowPointer(true);
    EXPECT_TRUE(SdlControl::PointerShown());
    HideMouse();
    EXPECT_FALSE(SdlControl::PointerShown());
}

TEST_F(GlBackend, ClockRunsAndSleeps) {
    int start = MilliSecs();
    Delay(30);
    EXPECT_GE(MilliSecs() - start, 30);
}

// Start-up seeds the generator with the clock's reading: two starts a little apart, each with SDL started afresh as
// a new process finds it, read (and so seed) differently, apart by the time between them.
TEST(GlBackendClock, TwoFreshStartsSeedDifferently) {
    SdlControl::Shutdown();
    int first = MilliSecs();
    Delay(20);
    SdlControl::Shutdown();
    int second = MilliSecs();
    EXPECT_GE(MilliSecsBetween(first, second), 20);
    EXPECT_LT(MilliSecsBetween(first, second), 1000);
}

TEST_F(GlBackend, EachDisplayHasItsOwnGeneration) {
    int first = Backend::DisplayGeneration();
    Graphics(1280, 1024, 0, 60);
    EXPECT_NE(Backend::DisplayGeneration(), first);
    EXPECT_EQ(ReadScreen().Width, 1280);
}

TEST_F(GlBackend, VerticalBlankIsTrustedOnlyAtAKnownSixtyHertz) {
    EXPECT_FALSE(Backend::VsyncGives60Hz()) << "windowed";
    // The offscreen driver's one mode has no refresh rate.
    Graphics(1024, 768, 1, 60);
    ASSERT_TRUE(GraphicsOpen());
    EXPECT_FALSE(Backend::VsyncGives60Hz());
    Flip(-1);
    EXPECT_TRUE(ReadScreen().LitPixels().empty());
}

TEST(GlBackendOpening, NoDisplayGivesFalseAndSdlsReason) {
    SdlControl::Shutdown();
    const char* before = std::getenv("SDL_VIDEODRIVER");
    std::string driver = before ? before : "offscreen";
    setenv("SDL_VIDEODRIVER", "kestrovar_no_such_driver", 1);
    std::string error;
    EXPECT_FALSE(Backend::OpenDisplay(1024, 768, false, error));
    EXPECT_FALSE(Backend::DisplayOpen());
    EXPECT_NE(error.find("kestrovar_no_such_driver"), std::string::npos) << error;
    DrawLine(0, 0, 10, 10); // nothing open: nothing happens
    Flip(0);
    setenv("SDL_VIDEODRIVER", driver.c_str(), 1);
    EXPECT_TRUE(Backend::OpenDisplay(1024, 768, false, error)) << error;
}

TEST(GlBackendDeathTest, NoDisplayEndsTheGameWithOneLine) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "kestrovar_no_such_driver", 1);
            Graphics(1024, 768, 0, 60);
            std::exit(3);
        },
        ::testing::ExitedWithCode(1), "Unable to open the display: [^\n]*kestrovar_no_such_driver");
}

TEST(GlBackendDeathTest, WithoutADisplaySdlsUnseenDriversAreTakenOnlyWhenNamed) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Nothing names a driver and there is no display: one line, before SDL tries anything.
    EXPECT_EXIT(
        {
            unsetenv("SDL_VIDEODRIVER");
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            Graphics(1024, 768, 0, 60);
            std::exit(3);
        },
        ::testing::ExitedWithCode(1), "^Unable to open the display: no display to show the game on [^\n]*\n$");
    // A display is named but cannot be had, so SDL falls back to drawing off screen: refused as well.
    EXPECT_EXIT(
        {
            unsetenv("SDL_VIDEODRIVER");
            unsetenv("WAYLAND_DISPLAY");
            setenv("DISPLAY", ":kestrovar-none", 1);
            Graphics(1024, 768, 0, 60);
            std::exit(3);
        },
        ::testing::ExitedWithCode(1), "Unable to open the display: no display [^\n]*only its offscreen driver");
}

// Run at the process's exit: what is still open after the program's way out.
void ReportWhatIsOpen() {
    std::fprintf(stderr, "at exit: mixer %s, SDL %s\n", Mix_QuerySpec(nullptr, nullptr, nullptr) ? "open" : "closed",
                 SDL_WasInit(0) ? "running" : "shut down");
}

void OpenSoundAndDisplay() {
    std::atexit(ReportWhatIsOpen);
    ASSERT_TRUE(Audio::Open(8));
    Graphics(1024, 768, 0, 60);
}

TEST(GlBackendDeathTest, EveryWayOutClosesTheMixerThenSdl) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* closed = "at exit: mixer closed, SDL shut down";
    EXPECT_EXIT(
        {
            OpenSoundAndDisplay();
            EndProgram(0);
        },
        ::testing::ExitedWithCode(0), closed);
    EXPECT_EXIT(
        {
            OpenSoundAndDisplay();
            PlatformCloseRequested();
        },
        ::testing::ExitedWithCode(0), closed);
    EXPECT_EXIT(
        {
            OpenSoundAndDisplay();
            RuntimeError("a fatal error");
        },
        ::testing::ExitedWithCode(1), closed);
}

void SayClosed() { std::fprintf(stderr, "close handler ran\n"); }

TEST(GlBackendDeathTest, QuitSavesAndEndsWithZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Graphics(1024, 768, 0, 60);
            SetCloseHandler(SayClosed);
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            KeyHit(27);
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "close handler ran");
}

TEST(GlBackendDeathTest, ClosingTheWindowSavesAndEndsWithZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Graphics(1024, 768, 0, 60);
            SetCloseHandler(SayClosed);
            SDL_Event close{};
            close.type = SDL_WINDOWEVENT;
            close.window.event = SDL_WINDOWEVENT_CLOSE;
            SDL_PushEvent(&close);
            Flip(0);
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "close handler ran");
}

} // namespace
