// Makes every built-in sound of Kestrovar: renders the effects and the music loops, brings the effects to one
// loudness, and writes them as Ogg Vorbis under res/ and music/ of the source tree given on the command line.
#include "OggWriter.h"
#include "Sounds.h"
#include "Synth.h"
#include <cstdio>
#include <filesystem>
#include <string>

using namespace Synth;

namespace {
// Every effect is brought to this ear-weighted loudness over its loudest fifth of a second, unless its peak
// would pass the ceiling first (the encoder's ripples need the headroom above it).
constexpr double EffectLoudness = -17.5;
constexpr double LoudnessWindow = 0.2;
constexpr float EffectCeiling = 0.79f;
constexpr float EffectQuality = 0.5f;
constexpr float MusicQuality = 0.35f;
constexpr int FirstSerial = 0x4B530000;

bool WriteEffect(const std::string& root, const EffectRecipe& recipe, int serial) {
    Mono sound = recipe.Make();
    double loudness = LoudestWindowLoudness(sound, LoudnessWindow);
    float gain = static_cast<float>(Decibels(EffectLoudness - loudness));
    float peak = Peak(sound);
    bool capped = peak * gain > EffectCeiling;
    if (capped) gain = EffectCeiling / peak;
    Scale(sound, gain);
    std::string error;
    if (!WriteOggVorbis(root + "/" + recipe.File, {sound}, SampleRate, EffectQuality, {{"TITLE", recipe.File}}, serial,
                        error)) {
        std::fprintf(stderr, "%s: %s\n", recipe.File, error.c_str());
        return false;
    }
    std::printf("%-24s %6.3f s  peak %6.2f dBFS  loudness %6.1f%s\n", recipe.File, Seconds(sound.size()),
                20 * std::log10(Peak(sound)), LoudestWindowLoudness(sound, LoudnessWindow),
                capped ? "  (held by the ceiling)" : "");
    return true;
}

bool WriteMusic(const std::string& root, const MusicRecipe& recipe, int serial) {
    Stereo loop = recipe.Make();
    // SDL2_mixer loops a stream between these two sample positions without a gap.
    VorbisComments comments = {
        {"TITLE", recipe.File}, {"LOOPSTART", "0"}, {"LOOPLENGTH", std::to_string(loop.Length())}};
    std::string error;
    if (!WriteOggVorbis(root + "/" + recipe.File, {loop.Left, loop.Right}, SampleRate, MusicQuality, comments, serial,
                        error)) {
        std::fprintf(stderr, "%s: %s\n", recipe.File, error.c_str());
        return false;
    }
    std::printf("%-24s %6.3f s  peak %6.2f dBFS  rms %6.1f / %6.1f dBFS  loop %zu samples\n", recipe.File,
                Seconds(loop.Length()), 20 * std::log10(Peak(loop)), RmsDecibels(loop.Left), RmsDecibels(loop.Right),
                loop.Length());
    return true;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <source tree>   (writes res/*.ogg and music/*.ogg)\n", argv[0]);
        return 2;
    }
    std::string root = argv[1];
    std::error_code ignored;
    for (const char* folder : {"res", "music"}) std::filesystem::create_directories(root + "/" + folder, ignored);
    int serial = FirstSerial;
    bool ok = true;
    for (const EffectRecipe& recipe : EffectRecipes()) ok = WriteEffect(root, recipe, serial++) && ok;
    for (const MusicRecipe& recipe : MusicRecipes()) ok = WriteMusic(root, recipe, serial++) && ok;
    return ok ? 0 : 1;
}
