// The vector font: text drawn stroke by stroke, the pop-in zoom and the letter-by-letter pages.
#pragma once
#include <cstdint>
#include <string>

void LoadZoomTable();
void LoadFontGlyphs();
void DrawVectorText(const std::string& text, float x, float y, std::uint32_t colour, float angle, float scale,
                    float rowScale, int pixelPosition, int red, int green, int blue);
void DrawZoomText(const std::string& text, float x, float y, std::uint32_t colour, float zoomStep, float scale,
                  float rowScale, int pixelPosition, int red, int green, int blue);
