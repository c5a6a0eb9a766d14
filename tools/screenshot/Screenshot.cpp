// Saves a frame of the real back end as PNG: a scripted neon test scene (shapes, rings of glow segments, text at
// every scale the screens use), the title logo, a frame of the main menu or of the running game, in either style
// and palette and at any glow level.
#include "core/GameState.h"
#include "core/Settings.h"
#include "fortress/Fortress.h"
#include "frontend/Intro.h"
#include "frontend/MainMenu.h"
#include "game/Loop.h"
#include "game/TheWorld.h"
#include "graphics/Art.h"
#include "graphics/Logo.h"
#include "graphics/Shapes.h"
#include "graphics/Stars.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"
#include "platform/Display.h"
#include "platform/Random.h"
#include "platform/sdl/SdlControl.h"
#include "program/Startup.h"
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <png.h>
#include <string>
#include <vector>

namespace {
constexpr const char* Usage =
    "usage: kestrovar_screenshot OUT.png [--wireframe] [--grey] [--glow N] [--no-backdrop] [--size WxH]\n"
    "                            [--logo | --menu FRAMES | --intro FRAMES | --game FRAMES] [--fps]\n"
    "  Without a mode: the test scene in the given style. --logo: the title logo over the stars. --menu: the main\n"
    "  menu over its attract play in the given style, saved after FRAMES frames. --intro: the intro's frame\n"
    "  FRAMES in the given style. --game: the game as it starts (its own settings), saved after FRAMES frames.\n"
    "  Run with SDL_VIDEODRIVER=offscreen to need no display.\n";
constexpr float RingRadii[3] = {64, 88, 112};
constexpr int RingSections[3] = {24, 30, 36};
constexpr float SectionGapDegrees = 3;
constexpr int FlameSeed = 31;

enum class Mode { Scene, Logo, Menu, Intro, Game };

struct Options {
    std::string Out;
    Mode Shown = Mode::Scene;
    int Frames = 60;
    bool Fps = false;
    // The style asked for, applied over the defaults once the program has set itself up.
    int Neon = 1, Colours = 1, Backdrop = 1, Glow = 0;
};

void ApplyStyle(const Options& options) {
    TheSettings.NeonMode = options.Neon;
    TheSettings.ColorsOn = options.Colours;
    TheSettings.UseBackground = options.Backdrop;
    TheSettings.GlowAmount = options.Glow;
}

bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                row[static_cast<std::size_t>(x) * 3 + static_cast<std::size_t>(c)] =
                    rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) *
                             4 +
                         static_cast<std::size_t>(c)];
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

bool Parse(int argc, char** argv, Options& options) {
    if (argc < 2 || argv[1][0] == '-') return false;
    options.Out = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        bool more = i + 1 < argc;
        if (arg == "--wireframe") {
            options.Neon = 0;
        } else if (arg == "--grey") {
            options.Colours = 0;
        } else if (arg == "--no-backdrop") {
            options.Backdrop = 0;
        } else if (arg == "--fps") {
            options.Fps = true;
        } else if (arg == "--glow" && more) {
            options.Glow = std::atoi(argv[++i]);
        } else if (arg == "--logo") {
            options.Shown = Mode::Logo;
        } else if (arg == "--menu" && more) {
            options.Shown = Mode::Menu;
            options.Frames = std::atoi(argv[++i]);
        } else if (arg == "--intro" && more) {
            options.Shown = Mode::Intro;
            options.Frames = std::atoi(argv[++i]);
        } else if (arg == "--game" && more) {
            options.Shown = Mode::Game;
            options.Frames = std::atoi(argv[++i]);
        } else if (arg == "--size" && more) {
            if (std::sscanf(argv[++i], "%dx%d", &TheSettings.ScreenWidth, &TheSettings.ScreenHeight) != 2) return false;
            TheSettings.PlayfieldOffsetX = (TheSettings.ScreenWidth - 1024) / 2;
            TheSettings.PlayfieldOffsetY = (TheSettings.ScreenHeight - 768) / 2;
        } else {
            return false;
        }
    }
    return true;
}

// The three rings as the fortress builds them: sections of arc between small gaps, each ring its own colour.
void DrawRings() {
    const std::uint32_t colours[3] = {RingColor0, RingColor1, RingColor2};
    for (int ring = 0; ring < 3; ++ring) {
        std::uint32_t c = colours[ring];
        int red = static_cast<int>((c >> 16) & 255), green = static_cast<int>((c >> 8) & 255);
        int blue = static_cast<int>(c & 255);
        float step = 360.0f / static_cast<float>(RingSections[ring]);
        for (int s = 0; s < RingSections[ring]; ++s) {
            // Every fifth section shot away, so the gaps show.
            if (s % 5 == 4) continue;
            float a1 = static_cast<float>(s) * step + SectionGapDegrees / 2;
            float a2 = a1 + step - SectionGapDegrees;
            float r = RingRadii[ring];
            DrawSegment(512 + r * Sin(a1), 384 - r * Cos(a1), 512 + r * Sin(a2), 384 - r * Cos(a2), c, GlowWidth8, red,
                        green, blue);
        }
    }
    FinishSegments();
}

void DrawTableShape(const ShapeStroke* row, int first, int last, float x, float y) {
    for (int k = first; k <= last; ++k) {
        const ShapeStroke& s = row[k];
        std::uint32_t colour = TheSettings.ColorsOn == 1 ? static_cast<std::uint32_t>(s.Colour) : OpaqueWhite;
        int red = TheSettings.ColorsOn == 1 ? s.Red : 255, green = TheSettings.ColorsOn == 1 ? s.Green : 255;
        int blue = TheSettings.ColorsOn == 1 ? s.Blue : 255;
        DrawShapeStroke(s, x, y, colour, GlowWidth3, red, green, blue);
    }
    FinishSegments();
}

int VisibleFlameSeed() {
    static int seed = FlameSeed;
    for (;;) {
        seed += FlameSeed;
        SeedRnd(seed);
        if (Rand(-40000, 40000) < 0) return seed;
    }
}

void DrawScene() {
    Cls();
    if (TheSettings.UseBackground == 1)
        DrawImage(TheArt.BackdropImage, static_cast<float>(TheSettings.PlayfieldOffsetX),
                  static_cast<float>(TheSettings.PlayfieldOffsetY), 0);
    DrawRings();
    DrawTableShape(TheArt.CannonShapes[0], 0, 11, 512, 384);
    for (int frame = 0; frame < 6; ++frame)
        DrawTableShape(TheArt.ChevronShapes[0], frame * StrokesPerFrame, frame * StrokesPerFrame + 3,
                       300 + 40 * static_cast<float>(frame), 500);
    for (int frame = 0; frame < 4; ++frame)
        DrawTableShape(TheArt.SparkShapes[frame * 30], frame * StrokesPerFrame, frame * StrokesPerFrame + 3,
                       620 + 40 * static_cast<float>(frame), 500);
    // The ship at rest and thrusting, turned to a few angles, each flame seeded to show (half the draws hide it).
    DrawShipShape(ShipHullLastStroke, 760, 300, 0);
    const float thrusting[3][3] = {{840, 300, 0}, {920, 300, 45}, {900, 420, 270}};
    for (const auto& ship : thrusting) {
        SeedRnd(VisibleFlameSeed());
        DrawShipShape(ShipFlameLastStroke, ship[0], ship[1], static_cast<int>(ship[2]));
    }

    // Text at the scales the screens use: the bold title at 3, menu items at 1 (and popping in at 1.3), help and
    // score lines at 0.75, long lines at 0.5.
    DrawVectorTextBold("kestrovar", 1.2f, 1.2f, 0xFF40C0FF, 0, 3, 3, 0, 64, 192, 255);
    DrawVectorText("score: 1234567", 20, 1, 0xFFFFFF00, 0, 0.75f, 0.75f, 0, 255, 255, 0);
    DrawZoomText("start game", 1, 7, 0xFFFFFFFF, 6, 1, 1, 0, 255, 255, 255);
    DrawZoomText("options", 1, 8.5f, 0xFFFFFFFF, 0, 1, 1, 0, 255, 255, 255);
    DrawVectorText("abcdefghijklmnopqrstuvwxyz", 1, 20, 0xFF40FF40, 0, 1, 1, 0, 64, 255, 64);
    std::string rest = std::string(1, FontBoxedC) + "0123456789.,?=/-+()':;@!*>#";
    DrawVectorText(rest, 1, 21.5f, 0xFFFF8040, 0, 1, 1, 0, 255, 128, 64);
    DrawVectorText("abcdefghijklmnopqrstuvwxyz 0123456789", 1, 31, 0xFF4090FF, 0, 0.75f, 0.75f, 0, 64, 144, 255);
    DrawVectorText(rest + " the quick brown fox jumps over the lazy dog", 1, 49, 0xFFFF40FF, 0, 0.5f, 0.5f, 0, 255, 64,
                   255);
    DrawCentredText("press left key for yes", 34.5f, 0xFFFF40FF, 0.75f, 255, 64, 255);
    DrawVectorText("FPS: 60", 41, 35.5f, 0xFF4043FF, 0, 0.75f, 0.75f, 0, 64, 67, 255);
}

void LoadForScene() {
    LoadImages();
    BuildShapeTables();
    LoadZoomTable();
    LoadFontGlyphs();
    UpdateGlowWidths(TheSettings.GlowAmount);
    SetPalette();
    Graphics(TheSettings.ScreenWidth, TheSettings.ScreenHeight, 0, 60);
    SetViewport(TheSettings.PlayfieldOffsetX, TheSettings.PlayfieldOffsetY, 1024, 768);
    ApplyDisplayStyle();
    SetColor(255, 255, 255);
}

// Turns a loop that opens on `first` until it has shown `frames` frames (one at least) or has ended.
void ShowFrames(std::unique_ptr<Screen> first, int frames) {
    Loop loop;
    loop.Open(std::move(first));
    int shown = 0;
    while (RunFrame(loop) && ++shown < frames) {
    }
}
} // namespace

int main(int argc, char** argv) {
    TheSettings = Settings{};
    ResetGlowWidths();
    Options options;
    options.Glow = TheSettings.GlowAmount;
    if (!Parse(argc, argv, options)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    if (options.Shown != Mode::Scene && options.Shown != Mode::Logo) {
        ResetAllState();
        SdlControl::SetKeepBackBuffer(true);
        if (options.Shown == Mode::Game) {
            // The game as a player starts it: its settings come from the settings file (or the first run's
            // defaults), so the style flags shape the other modes only.
            SetUpProgram(StartupFor::Player);
            TheControls.ShowFrameRate = options.Fps ? 1 : 0;
            ShowFrames(OpenGameFromMenu(), options.Frames);
        } else {
            // The intro or the menu as a fresh install shows it, in the style asked for.
            SetUpProgram(StartupFor::Replay);
            ApplyStyle(options);
            TheControls.ShowFrameRate = options.Fps ? 1 : 0;
            UpdateGlowWidths(TheSettings.GlowAmount);
            ApplyDisplayStyle();
            SetPalette();
            ClearFortress(TheWorld);
            BuildMenuRings(TheWorld);
            ShowFrames(options.Shown == Mode::Intro ? OpenIntro() : OpenMainMenu(), options.Frames);
        }
        pixels = SdlControl::LastShownFrame(width, height);
    } else if (options.Shown == Mode::Logo) {
        ApplyStyle(options);
        LoadForScene();
        ReadLogo();
        CreateStars();
        Cls();
        if (TheSettings.UseBackground == 1)
            DrawImage(TheArt.BackdropImage, static_cast<float>(TheSettings.PlayfieldOffsetX),
                      static_cast<float>(TheSettings.PlayfieldOffsetY), 0);
        DrawStars();
        DrawLogo(0);
        pixels = SdlControl::ReadPixels(width, height);
        Flip(0);
    } else {
        ApplyStyle(options);
        LoadForScene();
        DrawScene();
        pixels = SdlControl::ReadPixels(width, height);
        Flip(0);
        std::printf("draw calls: %d\n", SdlControl::DrawCallsLastFrame());
    }
    SdlControl::Shutdown();
    if (pixels.empty() || !WritePng(options.Out, width, height, pixels)) {
        std::fprintf(stderr, "could not save %s\n", options.Out.c_str());
        return 1;
    }
    std::printf("saved %s (%d x %d)\n", options.Out.c_str(), width, height);
    return 0;
}
