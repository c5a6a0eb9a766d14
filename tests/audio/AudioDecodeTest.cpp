// The built-in sounds decoded for real: every one decodes whole, none clips or clicks, the effects share one
// loudness, and each music loop's end joins its start, in the samples and in the comments SDL2_mixer loops by.
#include "BuiltInSounds.h"
#include "Synth.h"
#include "platform/Resources.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <vorbis/vorbisfile.h>

namespace {
constexpr int EffectCount = BuiltInEffectCount;
constexpr int ExpectedRate = 44100;
constexpr double ShortestEffect = 0.05, LongestEffect = 3.0;
constexpr double ShortestLoop = 60.0;
constexpr float ClipLevel = 0.99f;      // a sample this high has reached full scale after decoding
constexpr float QuietEdge = 0.01f;      // an effect's first and last samples, so it neither starts nor ends on a click
constexpr double LoudnessWindow = 0.2;  // as the sound maker measures
constexpr double LoudnessSpread = 1.0;  // dB either side of the effects' middle loudness
constexpr double JoinPercentile = 0.99; // the join's step is no larger than this share of all the loop's steps
constexpr double EdgeSeconds = 0.05;    // the stretch either side of the join measured for a gap
constexpr double GapBelowLoopDb = 15.0; // a side of the join this much quieter than the whole loop is a gap
constexpr int DecodeBlockBytes = 4096;

struct Memory {
    const unsigned char* Data;
    std::size_t Size, At;
};

std::size_t ReadMemory(void* into, std::size_t size, std::size_t count, void* source) {
    Memory& m = *static_cast<Memory*>(source);
    std::size_t bytes = std::min(size * count, m.Size - m.At);
    std::memcpy(into, m.Data + m.At, bytes);
    m.At += bytes;
    return size == 0 ? 0 : bytes / size;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
    Memory& m = *static_cast<Memory*>(source);
    ogg_int64_t base = whence == SEEK_SET   ? 0
                       : whence == SEEK_CUR ? static_cast<ogg_int64_t>(m.At)
                                            : static_cast<ogg_int64_t>(m.Size);
    ogg_int64_t to = base + offset;
    if (to < 0 || to > static_cast<ogg_int64_t>(m.Size)) return -1;
    m.At = static_cast<std::size_t>(to);
    return 0;
}

long TellMemory(void* source) { return static_cast<long>(static_cast<Memory*>(source)->At); }

struct Decoded {
    int Channels = 0;
    long Rate = 0;
    ogg_int64_t DeclaredFrames = 0;
    std::vector<Synth::Mono> Samples; // one vector per channel
    std::map<std::string, std::string> Comments;
    double Seconds() const { return Samples.empty() ? 0 : static_cast<double>(Samples[0].size()) / Rate; }
};

// Decodes a built-in sound whole; false when it is missing or not Ogg Vorbis.
bool Decode(const char* storedName, Decoded& out) {
    ResourceBytes bytes = FindResource(storedName);
    if (!bytes) return false;
    Memory memory{bytes.Data, bytes.Size, 0};
    ov_callbacks callbacks{ReadMemory, SeekMemory, nullptr, TellMemory};
    OggVorbis_File file;
    if (ov_open_callbacks(&memory, &file, nullptr, 0, callbacks) != 0) return false;
    vorbis_info* info = ov_info(&file, -1);
    out.Channels = info->channels;
    out.Rate = info->rate;
    out.DeclaredFrames = ov_pcm_total(&file, -1);
    out.Samples.assign(static_cast<std::size_t>(out.Channels), {});
    vorbis_comment* comment = ov_comment(&file, -1);
    for (int i = 0; i < comment->comments; ++i) {
        std::string entry(comment->user_comments[i], static_cast<std::size_t>(comment->comment_lengths[i]));
        std::size_t equals = entry.find('=');
        if (equals != std::string::npos) out.Comments[entry.substr(0, equals)] = entry.substr(equals + 1);
    }
    bool ok = true;
    for (;;) {
        float** pcm = nullptr;
        int section = 0;
        long frames = ov_read_float(&file, &pcm, DecodeBlockBytes, &section);
        if (frames == 0) break;
        if (frames < 0) {
            ok = false;
            break;
        }
        for (int c = 0; c < out.Channels; ++c)
            out.Samples[static_cast<std::size_t>(c)].insert(out.Samples[static_cast<std::size_t>(c)].end(), pcm[c],
                                                            pcm[c] + frames);
    }
    ov_clear(&file);
    return ok;
}

bool IsMusic(int index) { return index >= EffectCount; }

// The size of step a loop takes from one sample to the next at the given share of all its steps.
float StepAtPercentile(const Synth::Mono& samples, double share) {
    std::vector<float> steps(samples.size() - 1);
    for (std::size_t i = 1; i < samples.size(); ++i) steps[i - 1] = std::fabs(samples[i] - samples[i - 1]);
    auto at = steps.begin() + static_cast<long>(share * static_cast<double>(steps.size() - 1));
    std::nth_element(steps.begin(), at, steps.end());
    return *at;
}

Synth::Mono Stretch(const Synth::Mono& samples, std::size_t from, std::size_t count) {
    return Synth::Mono(samples.begin() + static_cast<long>(from), samples.begin() + static_cast<long>(from + count));
}
} // namespace

TEST(BuiltInSoundTest, EverySoundDecodesWholeAtItsRateAndLength) {
    for (int i = 0; i < BuiltInSoundCount; ++i) {
        const char* name = BuiltInSounds[i];
        Decoded sound;
        ASSERT_TRUE(Decode(name, sound)) << name;
        EXPECT_EQ(sound.Rate, ExpectedRate) << name;
        EXPECT_EQ(sound.Channels, IsMusic(i) ? 2 : 1) << name;
        ASSERT_FALSE(sound.Samples[0].empty()) << name;
        EXPECT_EQ(static_cast<ogg_int64_t>(sound.Samples[0].size()), sound.DeclaredFrames) << name;
        if (IsMusic(i)) {
            EXPECT_GE(sound.Seconds(), ShortestLoop) << name;
        } else {
            EXPECT_GE(sound.Seconds(), ShortestEffect) << name;
            EXPECT_LE(sound.Seconds(), LongestEffect) << name;
        }
    }
    Decoded missing;
    EXPECT_FALSE(Decode("res\\NoSuchSound.ogg", missing));
}

TEST(BuiltInSoundTest, NothingClipsEffectsStartAndEndQuietlyAndShareOneLoudness) {
    std::vector<double> loudness;
    for (int i = 0; i < BuiltInSoundCount; ++i) {
        const char* name = BuiltInSounds[i];
        Decoded sound;
        ASSERT_TRUE(Decode(name, sound)) << name;
        for (const Synth::Mono& channel : sound.Samples) EXPECT_LT(Synth::Peak(channel), ClipLevel) << name;
        if (IsMusic(i)) continue;
        const Synth::Mono& samples = sound.Samples[0];
        EXPECT_LT(std::fabs(samples.front()), QuietEdge) << name;
        EXPECT_LT(std::fabs(samples.back()), QuietEdge) << name;
        loudness.push_back(Synth::LoudestWindowLoudness(samples, LoudnessWindow));
    }
    ASSERT_EQ(loudness.size(), static_cast<std::size_t>(EffectCount));
    std::vector<double> sorted = loudness;
    std::sort(sorted.begin(), sorted.end());
    double middle = sorted[sorted.size() / 2];
    for (std::size_t i = 0; i < loudness.size(); ++i)
        EXPECT_NEAR(loudness[i], middle, LoudnessSpread) << BuiltInSounds[i];
}

TEST(BuiltInSoundTest, EachMusicLoopsEndJoinsItsStartWithoutAJumpOrAGap) {
    for (int i = EffectCount; i < BuiltInSoundCount; ++i) {
        const char* name = BuiltInSounds[i];
        Decoded loop;
        ASSERT_TRUE(Decode(name, loop)) << name;
        // SDL2_mixer plays round between these positions: the whole file.
        EXPECT_EQ(loop.Comments["LOOPSTART"], "0") << name;
        EXPECT_EQ(loop.Comments["LOOPLENGTH"], std::to_string(loop.DeclaredFrames)) << name;
        std::size_t edge = Synth::Samples(EdgeSeconds);
        for (const Synth::Mono& channel : loop.Samples) {
            ASSERT_GT(channel.size(), 2 * edge) << name;
            float join = std::fabs(channel.front() - channel.back());
            EXPECT_LE(join, StepAtPercentile(channel, JoinPercentile)) << name;
            double floor = Synth::RmsDecibels(channel) - GapBelowLoopDb;
            EXPECT_GT(Synth::RmsDecibels(Stretch(channel, channel.size() - edge, edge)), floor) << name;
            EXPECT_GT(Synth::RmsDecibels(Stretch(channel, 0, edge)), floor) << name;
        }
    }
}

TEST(BuiltInSoundTest, TheJoinTestCatchesALoopCutAtTheWrongPlace) {
    // The same loop cut a third of a second short: its end no longer meets its start.
    Decoded loop;
    ASSERT_TRUE(Decode("music\\menu-loop.ogg", loop));
    const Synth::Mono& whole = loop.Samples[0];
    std::size_t shortBy = Synth::Samples(1.0 / 3);
    int caught = 0, tries = 0;
    // A wrong cut may land where the two sides happen to meet, but across many cuts most seams are found.
    for (std::size_t cut = shortBy; cut < shortBy * 4; cut += shortBy / 4, ++tries) {
        Synth::Mono wrong = Stretch(whole, 0, whole.size() - cut);
        if (std::fabs(wrong.front() - wrong.back()) > StepAtPercentile(wrong, JoinPercentile)) ++caught;
    }
    EXPECT_GT(caught * 2, tries) << caught << " of " << tries;
}
