// The glow renderer: segments drawn as additively blended strips of the glow sprite, the glow widths, and the
// switch between the neon and the wireframe style with the segment drawer every routine branches through.
#pragma once
#include "platform/Display.h"
#include <cstdint>
#include <span>

// Slots of one vertex in a TPoly vertex array: x, y, z, normal x, y, z, the packed colour's bits, u, v.
constexpr int TPolyVertexSlots = 9;
constexpr int TPolyStripMode = 5;                 // a triangle strip
constexpr int TPolyPolygonMode = 6;               // a polygon (a triangle fan)
constexpr std::uint32_t OpaqueWhite = 0xFFFFFFFF; // -1 as a packed colour

struct TPoly {
    static constexpr int OpenGLPath = 0;
    static constexpr int Direct3D7Path = 1;

    static void Initialise();
    static void _Begin();
    static void _End();
    static int GetFrame(const Image* image, int frame, int mode, int close);
    // vertices: TPolyVertexSlots floats a vertex, the colour slot holding the packed colour's bits.
    static int Draw(const Image* image, int frame, std::span<const float> vertices, int mode, int close);
    static int Line(const Image* image, int frame, float x1, float y1, std::uint32_t colour1, float x2, float y2,
                    std::uint32_t colour2, float width, bool caps, bool across);

    // The selected path and the frame bound in the current batch (null when none).
    static int RendererPath;
    static const Image* BoundImage;
    static int BoundFrame;
};

// A packed colour stored in (and read back from) a float slot of a vertex array, bit for bit.
float ColourSlot(std::uint32_t colour);
std::uint32_t SlotColour(float slot);

// The glow's half-widths by the names every drawing routine reads. Named and kept because they are not a function of
// the glow setting alone: a run starts from a first-run table no glow amount gives (GlowWidth8 26, where the glow
// screen's formula gives 20 at glow 0) and keeps it until the glow is loaded or changed.
extern int GlowWidth1, GlowWidth2, GlowWidth3, GlowWidth4, GlowWidth5;
extern int GlowWidth6, GlowWidth7, GlowWidth8, GlowWidth9, GlowWidth10;

// The glow widths for a glow amount from -3 to 3.
void UpdateGlowWidths(int glowAmount);
void ResetGlowWidths();
// SOLIDBLEND for the wireframe style; LIGHTBLEND and a fresh glow batch for the neon style.
void ApplyDisplayStyle();
// The style's drawing state and the playfield's viewport, after a new display or a change of style.
void SetDrawingState();

// The display-style branch for one segment in playfield units (the playfield offset is added here): a glow strip
// of GlowDotImage at half-width glowWidth in the neon style, SetColor and a one-pixel line in the wireframe style.
void DrawSegment(float x1, float y1, float x2, float y2, std::uint32_t colour, int glowWidth, int red, int green,
                 int blue);
// The same for a segment already in screen units.
void DrawScreenSegment(float x1, float y1, float x2, float y2, std::uint32_t colour, int glowWidth, int red, int green,
                       int blue);
// After a routine's last segment: the wireframe colour back to white.
void FinishSegments();
