// The intro before the main menu: a swirling starfield, the presenter's emblem zooming in while it spins, then the
// credit lines; Escape shortens it.
#pragma once
#include "core/EntityList.h"
#include "game/Loop.h"
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct IntroStars {
    float x = 0, y = 0;
    float speed = 0;
    float angle = 0;
    float dist = 0;
    std::uint32_t color = 0; // packed colour of the star's second dot in the neon style
    float xspeed = 0, yspeed = 0;
};

constexpr int IntroEmblemSegments = 115;
constexpr int IntroWorkSize = 4000; // the emblem table's values: its count, then eight a segment
constexpr std::uint32_t EmblemFlashColour = 0xFFC8D2DC;
// The effect the intro's first frame plays.
extern const char* const IntroOpeningEffect;
extern const std::string PresenterLine;
extern const std::string MakerLine;

// The intro as a screen of the loop, from its sound to the blank frame after it; `next` opens in its place once it
// ends.
std::unique_ptr<Screen> OpenIntro(std::function<std::unique_ptr<Screen>()> next = {});
