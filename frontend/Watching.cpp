// A watched game: the game's screen fed with the script's input in place of the keyboard, a caption drawn over every
// frame saying whose game it is, the game stopped after the flip that reaches its end or finds the watcher's Escape,
// and the card it ends on.
#include "Watching.h"
#include "MainMenu.h"
#include "ScreenFrame.h"
#include "core/GameState.h"
#include "core/Playfield.h"
#include "fortress/World.h"
#include "game/Pages.h"
#include "game/replay/ReplaySetup.h"
#include "graphics/VectorFont.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Random.h"
#include "platform/Text.h"
#include "platform/Time.h"
#include <algorithm>

namespace {
constexpr int FramesPerSecond = 60;
constexpr int LeaveDelayMs = 100;

// The caption: two lines at the playfield's foot, drawn over whatever the game drew.
constexpr float CaptionScale = 0.6f, CaptionHintScale = 0.5f;
constexpr float CaptionTop = 706, CaptionHintTop = 736; // playfield units
constexpr PageColour CaptionColour = {0xFFFF4080, 255, 64, 128};

// The card, in character cells of 28 units.
constexpr float CardTitleRow = 3, CardTitleScale = 2.5f;
constexpr float CardEndingRow = 8.5f;
constexpr float CardLabelColumn = 9, CardValueColumn = 17, CardFirstRow = 12, CardRowStep = 2.5f;
constexpr float CardLeaveTop = 700; // playfield units, as the caption

std::string ShownName(const std::string& whose) { return whose.substr(0, WatchNameShown); }

// Centred across the playfield at any scale (the font's own centring is for one scale only).
void DrawCentred(const std::string& text, float top, PageColour colour, float scale, bool bold = false) {
    float width = static_cast<float>(text.size()) * TextCell * scale;
    float left = (FieldWidth - width) / 2;
    if (bold)
        DrawVectorTextBold(text, left, top, colour.Argb, 0, scale, scale, 1, colour.Red, colour.Green, colour.Blue);
    else
        DrawVectorText(text, left, top, colour.Argb, 0, scale, scale, 1, colour.Red, colour.Green, colour.Blue);
}

std::string LengthText(int frames) {
    int seconds = frames / FramesPerSecond;
    std::string secondsText = IntToText(seconds % 60);
    if (secondsText.size() < 2) secondsText.insert(0, "0");
    return IntToText(seconds / 60) + ":" + secondsText;
}

const char* EndingText(WatchEnding how) {
    switch (how) {
    case WatchEnding::GameOver: return "the last ship was lost";
    case WatchEnding::ScriptEnded: return "the recording ends here";
    case WatchEnding::GameLeft:
    case WatchEnding::Escape: break;
    }
    return "the player left the game";
}

// Clears the frame and draws the card on it; the flip is the caller's. Draws no random number, so the card over a
// game's last frame leaves the game as it ended.
void DrawWatchCard(const std::string& whose, const WatchOutcome& outcome) {
    Cls();
    DrawBackdrop();
    DrawCentred("watched game", CardTitleRow * TextCell, PageGreen, CardTitleScale, true);
    DrawCentred(EndingText(outcome.How), CardEndingRow * TextCell, PageCyan, PageSmallText);
    const std::string rows[][2] = {{"player", ShownName(whose)},
                                   {"score", ScoreText(outcome.Score)},
                                   {"level", LevelText(outcome.Level)},
                                   {"length", LengthText(outcome.Frames)}};
    float row = CardFirstRow;
    for (const auto& [label, value] : rows) {
        DrawPageText(label, CardLabelColumn, row, PageBlue, PageFullText);
        // A long file name is drawn smaller, to stay on the card.
        float room = FieldWidth / TextCell - CardValueColumn - 1;
        float scale = std::min(PageFullText, room / static_cast<float>(std::max<std::size_t>(value.size(), 1)));
        DrawVectorText(value, CardValueColumn * TextCell, row * TextCell, PageYellow.Argb, 0, scale, scale, 1,
                       PageYellow.Red, PageYellow.Green, PageYellow.Blue);
        row += CardRowStep;
    }
    DrawCentred("press any key to return", CardLeaveTop, PageWhite, PageSmallText);
}

void DrawCaption(const World& w, const std::string& whose) {
    DrawCentred("watching " + ShownName(whose) + "   score " + IntToText(w.Score), CaptionTop, CaptionColour,
                CaptionScale);
    DrawCentred("press escape to stop watching", CaptionHintTop, PageCyan, CaptionHintScale);
}

// Over every frame of the watched game, before it is shown: the caption, or the card in place of the recorded
// player's game-over page (the last ship is gone once the count drops below zero, and that page is all this frame
// holds).
void OverWatchedFrame(const World& w, const std::string& whose) {
    if (w.ShipsLeft >= 0) {
        DrawCaption(w, whose);
        return;
    }
    WatchOutcome ending{WatchEnding::GameOver, InputFramesSinceStart() + 1, w.Score, w.Level};
    DrawWatchCard(whose, ending);
}

// The watch: its first step sets the script's game up and opens the game's screen over it; once that closes, the
// card, if the watcher wants it.
class WatchScreen : public Screen {
  public:
    WatchScreen(World& w, const ReplayScript& script, const std::string& whose, WatchStopped stopped)
        : Fight(w), Script(script), Whose(whose), Stopped(std::move(stopped)) {}
    void Step(Loop& loop) override {
        if (!Started) {
            Started = true;
            StartGame(loop);
            return;
        }
        // The card: a key read after each of its flips takes it away; unattended, it goes after its time.
        ScanKeys();
        if ((TheControls.KeyPressed > 0 && TheControls.KeyPressed < LastKeyCode) || CardShown == WatchCardFrames) {
            Delay(LeaveDelayMs);
            FlushKeys();
            loop.Close();
            return;
        }
        CardShown += 1;
    }
    // The game's screen has closed: stopped here, or left through its exit prompt.
    void Resume(Loop& loop) override {
        FinishGameFromMenu();
        Outcome.Frames = InputFramesSinceStart();
        Outcome.Score = Fight.Score;
        Outcome.Level = Fight.Level;
        StopInputPlayback(); // the card reads the keyboard
        if (!Stopped(Outcome)) {
            loop.Close();
            return;
        }
        FlushKeys();
        CardShown = 1;
    }
    void Draw() const override { DrawWatchCard(Whose, Outcome); }

  private:
    void StartGame(Loop& loop) {
        ApplyReplaySetup(Script);
        StartInputPlayback(Script.Events);
        SeedRnd(Script.Seed);
        GameDriver driver;
        driver.Overlay = [this] { OverWatchedFrame(Fight, Whose); };
        driver.Stop = [this] { return StopHere(); };
        Outcome.How = WatchEnding::GameLeft; // unless a check below stops the game first
        loop.Open(OpenGameFromMenu(Fight, driver));
    }
    // Where the replay tool stops: the game-over page's first frame, or the script's end; or the watcher's Escape.
    bool StopHere() {
        if (PlaybackEscapePressed())
            Outcome.How = WatchEnding::Escape;
        else if (Fight.ShipsLeft < 0)
            Outcome.How = WatchEnding::GameOver;
        else if (InputFramesSinceStart() >= Script.EndFrame)
            Outcome.How = WatchEnding::ScriptEnded;
        else
            return false;
        return true;
    }
    World& Fight; // the watcher's: the watched game plays in it
    ReplayScript Script;
    std::string Whose;
    WatchStopped Stopped;
    bool Started = false;
    WatchOutcome Outcome;
    int CardShown = 0; // the card's frames shown
};
} // namespace

std::unique_ptr<Screen> OpenWatch(World& w, const ReplayScript& script, const std::string& whose,
                                  WatchStopped stopped) {
    return std::make_unique<WatchScreen>(w, script, whose, std::move(stopped));
}

std::string WatchEndLine(const World& w, const WatchOutcome& outcome) {
    const char* ending = outcome.How == WatchEnding::GameOver      ? "game-over"
                         : outcome.How == WatchEnding::ScriptEnded ? "script-ended"
                                                                   : "game-left";
    return ReplayEndLine(w, ending, outcome.Frames);
}
