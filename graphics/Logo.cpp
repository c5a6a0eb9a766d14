// The title wordmark from the logo table, and the polygon outline of the glow screen.
#include "Logo.h"
#include "Art.h"
#include "Images.h"
#include "TPoly.h"
#include "core/Settings.h"
#include "platform/Data.h"
#include "platform/Display.h"
#include "platform/Random.h"
#include "platform/System.h"

namespace {
constexpr std::uint32_t LogoGrey = 0xFF808080;
constexpr int WireframeGrey = 128;
constexpr int White = 255;
constexpr std::uint32_t PolygonTeal = 0xFF009090;
constexpr std::uint32_t PolygonYellow = 0xFFFFFF00;
constexpr int PolygonDarkGrey = 64;
constexpr float FullTurnDegrees = 360;

enum class LogoPart { Whole, Outer, Inner };

void DrawLogoLines(int first, int last, int angle, LogoPart part) {
    float a = static_cast<float>(angle);
    float cosine = Cos(a), sine = Sin(a);
    float centreX = static_cast<float>(TheSettings.PlayfieldOffsetX) + LogoCentreX;
    float centreY = static_cast<float>(TheSettings.PlayfieldOffsetY) + LogoCentreY;
    for (int k = first; k <= last; ++k) {
        const int* line = &TheArt.LogoData[k * LogoValuesPerLine];
        float x1 = static_cast<float>(line[1]), y1 = static_cast<float>(line[2]);
        float x2 = static_cast<float>(line[3]), y2 = static_cast<float>(line[4]);
        float rx1 = x1 * cosine - y1 * sine, ry1 = x1 * sine + y1 * cosine;
        float rx2 = x2 * cosine - y2 * sine, ry2 = x2 * sine + y2 * cosine;
        if (TheSettings.NeonMode == 1) {
            std::uint32_t colour = static_cast<std::uint32_t>(line[0]);
            // Without colours the inner outline alone turns grey, so the halves stay apart as they spin in.
            if (TheSettings.ColorsOn == 0) colour = part == LogoPart::Inner ? LogoGrey : OpaqueWhite;
            TPoly::Line(TheArt.GlowDotImage, 0, centreX + rx1, centreY + ry1, colour, centreX + rx2, centreY + ry2,
                        colour, static_cast<float>(GlowWidth5), true, false);
        } else {
            if (TheSettings.ColorsOn == 1)
                SetColor(line[5], line[6], line[7]);
            else if (k < LogoOuterLines)
                SetColor(White, White, White);
            else
                SetColor(WireframeGrey, WireframeGrey, WireframeGrey);
            DrawLine(centreX + rx1, centreY + ry1, centreX + rx2, centreY + ry2, 1);
        }
    }
    if (TheSettings.NeonMode == 0) SetColor(White, White, White);
}
} // namespace

void ReadLogo() {
    RestoreData("LogoData");
    TheArt.LogoLineCount = ReadDataInt();
    int values = TheArt.LogoLineCount * LogoValuesPerLine;
    if (values < 0 || values > LogoDataSize) RuntimeError("Logo table too large");
    for (int i = 0; i < values; ++i) TheArt.LogoData[i] = ReadDataInt();
}

void ResetLogo() { TheArt.LogoLineCount = 0; }

void DrawLogo(int angle) { DrawLogoLines(0, TheArt.LogoLineCount - 1, angle, LogoPart::Whole); }

void DrawLogoOuter(int angle) { DrawLogoLines(0, LogoOuterLines - 1, angle, LogoPart::Outer); }

void DrawLogoInner(int angle) { DrawLogoLines(LogoOuterLines, TheArt.LogoLineCount - 1, angle, LogoPart::Inner); }

void DrawPolygonShape(float x, float y, int angle, int sides, float size, std::uint32_t colour) {
    float step = static_cast<float>(static_cast<int>(FullTurnDegrees) / sides);
    float radius = (size / 2) / Sin(step / 2);
    float offsetX = static_cast<float>(TheSettings.PlayfieldOffsetX),
          offsetY = static_cast<float>(TheSettings.PlayfieldOffsetY);
    auto cornerX = [&](int i) {
        return x - Sin(static_cast<float>(angle) + step * static_cast<float>(i)) * radius + offsetX;
    };
    auto cornerY = [&](int i) {
        return y - Cos(static_cast<float>(angle) + step * static_cast<float>(i)) * radius + offsetY;
    };
    if (TheSettings.NeonMode == 1) {
        for (int i = 0; i < sides; ++i)
            TPoly::Line(TheArt.GlowDotImage, 0, cornerX(i), cornerY(i), colour, cornerX(i + 1), cornerY(i + 1), colour,
                        static_cast<float>(GlowWidth5), true, false);
        return;
    }
    // The wireframe style knows the glow screen's two colours; any other leaves the drawing colour as it is.
    if (colour == PolygonTeal) SetColor(PolygonDarkGrey, PolygonDarkGrey, PolygonDarkGrey);
    if (colour == PolygonYellow) SetColor(White, White, White);
    for (int i = 0; i < sides; ++i) DrawLine(cornerX(i), cornerY(i), cornerX(i + 1), cornerY(i + 1), 1);
    SetColor(White, White, White);
}
