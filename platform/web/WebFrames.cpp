// The page's frames: the browser calls once a screen refresh (60, 120 or 144 times a second, or fewer on a slow
// machine) and the game makes the whole 1/60 s frames due since the last call, so that it runs at exactly 60 frames
// a second, as the server's real-time check expects.
#include "../FrameLoop.h"
#include <emscripten.h>

namespace {
constexpr double FrameMs = 1000.0 / 60;
// A slow machine (software GL) shows fewer frames than the game makes: the frames behind are made without drawing
// (drawing changes nothing), up to this many at once, so the game keeps its pace down to 3 shown frames a second;
// after a longer stall (a tab in the background) the game makes these and goes on rather than racing to catch up.
constexpr double MostBehindMs = 20 * FrameMs;

FrameMaker Maker = nullptr;
double Behind = 0;
double LastCall = -1;

// The page's figures for the benchmark: when the first frame was shown (ms since the page began to load), how many
// have been shown since and how many the game made, the milliseconds the calls that made them took, and of those
// the shown frames' own (stepped and drawn, as the desktop makes every frame).
EM_JS(void, NoteShownFrame, (int made, double busyMs, double drawnMs), {
    var figures = Module.kestrovarFrames ||
                  (Module.kestrovarFrames = {first : performance.now(), shown : 0, made : 0, busyMs : 0, drawnMs : 0});
    figures.shown += 1;
    figures.made += made;
    figures.busyMs += busyMs;
    figures.drawnMs += drawnMs;
});

int FramesDue(double now) {
    if (LastCall < 0) LastCall = now - FrameMs;
    Behind += now - LastCall;
    LastCall = now;
    if (Behind > MostBehindMs) Behind = MostBehindMs;
    int due = 0;
    for (; Behind >= FrameMs; Behind -= FrameMs) ++due;
    return due;
}

void Refresh() {
    double began = emscripten_get_now();
    int due = FramesDue(began);
    if (due == 0) return;
    int made = due;
    double drawnFrom = began;
    for (; due > 0; --due) {
        if (due == 1) drawnFrom = emscripten_get_now();
        if (!Maker(due == 1)) {
            emscripten_cancel_main_loop();
            return;
        }
    }
    double now = emscripten_get_now();
    NoteShownFrame(made, now - began, now - drawnFrom);
}
} // namespace

void MakeFramesAtSixtyHertz(FrameMaker frame) {
    Maker = frame;
    emscripten_set_main_loop(Refresh, 0, false);
}
