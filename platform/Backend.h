// The narrow seam between the platform's common code and the one back end linked in (SDL2 + OpenGL, or headless).
// Only platform/ includes this.
#pragma once
#include "Display.h"
#include <cstdint>
#include <string>

// Drawing state handed with every primitive.
struct DrawState {
    int Red = 255, Green = 255, Blue = 255;
    int Blend = SOLIDBLEND;
    int ViewX = 0, ViewY = 0, ViewWidth = 0, ViewHeight = 0;
    float ScaleX = 1, ScaleY = 1;
};

namespace Backend {

// The display. Open returns false with a one-line reason when no display can be had.
bool OpenDisplay(int width, int height, bool fullScreen, std::string& error);
bool DisplayOpen();
int DisplayGeneration(); // changes every time a display opens (textures belong to one)
void SetTitle(const char* title);
void ShowPointer(bool show);
// True when presenting in step with the vertical blank keeps exactly 60 frames a second.
bool VsyncGives60Hz();
// True where the machine calls for each frame on its own schedule at 60 a second (a browser's page, which cannot
// block): Flip never waits for the next frame there, and Sleep holds the frames that follow rather than the program.
bool PacesFrames();
void Present(bool waitForVblank);

void Clear(const DrawState& state); // the viewport to black
void Line(const DrawState& state, float x1, float y1, float x2, float y2, bool lastPixel);
void Point(const DrawState& state, float x, float y);
void Picture(const DrawState& state, Image& image, int frame, float x, float y);
void Strip(const DrawState& state, Image& image, int frame, const StripVertex* vertices, int count);

// Input: delivers pending window events to the common code (PlatformKeyEvent, PlatformCloseRequested).
void PumpEvents();
int PadCount();
// Which pad is in use: 0 when none, else a number that changes whenever another pad takes over.
int PadIdentity();
bool PadRead(int port, float& x, float& y, std::uint32_t& buttons);

// Time.
std::uint32_t Ticks();
void Sleep(int ms);

// Ending the program. The real back end exits the process; the headless one unwinds to the test.
[[noreturn]] void Exit(int status);
// A fatal message for a player who may have no terminal to read stderr in: a message box where the back end has a
// screen to show it on.
void ShowFatalMessage(const char* message);

} // namespace Backend

// Called by the back ends.
void PlatformKeyEvent(int keyCode, bool down);
void PlatformCloseRequested();
void PlatformFocusLost();
void PlatformResetInput();
// The common code's input pump: the back end's events, then a played-back game's events that are due.
void PumpInput();
