// The glow screen: seven octagons, one a level, the chosen one spinning, and arrows or the pad to change the level.
#include "GlowScreen.h"
#include "ScreenFrame.h"
#include "Tickets.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "graphics/Logo.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"
#include "platform/Input.h"
#include "platform/Time.h"
#include <cstdint>
#include <memory>

namespace {
constexpr std::size_t PaddedLength = 48; // padding stops once a line is longer than this
constexpr float InfoColumn = 1, InfoFirstRow = 25, InfoRowStep = 1.5f, InfoScale = 0.75f;
constexpr std::uint32_t InfoColour = 0xFFFF8080;
constexpr int KeyCursorLeft = 37, KeyCursorUp = 38, KeyCursorRight = 39, KeyCursorDown = 40;
constexpr int KeyReturnCode = 13, KeyEscapeCode = 27;
constexpr int PadStepDelayMs = 150;
constexpr float SpinStep = 0.5f;
constexpr float SpinWrapAbove = 359, FullTurnDegrees = 360;
constexpr float OctagonCentreX = 512, OctagonStepX = 140, OctagonY = 512, OctagonSide = 36;
constexpr int OctagonSides = 8;
constexpr std::uint32_t OctagonGrey = 0xFF404040, OctagonTeal = 0xFF009090;
constexpr std::uint32_t ChosenWhite = 0xFFFFFFFF, ChosenYellow = 0xFFFFFF00;

const char* const GlowLevelTexts[MostGlow - LeastGlow + 1] = {
    "Glow amount: minimal",       "Glow amount: almost minimal", "Glow amount: below average", "Glow amount: normal",
    "Glow amount: above average", "Glow amount: maximum amount", "Glow amount: too much :-)",
};

void PlayEffect(const char* name) {
    if (TheSettings.SoundFXOn == 1) Sound::Play(name, 0);
}

void DrawGlowTexts() {
    DrawVectorText("set glow", 2.5f, 2, 0xFF80FF40, 0, 3, 1, 0, 128, 255, 64);
    DrawVectorText("use arrows to adjust glow and fire to exit.", 2.5f, 35.5f, 0xFF00FFFF, 0, 0.75f, 0.75f, 0, 0, 255,
                   255);
    GlowInfoLine("The amount of glow shown can depend on", -12);
    GlowInfoLine("you monitor, as they are all different.", -11);
    GlowInfoLine("Use this to adjust the amount of glow", -9);
    GlowInfoLine("if you think it needs more or less.", -8);
}

constexpr int GlowLevels = MostGlow - LeastGlow + 1;

// The spin advances for every octagon, chosen or not, so the chosen one turns 3.5 degrees a frame: each level's
// angle, were it the chosen one.
void StepSpin(float& spin, int (&angles)[GlowLevels]) {
    for (int& angle : angles) {
        spin += SpinStep;
        if (spin > SpinWrapAbove) spin -= FullTurnDegrees;
        angle = static_cast<int>(spin);
    }
}

void DrawOctagons(const int (&angles)[GlowLevels]) {
    for (int level = LeastGlow; level <= MostGlow; ++level) {
        std::uint32_t colour = TheSettings.ColorsOn == 0 ? OctagonGrey : OctagonTeal;
        int angle = 0;
        if (level == TheSettings.GlowAmount) {
            colour = TheSettings.ColorsOn == 0 ? ChosenWhite : ChosenYellow;
            angle = angles[level - LeastGlow];
        }
        DrawPolygonShape(OctagonCentreX + OctagonStepX * static_cast<float>(level), OctagonY, angle, OctagonSides,
                         OctagonSide, colour);
    }
}

bool PadPushed(bool pushed) { return TheControls.ControlMode > 0 && pushed; }

void ReadGlowKeys(float restX) {
    float jx = JoyX(0);
    bool down =
        KeyHit(TheSettings.KeyTurnLeft) || KeyHit(KeyCursorLeft) || KeyHit(KeyCursorUp) || PadPushed(jx < restX);
    if (down && TheSettings.GlowAmount > LeastGlow) {
        PlayEffect("BounceSND");
        TheSettings.GlowAmount -= 1;
        FlushJoy();
        UpdateGlowWidths(TheSettings.GlowAmount);
        // A pad held over steps once every 150 ms rather than every frame.
        if (jx < restX) Delay(PadStepDelayMs);
    }
    bool up =
        KeyHit(TheSettings.KeyTurnRight) || KeyHit(KeyCursorRight) || KeyHit(KeyCursorDown) || PadPushed(jx > restX);
    if (up && TheSettings.GlowAmount < MostGlow) {
        PlayEffect("BounceSND");
        FlushJoy();
        TheSettings.GlowAmount += 1;
        UpdateGlowWidths(TheSettings.GlowAmount);
        if (jx > restX) Delay(PadStepDelayMs);
    }
}

bool LeaveGlowScreen() {
    if (KeyHit(TheSettings.KeyFire) || KeyHit(KeyEscapeCode) || KeyHit(KeyReturnCode)) return true;
    return TheControls.ControlMode > 0 &&
           (JoyHit(TheControls.PadFireButton, 0) || JoyHit(TheControls.PadThrustButton, 0));
}
} // namespace

void GlowInfoLine(const std::string& text, int row) {
    std::string padded = text;
    do {
        padded = " " + padded + " ";
    } while (padded.size() <= PaddedLength);
    DrawVectorText(padded, InfoColumn, InfoFirstRow + static_cast<float>(row) * InfoRowStep, InfoColour, 0, InfoScale,
                   InfoScale, 0, 255, 128, 128);
}

namespace {
class GlowPage : public Screen {
  public:
    void Step(Loop& loop) override {
        if (!Started) {
            Started = true;
            PlayEffect("BlipSND");
            FlushJoy();
            // Any push away from where the pad rests as the screen opens counts.
            RestX = JoyX(0);
            FlushKeys();
        } else {
            PumpTickets();
            if (LeaveGlowScreen()) {
                UpdateGlowWidths(TheSettings.GlowAmount);
                PlayEffect("BlipSND");
                loop.Close();
                return;
            }
        }
        StepSpin(Spin, Angles);
        ReadGlowKeys(RestX);
    }
    void Draw() const override {
        BeginScreenFrame(ScreenStars::Hidden);
        DrawGlowTexts();
        DrawOctagons(Angles);
        int level = TheSettings.GlowAmount < LeastGlow  ? LeastGlow
                    : TheSettings.GlowAmount > MostGlow ? MostGlow
                                                        : TheSettings.GlowAmount;
        GlowInfoLine(GlowLevelTexts[level - LeastGlow], 4);
    }

  private:
    bool Started = false;
    float Spin = 0;
    float RestX = 0;
    int Angles[GlowLevels] = {};
};
} // namespace

std::unique_ptr<Screen> OpenGlowScreen() { return std::make_unique<GlowPage>(); }
