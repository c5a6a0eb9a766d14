// The vector font's tables and text operations: glyphs drawn stroke by stroke in 28-unit cells, the pop-in zoom,
// and the text pages whose characters appear one a frame.
#include "VectorFont.h"
#include "Art.h"
#include "Images.h"
#include "TPoly.h"
#include "core/Settings.h"
#include "platform/Data.h"
#include "platform/Display.h"
#include "platform/Random.h"
#include "platform/System.h"
#include <string>

const std::string FontCharset = " abcdefghijklmnopqrstuvwxyz\xA4"
                                "0123456789.,?=/-+()':;@!*>#";
EntityList<chars> CharsList;
int TextCharCount;

namespace {
constexpr std::size_t CentredWidth = 48; // cells the padded text reaches: 48 x 21 units spans the playfield at 0.75
constexpr int GreyText = 192;
constexpr int FullIntensity = 255;
constexpr std::size_t RememberedTexts = 128;
std::deque<std::string> TextMemory;

// Each text once: a page drawing the same lines every frame keeps them all in view.
void RememberText(const std::string& text) {
    for (const std::string& known : TextMemory)
        if (known == text) return;
    if (TextMemory.size() == RememberedTexts) TextMemory.pop_front();
    TextMemory.push_back(text);
}

struct TextStyle {
    int GlowWidth;
    int WireframeGrey; // the wireframe colour when ColorsOn is 0
};

struct Pen {
    float X, Y;
};

Pen StartPen(float x, float y, float scale, float rowScale, int pixelPosition) {
    if (pixelPosition == 1) return {x, y};
    return {x * TextCell * scale, y * TextCell * rowScale};
}

int GlyphAt(const std::string& text, std::size_t i) { return FontGlyphIndex(text[i]); }

void DrawTurnedText(const std::string& text, float x, float y, std::uint32_t colour, float angle, float scale,
                    float rowScale, int pixelPosition, int red, int green, int blue, TextStyle style) {
    Pen pen = StartPen(x, y, scale, rowScale, pixelPosition);
    if (TheSettings.NeonMode == 1) {
        TPoly::_Begin();
        if (TheSettings.ColorsOn == 0) colour = OpaqueWhite;
    }
    if (TheSettings.NeonMode == 0 && TheSettings.ColorsOn == 0)
        SetColor(style.WireframeGrey, style.WireframeGrey, style.WireframeGrey);
    float cosine = Cos(angle);
    float sine = Sin(angle);
    float width = static_cast<float>(style.GlowWidth);
    float offsetX = static_cast<float>(TheSettings.PlayfieldOffsetX);
    float offsetY = static_cast<float>(TheSettings.PlayfieldOffsetY);
    for (std::size_t i = 0; i < text.size(); ++i) {
        int g = GlyphAt(text, i);
        if (g > 0) {
            const int* glyph = TheArt.FontGlyphs[g];
            for (int k = 0; k <= glyph[0]; ++k) {
                const int* stroke = glyph + 1 + 4 * k;
                float sx1 = static_cast<float>(stroke[0]) * scale;
                float sy1 = static_cast<float>(stroke[1]) * scale;
                float sx2 = static_cast<float>(stroke[2]) * scale;
                float sy2 = static_cast<float>(stroke[3]) * scale;
                float rx1 = sx1 * cosine - sy1 * sine;
                float ry1 = sx1 * sine + sy1 * cosine;
                float rx2 = sx2 * cosine - sy2 * sine;
                float ry2 = sx2 * sine + sy2 * cosine;
                float x1 = offsetX + pen.X + rx1;
                float y1 = offsetY + pen.Y + ry1;
                float x2 = offsetX + pen.X + rx2;
                float y2 = offsetY + pen.Y + ry2;
                if (TheSettings.NeonMode == 1)
                    TPoly::Line(TheArt.GlowDotImage, 0, x1, y1, colour, x2, y2, colour, width, true, false);
                if (TheSettings.NeonMode == 0) {
                    if (TheSettings.ColorsOn == 1) SetColor(red, green, blue);
                    DrawLine(x1, y1, x2, y2, 1);
                }
            }
        }
        pen.X += TextCell * scale;
    }
    if (TheSettings.NeonMode == 1) TPoly::_End();
    if (TheSettings.NeonMode == 0) SetColor(FullIntensity, FullIntensity, FullIntensity);
}
} // namespace

int FontGlyphIndex(char character) {
    if (character >= 'A' && character <= 'Z') character = static_cast<char>(character - 'A' + 'a');
    std::size_t found = FontCharset.find(character);
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

void LoadZoomTable() {
    RestoreData("ZoomTable");
    for (int i = 0; i < ZoomSteps; ++i) TheArt.ZoomTable[i] = ReadDataFloat();
}

void LoadFontGlyphs() {
    RestoreData("FontGlyphs");
    for (int g = 1; g <= static_cast<int>(FontCharset.size()) - 1; ++g) {
        int last = ReadDataInt();
        if (last < 0 || last >= FontMostStrokes) {
            std::string message = "Glyph " + std::to_string(g) + " has " + std::to_string(last + 1) + " strokes";
            RuntimeError(message.c_str());
        }
        TheArt.FontGlyphs[g][0] = last;
        for (int k = 0; k <= last; ++k)
            for (int c = 1; c <= 4; ++c) TheArt.FontGlyphs[g][4 * k + c] = ReadDataInt();
    }
}

void DrawVectorText(const std::string& text, float x, float y, std::uint32_t colour, float angle, float scale,
                    float rowScale, int pixelPosition, int red, int green, int blue) {
    RememberText(text);
    DrawTurnedText(text, x, y, colour, angle, scale, rowScale, pixelPosition, red, green, blue, {GlowWidth3, GreyText});
}

void DrawVectorTextBold(const std::string& text, float x, float y, std::uint32_t colour, float angle, float scale,
                        float rowScale, int pixelPosition, int red, int green, int blue) {
    RememberText(text);
    DrawTurnedText(text, x, y, colour, angle, scale, rowScale, pixelPosition, red, green, blue,
                   {GlowWidth10, FullIntensity});
}

void DrawZoomText(const std::string& text, float x, float y, std::uint32_t colour, float zoomStep, float scale,
                  float rowScale, int pixelPosition, int red, int green, int blue) {
    // A step outside the stored curve stays on the table: past the start it shows nothing, past the end nothing
    // either (the unused entries are 0).
    int index = Trunc(static_cast<float>(ZoomStepStart) - zoomStep);
    if (index < 0) index = 0;
    if (index >= ZoomTableSize) index = ZoomTableSize - 1;
    float size = TheArt.ZoomTable[index] * scale;
    Pen pen = StartPen(x, y, scale, rowScale, pixelPosition);
    if (TheSettings.NeonMode == 1 && TheSettings.ColorsOn == 0) colour = OpaqueWhite;
    float width = static_cast<float>(GlowWidth3);
    float offsetX = static_cast<float>(TheSettings.PlayfieldOffsetX);
    float offsetY = static_cast<float>(TheSettings.PlayfieldOffsetY);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (TheSettings.NeonMode == 0) {
            SetColor(red, green, blue);
            if (TheSettings.ColorsOn == 0) SetColor(FullIntensity, FullIntensity, FullIntensity);
        }
        int g = GlyphAt(text, i);
        if (g > 0) {
            const int* glyph = TheArt.FontGlyphs[g];
            for (int k = 0; k <= glyph[0]; ++k) {
                const int* stroke = glyph + 1 + 4 * k;
                float x1 = offsetX + pen.X + static_cast<float>(stroke[0]) * size;
                float y1 = offsetY + pen.Y + static_cast<float>(stroke[1]) * size;
                float x2 = offsetX + pen.X + static_cast<float>(stroke[2]) * size;
                float y2 = offsetY + pen.Y + static_cast<float>(stroke[3]) * size;
                if (TheSettings.NeonMode == 1)
                    TPoly::Line(TheArt.GlowDotImage, 0, x1, y1, colour, x2, y2, colour, width, true, false);
                if (TheSettings.NeonMode == 0) DrawLine(x1, y1, x2, y2, 1);
            }
        }
        pen.X += TextCell * scale;
    }
    if (TheSettings.NeonMode == 0) SetColor(FullIntensity, FullIntensity, FullIntensity);
}

void DrawCentredText(const std::string& text, float y, std::uint32_t colour, float scale, int red, int green,
                     int blue) {
    std::string padded = text;
    do {
        padded = " " + padded + " ";
    } while (padded.size() < CentredWidth);
    DrawVectorText(padded, 0, y, colour, 0, scale, scale, 0, red, green, blue);
}

void TypeChars(int column, int row, const std::string& text, float scale, float rowScale, std::uint32_t colour, int red,
               int green, int blue) {
    RememberText(text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        chars& character = CharsList.Add();
        character.x = column + static_cast<int>(i);
        character.y = row;
        character.xscale = scale;
        character.yscale = rowScale;
        character.angle = ZoomStepStart;
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        character.Char = std::string(1, c);
        character.pause = TextCharCount;
        TextCharCount += 1;
        character.color = colour;
        character.rcol = red;
        character.gcol = green;
        character.bcol = blue;
    }
}

void StepChars() {
    CharsList.Walk([](chars& character) {
        if (character.pause > 0) character.pause -= 1;
        if (character.pause == 0 && character.angle > 0) character.angle -= 1;
    });
}

void ShowChars() {
    CharsList.Each([](const chars& character) {
        if (character.pause == 0)
            DrawZoomText(character.Char, static_cast<float>(character.x), static_cast<float>(character.y),
                         character.color, static_cast<float>(character.angle), character.xscale, character.yscale, 0,
                         character.rcol, character.gcol, character.bcol);
    });
}

void DrawChars() {
    StepChars();
    ShowChars();
}

const std::deque<std::string>& RecentTexts() { return TextMemory; }

void ResetVectorText() {
    TextMemory.clear();
    CharsList.Clear();
    TextCharCount = 0;
    for (auto& row : TheArt.FontGlyphs)
        for (int& cell : row) cell = 0;
    for (float& size : TheArt.ZoomTable) size = 0;
}
