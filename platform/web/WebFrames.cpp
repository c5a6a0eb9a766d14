// The page's frames: the browser calls once a screen refresh (60, 120 or 144 times a second, or fewer on a slow
// machine) and the game makes the whole 1/60 s frames due since the last call, so that it runs at exactly 60 frames
// a second, as the server's real-time check expects.
#include "WebFrames.h"
#include "../FrameLoop.h"
#include "../FramePacing.h"
#include <emscripten.h>

namespace {
PageFrames Frames;
FrameMaker Maker = nullptr;

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

void Refresh() {
    double began = emscripten_get_now();
    int due = Frames.Due(began);
    if (due == 0) return;
    int made = 0;
    double drawnFrom = began;
    // A frame that pauses holds the ones still due: they come after the pause, as on the desktop.
    for (; due > 0 && !Frames.Held; --due, ++made) {
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

void HoldFrames(int ms) { Frames.Hold(emscripten_get_now(), ms); }
