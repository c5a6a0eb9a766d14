// The SDL back end's controls for the display tests and the benchmark: reading the picture back, counting the draw
// calls a frame took, and timing the renderer. The game itself never includes this.
#pragma once
#include "platform/Display.h"
#include <cstdint>
#include <string>
#include <vector>

namespace SdlControl {

// The picture drawn so far this frame (collected drawing is drawn first), RGBA, top row first, in the drawable's
// real pixels. After Flip the buffer holds black until something new is drawn.
std::vector<std::uint8_t> ReadPixels(int& width, int& height);

// While on, each Flip keeps a copy of the picture it shows; LastShownFrame gives it (empty when none is kept).
void SetKeepBackBuffer(bool keep);
std::vector<std::uint8_t> LastShownFrame(int& width, int& height);

// The GL draw calls the last shown frame took (clears not counted), and the frames shown since the program began.
int DrawCallsLastFrame();
// Whether the open display's shader program is the one an earlier start kept, not one compiled now.
bool ProgramWasKept();
int FramesShown();
// The milliseconds of sleep asked for since the program began: pauses and the frame clock's waits.
long long MillisecondsSlept();

// The title the window carries, or will carry once it opens.
std::string WindowTitle();
bool PointerShown();

// Where strips go instead of the renderer while one is set: the picture, its frame, the blend mode and the
// vertices, in strip order. nullptr gives them back to the renderer.
using StripSink = void (*)(const Image& image, int frame, int blend, const StripVertex* vertices, int count);
void RedirectStrips(StripSink sink);

// Draws what is collected and waits until GL has finished drawing it.
void FinishDrawing();
// While off, drawing is still turned into vertices and batched but nothing reaches GL, so our own share of a frame
// can be timed on its own. Switching draws (on) or drops (off) what was collected so far. On by default.
void SetSubmitToGl(bool submit);
// Displays opened while this is on get a compatibility context rather than a core one, so the caller may draw
// with the old fixed-function calls between our own. Off by default.
void PreferCompatibilityContext(bool prefer);

// Closes the display and shuts SDL down; the next Graphics starts it again.
void Shutdown();

} // namespace SdlControl
