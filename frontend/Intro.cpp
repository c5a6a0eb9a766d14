// The intro: fifty stars swirling out of the middle, the presenter's emblem zooming in while it turns, a spin
// until it stands upright, and a hold with the credit lines. Escape makes every phase left a single frame.
#include "Intro.h"
#include "ScreenFrame.h"
#include "Tickets.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "core/Version.h"
#include "graphics/Art.h"
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
#include <functional>
#include <memory>
#include <utility>
#include <vector>

const char* const IntroOpeningEffect = "WoorpSND";
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

void PlayEffect(const char* name) {
    if (TheSettings.SoundFXOn == 1) Sound::Play(name, 0);
}

// What a frame of the intro shows, worked out by its step: the stars' two dots each, and the emblem's segments with
// the colours their flashes drew.
struct StarDotAt {
    float X1, Y1, X2, Y2;
    std::uint32_t Colour;
    int GlowWidth;
};
struct EmblemSegment {
    float X1, Y1, X2, Y2;
    std::uint32_t Colour;
    int Red, Green, Blue;
};

enum class IntroPhase { Start, Grow, Spin, Hold, Blank };

class IntroScreen : public Screen {
  public:
    explicit IntroScreen(std::function<std::unique_ptr<Screen>()> next) : Next(std::move(next)) {}
    void Step(Loop& loop) override;
    void Draw() const override;

  private:
    void Begin();
    bool CheckAfterFlip(Loop& loop);
    void ReadEmblem();
    void CreateIntroStars();
    void StepIntroStars();
    void StepEmblem();

    std::function<std::unique_ptr<Screen>()> Next;
    IntroPhase Phase = IntroPhase::Start;
    EntityList<IntroStars> Stars;
    int Emblem[IntroWorkSize] = {};
    float Zoom = 0;
    float Angle = 0;
    bool Skip = false;
    int HoldCount = 0;
    int SegmentCount = 0;
    std::uint32_t FlashColour = 0;
    bool Credits = false;
    std::vector<StarDotAt> Dots;
    std::vector<EmblemSegment> Segments;
};

void IntroScreen::CreateIntroStars() {
    Stars.Clear();
    for (int i = 0; i < IntroStarCount; ++i) {
        IntroStars& star = Stars.Add();
        // Drawn in this order: speed, xspeed, yspeed, angle, dist, colour.
        star.speed = Rnd(StarSpeedLow, StarSpeedHigh);
        star.xspeed = Rnd(StarSpeedLow, StarSpeedHigh);
        star.yspeed = Rnd(StarSpeedLow, StarSpeedHigh);
        star.angle = static_cast<float>(Rand(0, static_cast<int>(LastDegree)));
        star.dist = static_cast<float>(Rand(StarDistLow, StarDistHigh));
        star.color = static_cast<std::uint32_t>(Rand(StarColourLow, StarColourHigh));
    }
}

void IntroScreen::ReadEmblem() {
    RestoreData("EmblemData");
    int count = ReadDataInt();
    if (count < 0 || 1 + count * EmblemValuesPerSegment > IntroWorkSize) RuntimeError("Emblem table too large");
    Emblem[0] = count;
    for (int i = 1; i <= count * EmblemValuesPerSegment; ++i) Emblem[i] = ReadDataInt();
}

// Two passes: each star flies out along its spiral and is shown there, then a second dot turns about the middle.
void IntroScreen::StepIntroStars() {
    float offsetX = static_cast<float>(TheSettings.PlayfieldOffsetX),
          offsetY = static_cast<float>(TheSettings.PlayfieldOffsetY);
    Stars.Walk([&](IntroStars& star) {
        star.x += Sin(star.angle) * star.dist;
        star.y -= Cos(star.angle) * star.dist;
        star.angle += StarTurn;
        if (star.angle > LastDegree) star.angle -= FullCircle;
        star.angle = std::fmod(star.angle + star.speed / 2, FullCircle);
        star.dist += StarDrift;
        Dots.push_back({star.x + offsetX, star.y + offsetY, star.x + StarDashLength + offsetX, star.y + offsetY, White,
                        GlowWidth2});
        if (star.x < 0 || star.x > PlayfieldRight || star.y < 0 || star.y > PlayfieldBottom) {
            star.x = StarRestartX;
            star.y = StarRestartY;
            star.dist = 0;
            star.angle = static_cast<float>(Rand(0, static_cast<int>(LastDegree)));
        }
    });
    Stars.Walk([&](IntroStars& star) {
        int dx = Trunc(Sin(star.angle) * star.dist);
        int dy = Trunc(-Cos(star.angle) * star.dist);
        float x = EmblemX + static_cast<float>(dx) + offsetX, y = EmblemY + static_cast<float>(dy) + offsetY;
        Dots.push_back({x, y, x, y + StarDashLength, star.color, GlowWidth5});
        star.angle = std::fmod(star.angle + star.speed, FullCircle);
    });
}

// The emblem at the frame's zoom and angle; every hundredth segment draws a new flash colour.
void IntroScreen::StepEmblem() {
    float offsetX = static_cast<float>(TheSettings.PlayfieldOffsetX),
          offsetY = static_cast<float>(TheSettings.PlayfieldOffsetY);
    float c = Cos(Angle), s = Sin(Angle);
    const int* segment = Emblem + 1;
    for (int k = 0; k < Emblem[0]; ++k, segment += EmblemValuesPerSegment) {
        std::uint32_t colour = TheSettings.ColorsOn == 0 ? White : static_cast<std::uint32_t>(segment[0]);
        float x1 = static_cast<float>(Trunc(static_cast<float>(segment[1]) * Zoom));
        float y1 = static_cast<float>(Trunc(static_cast<float>(segment[2]) * Zoom));
        float x2 = static_cast<float>(Trunc(static_cast<float>(segment[3]) * Zoom));
        float y2 = static_cast<float>(Trunc(static_cast<float>(segment[4]) * Zoom));
        float tx1 = c * x1 - s * y1, ty1 = s * x1 + c * y1;
        float tx2 = c * x2 - s * y2, ty2 = s * x2 + c * y2;
        if (++SegmentCount > FlashEvery) {
            SegmentCount = 0;
            FlashColour = static_cast<std::uint32_t>(Rand(FlashColourLow, FlashColourHigh));
        }
        if (colour == EmblemFlashColour) colour = FlashColour;
        int red = TheSettings.ColorsOn == 0 ? Full : segment[5], green = TheSettings.ColorsOn == 0 ? Full : segment[6];
        int blue = TheSettings.ColorsOn == 0 ? Full : segment[7];
        Segments.push_back({EmblemX + tx1 + offsetX, EmblemY + ty1 + offsetY, EmblemX + tx2 + offsetX,
                            EmblemY + ty2 + offsetY, colour, red, green, blue});
    }
}

void IntroScreen::Begin() {
    CreateIntroStars();
    ReadEmblem();
    PlayEffect(IntroOpeningEffect);
    TPoly::_Begin();
    Phase = IntroPhase::Grow;
}

// After each flip: Escape makes the phase's frame its last; the phase's end opens the next.
bool IntroScreen::CheckAfterFlip(Loop& loop) {
    if (Phase == IntroPhase::Blank) {
        FlushKeys();
        Delay(LeaveDelayMs);
        loop.Close();
        if (Next) loop.Open(Next());
        return true;
    }
    PumpTickets();
    if (KeyHit(EscapeKey)) Skip = true;
    switch (Phase) {
    case IntroPhase::Grow:
        // The emblem grows from nothing while it turns; at full size it spins on until it stands upright.
        if (Zoom < FullSize && !Skip) break;
        Zoom = FullSize;
        Phase = IntroPhase::Spin;
        break;
    case IntroPhase::Spin:
        // Then it holds still.
        if (!(Angle > UprightAbove || Angle < UprightBelow) && !Skip) break;
        Angle = 0;
        Zoom = FullSize;
        HoldCount = HoldFrames;
        Phase = IntroPhase::Hold;
        break;
    case IntroPhase::Hold:
        HoldCount -= 1;
        if (HoldCount < 0 || Skip) Phase = IntroPhase::Blank;
        break;
    case IntroPhase::Start:
    case IntroPhase::Blank: break;
    }
    return false;
}

void IntroScreen::Step(Loop& loop) {
    if (Phase == IntroPhase::Start)
        Begin();
    else if (CheckAfterFlip(loop))
        return;
    Dots.clear();
    Segments.clear();
    if (Phase == IntroPhase::Blank) {
        // One blank frame ends it.
        TPoly::_End();
        Stars.Clear();
        return;
    }
    Credits = Phase != IntroPhase::Grow;
    StepIntroStars();
    StepEmblem();
    if (Phase != IntroPhase::Hold) Angle += SpinStep;
    if (Phase == IntroPhase::Grow) Zoom += ZoomStep;
}

void IntroScreen::Draw() const {
    if (Phase == IntroPhase::Blank) {
        Cls();
        return;
    }
    BeginScreenFrame(ScreenStars::Hidden);
    DrawVectorText(VersionText, VersionColumn, VersionRow, VersionColour, 0, SmallText, SmallText, 0, Full, 64, Full);
    DrawCentredText(FreewareNotice, NoticeRow, NoticeColour, SmallText, Full, 64, 64);
    if (TheSettings.NeonMode == 0) SetColor(Full, Full, Full);
    for (const StarDotAt& dot : Dots) {
        if (TheSettings.NeonMode == 1)
            TPoly::Line(TheArt.GlowDotImage, 0, dot.X1, dot.Y1, dot.Colour, dot.X2, dot.Y2, dot.Colour,
                        static_cast<float>(dot.GlowWidth), true, false);
        else
            Plot(dot.X1, dot.Y1);
    }
    if (Credits) {
        DrawVectorText(PresenterLine, CreditColumn, PresenterRow, CreditColour, 0, 1, 1, 0, Full, Full, 0);
        DrawVectorText(MakerLine, CreditColumn, MakerRow, CreditColour, 0, 1, 1, 0, Full, Full, 0);
    }
    for (const EmblemSegment& segment : Segments)
        DrawScreenSegment(segment.X1, segment.Y1, segment.X2, segment.Y2, segment.Colour, GlowWidth7, segment.Red,
                          segment.Green, segment.Blue);
    FinishSegments();
}
} // namespace

std::unique_ptr<Screen> OpenIntro(std::function<std::unique_ptr<Screen>()> next) {
    return std::make_unique<IntroScreen>(std::move(next));
}
