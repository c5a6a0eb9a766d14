// A watched game: the game's loop fed with the script's input in place of the keyboard, a caption drawn over every
// frame saying whose game it is, the loop stopped after the flip that reaches its end or finds the watcher's Escape,
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

struct Watch {
    std::string Whose;
    int EndFrame = 0;
    const World* Fight = nullptr;
};
Watch Current;

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

void DrawCaption() {
    DrawCentred("watching " + ShownName(Current.Whose) + "   score " + IntToText(Current.Fight->Score), CaptionTop,
                CaptionColour, CaptionScale);
    DrawCentred("press escape to stop watching", CaptionHintTop, PageCyan, CaptionHintScale);
}

// Over every frame of the watched game, before it is shown: the caption, or the card in place of the recorded
// player's game-over page (the last ship is gone once the count drops below zero, and that page is all this frame
// holds).
void OverWatchedFrame() {
    const World& w = *Current.Fight;
    if (w.ShipsLeft >= 0) {
        DrawCaption();
        return;
    }
    WatchOutcome ending{WatchEnding::GameOver, InputFramesSinceStart() + 1, w.Score, w.Level};
    DrawWatchCard(Current.Whose, ending);
}

} // namespace

void StartWatch(WatchRun& run, World& w, const ReplayScript& script, const std::string& whose) {
    ApplyReplaySetup(script);
    Current = Watch{whose, script.EndFrame, &w};
    StartInputPlayback(script.Events);
    SeedRnd(script.Seed);
    run = WatchRun{};
    run.Fight = &w;
    GameDriver driver;
    driver.Overlay = OverWatchedFrame;
    run.Frames.Open(OpenGameFromMenu(w, driver));
    run.Outcome.How = WatchEnding::GameLeft; // unless a check below stops the game first
}

bool StepWatch(WatchRun& run) {
    if (run.Ended) return false;
    bool more = RunFrame(run.Frames);
    if (more && PlaybackEscapePressed()) {
        run.Outcome.How = WatchEnding::Escape;
        more = false;
    } else if (more && (run.Fight->ShipsLeft < 0 || InputFramesSinceStart() >= Current.EndFrame)) {
        // Where the replay tool stops: the game-over page's first frame, or the script's end.
        run.Outcome.How = run.Fight->ShipsLeft < 0 ? WatchEnding::GameOver : WatchEnding::ScriptEnded;
        more = false;
    }
    if (more) return true;
    FinishGameFromMenu();
    run.Outcome.Frames = InputFramesSinceStart();
    run.Outcome.Score = run.Fight->Score;
    run.Outcome.Level = run.Fight->Level;
    run.Ended = true;
    return false;
}

WatchOutcome WatchGame(World& w, const ReplayScript& script, const std::string& whose) {
    WatchRun run;
    StartWatch(run, w, script, whose);
    while (StepWatch(run)) {
    }
    return run.Outcome;
}

void ShowWatchCard(const std::string& whose, const WatchOutcome& outcome) {
    FlushKeys();
    for (int frame = 0; frame < WatchCardFrames; ++frame) {
        DrawWatchCard(whose, outcome);
        EndScreenFrame();
        ScanKeys();
        if (TheControls.KeyPressed > 0 && TheControls.KeyPressed < LastKeyCode) break;
    }
    Delay(LeaveDelayMs);
    FlushKeys();
}
