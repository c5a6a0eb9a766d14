// Display and drawing: the window or full screen, the drawing state and the few primitives the game draws with.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Blend modes, numbered as the game stores them.
constexpr int MASKBLEND = 1;
constexpr int SOLIDBLEND = 2;
constexpr int ALPHABLEND = 3;
constexpr int LIGHTBLEND = 4; // additive: source colour (weighted by its alpha) added to the screen
constexpr int SHADEBLEND = 5;

// A decoded built-in picture: one or more frames of equal size cut from one RGBA sheet.
struct Image {
    int Width = 0; // one frame
    int Height = 0;
    int SheetWidth = 0; // the whole picture
    int SheetHeight = 0;
    int FirstCell = 0;
    int FrameCount = 1;
    float HandleX = 0;
    float HandleY = 0;
    bool Filtered = true;
    std::vector<std::uint8_t> Rgba;        // SheetWidth x SheetHeight, 4 bytes a texel, top row first (see DecodeImage)
    const unsigned char* Stored = nullptr; // the built-in picture, decoded into Rgba when first drawn
    std::size_t StoredSize = 0;
    unsigned Texture = 0;       // the back end's texture, made on first draw
    int TextureGeneration = -1; // the display the texture belongs to
};

// One vertex of a textured strip: position in screen pixels, texture position within the frame (0..1), and a
// packed 0xAARRGGBB colour that modulates the texel.
struct StripVertex {
    float X, Y;
    float U, V;
    std::uint32_t Argb;
};

// Opens the display; opening again replaces the previous one. The game always passes hertz 60 and flags 0.
void Graphics(int width, int height, int fullscreen, int hertz, int flags = 0);
// Opens the display as Graphics does, but a mode that can't be had is not the end of the program: false with the
// reason in `why`, and no display open until one opens.
bool TryGraphics(int width, int height, int fullscreen, int hertz, std::string& why);
bool GraphicsOpen();
int GraphicsWidth();
int GraphicsHeight();
void SetWindowTitle(const char* title);
void HideMouse();

void Cls();
// Shows the frame. -1: paced to 60 frames per second by the frame clock (vertical blank only where it is known to
// run at 60 Hz).
void Flip(int sync);
// Frames shown since the program began.
int FlipsShown();

void SetColor(int r, int g, int b);
void SetBlend(int mode);
int GetBlend();
void SetScale(float sx, float sy);
void SetViewport(int x, int y, int width, int height);

void DrawLine(float x1, float y1, float x2, float y2, int last = 1);
void Plot(float x, float y);

// Built-in pictures by stored name ("res\\glowing_dot6.png"); nullptr when missing or undecodable.
Image* LoadImage(const char* resource, int flags = -1);
Image* LoadAnimImage(const char* resource, int cellWidth, int cellHeight, int firstCell, int cellCount, int flags = -1);
void MidHandleImage(Image* image);
// A picture is only measured when loaded (a checker that draws nothing never decodes one): its texels are decoded
// here, on its first draw, or by a reader that wants them before. Nothing happens once they are.
void DecodeImage(Image& image);
// A picture the first frame draws: its texels decoded from now on beside the caller (start-up opens the display
// meanwhile), taken over by DecodeImage, which waits for the rest if need be. The same texels either way.
void DecodeImageAhead(Image& image);
void DrawImage(const Image* image, float x, float y, int frame = 0);

// A textured triangle strip in the current blend mode: vertices in strip order, texture positions within the frame.
void DrawStrip(const Image* image, int frame, const StripVertex* vertices, int count);
