// The synthesis building blocks that keep state or walk whole sounds: wrapping onto loops, echo, reverb, loudness.
#include "Synth.h"
#include <algorithm>

namespace Synth {

namespace {
// The loudness weighting: a high shelf of about +4 dB above 1.7 kHz and a low cut at 38 Hz, as broadcast loudness
// meters weight what they hear.
constexpr double ShelfHz = 1681.974450955533;
constexpr double ShelfGainDb = 3.999843853973347;
constexpr double ShelfQ = 0.7071752369554196;
constexpr double ShelfBandExponent = 0.4996667741545416;
constexpr double LowCutHz = 38.13547087602444;
constexpr double LowCutQ = 0.5003270373238773;
constexpr double LoudnessOffsetDb = -0.691;
constexpr double WindowHopSeconds = 0.01;
constexpr double SilenceDb = -120.0;

Biquad ShelfStage() {
    double k = std::tan(Pi * ShelfHz / SampleRate);
    double vh = std::pow(10.0, ShelfGainDb / 20.0);
    double vb = std::pow(vh, ShelfBandExponent);
    double a0 = 1.0 + k / ShelfQ + k * k;
    return Biquad((vh + vb * k / ShelfQ + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / ShelfQ + k * k) / a0,
                  2.0 * (k * k - 1.0) / a0, (1.0 - k / ShelfQ + k * k) / a0);
}

Biquad LowCutStage() {
    double k = std::tan(Pi * LowCutHz / SampleRate);
    double a0 = 1.0 + k / LowCutQ + k * k;
    return Biquad(1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / LowCutQ + k * k) / a0);
}

// The hall's delay lengths in samples: spread so that no two share a factor and build up one pitch.
constexpr std::size_t CombLengths[] = {1103, 1213, 1307, 1409, 1493, 1597, 1693, 1789};
constexpr std::size_t AllpassLengths[] = {563, 443, 349, 223};
constexpr std::size_t RightSpread = 31;
constexpr double AllpassGain = 0.5;
constexpr double ReverbInputGain = 0.02;
} // namespace

void FadeEdges(Mono& sound, double fadeInSeconds, double fadeOutSeconds) {
    std::size_t in = std::min(Samples(fadeInSeconds), sound.size());
    std::size_t out = std::min(Samples(fadeOutSeconds), sound.size());
    for (std::size_t i = 0; i < in; ++i) sound[i] *= static_cast<float>(i) / static_cast<float>(in);
    for (std::size_t i = 0; i < out; ++i)
        sound[sound.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(out);
}

void AddWrapped(Mono& loop, const Mono& sound, std::size_t start, float gain) {
    if (loop.empty()) return;
    for (std::size_t i = 0; i < sound.size(); ++i) loop[(start + i) % loop.size()] += sound[i] * gain;
}

void AddWrapped(Stereo& loop, const Mono& sound, std::size_t start, float gain, float pan) {
    if (loop.Length() == 0) return;
    // Equal power: the centre is 3 dB down on each side.
    double angle = (pan + 1) * Pi / 4;
    float left = static_cast<float>(std::cos(angle)) * gain;
    float right = static_cast<float>(std::sin(angle)) * gain;
    for (std::size_t i = 0; i < sound.size(); ++i) {
        std::size_t at = (start + i) % loop.Length();
        loop.Left[at] += sound[i] * left;
        loop.Right[at] += sound[i] * right;
    }
}

void AddScaled(Stereo& into, const Stereo& from, float gain) {
    std::size_t length = std::min(into.Length(), from.Length());
    for (std::size_t i = 0; i < length; ++i) {
        into.Left[i] += from.Left[i] * gain;
        into.Right[i] += from.Right[i] * gain;
    }
}

PingPongDelay::PingPongDelay(std::size_t delaySamples, double feedback, double dampingHz)
    : Left(delaySamples, 0.0f), Right(delaySamples, 0.0f), Feedback(feedback), DampingHz(dampingHz) {}

void PingPongDelay::Process(float inLeft, float inRight, float& outLeft, float& outRight) {
    outLeft = Left[At];
    outRight = Right[At];
    // What left sent comes back on the right, and the other way round.
    Left[At] = inLeft + static_cast<float>(Feedback) * DampLeft.Low(outRight, DampingHz);
    Right[At] = inRight + static_cast<float>(Feedback) * DampRight.Low(outLeft, DampingHz);
    At = (At + 1) % Left.size();
}

Reverb::Reverb(double size, double feedback, double damping) : Feedback(feedback), Damping(damping) {
    auto scaled = [size](std::size_t length) {
        return std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(static_cast<double>(length) * size)));
    };
    for (std::size_t length : CombLengths) {
        CombsLeft.push_back({std::vector<float>(scaled(length), 0.0f)});
        CombsRight.push_back({std::vector<float>(scaled(length + RightSpread), 0.0f)});
    }
    for (std::size_t length : AllpassLengths) {
        AllpassLeft.push_back({std::vector<float>(scaled(length), 0.0f)});
        AllpassRight.push_back({std::vector<float>(scaled(length + RightSpread), 0.0f)});
    }
}

float Reverb::RunComb(Comb& comb, float in, double feedback, double damping) {
    float out = comb.Line[comb.At];
    comb.Store = out * (1 - damping) + comb.Store * damping;
    comb.Line[comb.At] = in + static_cast<float>(comb.Store * feedback);
    comb.At = (comb.At + 1) % comb.Line.size();
    return out;
}

float Reverb::RunAllpass(Allpass& allpass, float in) {
    float delayed = allpass.Line[allpass.At];
    float out = delayed - in;
    allpass.Line[allpass.At] = in + delayed * static_cast<float>(AllpassGain);
    allpass.At = (allpass.At + 1) % allpass.Line.size();
    return out;
}

void Reverb::Process(float inLeft, float inRight, float& outLeft, float& outRight) {
    float in = (inLeft + inRight) * static_cast<float>(ReverbInputGain);
    float left = 0, right = 0;
    for (Comb& comb : CombsLeft) left += RunComb(comb, in, Feedback, Damping);
    for (Comb& comb : CombsRight) right += RunComb(comb, in, Feedback, Damping);
    for (Allpass& allpass : AllpassLeft) left = RunAllpass(allpass, left);
    for (Allpass& allpass : AllpassRight) right = RunAllpass(allpass, right);
    outLeft = left;
    outRight = right;
}

double LoudestWindowLoudness(const Mono& sound, double windowSeconds) {
    Biquad shelf = ShelfStage();
    Biquad lowCut = LowCutStage();
    std::vector<double> squares(sound.size());
    for (std::size_t i = 0; i < sound.size(); ++i) {
        double weighted = lowCut.Process(shelf.Process(sound[i]));
        squares[i] = weighted * weighted;
    }
    // A sound shorter than the window is measured over the whole window, as the ear hears a short blip as quieter.
    std::size_t window = Samples(windowSeconds);
    std::size_t hop = std::max<std::size_t>(1, Samples(WindowHopSeconds));
    double loudest = 0;
    for (std::size_t start = 0; start == 0 || start + window <= squares.size(); start += hop) {
        double sum = 0;
        for (std::size_t i = start; i < std::min(start + window, squares.size()); ++i) sum += squares[i];
        loudest = std::max(loudest, sum / static_cast<double>(window));
    }
    return loudest > 0 ? LoudnessOffsetDb + 10 * std::log10(loudest) : SilenceDb;
}

float Peak(const Mono& sound) {
    float peak = 0;
    for (float s : sound) peak = std::max(peak, std::fabs(s));
    return peak;
}

float Peak(const Stereo& sound) { return std::max(Peak(sound.Left), Peak(sound.Right)); }

double RmsDecibels(const Mono& sound) {
    double sum = 0;
    for (float s : sound) sum += static_cast<double>(s) * s;
    if (sound.empty() || sum <= 0) return SilenceDb;
    return 10 * std::log10(sum / static_cast<double>(sound.size()));
}

void Scale(Mono& sound, float gain) {
    for (float& s : sound) s *= gain;
}

void Scale(Stereo& sound, float gain) {
    Scale(sound.Left, gain);
    Scale(sound.Right, gain);
}

float SoftLimit(float x, float knee, float ceiling) {
    float magnitude = std::fabs(x);
    if (magnitude <= knee) return x;
    float room = ceiling - knee;
    float bent = knee + room * std::tanh((magnitude - knee) / room);
    return x < 0 ? -bent : bent;
}

} // namespace Synth
