// The sounds the tool makes: each effect and each music loop with the file it is stored in.
#pragma once
#include "Synth.h"
#include <vector>

struct EffectRecipe {
    const char* File; // relative to the source tree: "res/BlipSND.ogg"
    Synth::Mono (*Make)();
};

struct MusicRecipe {
    const char* File;
    Synth::Stereo (*Make)(); // exactly one loop long: its end joins its start
};

const std::vector<EffectRecipe>& EffectRecipes();
const std::vector<MusicRecipe>& MusicRecipes();
