// Drawing through the SDL back end under the offscreen driver, checked pixel by pixel in the picture read back: lines,
// plots, strips, pictures, blend modes, the viewport, the margins and the batching of draw calls.
#include "GlTestSupport.h"
#include "platform/Display.h"
#include "platform/sdl/SdlControl.h"
#include <SDL.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <vector>

namespace {
constexpr std::uint32_t Opaque = 0xFF000000;
constexpr std::uint32_t White = 0xFFFFFFFF;

class GlDrawing : public ::testing::Test {
  protected:
    void SetUp() override {
        Graphics(1024, 768, 0, 60);
        ASSERT_TRUE(GraphicsOpen());
        SdlControl::SetKeepBackBuffer(false);
        Cls();
    }
    void TearDown() override { SdlControl::SetKeepBackBuffer(false); }
    void Quad(float x, float y, float width, float height, std::uint32_t argb) {
        std::vector<StripVertex> strip = QuadStrip(x, y, width, height, argb);
        DrawStrip(&WhiteTexel, 0, strip.data(), static_cast<int>(strip.size()));
    }
    Image WhiteTexel = SolidImage(1, 1, White);
};

TEST_F(GlDrawing, OpensAtTheAskedSizeAllBlack) {
    ReadBack screen = ReadScreen();
    EXPECT_EQ(screen.Width, 1024);
    EXPECT_EQ(screen.Height, 768);
    EXPECT_TRUE(screen.LitPixels().empty());
}

TEST_F(GlDrawing, HorizontalLineIsOnePixelHighAndReachesItsEnd) {
    SetColor(255, 0, 0);
    DrawLine(10, 20, 30, 20);
    ReadBack screen = ReadScreen();
    EXPECT_EQ(screen.LitPixels(), RectanglePixels(10, 20, 21, 1));
    EXPECT_EQ(screen.At(10, 20), (Rgb{255, 0, 0}));
    EXPECT_EQ(screen.At(30, 20), (Rgb{255, 0, 0}));
}

TEST_F(GlDrawing, LineWithoutLastPixelStopsShortOfItsEnd) {
    DrawLine(10, 20, 30, 20, 0);
    EXPECT_EQ(ReadScreen().LitPixels(), RectanglePixels(10, 20, 20, 1));
}

TEST_F(GlDrawing, VerticalLineIsOnePixelWide) {
    SetColor(10, 200, 30);
    DrawLine(50, 40, 50, 10);
    ReadBack screen = ReadScreen();
    EXPECT_EQ(screen.LitPixels(), RectanglePixels(50, 10, 1, 31));
    EXPECT_EQ(screen.At(50, 25), (Rgb{10, 200, 30}));
}

TEST_F(GlDrawing, SlopingLineLightsOnePixelAColumnBetweenItsEnds) {
    DrawLine(100, 100, 140, 120);
    ReadBack screen = ReadScreen();
    auto lit = screen.LitPixels();
    EXPECT_EQ(lit.size(), 41u);
    EXPECT_TRUE(screen.Lit(100, 100));
    EXPECT_TRUE(screen.Lit(140, 120));
    for (int x = 100; x <= 140; ++x) {
        float ideal = 100.0f + static_cast<float>(x - 100) * 0.5f;
        int inColumn = 0;
        for (int y = 95; y <= 125; ++y)
            if (screen.Lit(x, y)) {
                ++inColumn;
                EXPECT_LE(std::abs(static_cast<float>(y) - ideal), 0.5f) << "x " << x << " y " << y;
            }
        EXPECT_EQ(inColumn, 1) << "column " << x;
    }
}

TEST_F(GlDrawing, PlotLightsExactlyItsPixel) {
    SetColor(0, 0, 255);
    Plot(200, 300);
    Plot(0, 0);
    Plot(1023, 767);
    ReadBack screen = ReadScreen();
    std::set<std::pair<int, int>> expected{{200, 300}, {0, 0}, {1023, 767}};
    EXPECT_EQ(screen.LitPixels(), expected);
    EXPECT_EQ(screen.At(200, 300), (Rgb{0, 0, 255}));
}

TEST_F(GlDrawing, FractionalPositionsGoToTheNearestPixel) {
    Plot(100.6f, 200.6f);
    Plot(300.4f, 200.4f);
    DrawLine(10.6f, 50.4f, 20.6f, 50.4f);
    std::set<std::pair<int, int>> expected = RectanglePixels(11, 50, 11, 1);
    expected.insert({101, 201});
    expected.insert({300, 200});
    EXPECT_EQ(ReadScreen().LitPixels(), expected);
}

TEST_F(GlDrawing, StripCoversItsQuadExactly) {
    Quad(100, 100, 40, 30, 0xFF20A0E0);
    ReadBack screen = ReadScreen();
    EXPECT_EQ(screen.LitPixels(), RectanglePixels(100, 100, 40, 30));
    EXPECT_EQ(screen.At(120, 115), (Rgb{0x20, 0xA0, 0xE0}));
}

TEST_F(GlDrawing, StripDrawsTheAskedFrameOfTheSheet) {
    // Four 2x2 cells, two across and two down: red, green, blue, white; the picture starts at the second.
    Image sheet = SolidImage(4, 4, 0xFFFF0000);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            int cell = (y / 2) * 2 + x / 2;
            const std::uint32_t colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
            SetTexel(sheet, x, y, colours[cell]);
        }
    sheet.Width = sheet.Height = 2;
    sheet.FirstCell = 1;
    sheet.FrameCount = 3;
    for (int frame = 0; frame < 3; ++frame) {
        std::vector<StripVertex> strip = QuadStrip(100.0f + 50.0f * static_cast<float>(frame), 100, 20, 20, White);
        DrawStrip(&sheet, frame, strip.data(), 4);
    }
    ReadBack screen = ReadScreen();
    const Rgb expected[3] = {{0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    for (int frame = 0; frame < 3; ++frame)
        for (int y = 100; y < 120; ++y)
            for (int x = 100 + 50 * frame; x < 120 + 50 * frame; ++x)
                ASSERT_EQ(screen.At(x, y), expected[frame]) << "frame " << frame << " at " << x << "," << y;
}

TEST_F(GlDrawing, StripTexturePositionsStayWithinTheFrame) {
    // One 2x2 frame beside a red one: left texels green, right texels blue. Half the frame's width shows green only.
    Image sheet = SolidImage(4, 2, 0xFFFF0000);
    sheet.Width = 2;
    sheet.FrameCount = 2;
    for (int y = 0; y < 2; ++y) {
        SetTexel(sheet, 2, y, 0xFF00FF00);
        SetTexel(sheet, 3, y, 0xFF0000FF);
    }
    std::vector<StripVertex> whole = QuadStrip(100, 100, 40, 40, White);
    DrawStrip(&sheet, 1, whole.data(), 4);
    std::vector<StripVertex> half = QuadStrip(200, 100, 40, 40, White);
    half[1].U = half[3].U = 0.5f;
    DrawStrip(&sheet, 1, half.data(), 4);
    ReadBack screen = ReadScreen();
    EXPECT_EQ(screen.At(105, 120), (Rgb{0, 255, 0}));
    EXPECT_EQ(screen.At(135, 120), (Rgb{0, 0, 255}));
    for (int x = 200; x < 240; ++x) ASSERT_EQ(screen.At(x, 120), (Rgb{0, 255, 0})) << x;
}

TEST_F(GlDrawing, StripColourModulatesTheTexel) {
    Image sheet = SolidImage(2, 2, 0xFF80FF40);
    std::vector<StripVertex> strip = QuadStrip(10, 10, 20, 20, 0xFFFF8000);
    DrawStrip(&sheet, 0, strip.data(), 4);
    EXPECT_TRUE(Near(ReadScreen().At(20, 20), Rgb{128, 128, 0}, 1));
}

TEST_F(GlDrawing, LongStripIsAllItsTriangles) {
    // A ribbon of five quads in one strip, each quad's vertices a different colour.
    std::vector<StripVertex> strip;
    for (int i = 0; i <= 5; ++i) {
        float x = 100.0f + 20.0f * static_cast<float>(i);
        strip.push_back({x, 100, 0, 0, White});
        strip.push_back({x, 120, 0, 1, White});
    }
    DrawStrip(&WhiteTexel, 0, strip.data(), static_cast<int>(strip.size()));
    EXPECT_EQ(ReadScreen().LitPixels(), RectanglePixels(100, 100, 100, 20));
}

TEST_F(GlDrawing, LightBlendAddsOverlappingStrips) {
    SetBlend(LIGHTBLEND);
    Quad(100, 100, 40, 40, 0xFF402010);
    Quad(120, 100, 40, 40, 0xFF402010);
    ReadBack screen = ReadScreen();
    EXPECT_TRUE(Near(screen.At(110, 120), Rgb{0x40, 0x20, 0x10}, 1)) << testing::PrintToString(screen.At(110, 120));
    EXPECT_TRUE(Near(screen.At(130, 120), Rgb{0x80, 0x40, 0x20}, 1)) << testing::PrintToString(screen.At(130, 120));
    EXPECT_TRUE(Near(screen.At(150, 120), Rgb{0x40, 0x20, 0x10}, 1));
}

TEST_F(GlDrawing, LightBlendWeighsTheSourceByItsAlpha) {
    SetBlend(LIGHTBLEND);
    Quad(100, 100, 40, 40, 0xFF404040);
    Quad(100, 100, 40, 40, 0x80FF0000);
    EXPECT_TRUE(Near(ReadScreen().At(120, 120), Rgb{0x40 + 128, 0x40, 0x40}, 2));
}

TEST_F(GlDrawing, LightBlendAddsLinesToo) {
    SetBlend(LIGHTBLEND);
    SetColor(100, 0, 0);
    DrawLine(10, 10, 50, 10);
    SetColor(0, 100, 0);
    DrawLine(30, 10, 70, 10);
    ReadBack screen = ReadScreen();
    EXPECT_EQ(screen.At(20, 10), (Rgb{100, 0, 0}));
    EXPECT_EQ(screen.At(40, 10), (Rgb{100, 100, 0}));
    EXPECT_EQ(screen.At(60, 10), (Rgb{0, 100, 0}));
}

TEST_F(GlDrawing, SolidBlendReplacesWhatIsUnder) {
    SetBlend(SOLIDBLEND);
    Quad(100, 100, 40, 40, 0xFF402010);
    Quad(120, 100, 40, 40, 0x40102030);
    ReadBack screen = ReadScreen();
    EXPECT_EQ(screen.At(110, 120), (Rgb{0x40, 0x20, 0x10}));
    EXPECT_EQ(screen.At(130, 120), (Rgb{0x40, 0x20, 0x10})); // alpha under a half: left out, as with a mask
    Quad(120, 100, 40, 40, 0xC0102030);
    EXPECT_EQ(ReadScreen().At(130, 120), (Rgb{0x10, 0x20, 0x30}));
}

TEST_F(GlDrawing, AlphaBlendMixesByTheSourceAlpha) {
    Quad(100, 100, 40, 40, 0xFF0000FF);
    SetBlend(ALPHABLEND);
    Quad(100, 100, 40, 40, 0x80FF0000);
    EXPECT_TRUE(Near(ReadScreen().At(120, 120), Rgb{128, 0, 127}, 2));
}

TEST_F(GlDrawing, ShadeBlendMultiplies) {
    Quad(100, 100, 40, 40, 0xFFC8C864);
    SetBlend(SHADEBLEND);
    Quad(100, 100, 40, 40, 0xFF80FF00);
    EXPECT_TRUE(Near(ReadScreen().At(120, 120), Rgb{100, 200, 0}, 2));
}

TEST_F(GlDrawing, MaskBlendLeavesTransparentTexelsOut) {
    Image sheet = SolidImage(2, 1, 0xFFFF0000);
    SetTexel(sheet, 1, 0, 0x2000FF00);
    Quad(100, 100, 40, 40, 0xFF0000FF);
    SetBlend(MASKBLEND);
    std::vector<StripVertex> strip = QuadStrip(100, 100, 40, 40, White);
    DrawStrip(&sheet, 0, strip.data(), 4);
    ReadBack screen = ReadScreen();
    EXPECT_EQ(screen.At(110, 120), (Rgb{255, 0, 0}));
    EXPECT_EQ(screen.At(130, 120), (Rgb{0, 0, 255}));
}

TEST_F(GlDrawing, PictureSitsByItsHandleAndScales) {
    Image picture = SolidImage(4, 4, 0xFFFF0000);
    MidHandleImage(&picture);
    SetScale(2, 2);
    DrawImage(&picture, 50, 60);
    ReadBack screen = ReadScreen();
    EXPECT_EQ(screen.LitPixels(), RectanglePixels(46, 56, 8, 8));
    EXPECT_EQ(screen.At(50, 60), (Rgb{255, 0, 0}));
}

TEST_F(GlDrawing, PictureShowsItsFrameTintedByTheColour) {
    Image sheet = SolidImage(6, 2, White);
    sheet.Width = 2;
    sheet.FrameCount = 3;
    for (int y = 0; y < 2; ++y) {
        SetTexel(sheet, 2, y, 0xFF808080);
        SetTexel(sheet, 3, y, 0xFF808080);
    }
    DrawImage(&sheet, 10, 10, 0);
    DrawImage(&sheet, 20, 10, 1);
    SetColor(255, 0, 0);
    DrawImage(&sheet, 30, 10, 2);
    ReadBack screen = ReadScreen();
    EXPECT_EQ(screen.LitPixels().size(), 12u);
    EXPECT_EQ(screen.At(11, 11), (Rgb{255, 255, 255}));
    EXPECT_EQ(screen.At(21, 11), (Rgb{128, 128, 128}));
    EXPECT_EQ(screen.At(31, 11), (Rgb{255, 0, 0}));
}

TEST_F(GlDrawing, PictureIsMadeAgainForANewDisplay) {
    Image picture = SolidImage(4, 4, 0xFF00FF00);
    DrawImage(&picture, 10, 10);
    EXPECT_EQ(ReadScreen().At(12, 12), (Rgb{0, 255, 0}));
    int first = picture.TextureGeneration;
    Graphics(1280, 1024, 0, 60);
    DrawImage(&picture, 10, 10);
    EXPECT_NE(picture.TextureGeneration, first);
    EXPECT_EQ(ReadScreen().At(12, 12), (Rgb{0, 255, 0}));
}

TEST_F(GlDrawing, FilteredPictureBlendsNeighbouringTexels) {
    Image picture = SolidImage(2, 1, 0xFF000000, true);
    SetTexel(picture, 1, 0, 0xFFFFFFFF);
    SetScale(10, 10);
    DrawImage(&picture, 100, 100);
    Image blocky = picture;
    blocky.Filtered = false;
    blocky.Texture = 0;
    DrawImage(&blocky, 100, 200);
    ReadBack screen = ReadScreen();
    int middle = screen.At(109, 105).Red;
    EXPECT_GT(middle, 40);
    EXPECT_LT(middle, 215);
    EXPECT_EQ(screen.At(109, 205), (Rgb{}));
    EXPECT_EQ(screen.At(110, 205), (Rgb{255, 255, 255}));
}

TEST_F(GlDrawing, LaterDrawingCoversEarlierAcrossKinds) {
    SetColor(0, 255, 0);
    Quad(100, 100, 40, 40, 0xFFFF0000);
    DrawLine(100, 110, 139, 110);
    Quad(100, 120, 40, 20, 0xFF0000FF);
    DrawLine(100, 130, 139, 130);
    Quad(100, 100, 10, 40, 0xFFFFFFFF);
    ReadBack screen = ReadScreen();
    EXPECT_EQ(screen.At(120, 105), (Rgb{255, 0, 0}));
    EXPECT_EQ(screen.At(120, 110), (Rgb{0, 255, 0}));
    EXPECT_EQ(screen.At(120, 125), (Rgb{0, 0, 255}));
    EXPECT_EQ(screen.At(120, 130), (Rgb{0, 255, 0}));
    EXPECT_EQ(screen.At(105, 110), (Rgb{255, 255, 255}));
    EXPECT_EQ(screen.At(105, 130), (Rgb{255, 255, 255}));
}

TEST_F(GlDrawing, ViewportClipsEverything) {
    SetViewport(100, 100, 50, 40);
    DrawLine(0, 120, 500, 120);
    EXPECT_EQ(ReadScreen().LitPixels(), RectanglePixels(100, 120, 50, 1));
    Cls();
    Quad(0, 0, 1024, 768, White);
    EXPECT_EQ(ReadScreen().LitPixels(), RectanglePixels(100, 100, 50, 40));
}

TEST_F(GlDrawing, ClsBlacksOnlyTheViewport) {
    Quad(0, 0, 1024, 768, White);
    SetViewport(100, 100, 50, 40);
    Cls();
    ReadBack screen = ReadScreen();
    EXPECT_EQ(screen.LitPixels().size(), 1024u * 768u - 50u * 40u);
    EXPECT_FALSE(screen.Lit(100, 100));
    EXPECT_FALSE(screen.Lit(149, 139));
    EXPECT_TRUE(screen.Lit(150, 139));
    EXPECT_TRUE(screen.Lit(99, 100));
}

TEST_F(GlDrawing, MarginsAroundThePlayfieldStayBlack) {
    Graphics(1280, 1024, 0, 60);
    SetViewport(128, 128, 1024, 768);
    SdlControl::SetKeepBackBuffer(true);
    for (int frame = 0; frame < 2; ++frame) {
        Cls();
        Quad(0, 0, 1280, 1024, White);
        DrawLine(0, 500, 1279, 500);
        ReadBack drawn = ReadScreen();
        ASSERT_EQ(drawn.Width, 1280);
        ASSERT_EQ(drawn.Height, 1024);
        EXPECT_EQ(drawn.LitPixels(), RectanglePixels(128, 128, 1024, 768));
        Flip(0);
        EXPECT_EQ(ShownScreen().LitPixels(), RectanglePixels(128, 128, 1024, 768));
        EXPECT_TRUE(ReadScreen().LitPixels().empty()) << "the buffer after the flip starts black";
    }
}

// The window manager gave a window of another shape than asked: the picture keeps its shape, as large as fits,
// centred between black margins.
TEST_F(GlDrawing, AWindowOfAnotherShapeShowsThePictureWholeBetweenBlackMargins) {
    struct Case {
        int Width, Height;
        int Left, Top, PictureWidth, PictureHeight;
    };
    // 800 x 800: 800 x 600 with 100 rows above and below. 1000 x 500: scaled by 500 / 768 to 666.67, so 667 x 500,
    // with 333 columns of margin, 166 of them on the left. (Smaller than asked: the offscreen driver's surface
    // keeps the size the window opened at.)
    for (Case shape : {Case{800, 800, 0, 100, 800, 600}, Case{1000, 500, 166, 0, 667, 500}}) {
        SDL_SetWindowSize(SDL_GL_GetCurrentWindow(), shape.Width, shape.Height);
        Flip(0); // the drawable's size is taken at each frame
        Quad(0, 0, 1024, 768, White);
        ReadBack screen = ReadScreen();
        ASSERT_EQ(screen.Width, shape.Width);
        ASSERT_EQ(screen.Height, shape.Height);
        EXPECT_EQ(screen.LitPixels(), RectanglePixels(shape.Left, shape.Top, shape.PictureWidth, shape.PictureHeight))
            << shape.Width << " x " << shape.Height;
    }
}

TEST_F(GlDrawing, BatchedStripsMatchStripsDrawnOneAtATime) {
    SetBlend(ALPHABLEND);
    SdlControl::SetKeepBackBuffer(true);
    auto draw = [&](bool oneAtATime) {
        for (int i = 0; i < 200; ++i) {
            float x = static_cast<float>((i * 37) % 300);
            float y = static_cast<float>((i * 53) % 200);
            std::uint32_t argb = (static_cast<std::uint32_t>(0x40 + (i * 29) % 0xC0) << 24) |
                                 (static_cast<std::uint32_t>((i * 71) & 255) << 16) |
                                 (static_cast<std::uint32_t>((i * 13) & 255) << 8) | ((i * 101) & 255u);
            std::vector<StripVertex> strip{{x, y, 0, 0, argb},
                                           {x + 40.5f, y + 3, 1, 0, argb},
                                           {x + 2, y + 30.25f, 0, 1, argb},
                                           {x + 45, y + 35, 1, 1, argb},
                                           {x + 10, y + 60, 0, 0, argb}};
            DrawStrip(&WhiteTexel, 0, strip.data(), 5);
            if (oneAtATime) ReadScreen(); // reading back draws what is collected
        }
        Flip(0);
    };
    draw(false);
    int batchedCalls = SdlControl::DrawCallsLastFrame();
    ReadBack batched = ShownScreen();
    draw(true);
    int singleCalls = SdlControl::DrawCallsLastFrame();
    ReadBack single = ShownScreen();
    EXPECT_EQ(batchedCalls, 1);
    EXPECT_EQ(singleCalls, 200);
    EXPECT_FALSE(batched.LitPixels().empty());
    EXPECT_TRUE(batched.Rgba == single.Rgba);
}

TEST_F(GlDrawing, LinesAndPlotsShareOneDrawCall) {
    for (int i = 0; i < 100; ++i) {
        SetColor(i, 255 - i, 128);
        DrawLine(0, static_cast<float>(i), 100, static_cast<float>(i) + 50);
        Plot(static_cast<float>(i), 700);
        DrawLine(500, static_cast<float>(i), 600, static_cast<float>(i), 0);
    }
    Flip(0);
    EXPECT_EQ(SdlControl::DrawCallsLastFrame(), 1);
}

TEST_F(GlDrawing, ChangingKindBlendTextureOrViewportStartsANewBatch) {
    Image other = SolidImage(1, 1, White);
    Quad(0, 0, 10, 10, White);  // 1: strips
    Quad(20, 0, 10, 10, White); //    same batch
    DrawLine(0, 20, 10, 20);    // 2: lines
    Quad(0, 30, 10, 10, White); // 3: strips again
    SetBlend(LIGHTBLEND);
    Quad(0, 40, 10, 10, White); // 4: another blend
    std::vector<StripVertex> strip = QuadStrip(0, 50, 10, 10, White);
    DrawStrip(&other, 0, strip.data(), 4); // 5: another texture
    SetViewport(0, 0, 500, 500);
    DrawStrip(&other, 0, strip.data(), 4); // 6: another clip
    Flip(0);
    EXPECT_EQ(SdlControl::DrawCallsLastFrame(), 6);
    Flip(0);
    EXPECT_EQ(SdlControl::DrawCallsLastFrame(), 0);
}

} // namespace

// A start after the first takes the program the first one kept and draws as the compiled one drew; a keep cut short
// or not a keep at all is compiled afresh, and kept again.
TEST_F(GlDrawing, AStartAfterTheFirstDrawsWithTheProgramTheFirstKept) {
    std::filesystem::path kept = std::filesystem::path(std::getenv("XDG_CACHE_HOME")) / "kestrovar" / "gl-program";
    auto start = [this] {
        Graphics(1024, 768, 0, 60);
        Cls();
        SetColor(255, 0, 0);
        DrawLine(10, 20, 30, 20);
        SetBlend(LIGHTBLEND);
        Quad(40, 40, 8, 8, 0x80FFFFFF);
        SetBlend(SOLIDBLEND);
        return ReadScreen().Rgba;
    };
    std::filesystem::remove(kept);
    std::vector<std::uint8_t> compiled = start();
    EXPECT_FALSE(SdlControl::ProgramWasKept());
    ASSERT_TRUE(std::filesystem::exists(kept));
    EXPECT_TRUE(start() == compiled);
    EXPECT_TRUE(SdlControl::ProgramWasKept());
    std::filesystem::resize_file(kept, std::filesystem::file_size(kept) / 2);
    EXPECT_TRUE(start() == compiled);
    EXPECT_FALSE(SdlControl::ProgramWasKept());
    std::ofstream(kept, std::ios::binary | std::ios::trunc) << "damaged";
    EXPECT_TRUE(start() == compiled);
    EXPECT_FALSE(SdlControl::ProgramWasKept());
    start();
    EXPECT_TRUE(SdlControl::ProgramWasKept());
}
