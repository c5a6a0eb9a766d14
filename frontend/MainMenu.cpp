// The main menu: a carousel of five items over the attract play (the logo flying in, the stars, the fortress and the
// recorded ghost ship), the help lines, the bottom line and the confirmation before the program ends.
#include "MainMenu.h"
#include "HighScores.h"
#include "Options.h"
#include "ScreenFrame.h"
#include "Tickets.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "core/Tables.h"
#include "core/Version.h"
#include "fortress/Effects.h"
#include "fortress/Fortress.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "frontend/KeptGames.h"
#include "frontend/SettingsFile.h"
#include "game/GameLoop.h"
#include "game/Instructions.h"
#include "game/PadRest.h"
#include "game/Pages.h"
#include "game/Ship.h"
#include "graphics/Logo.h"
#include "graphics/Shapes.h"
#include "graphics/Stars.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"
#include "platform/Input.h"
#include "platform/Time.h"
#include <cstdint>

MenuState TheMenu;

namespace {
constexpr int SyncPadDelayMs = 150;
constexpr int KeyTab = 9, KeyReturnCode = 13, KeyEscapeCode = 27;
constexpr int KeyCursorLeft = 37, KeyCursorUp = 38, KeyCursorRight = 39, KeyCursorDown = 40;
constexpr int StateRunning = 0, StateLeaving = 1, StateConfirming = 2;
constexpr int LogoStartAngle = 180, LogoStep = 4, LogoOuterRest = 0, LogoInnerRest = 360;
constexpr float PromptPulseStart = 25, MenuPulseStep = 1.5f, ConfirmPulseStep = 1;
constexpr int MenuCannonDelay = 120;
constexpr float ItemRow = 20;
constexpr std::uint32_t HelpColour = 0xFFFF40FF;
constexpr int HelpRed = 255, HelpGreen = 64, HelpBlue = 255;
constexpr std::uint32_t CreditColour = 0xFF4043FF;
constexpr int CreditRed = 64, CreditGreen = 67, CreditBlue = 255;
constexpr float SmallText = 0.75f, VersionScale = 0.5f;
constexpr float GhostFires = 1.0f;
constexpr int AnswerNone = 0, AnswerYes = 1, AnswerNo = 2;

struct CarouselItem {
    const char* Text;
    float Column;
};
constexpr CarouselItem Carousel[MenuItems] = {
    {"start game", 14.0f},  {"instructions", 12.5f}, {"set options", 13.5f},
    {"show scores", 13.5f}, {" exit game", 13.5f},
};
constexpr int ItemStart = 0, ItemInstructions = 1, ItemOptions = 2, ItemScores = 3, ItemExit = 4;

void PlayEffect(const char* name) {
    if (TheSettings.SoundFXOn == 1) Sound::Play(name, 0);
}

void DrawSmallText(const std::string& text, float column, float row, std::uint32_t colour, int red, int green,
                   int blue) {
    DrawVectorText(text, column, row, colour, 0, SmallText, SmallText, 0, red, green, blue);
}

void DrawVersion() {
    DrawVectorText("v" KESTROVAR_VERSION, 69, 1, HelpColour, 0, VersionScale, VersionScale, 0, HelpRed, HelpGreen,
                   HelpBlue);
}

void DrawCreditLine() { DrawSmallText(CreditLine, 8, 35, CreditColour, CreditRed, CreditGreen, CreditBlue); }

void DrawBottomLine() {
    if (TheMenu.CreditToggle == 0 || VersionNotice == CreditLine)
        DrawCreditLine();
    else
        DrawSmallText(VersionNotice, 8, 35, OpaqueWhite, 255, 255, 255);
}

// The rings the ghost's flight was recorded against: built afresh whenever the flight starts over.
void RebuildRings(World& w) {
    w.SectionsList.Clear();
    BuildMenuRings(w);
}

void FlyInLogo() { TheMenu.MenuLogoA = TheMenu.MenuLogoB = LogoStartAngle; }

void StepLogo() {
    if (TheMenu.MenuLogoA > LogoOuterRest) TheMenu.MenuLogoA -= LogoStep;
    if (TheMenu.MenuLogoB < LogoInnerRest) TheMenu.MenuLogoB += LogoStep;
}

// One step of the attract play: the fortress runs as in a game around the ghost, with no missiles, debris or
// scoring (nothing of those would ever be moved or shown here).
void StepDemoWorld(World& w) {
    MoveSections(w);
    UpdateSections(w);
    UpdateCannon(w);
    UpdatePlayerBullets(w);
    UpdateEnemyBullets(w);
}

void DrawDemoWorld(const World& w) {
    DrawStars();
    DrawSections(w);
    DrawCannon(w);
    DrawPlayerBullets(w);
    DrawEnemyBullets(w);
}

// Returns the flame the ghost shows this frame: picked as its record is read, in the order of the random draws.
ShipFlame StepGhost(World& w) {
    const float* record = &GhostMovement[TheMenu.GhostIndex];
    w.ShipAngle = record[2];
    w.ShipX = record[0];
    w.ShipY = record[1];
    // The recorded shape, so the flame shows where the flight thrusted.
    w.ShipShape = static_cast<int>(record[4]);
    ShipFlame flame = PickShipFlame(w.ShipShape);
    if (record[3] == GhostFires) FirePlayerBullet(w, 0);
    TheMenu.GhostIndex += GhostRecordValues;
    // The table's last value begins no whole record: the flight starts over after the last whole one.
    if (TheMenu.GhostIndex > GhostLastIndex) {
        TheMenu.GhostIndex = 0;
        RebuildRings(w);
    }
    return flame;
}

void DrawGhost(const World& w, const ShipFlame& flame) {
    DrawShipShape(flame, w.ShipShape, w.ShipX, w.ShipY, static_cast<int>(w.ShipAngle));
}

void DrawCarouselItem(const World& w) {
    const CarouselItem& item = Carousel[TheMenu.MenuItem];
    DrawZoomText(item.Text, item.Column, ItemRow, OpaqueWhite, w.PromptPulse, 1, 1, 0, 255, 255, 255);
}

void StepCarousel(World& w, int step) {
    TheMenu.MenuItem = (TheMenu.MenuItem + step + MenuItems) % MenuItems;
    w.PromptPulse = PromptPulseStart;
    PlayEffect("BlipSND");
    TheMenu.MoveLock = MenuMoveLockFrames;
    FlushJoy();
}

// Both keys of a direction are read every frame, so hits that come while the lock is set are used up. A key still
// held once the lock has run out moves again: one item every 15 frames for as long as it is held.
void ReadCarouselMoves(World& w) {
    FollowPadChange(); // a pad pulled out doesn't run the carousel on from the rest taken before
    float jx = JoyX(0);
    bool downHit = KeyHit(KeyCursorDown) != 0;
    bool rightHit = KeyHit(KeyCursorRight) != 0;
    bool held = KeyDown(KeyCursorDown) != 0 || KeyDown(KeyCursorRight) != 0;
    bool pad = TheControls.ControlMode > 0 && jx > TheControls.PadZeroPositionX;
    if ((downHit || rightHit || held || pad) && TheMenu.MoveLock == 0) StepCarousel(w, 1);
    bool upHit = KeyHit(KeyCursorUp) != 0;
    bool leftHit = KeyHit(KeyCursorLeft) != 0;
    held = KeyDown(KeyCursorUp) != 0 || KeyDown(KeyCursorLeft) != 0;
    pad = TheControls.ControlMode > 0 && jx < TheControls.PadZeroPositionX;
    if ((upHit || leftHit || held || pad) && TheMenu.MoveLock == 0) StepCarousel(w, -1);
}

bool ConfirmHit() {
    if (KeyHit(KeyReturnCode) || KeyHit(TheSettings.KeyFire)) return true;
    return TheControls.PadActive == 1 &&
           (JoyHit(TheControls.PadFireButton, 0) || JoyHit(TheControls.PadThrustButton, 0));
}

} // namespace

void ResetMenuWorld(World& w) {
    ClearFortress(w);
    ClearMissiles(w);
    ClearParticles(w);
    ClearFrags(w);
    RebuildRings(w);
    w.CannonFireDelay = MenuCannonDelay;
    TheMenu.GhostIndex = 0;
}

namespace {
void ReturnFromGame(World& w) {
    TheMenu.CreditTimer = 0;
    RebuildRings(w);
    w.CannonFireDelay = MenuCannonDelay;
    FlyInLogo();
    TheMenu.GhostIndex = 0;
    // What the game changed (the personal best above all) is kept at once, not only when the program ends.
    SaveSettings(TheSettings);
}

// The pad answers first; a key overrides it, and a no key wins over a yes key in the same frame.
int ReadConfirmAnswer() {
    int answer = AnswerNone;
    if (TheControls.ControlMode > 0) {
        FollowPadChange();
        float jx = JoyX(0);
        if (jx > TheControls.PadZeroPositionX) answer = AnswerNo;
        if (jx < TheControls.PadZeroPositionX) answer = AnswerYes;
    }
    int keys = ReadExitAnswer();
    if (keys != AnswerNone) answer = keys;
    return answer;
}

// What the menu waits on while a screen it opened runs over it.
enum class Opened { None, TabOptions, Game, Instructions, Options, Scores };

// The menu over its attract play, and the question before the program ends (the whole logo stands still over the
// fortress, which turns on without its bullets while the question is up).
class MenuScreen : public Screen {
  public:
    explicit MenuScreen(World& world) : Fight(world) {}
    void Step(Loop& loop) override;
    void Resume(Loop& loop) override;
    void Draw() const override;

  private:
    void Begin();
    void StepMenu(Loop& loop);
    bool ActOnItem(Loop& loop);
    void FinishMenuStep();
    void StepConfirm();
    World& Fight; // the attract play's, and the games' started here
    bool Started = false;
    bool Confirming = false;
    Opened Waiting = Opened::None;
    ShipFlame GhostFlame;
};

void MenuScreen::Begin() {
    AskForTicket(); // the player's first game may be ranked
    CreateStars();
    TheMenu.MenuItem = 0;
    Fight.GameState = StateRunning;
    FlyInLogo();
    Fight.PromptPulse = PromptPulseStart;
    TheMenu.CreditTimer = 0;
    TheMenu.GhostIndex = 0;
    Fight.CannonFireDelay = MenuCannonDelay;
    TheMenu.MoveLock = 0;
}

// True when a screen was opened over the menu: the rest of the frame's step waits for its return.
bool MenuScreen::ActOnItem(Loop& loop) {
    switch (TheMenu.MenuItem) {
    case ItemStart:
        Waiting = Opened::Game;
        loop.Open(OpenGameFromMenu(Fight));
        return true;
    case ItemInstructions:
        PlayEffect("BlipSND");
        Waiting = Opened::Instructions;
        loop.Open(OpenInstructions());
        return true;
    case ItemOptions:
        PlayEffect("BlipSND");
        Waiting = Opened::Options;
        loop.Open(OpenOptions(Fight));
        return true;
    case ItemScores:
        PlayEffect("BlipSND");
        Waiting = Opened::Scores;
        loop.Open(OpenHighscores(Fight));
        return true;
    case ItemExit:
        PlayEffect("BlipSND");
        Fight.GameState = StateConfirming;
        TheMenu.MenuItem = 0;
        break;
    }
    return false;
}

void MenuScreen::StepMenu(Loop& loop) {
    StepLogo();
    StepDemoWorld(Fight);
    GhostFlame = StepGhost(Fight);
    if (TheMenu.MoveLock > 0) {
        TheMenu.MoveLock -= 1;
        if (TheMenu.MoveLock == 0) FlushJoy();
    }
    ReadCarouselMoves(Fight);
    if (Fight.PromptPulse > 0) Fight.PromptPulse -= MenuPulseStep;
    if (KeyHit(KeyTab)) {
        PlayEffect("BlipSND");
        Waiting = Opened::TabOptions;
        loop.Open(OpenOptions(Fight));
        return;
    }
    if (ConfirmHit() && ActOnItem(loop)) return;
    FinishMenuStep();
}

void MenuScreen::FinishMenuStep() {
    if (KeyHit(KeyEscapeCode)) {
        PlayEffect("BlipSND");
        Fight.GameState = StateConfirming;
        TheMenu.MenuItem = 0;
    }
}

void MenuScreen::StepConfirm() {
    MoveSections(Fight);
    UpdateSections(Fight);
    UpdateCannon(Fight);
}

void MenuScreen::Step(Loop& loop) {
    if (!Started) {
        Started = true;
        Begin();
        StepMenu(loop);
        return;
    }
    // The checks after the last flip.
    if (Confirming) {
        int answer = ReadConfirmAnswer();
        if (Fight.PromptPulse > 0) Fight.PromptPulse -= ConfirmPulseStep;
        if (answer == AnswerNone) {
            StepConfirm();
            return;
        }
        Confirming = false;
        Fight.PromptPulse = PromptPulseStart;
        Fight.GameState = answer == AnswerYes ? StateLeaving : StateRunning;
        FlushKeys();
        if (Fight.GameState == StateLeaving) {
            FlushKeys();
            FlushJoy();
            loop.Close();
            return;
        }
    } else {
        PumpTickets();
        TheMenu.CreditTimer += 1;
        if (TheMenu.CreditTimer > CreditPeriodLast) {
            TheMenu.CreditTimer = 0;
            TheMenu.CreditToggle = 1 - TheMenu.CreditToggle;
        }
        if (Fight.GameState == StateConfirming) {
            Confirming = true;
            Fight.PromptPulse = PromptPulseStart;
            FlushKeys();
            StepConfirm();
            return;
        }
    }
    StepMenu(loop);
}

void MenuScreen::Resume(Loop& loop) {
    Opened opened = Waiting;
    Waiting = Opened::None;
    switch (opened) {
    case Opened::Game:
        FinishGameFromMenu();
        ReturnFromGame(Fight);
        break;
    case Opened::TabOptions:
        FlyInLogo();
        TheMenu.MenuItem = 0;
        if (ConfirmHit() && ActOnItem(loop)) return;
        break;
    case Opened::Instructions:
        Fight.PromptPulse = PromptPulseStart; // the first item pops in again
        TheMenu.MenuItem = 0;
        break;
    case Opened::Options:
    case Opened::Scores:
        TheMenu.CreditTimer = 0;
        FlyInLogo();
        TheMenu.MenuItem = 0;
        break;
    case Opened::None: break;
    }
    FinishMenuStep();
}

void MenuScreen::Draw() const {
    BeginScreenFrame(ScreenStars::Hidden);
    if (Confirming) {
        DrawLogo(0);
        DrawStars();
        DrawSections(Fight);
        DrawCannon(Fight);
        DrawZoomText("exit menu (y/n)", 11.5f, ItemRow, OpaqueWhite, Fight.PromptPulse, 1, 1, 0, 255, 255, 255);
        DrawSmallText("press right key for no", 14, 28.5f, HelpColour, HelpRed, HelpGreen, HelpBlue);
        DrawSmallText("press left key for yes", 14, 30, HelpColour, HelpRed, HelpGreen, HelpBlue);
        DrawCreditLine();
        DrawVersion();
        return;
    }
    DrawLogoOuter(TheMenu.MenuLogoA);
    DrawLogoInner(TheMenu.MenuLogoB);
    DrawDemoWorld(Fight);
    DrawGhost(Fight, GhostFlame);
    DrawCarouselItem(Fight);
    DrawSmallText("use arrows for options", 14, 28.5f, HelpColour, HelpRed, HelpGreen, HelpBlue);
    DrawSmallText("and 'enter' to select", 14, 30, HelpColour, HelpRed, HelpGreen, HelpBlue);
    DrawVersion();
    DrawBottomLine();
}
} // namespace

std::unique_ptr<Screen> OpenMainMenu(World& world) { return std::make_unique<MenuScreen>(world); }

void ResetMainMenu() { TheMenu = MenuState{}; }

namespace {
// The sync the game-over page asks for: the top ten cleared, the score sent behind the wait screen, the version
// checked, then the high-score screen; the game-over page's checks finish once it closes.
class GameOverSync : public Screen {
  public:
    explicit GameOverSync(World& world) : Fight(world) {}
    void Step(Loop& loop) override {
        TheControls.KeyPressed = 0;
        Shown = TakeOnlineTable();
        // The top ten shows placeholders until the sync has fetched it again.
        for (int row = 0; row < OnlineRows; ++row) {
            TheSettings.OnlineNames[row] = "..........";
            TheSettings.OnlineLevels[row] = "0";
            TheSettings.OnlineScores[row] = ".";
            TheSettings.OnlineDates[row] = " ";
        }
        if (TheSettings.SoundFXOn == 1) Sound::Play("BlipSND", 0);
        loop.Open(OpenSyncAndVersionCheck(Fight));
    }
    void Resume(Loop& loop) override {
        if (ScoresShown) {
            loop.Close();
            return;
        }
        if (!SyncFetchedTopTen()) PutBackOnlineTable(Shown); // a failed sync keeps the table it had
        FlushKeys();
        if (TheControls.ControlMode > 0) {
            FlushJoy();
            Delay(SyncPadDelayMs);
        }
        ScoresShown = true;
        loop.Open(OpenHighscores(Fight));
    }
    void Draw() const override {}

  private:
    World& Fight;
    OnlineTable Shown;
    bool ScoresShown = false;
};
} // namespace

std::unique_ptr<Screen> OpenGameOverSync(World& world) { return std::make_unique<GameOverSync>(world); }

std::unique_ptr<Screen> OpenGameFromMenu(World& w, GameDriver driver) {
    if (KeepingPlayerGames()) {
        BeginKeptGame(w);
        driver.FrameShown = KeptGameFrameShown;
    }
    PrepareNewGame(w);
    driver.Sync = [&w](Loop& loop) { loop.Open(OpenGameOverSync(w)); };
    return std::make_unique<GameScreen>(w, std::move(driver));
}

void FinishGameFromMenu() {
    if (KeepingPlayerGames()) EndKeptGame();
}
