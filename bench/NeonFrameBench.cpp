// The busy neon frame (backdrop, stars, the fortress's rings, ships, text, lines and shots) timed on the real back
// end, and the one-primitive-per-segment way of drawing it with immediate-mode calls, kept here only to compare.
#include "NeonFrameBench.h"
#include "core/Settings.h"
#include "graphics/Art.h"
#include "graphics/Shapes.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"
#include "platform/Display.h"
#include "platform/Random.h"
#include "platform/sdl/SdlControl.h"
#include "program/Startup.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <epoxy/gl.h>
#include <string>
#include <vector>

namespace {
constexpr int FrameWidth = 1024;
constexpr int FrameHeight = 768;
constexpr int BuildFrames = 400;
constexpr int WallFrames = 60;
constexpr int ComparedFrames = 40;
constexpr int WarmUpFrames = 3;
constexpr int StarCount = 200;
constexpr float StarHalfWidth = 4;
constexpr int FortressRings = 3;
constexpr float RingRadii[FortressRings] = {64, 88, 112};
constexpr int RingSections[FortressRings] = {24, 30, 36};
constexpr float SectionGapDegrees = 3;
constexpr float FortressX = 512, FortressY = 384;
constexpr int EnemyCount = 6;
constexpr int LineCount = 40;
constexpr int ShotCount = 24;
constexpr int StarSeed = 7;
constexpr double MicrosPerSecond = 1e6;
constexpr double MicrosPerNano = 1e-3;
constexpr float PixelCentre = 0.5f;

struct Star {
    float X, Y;
    std::uint32_t Colour;
};
struct Wire {
    float X1, Y1, X2, Y2;
    int Red, Green, Blue;
};
struct Shot {
    float X, Y;
    int Frame;
};

// What the frame holds besides the game's own shapes and text.
struct BusyFrame {
    std::vector<Star> Stars;
    std::vector<Wire> Wires;
    std::vector<Shot> Shots;
};

double ThreadCpuUs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * MicrosPerSecond + static_cast<double>(now.tv_nsec) * MicrosPerNano;
}

double WallUs() {
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

BusyFrame MakeFrame() {
    BusyFrame frame;
    SeedRnd(StarSeed);
    for (int i = 0; i < StarCount; ++i) {
        auto grey = static_cast<std::uint32_t>(Rand(96, 255));
        frame.Stars.push_back({static_cast<float>(Rand(0, FrameWidth - 1)),
                               static_cast<float>(Rand(0, FrameHeight - 1)),
                               0xFF000000u | grey << 16 | grey << 8 | grey});
    }
    for (int i = 0; i < LineCount; ++i) {
        float angle = static_cast<float>(i) * 9;
        frame.Wires.push_back({FortressX + 140 * Sin(angle), FortressY - 140 * Cos(angle), FortressX + 180 * Sin(angle),
                               FortressY - 180 * Cos(angle), 255, 64 + i * 4, 32});
    }
    for (int i = 0; i < ShotCount; ++i)
        frame.Shots.push_back({100 + static_cast<float>(i) * 35, 650 - static_cast<float>(i % 5) * 20, i % 2});
    return frame;
}

void DrawStroke(const ShapeStroke& stroke, float x, float y) {
    DrawShapeStroke(stroke, x, y, static_cast<std::uint32_t>(stroke.Colour), GlowWidth3, stroke.Red, stroke.Green,
                    stroke.Blue);
}

// The glow part of the frame, all through the game's own drawing routines and TPoly.
void DrawGlow(const BusyFrame& frame) {
    for (const Star& star : frame.Stars)
        TPoly::Line(TheArt.GlowDotImage, 0, star.X, star.Y, star.Colour, star.X + 1, star.Y, star.Colour, StarHalfWidth,
                    true, false);
    const std::uint32_t colours[FortressRings] = {RingColor0, RingColor1, RingColor2};
    for (int ring = 0; ring < FortressRings; ++ring) {
        std::uint32_t c = colours[ring];
        float step = 360.0f / static_cast<float>(RingSections[ring]);
        for (int s = 0; s < RingSections[ring]; ++s) {
            float a1 = static_cast<float>(s) * step + SectionGapDegrees / 2;
            float a2 = a1 + step - SectionGapDegrees;
            float r = RingRadii[ring];
            DrawSegment(FortressX + r * Sin(a1), FortressY - r * Cos(a1), FortressX + r * Sin(a2),
                        FortressY - r * Cos(a2), c, GlowWidth8, static_cast<int>((c >> 16) & 255),
                        static_cast<int>((c >> 8) & 255), static_cast<int>(c & 255));
        }
    }
    for (int k = 0; k < CannonStrokes; ++k) DrawStroke(TheArt.CannonShapes[0][k], FortressX, FortressY);
    for (int enemy = 0; enemy < EnemyCount; ++enemy) {
        float angle = static_cast<float>(enemy) * 60;
        for (int k = 0; k < StrokesPerFrame; ++k)
            DrawStroke(TheArt.ChevronShapes[enemy * 60][enemy % 6 * StrokesPerFrame + k], FortressX + 220 * Sin(angle),
                       FortressY - 220 * Cos(angle));
    }
    DrawShipShape(ShipFlameLastStroke, 800, 560, 300);
    DrawVectorTextBold("kestrovar", 1.2f, 1.2f, 0xFF40C0FF, 0, 1.5f, 1.5f, 0, 64, 192, 255);
    DrawVectorText("score: 1234567   hi: 9876543", 1, 26.5f, 0xFFFFFF00, 0, 0.75f, 0.75f, 0, 255, 255, 0);
    DrawVectorText("ships: 3   level: 12   bonus x4", 1, 27.5f, 0xFF40FF40, 0, 0.75f, 0.75f, 0, 64, 255, 64);
    DrawVectorText("fps: 60   shots: 24   rings left: 3", 1, 52, 0xFFFF40FF, 0, 0.5f, 0.5f, 0, 255, 64, 255);
    FinishSegments();
}

// The whole frame our way: batched by the renderer.
void DrawBatched(const BusyFrame& frame) {
    SetBlend(ALPHABLEND);
    SetColor(255, 255, 255);
    DrawImage(TheArt.BackdropImage, 0, 0);
    SetBlend(LIGHTBLEND);
    DrawGlow(frame);
    for (const Wire& wire : frame.Wires) {
        SetColor(wire.Red, wire.Green, wire.Blue);
        DrawLine(wire.X1, wire.Y1, wire.X2, wire.Y2);
    }
    SetColor(255, 255, 255);
    for (const Shot& shot : frame.Shots) DrawImage(TheArt.PlayerShotsImage, shot.X, shot.Y, shot.Frame);
}

// The frame the one-primitive-per-segment way: the same game routines make the same strips, but each strip, line
// and picture is begun and ended on its own; the GL state the renderer keeps is put back afterwards.
int StripsSeen = 0;
unsigned BoundTexture = 0;

void CountStrip(const Image&, int, int, const StripVertex*, int) { ++StripsSeen; }

// The glow sprite is a whole picture, so the strips' texture positions are the texture's own.
void DrawStripAlone(const Image& image, int /*frame*/, int /*blend*/, const StripVertex* vertices, int count) {
    if (image.Texture != BoundTexture) {
        BoundTexture = image.Texture;
        glBindTexture(GL_TEXTURE_2D, BoundTexture);
    }
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i < count; ++i) {
        const StripVertex& v = vertices[i];
        glColor4ub(static_cast<GLubyte>(v.Argb >> 16), static_cast<GLubyte>(v.Argb >> 8), static_cast<GLubyte>(v.Argb),
                   static_cast<GLubyte>(v.Argb >> 24));
        glTexCoord2f(v.U, v.V);
        glVertex2f(v.X, v.Y);
    }
    glEnd();
}

void DrawPictureAlone(const Image& image, int frame, float x, float y) {
    int across = std::max(image.SheetWidth / image.Width, 1);
    int cell = image.FirstCell + frame;
    float u0 = static_cast<float>(cell % across * image.Width) / static_cast<float>(image.SheetWidth);
    float v0 = static_cast<float>(cell / across * image.Height) / static_cast<float>(image.SheetHeight);
    float u1 = u0 + static_cast<float>(image.Width) / static_cast<float>(image.SheetWidth);
    float v1 = v0 + static_cast<float>(image.Height) / static_cast<float>(image.SheetHeight);
    float left = x - image.HandleX, top = y - image.HandleY;
    float right = left + static_cast<float>(image.Width), bottom = top + static_cast<float>(image.Height);
    BoundTexture = image.Texture;
    glBindTexture(GL_TEXTURE_2D, BoundTexture);
    glBegin(GL_TRIANGLE_STRIP);
    glColor4ub(255, 255, 255, 255);
    glTexCoord2f(u0, v0);
    glVertex2f(left, top);
    glTexCoord2f(u1, v0);
    glVertex2f(right, top);
    glTexCoord2f(u0, v1);
    glVertex2f(left, bottom);
    glTexCoord2f(u1, v1);
    glVertex2f(right, bottom);
    glEnd();
}

void DrawOneByOne(const BusyFrame& frame) {
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glUseProgram(0);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, FrameWidth, FrameHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glScissor(0, 0, FrameWidth, FrameHeight);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);

    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawPictureAlone(*TheArt.BackdropImage, 0, 0, 0);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    SdlControl::RedirectStrips(DrawStripAlone);
    DrawGlow(frame);
    SdlControl::RedirectStrips(nullptr);
    glDisable(GL_TEXTURE_2D);
    for (const Wire& wire : frame.Wires) {
        glBegin(GL_LINES);
        glColor4ub(static_cast<GLubyte>(wire.Red), static_cast<GLubyte>(wire.Green), static_cast<GLubyte>(wire.Blue),
                   255);
        glVertex2f(wire.X1 + PixelCentre, wire.Y1 + PixelCentre);
        glVertex2f(wire.X2 + PixelCentre, wire.Y2 + PixelCentre);
        glEnd();
    }
    glEnable(GL_TEXTURE_2D);
    for (const Shot& shot : frame.Shots) DrawPictureAlone(*TheArt.PlayerShotsImage, shot.Frame, shot.X, shot.Y);

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
    glUseProgram(static_cast<GLuint>(program));
    BoundTexture = 0;
}

void LoadScene() {
    TheSettings = Settings{};
    ResetGlowWidths();
    TheSettings.NeonMode = 1;
    TheSettings.PlayfieldOffsetX = TheSettings.PlayfieldOffsetY = 0;
    LoadImages();
    BuildShapeTables();
    LoadZoomTable();
    LoadFontGlyphs();
    UpdateGlowWidths(TheSettings.GlowAmount);
    SetPalette();
}

void OpenFrameDisplay() {
    Graphics(FrameWidth, FrameHeight, 0, 60);
    SetViewport(0, 0, FrameWidth, FrameHeight);
    ApplyDisplayStyle();
}

// One frame drawn the given way, from a finished start to a finished end; the flame's flicker the same each time.
template <typename DrawFrame> void TimedFrame(DrawFrame draw, double& cpuUs, double& wallUs) {
    SdlControl::FinishDrawing();
    SeedRnd(StarSeed);
    double cpu = ThreadCpuUs(), wall = WallUs();
    Cls();
    draw();
    SdlControl::FinishDrawing();
    cpuUs = ThreadCpuUs() - cpu;
    wallUs = WallUs() - wall;
    Flip(0);
}
} // namespace

NeonFrameFigures MeasureNeonFrame() {
    NeonFrameFigures figures;
    LoadScene();
    BusyFrame frame = MakeFrame();
    auto batched = [&] { DrawBatched(frame); };

    // The game's own context first: draw calls, our share of the work, the frame drawn and finished.
    SdlControl::PreferCompatibilityContext(false);
    OpenFrameDisplay();
    double cpu = 0, wall = 0;
    for (int i = 0; i < WarmUpFrames; ++i) TimedFrame(batched, cpu, wall);
    figures.DrawCalls = SdlControl::DrawCallsLastFrame();

    std::vector<double> build;
    SdlControl::SetSubmitToGl(false);
    for (int i = 0; i < BuildFrames; ++i) {
        SeedRnd(StarSeed);
        double start = ThreadCpuUs();
        DrawBatched(frame);
        SdlControl::SetSubmitToGl(false); // drops the last batch
        build.push_back(ThreadCpuUs() - start);
    }
    SdlControl::SetSubmitToGl(true);
    figures.BuildUs = Median(build);

    std::vector<double> walls;
    for (int i = 0; i < WallFrames; ++i) {
        TimedFrame(batched, cpu, wall);
        walls.push_back(wall);
    }
    figures.WallUs = Median(walls);

    // Then a compatibility context, where both ways can be drawn, frame about frame.
    SdlControl::PreferCompatibilityContext(true);
    OpenFrameDisplay();
    SdlControl::PreferCompatibilityContext(false);
    TimedFrame(batched, cpu, wall); // the pictures' textures made in this context
    StripsSeen = 0;
    SdlControl::RedirectStrips(CountStrip);
    DrawGlow(frame);
    SdlControl::RedirectStrips(nullptr);
    figures.Strips = StripsSeen;
    figures.Compared =
        epoxy_is_desktop_gl() && (epoxy_gl_version() < 31 || epoxy_has_gl_extension("GL_ARB_compatibility"));
    if (!figures.Compared) return figures;
    auto oneByOne = [&] { DrawOneByOne(frame); };
    std::vector<double> ours, theirs;
    for (int i = 0; i < WarmUpFrames; ++i) {
        TimedFrame(batched, cpu, wall);
        TimedFrame(oneByOne, cpu, wall);
    }
    for (int i = 0; i < ComparedFrames; ++i) {
        TimedFrame(batched, cpu, wall);
        ours.push_back(cpu);
        TimedFrame(oneByOne, cpu, wall);
        theirs.push_back(cpu);
    }
    figures.BatchedCpuUs = Median(ours);
    figures.OneByOneCpuUs = Median(theirs);
    return figures;
}
