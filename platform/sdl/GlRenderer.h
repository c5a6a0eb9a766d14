// The OpenGL drawing behind the SDL back end: one shader program, one vertex and one index buffer, primitives
// collected into batches that share texture, blend, clip and kind, drawn in the order they were asked for.
#pragma once
#include "../Backend.h"
#include <cstdint>
#include <string>
#include <vector>

class GlRenderer {
  public:
    // Needs the context current. The screen is width x height drawing pixels; false with a reason when the
    // context can't run our program.
    bool Create(int width, int height, bool coreProfile, std::string& error);
    // Forgets the GL objects without touching GL: the context they lived in is gone or going.
    void Abandon();
    // The size of the window's drawable in real pixels, which may differ from the drawing size: the picture is
    // drawn as large as fits, its shape kept, centred between black margins.
    void SetDrawableSize(int width, int height);

    void Clear(const DrawState& state);
    void Line(const DrawState& state, float x1, float y1, float x2, float y2, bool lastPixel);
    void Point(const DrawState& state, float x, float y);
    void Picture(const DrawState& state, Image& image, int frame, float x, float y, int generation);
    void Strip(const DrawState& state, Image& image, int frame, const StripVertex* vertices, int count, int generation);

    // Draws what is collected.
    void Flush();
    // Draws what is collected and waits until GL has finished drawing it.
    void Finish();
    // While off, primitives are still turned into vertices and batched, but batches and clears never reach GL.
    void SetSubmitting(bool submit);
    // The whole drawable to black, margins included.
    void ClearWhole();
    // The drawable as drawn so far, RGBA, top row first.
    std::vector<std::uint8_t> ReadPixels(int& width, int& height);
    // GL draw calls issued since the last call.
    int TakeDrawCalls();
    // Whether the program came from the one kept by an earlier start rather than from compiling.
    bool ProgramWasKept() const { return ProgramKept; }

  private:
    struct Vertex {
        float X, Y, U, V;
        std::uint8_t R, G, B, A;
    };
    struct Clip {
        int X = 0, Y = 0, Width = 0, Height = 0;
        bool operator==(const Clip&) const = default;
    };
    struct BatchKey {
        unsigned Kind = 0; // GL_LINES or GL_TRIANGLES
        unsigned Texture = 0;
        int Blend = SOLIDBLEND;
        Clip Scissor;
        bool operator==(const BatchKey&) const = default;
    };
    // The frame's rectangle within its sheet, in texture coordinates.
    struct FrameArea {
        float U0, V0, U1, V1;
    };

    // Starts a batch for this key unless the current one has it; false when the clip leaves nothing to draw.
    bool Begin(unsigned kind, unsigned texture, const DrawState& state);
    bool TextureFor(Image& image, int generation, unsigned& texture);
    static FrameArea AreaOf(const Image& image, int frame);
    void ApplyBlend(int blend);
    void ApplyScissor(const Clip& clip);
    void ApplyTexture(unsigned texture);
    void AddSegment(float x1, float y1, float x2, float y2, const DrawState& state);
    void AddPixel(float x, float y, const DrawState& state);

    int Width = 0, Height = 0;                 // drawing pixels
    int DrawableWidth = 0, DrawableHeight = 0; // real pixels
    int PictureX = 0, PictureY = 0;            // the picture's place in the drawable, real pixels from the top left
    int PictureWidth = 0, PictureHeight = 0;
    unsigned Program = 0;
    bool ProgramKept = false;
    unsigned VertexArray = 0;
    unsigned Buffer = 0;
    unsigned IndexBuffer = 0;
    unsigned WhiteTexture = 0;
    int AlphaCutUniform = -1;

    BatchKey Current;
    std::vector<Vertex> Vertices;
    // Each batch is drawn indexed, so a strip's vertices are shared by its triangles rather than repeated.
    std::vector<std::uint32_t> Indices;
    // What GL is set to now, so unchanged state isn't set again; -1 and empty mean not known.
    int AppliedBlend = -1;
    Clip AppliedScissor{-1, -1, -1, -1};
    unsigned AppliedTexture = 0;
    int DrawCalls = 0;
    bool Submitting = true;
};
