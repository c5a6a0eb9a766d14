// The rules of a game: the level page with the fortress rebuilt behind it, the blast that ends a level and the
// sequence that follows a lost ship, each a phase of the game with its step, its draw and its checks after the flip.
#include "Levels.h"
#include "GameLoop.h"
#include "Pages.h"
#include "Ship.h"
#include "ShipLost.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Fortress.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "graphics/Palette.h"
#include "graphics/Shapes.h"
#include "graphics/Stars.h"
#include "graphics/VectorFont.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Random.h"
#include "platform/Text.h"
#include "platform/Time.h"

namespace {
constexpr std::uint32_t Opaque = 0xFF000000;
constexpr int DimmestBlast = 0x404040, BrightestBlast = 0xFFFFFF;
constexpr std::uint32_t GreyBlast = 0xFFC0C0C0;
constexpr int BlastCount = 8;
constexpr int FortressBlastSpread = 38;
constexpr int ShipBlastSpread = 32;
constexpr int SecondBlastFrame = 40;
constexpr int LeaveDelayMs = 100;

struct RingStart {
    int StartAngle;
    float GrowTo;
    float Speed;
};
constexpr RingStart LevelRings[3] = {{24, 64.0f, -0.9f}, {30, 88.0f, 1.4f}, {36, 112.0f, -1.4f}};

void DrawLevelPageTexts(const World& w) {
    DrawPageText("get ready player...", 10, 14, PageBlue, PageFullText);
    if (w.ShipsLeft > 0) DrawPageText(IntToText(w.ShipsLeft) + " ships left", 19, 24, PageCyan, PageSmallText);
    if (w.ShipsLeft == 0) DrawPageText("final ship", 20, 24, PageCyan, PageSmallText);
    DrawPageScore(w, 24);
}

// One random 24-bit colour for a blast, or grey in the grey palette, which draws no random number for it (as the
// fortress's explosions draw none there).
std::uint32_t BlastColour() {
    if (TheSettings.ColorsOn == 0) return GreyBlast;
    return Opaque + static_cast<std::uint32_t>(Rand(DimmestBlast, BrightestBlast));
}
} // namespace

void OpenLevelPage(World& w, GameRun& run, bool opensPlay) {
    if (TheSettings.SoundFXOn == 1) Sound::Play("SwooshSND", 0);
    FlushKeys();
    CharsList.Clear();
    TextCharCount = 0;
    TypeHeadline("LevelPageText", LevelText(w.Level));
    run.Phase = GamePhase::LevelPage;
    run.PageOpensPlay = opensPlay;
    run.Frames = 0;
}

void StepLevelPage() { StepChars(); }

void DrawLevelPage(const World& w) {
    Cls();
    DrawBackdrop();
    DrawStars();
    ShowChars();
    DrawLevelPageTexts(w);
}

void FinishLevelPageFrame(World& w, GameRun& run) {
    int leave = 0;
    ScanKeys();
    if (TheControls.KeyPressed > 0 && TheControls.KeyPressed < LastKeyCode) leave = 1;
    if (TheControls.ControlMode > 0 &&
        (JoyDown(TheControls.PadFireButton, 0) || JoyDown(TheControls.PadThrustButton, 0)))
        leave = 1;
    run.Frames += 1;
    if (KeyHit(KeyReturn) || KeyHit(TheSettings.KeyFire) || run.Frames > PageFrameLimit) leave = 1;
    if (leave != 1) return;
    SetUpLevel(w);
    if (run.PageOpensPlay)
        StartPlaying(w, run);
    else
        CheckEscape(w, run); // the level's end is over: back to the game's checks after a frame of play
}

void SetUpLevel(World& w) {
    w.FpsTimer = MilliSecs();
    w.PlayerDead = 0;
    w.ShipXSpeed = w.ShipYSpeed = 0;
    w.ShipX = SpawnX;
    w.ShipY = SpawnY;
    w.ShipAngle = SpawnAngle;
    w.CannonFireDelay = SpawnCannonDelay;
    w.SpawnGrace = SpawnGraceFrames;
    w.SectionsList.Clear();
    ClearEnemyBullets(w);
    ClearExplosions(w);
    w.PlayerBulletsList.Clear();
    ClearMissiles(w);
    ClearParticles(w);
    CreateSections(w, LevelRings[0].StartAngle, LevelRings[0].GrowTo, RingColor0, LevelRings[0].Speed, 0);
    CreateSections(w, LevelRings[1].StartAngle, LevelRings[1].GrowTo, RingColor1, LevelRings[1].Speed, 1);
    CreateSections(w, LevelRings[2].StartAngle, LevelRings[2].GrowTo, RingColor2, LevelRings[2].Speed, 2);
    w.CannonAngle = 0;
    if (TheSettings.SoundFXOn == 1) Sound::Play("GrowRings", 0);
    for (int level = 1; level <= w.Level; ++level) SpeedUpRings(w);
}

void BeginLevelEnd(World& w, GameRun& run) {
    CreateExplosion(w, static_cast<int>(FortressX), static_cast<int>(FortressY), 0, BigExplosion);
    for (int i = 0; i < BlastCount; ++i) {
        std::uint32_t colour = BlastColour();
        // The y offset is drawn before the x offset.
        int dy = Rand(-FortressBlastSpread, FortressBlastSpread);
        int dx = Rand(-FortressBlastSpread, FortressBlastSpread);
        CreateExplosion(w, static_cast<int>(FortressX) + dx, static_cast<int>(FortressY) + dy, colour, SmallExplosion);
    }
    if (TheSettings.SoundFXOn == 1) Sound::Play("EnemyDieSND1", 0);
    run.Phase = GamePhase::LevelEnd;
    run.Frames = 0;
}

void StepLevelEnd(World& w) {
    MoveSections(w);
    UpdateExplosions(w);
    CollapseRings(w);
    UpdatePlayerBullets(w);
    PickShipFlicker(w);
    UpdateFrameRate(w);
}

void DrawLevelEnd(const World& w) {
    Cls();
    DrawBackdrop();
    DrawStars();
    DrawExplosions(w);
    DrawSections(w);
    DrawPlayerBullets(w);
    DrawShip(w);
    DrawFrameRate(w);
}

void FinishLevelEndFrame(World& w, GameRun& run) {
    run.Frames += 1;
    if (run.Frames == SecondBlastFrame) {
        CreateExplosion(w, static_cast<int>(FortressX), static_cast<int>(FortressY), 0, ShockwaveExplosion);
        if (TheSettings.SoundFXOn == 1) Sound::Play("EnemyDieSND2", 0);
    }
    if (w.CannonDestroyed != 0) return;
    w.Level += 1;
    Delay(LeaveDelayMs);
    FlushKeys();
    OpenLevelPage(w, run, false);
}

void BeginDeath(World& w, GameRun& run) {
    ClearEnemyBullets(w);
    ClearFrags(w);
    CreateExplosion(w, static_cast<int>(w.ShipX), static_cast<int>(w.ShipY), 0, BigExplosion);
    for (int i = 0; i < BlastCount; ++i) {
        std::uint32_t colour = BlastColour();
        // The y offset is drawn before the x offset.
        int dy = Rand(-ShipBlastSpread, ShipBlastSpread);
        int dx = Rand(-ShipBlastSpread, ShipBlastSpread);
        CreateExplosion(w, static_cast<int>(w.ShipX + static_cast<float>(dx)),
                        static_cast<int>(w.ShipY + static_cast<float>(dy)), colour, SmallExplosion);
    }
    if (TheSettings.SoundFXOn == 1) Sound::Play("EnemyDieSND1", 0);
    run.Phase = GamePhase::Death;
    run.Frames = 0;
}

void StepDeath(World& w) {
    MoveSections(w);
    UpdateSections(w);
    UpdateCannon(w);
    UpdateExplosions(w);
    UpdateFrags(w);
    UpdateFrameRate(w);
}

void DrawDeath(const World& w) {
    DrawFortressScene(w);
    DrawFrags(w);
    DrawFrameRate(w);
}

void FinishDeathFrame(World& w, GameRun& run) {
    run.Frames += 1;
    if (run.Frames == SecondBlastFrame) {
        if (TheSettings.SoundFXOn == 1) Sound::Play("EnemyDieSND2", 0);
        CreateExplosion(w, static_cast<int>(w.ShipX), static_cast<int>(w.ShipY), 0, ShockwaveExplosion);
        CreateFrag(w, 0);
        CreateFrag(w, 1);
        CreateFrag(w, 2);
    }
    if (w.ExplosionsActive != 0) return;
    w.GameState = 2;
    w.ShipsLeft -= 1;
    w.PlayerDead = 0;
    OpenShipLostPage(w, run);
}
