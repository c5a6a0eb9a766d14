// The intro: fifty stars swirling out of the middle, the presenter's emblem zooming in while it turns, a spin
// until it stands upright, and a hold with the credit lines. Escape makes every phase left a single frame.
#include "Intro.h"
#include "ScreenFrame.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "core/Version.h"
#include "graphics/Images.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"
#include "platform/Data.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Random.h"
#include "platform/System.h"
#include "platform/Time.h"
#include <cmath>

EntityList<IntroStars> IntroStarsList;

const std::string PresenterLine = "Kestrel Forge presents...";
const std::string MakerLine = " a game by Mertlow";

namespace {
constexpr int IntroStarCount = 50;
constexpr float StarSpeedLow = 0.08f, StarSpeedHigh = 0.2f;
constexpr int StarDistLow = 16, StarDistHigh = 512;
constexpr int StarColourLow = -500000, StarColourHigh = 500000;
constexpr float StarTurn = 2, StarDrift = 0.1f;
constexpr float StarRestartX = 512, StarRestartY = 400;
constexpr float PlayfieldRight = 1023, PlayfieldBottom = 767;
constexpr float StarDashLength = 2;
constexpr float FullCircle = 360, LastDegree = 359;
constexpr float EmblemX = 512, EmblemY = 386; // the swirl's second ring and the emblem turn about this point
constexpr int EmblemValuesPerSegment = 8;
constexpr int FlashEvery = 100; // segments drawn between two flash colours
constexpr int FlashColourLow = -5000000, FlashColourHigh = 5000000;
constexpr float ZoomStep = 0.01f, FullSize = 1.0f;
constexpr float SpinStep = 2;
constexpr float UprightAbove = 357, UprightBelow = 3;
constexpr int HoldFrames = 220; // counted down to below zero: 221 frames
constexpr int EscapeKey = 27;
constexpr int LeaveDelayMs = 100;
constexpr std::uint32_t White = 0xFFFFFFFF;
constexpr int Full = 255;
constexpr std::uint32_t VersionColour = 0xFFFF40FF, NoticeColour = 0xFFFF4040, CreditColour = 0xFFFFFF00;
constexpr float VersionColumn = 69, VersionRow = 1, SmallText = 0.5f;
constexpr float NoticeRow = 54;
constexpr float CreditColumn = 9, PresenterRow = 5, MakerRow = 22;
// The notice's text as the game carries it: blank, centred on the bottom line.
const std::string FreewareNotice = "  ";
const std::string VersionText = std::string("v") + GameVersion;

struct IntroState {
    int Emblem[IntroWorkSize] = {};
    float Zoom = 0;
    float Angle = 0;
    bool Skip = false;
    int SegmentCount = 0;
    std::uint32_t FlashColour = 0;
};
IntroState State;

void CreateIntroStars() {
    IntroStarsList.Clear();
    for (int i = 0; i < IntroStarCount; ++i) {
        IntroStars& star = IntroStarsList.Add();
        // Drawn in this order: speed, xspeed, yspeed, angle, dist, colour.
        star.speed = Rnd(StarSpeedLow, StarSpeedHigh);
        star.xspeed = Rnd(StarSpeedLow, StarSpeedHigh);
        star.yspeed = Rnd(StarSpeedLow, StarSpeedHigh);
        star.angle = static_cast<float>(Rand(0, static_cast<int>(LastDegree)));
        star.dist = static_cast<float>(Rand(StarDistLow, StarDistHigh));
        star.color = static_cast<std::uint32_t>(Rand(StarColourLow, StarColourHigh));
    }
}

void ReadEmblem() {
    RestoreData("EmblemData");
    int count = ReadDataInt();
    if (count < 0 || 1 + count * EmblemValuesPerSegment > IntroWorkSize) RuntimeError("Emblem table too large");
    State.Emblem[0] = count;
    for (int i = 1; i <= count * EmblemValuesPerSegment; ++i) State.Emblem[i] = ReadDataInt();
}

void StarDot(float x1, float y1, float x2, float y2, std::uint32_t colour, int glowWidth) {
    if (NeonMode == 1) {
        TPoly::Line(GlowDotImage, 0, x1, y1, colour, x2, y2, colour, static_cast<float>(glowWidth), true, false);
    } else {
        Plot(x1, y1);
    }
}

// Two passes: each star flies out along its spiral and is drawn there, then a second dot turns about the middle.
void StepIntroStars() {
    float offsetX = static_cast<float>(PlayfieldOffsetX), offsetY = static_cast<float>(PlayfieldOffsetY);
    if (NeonMode == 0) SetColor(Full, Full, Full);
    IntroStarsList.Walk([&](IntroStars& star) {
        star.x += Sin(star.angle) * star.dist;
        star.y -= Cos(star.angle) * star.dist;
        star.angle += StarTurn;
        if (star.angle > LastDegree) star.angle -= FullCircle;
        star.angle = std::fmod(star.angle + star.speed / 2, FullCircle);
        star.dist += StarDrift;
        StarDot(star.x + offsetX, star.y + offsetY, star.x + StarDashLength + offsetX, star.y + offsetY, White,
                GlowWidth2);
        if (star.x < 0 || star.x > PlayfieldRight || star.y < 0 || star.y > PlayfieldBottom) {
            star.x = StarRestartX;
            star.y = StarRestartY;
            star.dist = 0;
            star.angle = static_cast<float>(Rand(0, static_cast<int>(LastDegree)));
        }
    });
    IntroStarsList.Walk([&](IntroStars& star) {
        int dx = Trunc(Sin(star.angle) * star.dist);
        int dy = Trunc(-Cos(star.angle) * star.dist);
        float x = EmblemX + static_cast<float>(dx) + offsetX, y = EmblemY + static_cast<float>(dy) + offsetY;
        StarDot(x, y, x, y + StarDashLength, star.color, GlowWidth5);
        star.angle = std::fmod(star.angle + star.speed, FullCircle);
    });
}

void DrawEmblem() {
    float offsetX = static_cast<float>(PlayfieldOffsetX), offsetY = static_cast<float>(PlayfieldOffsetY);
    float c = Cos(State.Angle), s = Sin(State.Angle);
    const int* segment = State.Emblem + 1;
    for (int k = 0; k < State.Emblem[0]; ++k, segment += EmblemValuesPerSegment) {
        std::uint32_t colour = ColorsOn == 0 ? White : static_cast<std::uint32_t>(segment[0]);
        float x1 = static_cast<float>(Trunc(static_cast<float>(segment[1]) * State.Zoom));
        float y1 = static_cast<float>(Trunc(static_cast<float>(segment[2]) * State.Zoom));
        float x2 = static_cast<float>(Trunc(static_cast<float>(segment[3]) * State.Zoom));
        float y2 = static_cast<float>(Trunc(static_cast<float>(segment[4]) * State.Zoom));
        float tx1 = c * x1 - s * y1, ty1 = s * x1 + c * y1;
        float tx2 = c * x2 - s * y2, ty2 = s * x2 + c * y2;
        if (++State.SegmentCount > FlashEvery) {
            State.SegmentCount = 0;
            State.FlashColour = static_cast<std::uint32_t>(Rand(FlashColourLow, FlashColourHigh));
        }
        if (colour == EmblemFlashColour) colour = State.FlashColour;
        int red = ColorsOn == 0 ? Full : segment[5], green = ColorsOn == 0 ? Full : segment[6];
        int blue = ColorsOn == 0 ? Full : segment[7];
        DrawScreenSegment(EmblemX + tx1 + offsetX, EmblemY + ty1 + offsetY, EmblemX + tx2 + offsetX,
                          EmblemY + ty2 + offsetY, colour, GlowWidth7, red, green, blue);
    }
    FinishSegments();
}

void IntroFrame(bool credits) {
    BeginScreenFrame(ScreenStars::Hidden);
    DrawVectorText(VersionText, VersionColumn, VersionRow, VersionColour, 0, SmallText, SmallText, 0, Full, 64, Full);
    DrawCentredText(FreewareNotice, NoticeRow, NoticeColour, SmallText, Full, 64, 64);
    StepIntroStars();
    if (credits) {
        DrawVectorText(PresenterLine, CreditColumn, PresenterRow, CreditColour, 0, 1, 1, 0, Full, Full, 0);
        DrawVectorText(MakerLine, CreditColumn, MakerRow, CreditColour, 0, 1, 1, 0, Full, Full, 0);
    }
    DrawEmblem();
}

void ShowAndCheckEscape() {
    EndScreenFrame();
    if (KeyHit(EscapeKey)) State.Skip = true;
}
} // namespace

void Intro() {
    CreateIntroStars();
    ReadEmblem();
    State.Zoom = 0;
    State.Angle = 0;
    State.Skip = false;
    if (SoundFXOn == 1) Sound::Play("WoorpSND", 0);
    TPoly::_Begin();
    // The emblem grows from nothing while it turns.
    do {
        IntroFrame(false);
        State.Angle += SpinStep;
        State.Zoom += ZoomStep;
        ShowAndCheckEscape();
    } while (State.Zoom < FullSize && !State.Skip);
    // At full size it spins on until it stands upright, the credits shown.
    State.Zoom = FullSize;
    do {
        IntroFrame(true);
        State.Angle += SpinStep;
        ShowAndCheckEscape();
    } while (!(State.Angle > UprightAbove || State.Angle < UprightBelow) && !State.Skip);
    // Then it holds still.
    State.Angle = 0;
    State.Zoom = FullSize;
    int count = HoldFrames;
    do {
        IntroFrame(true);
        ShowAndCheckEscape();
        count -= 1;
    } while (count >= 0 && !State.Skip);
    TPoly::_End();
    IntroStarsList.Clear();
    Cls();
    Flip(-1);
    FlushKeys();
    Delay(LeaveDelayMs);
}

void ResetIntro() {
    IntroStarsList.Clear();
    State = IntroState{};
}
