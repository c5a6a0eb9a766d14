// The glow renderer: each segment becomes an 8-vertex strip across the glow sprite's centre column, handed to the
// display as one textured strip; and the glow widths that follow the player's glow amount.
#include "TPoly.h"
#include "Art.h"
#include "Images.h"
#include "core/Settings.h"
#include "platform/Random.h"
#include <array>
#include <cstring>
#include <vector>

int TPoly::RendererPath = TPoly::OpenGLPath;
const Image* TPoly::BoundImage = nullptr;
int TPoly::BoundFrame = 0;

// A first run keeps these until the glow screen recomputes them; the rings start wider than their formula.
int GlowWidth1 = 10, GlowWidth2 = 14, GlowWidth3 = 16, GlowWidth4 = 18, GlowWidth5 = 20;
int GlowWidth6 = 21, GlowWidth7 = 24, GlowWidth8 = 26, GlowWidth9 = 28, GlowWidth10 = 32;

namespace {
constexpr int FewestSlots = 6;
constexpr int CappedVertices = 8;
constexpr int PlainVertices = 4;
// Along the body the strip samples just either side of the sprite's centre column; over the caps it runs out to
// the sprite's edge, so both ends fade out like the sides.
constexpr float BodyStartU = 0.4985f;
constexpr float BodyEndU = 0.5015f;
constexpr float EdgeU = 1.0f;
constexpr float NearV = 0.0f;
constexpr float FarV = 1.0f;

// The primitive still open: vertices drawn with close 0 join the next Draw's until one closes it.
std::vector<StripVertex> OpenVertices;
int OpenMode = TPolyStripMode;

void CloseOpenPrimitive() {
    if (OpenVertices.empty()) return;
    if (OpenMode == TPolyPolygonMode) {
        // The display draws strips only: a convex polygon's corners taken alternately from both ends of the list
        // cover the same area with the same number of triangles as its fan.
        std::vector<StripVertex> zigzag;
        zigzag.reserve(OpenVertices.size());
        std::size_t front = 0, back = OpenVertices.size() - 1;
        while (front <= back) {
            zigzag.push_back(OpenVertices[front++]);
            if (front > back) break;
            zigzag.push_back(OpenVertices[back--]);
        }
        OpenVertices.swap(zigzag);
    }
    DrawStrip(TPoly::BoundImage, TPoly::BoundFrame, OpenVertices.data(), static_cast<int>(OpenVertices.size()));
    OpenVertices.clear();
}

void PutVertex(float* slots, int index, float x, float y, std::uint32_t colour, float u, float v) {
    float* vertex = slots + index * TPolyVertexSlots;
    vertex[0] = x;
    vertex[1] = y;
    vertex[2] = 0; // z
    vertex[3] = 0; // the normal faces the viewer
    vertex[4] = 0;
    vertex[5] = 1;
    vertex[6] = ColourSlot(colour);
    vertex[7] = u;
    vertex[8] = v;
}
} // namespace

// Copied bit for bit rather than std::bit_cast, which the browser build's C++ library does not have.
float ColourSlot(std::uint32_t colour) {
    static_assert(sizeof(float) == sizeof colour);
    float slot;
    std::memcpy(&slot, &colour, sizeof slot);
    return slot;
}
std::uint32_t SlotColour(float slot) {
    std::uint32_t colour;
    std::memcpy(&colour, &slot, sizeof colour);
    return colour;
}

void TPoly::Initialise() {
    // There is one renderer, OpenGL behind the display; vertex colours always modulate the sprite there.
    RendererPath = OpenGLPath;
}

void TPoly::_Begin() {
    CloseOpenPrimitive();
    BoundImage = nullptr;
    BoundFrame = 0;
}

void TPoly::_End() {
    CloseOpenPrimitive();
    BoundImage = nullptr;
    BoundFrame = 0;
}

int TPoly::GetFrame(const Image* image, int frame, int mode, int /*close*/) {
    // Drawing with close 0 leaves its primitive open for the next Draw of the same frame to carry on; a Draw with
    // close 1 has already closed its own, so the next one starts afresh.
    bool bound = BoundImage != nullptr && BoundImage == image && BoundFrame == frame;
    if (!bound) {
        CloseOpenPrimitive();
        BoundImage = image;
        BoundFrame = frame;
    }
    if (OpenVertices.empty()) OpenMode = mode;
    return 0;
}

int TPoly::Draw(const Image* image, int frame, std::span<const float> vertices, int mode, int close) {
    if (vertices.size() < FewestSlots || vertices.size() % 2 != 0) return 0;
    GetFrame(image, frame, mode, close);
    std::size_t count = vertices.size() / TPolyVertexSlots;
    for (std::size_t i = 0; i < count; ++i) {
        const float* vertex = vertices.data() + i * TPolyVertexSlots;
        OpenVertices.push_back({vertex[0], vertex[1], vertex[7], vertex[8], SlotColour(vertex[6])});
    }
    if (close == 1) CloseOpenPrimitive();
    return 0;
}

int TPoly::Line(const Image* image, int frame, float x1, float y1, std::uint32_t colour1, float x2, float y2,
                std::uint32_t colour2, float width, bool caps, bool across) {
    float dx = x1 - x2;
    float dy = y1 - y2;
    float length = Sqr(dx * dx + dy * dy);
    // A segment whose ends meet has no direction of its own: any will do, and its two caps make a round dot.
    float ex = width;
    float ey = 0;
    if (length > 0) {
        ex = width * dx / length;
        ey = width * dy / length;
    }
    float nx = -ey;
    float ny = ex;
    std::array<float, CappedVertices * TPolyVertexSlots> slots;
    float* v = slots.data();
    if (caps) {
        PutVertex(v, 0, x1 + ex + nx, y1 + ey + ny, colour1, EdgeU, NearV);
        PutVertex(v, 1, x1 + ex - nx, y1 + ey - ny, colour1, EdgeU, FarV);
        PutVertex(v, 2, x1 + nx, y1 + ny, colour1, BodyStartU, NearV);
        PutVertex(v, 3, x1 - nx, y1 - ny, colour1, BodyStartU, FarV);
        PutVertex(v, 4, x2 + nx, y2 + ny, colour2, BodyEndU, NearV);
        PutVertex(v, 5, x2 - nx, y2 - ny, colour2, BodyEndU, FarV);
        PutVertex(v, 6, x2 - ex + nx, y2 - ey + ny, colour2, EdgeU, NearV);
        PutVertex(v, 7, x2 - ex - nx, y2 - ey - ny, colour2, EdgeU, FarV);
        return Draw(image, frame, std::span<const float>(slots.data(), CappedVertices * TPolyVertexSlots),
                    TPolyStripMode, 1);
    }
    // Without caps the whole sprite is stretched over the quad, u across the strip (across) or along it.
    float alongU = across ? 0.0f : 1.0f;
    float acrossU = across ? 1.0f : 0.0f;
    PutVertex(v, 0, x1 + nx, y1 + ny, colour1, 0, 0);
    PutVertex(v, 1, x1 - nx, y1 - ny, colour1, acrossU, 1 - acrossU);
    PutVertex(v, 2, x2 + nx, y2 + ny, colour2, alongU, 1 - alongU);
    PutVertex(v, 3, x2 - nx, y2 - ny, colour2, 1, 1);
    return Draw(image, frame, std::span<const float>(slots.data(), PlainVertices * TPolyVertexSlots), TPolyStripMode,
                1);
}

void UpdateGlowWidths(int g) {
    GlowWidth1 = g + 10;
    GlowWidth2 = g + 14;
    GlowWidth3 = g + 16;
    GlowWidth4 = 2 * g + 18;
    GlowWidth5 = 2 * g + 20;
    GlowWidth6 = 2 * g + 21;
    GlowWidth7 = 3 * g + 24;
    GlowWidth8 = 3 * g + 20;
    GlowWidth9 = 3 * g + 28;
    GlowWidth10 = 3 * g + 32;
}

void ResetGlowWidths() {
    GlowWidth1 = 10;
    GlowWidth2 = 14;
    GlowWidth3 = 16;
    GlowWidth4 = 18;
    GlowWidth5 = 20;
    GlowWidth6 = 21;
    GlowWidth7 = 24;
    GlowWidth8 = 26;
    GlowWidth9 = 28;
    GlowWidth10 = 32;
}

void DrawScreenSegment(float x1, float y1, float x2, float y2, std::uint32_t colour, int glowWidth, int red, int green,
                       int blue) {
    if (TheSettings.NeonMode == 1)
        TPoly::Line(TheArt.GlowDotImage, 0, x1, y1, colour, x2, y2, colour, static_cast<float>(glowWidth), true, false);
    if (TheSettings.NeonMode == 0) {
        SetColor(red, green, blue);
        DrawLine(x1, y1, x2, y2, 1);
    }
}

void DrawSegment(float x1, float y1, float x2, float y2, std::uint32_t colour, int glowWidth, int red, int green,
                 int blue) {
    float offsetX = static_cast<float>(TheSettings.PlayfieldOffsetX);
    float offsetY = static_cast<float>(TheSettings.PlayfieldOffsetY);
    DrawScreenSegment(x1 + offsetX, y1 + offsetY, x2 + offsetX, y2 + offsetY, colour, glowWidth, red, green, blue);
}

void FinishSegments() {
    if (TheSettings.NeonMode == 0) SetColor(255, 255, 255);
}
