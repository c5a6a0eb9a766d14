// The display tests' helpers, and the environment that points SDL at its offscreen driver and shuts it down at the
// end of the run.
#include "GlTestSupport.h"
#include "platform/sdl/SdlControl.h"
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {
class OffscreenEnvironment : public ::testing::Environment {
  public:
    // ctest sets these; a run by hand gets them too, unless it asks for something else.
    // The shader program each display keeps goes to a folder of the run's own, never the user's cache (a death
    // test's child, started again with this environment, keeps to its parent's).
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        const char* cache = std::getenv("XDG_CACHE_HOME");
        if (cache != nullptr && std::strstr(cache, CacheFolderName) != nullptr) return;
        std::string folder = (std::filesystem::temp_directory_path() / CacheFolderName).string() + "XXXXXX";
        if (mkdtemp(folder.data()) == nullptr) return;
        CacheFolder = folder;
        setenv("XDG_CACHE_HOME", folder.c_str(), 1);
    }
    void TearDown() override {
        SdlControl::Shutdown();
        std::error_code ignored;
        if (!CacheFolder.empty()) std::filesystem::remove_all(CacheFolder, ignored);
    }

  private:
    static constexpr const char* CacheFolderName = "kestrovar-gl-tests-cache-";
    std::string CacheFolder;
};

[[maybe_unused]] ::testing::Environment* const Environment =
    ::testing::AddGlobalTestEnvironment(new OffscreenEnvironment);

ReadBack FromPixels(std::vector<std::uint8_t> rgba, int width, int height) {
    ReadBack picture;
    picture.Width = width;
    picture.Height = height;
    picture.Rgba = std::move(rgba);
    return picture;
}
} // namespace

Rgb ReadBack::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return Rgb{-1, -1, -1};
    std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)) * 4;
    return Rgb{Rgba[at], Rgba[at + 1], Rgba[at + 2]};
}

std::set<std::pair<int, int>> ReadBack::LitPixels() const {
    std::set<std::pair<int, int>> lit;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if (Lit(x, y)) lit.insert({x, y});
    return lit;
}

ReadBack ReadScreen() {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba = SdlControl::ReadPixels(width, height);
    return FromPixels(std::move(rgba), width, height);
}

ReadBack ShownScreen() {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba = SdlControl::LastShownFrame(width, height);
    return FromPixels(std::move(rgba), width, height);
}

std::set<std::pair<int, int>> RectanglePixels(int x, int y, int width, int height) {
    std::set<std::pair<int, int>> pixels;
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column) pixels.insert({column, row});
    return pixels;
}

void SetTexel(Image& image, int x, int y, std::uint32_t argb) {
    std::size_t at =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.SheetWidth) + static_cast<std::size_t>(x)) * 4;
    image.Rgba[at] = static_cast<std::uint8_t>(argb >> 16);
    image.Rgba[at + 1] = static_cast<std::uint8_t>(argb >> 8);
    image.Rgba[at + 2] = static_cast<std::uint8_t>(argb);
    image.Rgba[at + 3] = static_cast<std::uint8_t>(argb >> 24);
}

Image SolidImage(int width, int height, std::uint32_t argb, bool filtered) {
    Image image;
    image.Width = image.SheetWidth = width;
    image.Height = image.SheetHeight = height;
    image.Filtered = filtered;
    image.Rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) SetTexel(image, x, y, argb);
    return image;
}

std::vector<StripVertex> QuadStrip(float x, float y, float width, float height, std::uint32_t argb) {
    return {{x, y, 0, 0, argb},
            {x + width, y, 1, 0, argb},
            {x, y + height, 0, 1, argb},
            {x + width, y + height, 1, 1, argb}};
}

bool Near(const Rgb& colour, const Rgb& expected, int slack) {
    return std::abs(colour.Red - expected.Red) <= slack && std::abs(colour.Green - expected.Green) <= slack &&
           std::abs(colour.Blue - expected.Blue) <= slack;
}
