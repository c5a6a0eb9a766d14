// The display's common side: the drawing state, frame pacing and the built-in pictures, over the back end.
#include "Display.h"
#include "Backend.h"
#include "FramePacing.h"
#include "ImageDecode.h"
#include "Resources.h"
#include "System.h"
#include "Time.h"
#include <cstdio>
#include <deque>
#include <string>
#ifndef __EMSCRIPTEN__
#include <future>
#include <map>
#endif

namespace {
DrawState State;
FrameClock Clock;
bool FullScreenMode = false;
int DisplayWidth = 0;
int DisplayHeight = 0;
constexpr int GameRefreshRate = 60;
int Flips = 0;

// Images live as long as the program: the game loads a handful at start-up and keeps them.
std::deque<Image> Images;
constexpr int WholePicture = 0;
#ifndef __EMSCRIPTEN__
// Pictures being decoded ahead on threads of their own, each taken over by its first draw. A picture that does not
// decode comes back with no size.
std::map<const Image*, std::future<DecodedPicture>> DecodingAhead;
#endif

Image* MakeImage(const char* resource, int cellWidth, int cellHeight, int firstCell, int cellCount, int flags) {
    ResourceBytes bytes = FindResource(resource);
    if (!bytes) return nullptr;
    DecodedPicture picture;
    if (!PictureSize(bytes.Data, bytes.Size, picture.Width, picture.Height)) return nullptr;
    if (cellWidth == WholePicture) {
        cellWidth = picture.Width;
        cellHeight = picture.Height;
    }
    if (cellWidth <= 0 || cellHeight <= 0 || cellWidth > picture.Width || cellHeight > picture.Height) return nullptr;
    int across = picture.Width / cellWidth;
    int cells = across * (picture.Height / cellHeight);
    if (firstCell < 0 || cellCount < 1 || firstCell + cellCount > cells) return nullptr;
    Image& image = Images.emplace_back();
    image.Width = cellWidth;
    image.Height = cellHeight;
    image.SheetWidth = picture.Width;
    image.SheetHeight = picture.Height;
    image.FirstCell = firstCell;
    image.FrameCount = cellCount;
    image.Filtered = flags == -1 || (flags & 4) != 0;
    image.Stored = bytes.Data;
    image.StoredSize = bytes.Size;
    return &image;
}
} // namespace

void Graphics(int width, int height, int fullscreen, int hertz, int /*flags*/) {
    std::string error;
    if (!TryGraphics(width, height, fullscreen, hertz, error)) {
        std::string message = "Unable to open the display: " + error;
        RuntimeError(message.c_str());
    }
}

bool TryGraphics(int width, int height, int fullscreen, int hertz, std::string& why) {
    if (!Backend::OpenDisplay(width, height, fullscreen != 0, why)) return false;
    DisplayWidth = width;
    DisplayHeight = height;
    FullScreenMode = fullscreen != 0;
    State = DrawState{};
    State.ViewWidth = width;
    State.ViewHeight = height;
    Clock.Reset(MilliSecs(), hertz > 0 ? hertz : GameRefreshRate);
    return true;
}

bool GraphicsOpen() { return Backend::DisplayOpen(); }
int GraphicsWidth() { return DisplayWidth; }
int GraphicsHeight() { return DisplayHeight; }
void SetWindowTitle(const char* title) { Backend::SetTitle(title); }
void HideMouse() { Backend::ShowPointer(false); }

void Cls() {
    if (!Backend::DisplayOpen()) return;
    Backend::Clear(State);
}

void Flip(int sync) {
    if (!Backend::DisplayOpen()) return;
    PumpInput();
    bool vblank = sync != 0;
    if (sync == -1) {
        // Full screen trusts the vertical blank only where it really runs at 60 Hz; everywhere else the frame
        // clock paces, so a 144 Hz monitor doesn't run the game 2.4 times too fast.
        vblank = FullScreenMode && Backend::VsyncGives60Hz();
        if (!vblank && !Backend::PacesFrames()) {
            int wait = Clock.Advance(MilliSecs());
            if (wait > 0) Backend::Sleep(wait);
        }
    }
    Backend::Present(vblank);
    ++Flips;
}

int FlipsShown() { return Flips; }

void SetColor(int r, int g, int b) {
    State.Red = r & 255;
    State.Green = g & 255;
    State.Blue = b & 255;
}

void SetBlend(int mode) { State.Blend = mode; }
int GetBlend() { return State.Blend; }

void SetScale(float sx, float sy) {
    State.ScaleX = sx;
    State.ScaleY = sy;
}

void SetViewport(int x, int y, int width, int height) {
    State.ViewX = x;
    State.ViewY = y;
    State.ViewWidth = width;
    State.ViewHeight = height;
}

void DrawLine(float x1, float y1, float x2, float y2, int last) {
    if (!Backend::DisplayOpen()) return;
    Backend::Line(State, x1, y1, x2, y2, last != 0);
}

void Plot(float x, float y) {
    if (!Backend::DisplayOpen()) return;
    Backend::Point(State, x, y);
}

Image* LoadImage(const char* resource, int flags) {
    return MakeImage(resource, WholePicture, WholePicture, 0, 1, flags);
}

Image* LoadAnimImage(const char* resource, int cellWidth, int cellHeight, int firstCell, int cellCount, int flags) {
    return MakeImage(resource, cellWidth, cellHeight, firstCell, cellCount, flags);
}

void MidHandleImage(Image* image) {
    if (!image) return;
    image->HandleX = image->Width / 2.0f;
    image->HandleY = image->Height / 2.0f;
}

void DecodeImageAhead(Image& image) {
#ifndef __EMSCRIPTEN__
    if (!image.Rgba.empty() || !image.Stored || DecodingAhead.count(&image) != 0) return;
    const unsigned char* stored = image.Stored;
    std::size_t size = image.StoredSize;
    DecodingAhead.emplace(&image, std::async(std::launch::async, [stored, size] {
        DecodedPicture picture;
        if (!DecodePicture(stored, size, picture)) picture = DecodedPicture{};
        return picture;
    }));
#else
    (void)image; // the browser's decoder runs on the page's one thread: the first draw decodes
#endif
}

void DecodeImage(Image& image) {
    if (!image.Rgba.empty() || !image.Stored) return;
    DecodedPicture picture;
    bool decoded = false;
#ifndef __EMSCRIPTEN__
    auto ahead = DecodingAhead.find(&image);
    if (ahead != DecodingAhead.end()) {
        picture = ahead->second.get();
        DecodingAhead.erase(ahead);
        decoded = picture.Width > 0;
    } else
#endif
        decoded = DecodePicture(image.Stored, image.StoredSize, picture);
    // A picture whose body will not decode keeps no texels, and its texture is never made.
    if (decoded && picture.Width == image.SheetWidth && picture.Height == image.SheetHeight)
        image.Rgba = std::move(picture.Rgba);
    image.Stored = nullptr;
}

void DrawImage(const Image* image, float x, float y, int frame) {
    if (!image || !Backend::DisplayOpen() || frame < 0 || frame >= image->FrameCount) return;
    DecodeImage(const_cast<Image&>(*image));
    Backend::Picture(State, const_cast<Image&>(*image), frame, x, y);
}

void DrawStrip(const Image* image, int frame, const StripVertex* vertices, int count) {
    if (!image || !Backend::DisplayOpen() || count < 3 || frame < 0 || frame >= image->FrameCount) return;
    DecodeImage(const_cast<Image&>(*image));
    Backend::Strip(State, const_cast<Image&>(*image), frame, vertices, count);
}

void ResetDisplayState() {
    State = DrawState{};
    Clock = FrameClock{};
    FullScreenMode = false;
    DisplayWidth = DisplayHeight = 0;
    Flips = 0;
}
