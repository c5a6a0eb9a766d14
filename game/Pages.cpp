// The pieces the level, ship-lost and game-over pages share.
#include "Pages.h"
#include "GameLoop.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "fortress/World.h"
#include "graphics/Art.h"
#include "graphics/Images.h"
#include "graphics/VectorFont.h"
#include "platform/Data.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Text.h"

namespace {
constexpr std::size_t ScoreDigits = 8;
constexpr int TwoDigits = 10;
constexpr std::uint32_t HeadlineColour = 0xFFFF4080;
constexpr int HeadlineRed = 255, HeadlineGreen = 64, HeadlineBlue = 128;
constexpr std::uint32_t FrameRateColour = 0xFF4043FF;
constexpr int FrameRateRed = 64, FrameRateGreen = 67, FrameRateBlue = 255;
constexpr float FrameRateColumn = 41, FrameRateRow = 35.5f, FrameRateScale = 0.75f;
} // namespace

void DrawBackdrop() {
    if (TheSettings.UseBackground == 1)
        DrawImage(TheArt.BackdropImage, static_cast<float>(TheSettings.PlayfieldOffsetX),
                  static_cast<float>(TheSettings.PlayfieldOffsetY), 0);
}

void DrawFrameRate(const World& w) {
    if (TheControls.ShowFrameRate == 1)
        DrawVectorText("FPS: " + IntToText(w.Fps), FrameRateColumn, FrameRateRow, FrameRateColour, 0, FrameRateScale,
                       FrameRateScale, 0, FrameRateRed, FrameRateGreen, FrameRateBlue);
}

std::string ScoreText(int score) {
    std::string text = IntToText(score);
    while (text.size() < ScoreDigits) text = "0" + text;
    return text;
}

std::string LevelText(int level) {
    std::string text = IntToText(level);
    if (level < TwoDigits) text = "0" + text;
    return text;
}

void TypeHeadline(const char* label, const std::string& suffix) {
    RestoreData(label);
    int x = ReadDataInt();
    int y = ReadDataInt();
    float scaleX = ReadDataFloat();
    float scaleY = ReadDataFloat();
    std::string text = ReadDataString();
    TypeChars(x, y, text + suffix, scaleX, scaleY, HeadlineColour, HeadlineRed, HeadlineGreen, HeadlineBlue);
}

void DrawPageText(const std::string& text, float x, float y, PageColour colour, float scale) {
    DrawVectorText(text, x, y, colour.Argb, 0, scale, scale, 0, colour.Red, colour.Green, colour.Blue);
}

void DrawPageScore(const World& w, float row) {
    constexpr float ScoreColumn = 16.5f, DigitsColumn = 15, DigitsBelow = 1.5f;
    DrawPageText("score", ScoreColumn, row, PageBlue, PageFullText);
    DrawPageText(ScoreText(w.Score), DigitsColumn, row + DigitsBelow, PageYellow, PageFullText);
}

void ScanKeys() {
    TheControls.KeyPressed = 0;
    RestoreData("KeyNames");
    int code = 0;
    do {
        code = ReadDataInt();
        SkipDataValue(); // the key's name
        if (KeyHit(code)) TheControls.KeyPressed = code;
    } while (code != LastKeyCode && code != TheControls.KeyPressed);
}
