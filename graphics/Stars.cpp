// The starfield: placed at random when a game or the menu starts, then never moved.
#include "Stars.h"
#include "Art.h"
#include "Images.h"
#include "TPoly.h"
#include "core/Settings.h"
#include "platform/Display.h"
#include "platform/Random.h"
#include <cstdint>

EntityList<Stars> StarsList;

namespace {
constexpr int StarCount = 24;
constexpr int StarLeft = 32, StarRight = 992, StarTop = 32, StarBottom = 736;
constexpr std::uint32_t StarColour = 0xFF0491B4;
constexpr std::uint32_t StarGrey = 0xFFC0C0C0;
constexpr int WireframeStarGrey = 192;
constexpr int White = 255;
} // namespace

void CreateStars() {
    StarsList.Clear();
    for (int i = 0; i < StarCount; ++i) {
        Stars& star = StarsList.Add();
        // x is drawn before y.
        int x = Rand(StarLeft, StarRight);
        int y = Rand(StarTop, StarBottom);
        star.x = static_cast<float>(x);
        star.y = static_cast<float>(y);
    }
}

void DrawStars() {
    float offsetX = static_cast<float>(TheSettings.PlayfieldOffsetX);
    float offsetY = static_cast<float>(TheSettings.PlayfieldOffsetY);
    if (TheSettings.NeonMode == 1) {
        std::uint32_t colour = TheSettings.ColorsOn == 1 ? StarColour : StarGrey;
        float width = static_cast<float>(GlowWidth3);
        // A one-unit diagonal stroke whose round caps make a glowing dot.
        StarsList.Each([&](const Stars& star) {
            TPoly::Line(TheArt.GlowDotImage, 0, star.x + offsetX, star.y + offsetY, colour, star.x + 1 + offsetX,
                        star.y + 1 + offsetY, colour, width, true, false);
        });
        return;
    }
    SetColor(WireframeStarGrey, WireframeStarGrey, WireframeStarGrey);
    StarsList.Each([&](const Stars& star) { Plot(star.x + offsetX, star.y + offsetY); });
    SetColor(White, White, White);
}

void ResetStars() { StarsList.Clear(); }
