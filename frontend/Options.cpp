// The options screen: fifteen lines, each an action that takes effect at once (display mode and size, name, keys,
// backdrop, glow, palette, sound, music, style, controls), chosen with the keys or the pad.
#include "Options.h"
#include "DisplayMode.h"
#include "NameEntry.h"
#include "ScreenFrame.h"
#include "Tickets.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "fortress/Fortress.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "frontend/GlowScreen.h"
#include "game/PadRest.h"
#include "game/Pages.h"
#include "graphics/Palette.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Text.h"
#include "platform/Time.h"
#include <memory>
#include <string>

namespace {
constexpr int OptionLines = 15;
constexpr int LineFullScreen = 0, LineFirstSize = 1, LineName = 5, LineKeys = 6;
constexpr int LineBackground = 7, LineGlow = 8, LineColours = 9, LineEffects = 10, LineMusic = 11;
constexpr int LineStyle = 12, LineControls = 13, LineReturn = 14;
constexpr int KeyEscape = 27, KeyUp = 38, KeyDown40 = 40, KeyF12 = 123;
constexpr int PadMoveDelayMs = 150;
constexpr float LinesColumn = 2.0f, MarkerColumn = 0.5f, FirstLineRow = 5.5f, LineRows = 1.5f;

// Lines 1 to 4: the four sizes, each with the offsets that centre the playfield.
struct SizeLine {
    int Width, Height, OffsetX, OffsetY;
};
constexpr SizeLine Sizes[4] = {{1024, 768, 0, 0}, {1280, 1024, 128, 128}, {1440, 900, 208, 66}, {1680, 1050, 328, 141}};
const char* const SizeTexts[4] = {"set resolution to 1024x768  (4:3)", "set resolution to 1280x1024 (4:3)",
                                  "set resolution to 1440x900  (16:10)", "set resolution to 1680x1050 (16:9)"};

constexpr PageColour DisplayLineColour = {0xFFFF40F0, 255, 64, 240};
constexpr PageColour White = PageWhite;
constexpr PageColour NameLineColour = PageYellow;
constexpr PageColour SettingLineColour = {0xFFFF00FF, 255, 0, 255};

struct ScreenState {
    int Selection = 0;
    bool Leave = false;
    std::string PadText;
    bool FirstPadFrame = true;
    int PadsSeen = 0; // pads attached when last looked, to find one plugged in while the screen is up
};

void PlayEffect(const char* name) {
    if (TheSettings.SoundFXOn == 1) Sound::Play(name, 0);
}

int Flipped(int setting) { return setting == 1 ? 0 : 1; }

std::string OnOff(const std::string& what, int setting) { return what + (setting == 1 ? " (on)/off" : " on/(off)"); }

std::string LineText(int line, const ScreenState& screen) {
    std::string size = IntToText(TheSettings.ScreenWidth) + "x" + IntToText(TheSettings.ScreenHeight);
    switch (line) {
    case LineFullScreen:
        return TheSettings.FullScreen == 1 ? "change to window mode (" + size + ")"
                                           : "change to fullscreen(" + size + ")";
    case LineName: return "change playername from: " + TheSettings.PlayerName;
    case LineKeys: return "redefine keys";
    case LineBackground: return OnOff("use background", TheSettings.UseBackground);
    case LineGlow: return "Adjust amount of glow";
    case LineColours: return OnOff("set colors", TheSettings.ColorsOn);
    case LineEffects: return OnOff("Sound effects", TheSettings.SoundFXOn);
    case LineMusic: return OnOff("Music", TheSettings.MusicOn);
    case LineStyle:
        return TheSettings.NeonMode == 1 ? "Graphics mode wireframe/(neon)" : "Graphics mode (wireframe)/neon";
    case LineControls:
        if (TheControls.ControlMode == 1) return "Controls (pad - normal buttons)";
        if (TheControls.ControlMode == 2) return "Controls (pad - reversed buttons)";
        return "Controls " + screen.PadText;
    case LineReturn: return "return to mainmenu";
    default: return SizeTexts[line - LineFirstSize];
    }
}

const PageColour& ColourOf(int line) {
    if (line == LineFullScreen) return DisplayLineColour;
    if (line == LineName) return NameLineColour;
    if (line >= LineKeys && line <= LineControls) return SettingLineColour;
    return White;
}

void DrawOptions(const ScreenState& screen) {
    Cls();
    SetColor(255, 255, 255);
    DrawBackdrop();
    DrawVectorTextBold("options", 3.0f, 2.0f, 0xFF80FF40, 0, 3, 1, 0, 128, 255, 40);
    DrawVectorText(">", MarkerColumn, FirstLineRow + LineRows * static_cast<float>(screen.Selection), 0xFF80FF40, 0, 1,
                   1, 0, 128, 255, 64);
    for (int line = 0; line < OptionLines; ++line) {
        const PageColour& colour = ColourOf(line);
        DrawPageText(LineText(line, screen), LinesColumn, FirstLineRow + LineRows * static_cast<float>(line), colour,
                     PageFullText);
    }
}

void ChooseSize(int line) {
    const SizeLine& size = Sizes[line - LineFirstSize];
    DisplayMode wanted = {size.Width, size.Height, size.OffsetX, size.OffsetY, size.OffsetY, TheSettings.FullScreen};
    if (!ChangeDisplayMode(wanted)) PlayEffect("BounceSND");
}

void ChooseControls() {
    if (JoyCount() == 0) {
        PlayEffect("BounceSND");
        TheControls.PadActive = 0;
        TheControls.ControlMode = 0;
        return;
    }
    PlayEffect("BlipSND");
    TheControls.PadActive = 1;
    TheControls.ControlMode = (TheControls.ControlMode + 1) % 3;
    TheControls.PadMenuRestY = JoyY(0);
    if (TheControls.ControlMode == 1) {
        TheControls.PadFireButton = 0;
        TheControls.PadThrustButton = 1;
    } else if (TheControls.ControlMode == 2) {
        TheControls.PadFireButton = 1;
        TheControls.PadThrustButton = 0;
    }
}

// True when the line opened a screen over the options.
bool Choose(int line, ScreenState& screen, World& menu, Loop& loop) {
    switch (line) {
    case LineFullScreen: {
        DisplayMode wanted = CurrentDisplayMode();
        wanted.Full = Flipped(TheSettings.FullScreen);
        if (!ChangeDisplayMode(wanted)) PlayEffect("BounceSND");
        break;
    }
    case LineName:
        PlayEffect("BlipSND");
        loop.Open(OpenNameEntry());
        return true;
    case LineKeys:
        PlayEffect("BlipSND");
        loop.Open(OpenRedefineKeys());
        return true;
    case LineBackground:
        PlayEffect("BlipSND");
        TheSettings.UseBackground = Flipped(TheSettings.UseBackground);
        break;
    case LineGlow:
        if (TheSettings.NeonMode == 1) {
            PlayEffect("BlipSND");
            loop.Open(OpenGlowScreen());
            return true;
        } else {
            PlayEffect("BounceSND");
        }
        break;
    case LineColours:
        PlayEffect("BlipSND");
        TheSettings.ColorsOn = Flipped(TheSettings.ColorsOn);
        SetPalette();
        // The rings keep the colours they were made with: made again, they show the new palette at once.
        menu.SectionsList.Clear();
        BuildMenuRings(menu);
        break;
    case LineEffects:
        PlayEffect("BlipSND"); // heard only when the effects were on
        TheSettings.SoundFXOn = Flipped(TheSettings.SoundFXOn);
        break;
    case LineMusic:
        PlayEffect("BlipSND");
        TheSettings.MusicOn = Flipped(TheSettings.MusicOn);
        if (TheSettings.MusicOn == 0 && Sound::IsPlaying("menu-loop") == 1) Sound::Stop("menu-loop");
        if (TheSettings.MusicOn == 1) Sound::Play("menu-loop", 1);
        break;
    case LineStyle:
        PlayEffect("BlipSND");
        TheSettings.NeonMode = Flipped(TheSettings.NeonMode);
        SetDrawingState();
        break;
    case LineControls: ChooseControls(); break;
    case LineReturn: screen.Leave = true; break;
    default: ChooseSize(line); break;
    }
    return false;
}

// The pad text for the next frame, whether a pad is there, and the pad's rest taken once pad controls are chosen.
void DetectPad(ScreenState& screen) {
    int pads = JoyCount();
    // A pad plugged in while the screen is up is taken in as one that was there from the start.
    if (pads > 0 && screen.PadsSeen == 0) screen.FirstPadFrame = true;
    screen.PadsSeen = pads;
    if (TheControls.PadActive == 1 && TheControls.ControlMode == 0) screen.PadText = "(keyboard, pad present)";
    if (pads == 0) {
        screen.PadText = "(keyboard, no pad present)";
        TheControls.PadActive = 0;
        TheControls.ControlMode = 0;
        screen.FirstPadFrame = false;
    } else if (screen.FirstPadFrame) {
        TheControls.PadActive = 1;
    }
    if (TheControls.ControlMode == 1 && screen.FirstPadFrame) {
        screen.FirstPadFrame = false;
        SamplePadRest();
        FlushJoy();
    }
}

bool PadChoice() {
    return TheControls.PadActive == 1 &&
           (JoyHit(TheControls.PadFireButton, 0) || JoyHit(TheControls.PadThrustButton, 0));
}

void MoveSelection(ScreenState& screen) {
    float padY = JoyY(0);
    if (KeyHit(KeyUp) || (TheControls.ControlMode > 0 && padY < TheControls.PadMenuRestY)) {
        screen.Selection = screen.Selection == 0 ? OptionLines - 1 : screen.Selection - 1;
        PlayEffect("BlipSND");
        if (padY < TheControls.PadMenuRestY) Delay(PadMoveDelayMs);
        FlushJoy();
    }
    if (KeyHit(KeyDown40) || (TheControls.ControlMode > 0 && padY > TheControls.PadMenuRestY)) {
        screen.Selection = screen.Selection == OptionLines - 1 ? 0 : screen.Selection + 1;
        PlayEffect("BlipSND");
        if (padY > TheControls.PadMenuRestY) Delay(PadMoveDelayMs);
        FlushJoy();
    }
}

bool LeaveNow(const ScreenState& screen) {
    if (screen.Leave || KeyHit(KeyEscape)) return true;
    if (screen.Selection != LineReturn) return false;
    if (KeyDown(TheSettings.KeyFire) || KeyHit(KeyReturn)) return true;
    return TheControls.ControlMode > 0 && TheControls.PadActive == 1 &&
           (JoyHit(TheControls.PadFireButton, 0) || JoyHit(TheControls.PadThrustButton, 0));
}

// The options: each frame only what is pressed during it counts; a line chosen acts at once, or opens its screen
// over the options.
class OptionsPage : public Screen {
  public:
    explicit OptionsPage(World& menu) : Menu(menu) {}
    void Step(Loop& loop) override {
        if (!Started) {
            Started = true;
            FlushKeys();
            State.PadsSeen = JoyCount();
            TheControls.PadMenuRestY = JoyY(0);
        } else {
            PumpTickets();
            if ((KeyHit(KeyReturn) || KeyHit(TheSettings.KeyFire) || PadChoice()) &&
                Choose(State.Selection, State, Menu, loop))
                return;
            if (MoveOnOrLeave(loop)) return;
        }
        StepFrame();
    }
    void Resume(Loop& loop) override {
        if (MoveOnOrLeave(loop)) return;
        StepFrame();
    }
    void Draw() const override { DrawOptions(State); }

  private:
    bool MoveOnOrLeave(Loop& loop) {
        MoveSelection(State);
        if (!LeaveNow(State)) return false;
        FlushKeys();
        PlayEffect("BlipSND");
        loop.Close();
        return true;
    }
    void StepFrame() {
        FlushKeys();
        FlushJoy();
        if (KeyHit(KeyF12)) {
            TheControls.ShowFrameRate = Flipped(TheControls.ShowFrameRate);
            PlayEffect("BlipSND");
        }
        DetectPad(State);
    }
    World& Menu; // the fortress behind the menu, whose rings take a new palette at once
    bool Started = false;
    ScreenState State;
};
} // namespace

std::unique_ptr<Screen> OpenOptions(World& menu) { return std::make_unique<OptionsPage>(menu); }
