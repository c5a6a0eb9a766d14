// What the text pages between the plays share: the backdrop, the frame-rate text, the score and level numbers as
// the pages write them, their headline entries in the data tables, and the any-key scan.
#pragma once
#include <cstdint>
#include <string>

struct World;

// A page text's colour in both styles: packed for the neon style, red, green and blue for the wireframe style.
struct PageColour {
    std::uint32_t Argb;
    int Red, Green, Blue;
};
constexpr PageColour PageBlue = {0xFF4043FF, 64, 67, 255};
constexpr PageColour PageCyan = {0xFF00FFFF, 0, 255, 255};
constexpr PageColour PageYellow = {0xFFFFFF00, 255, 255, 0};
constexpr PageColour PageWhite = {0xFFFFFFFF, 255, 255, 255};
constexpr PageColour PageGreen = {0xFF80FF40, 128, 255, 64};
constexpr float PageSmallText = 0.75f, PageFullText = 1.0f;
// The level page and the lost-ship page close by themselves once shown more frames than this.
constexpr int PageFrameLimit = 240;

void DrawBackdrop();
void DrawFrameRate(const World& w);
// The score with "0" in front up to 8 characters; a longer score shows every digit.
std::string ScoreText(int score);
// A level number with at least two digits: 7 shows as 07.
std::string LevelText(int level);
// Reads the one entry (x, y, scale x, scale y, text) at `label` and queues it, followed by `suffix`, with TypeChars.
void TypeHeadline(const char* label, const std::string& suffix);
// A text at a cell position, upright, at one scale across and down.
void DrawPageText(const std::string& text, float x, float y, PageColour colour, float scale);
// "score" on `row` and the score below it.
void DrawPageScore(const World& w, float row);
void ScanKeys();

constexpr int KeyReturn = 13;
constexpr int LastKeyCode = 255; // the row that ends the key-name table
