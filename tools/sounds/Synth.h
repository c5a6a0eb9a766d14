// The building blocks of Kestrovar's sound synthesis: a seeded random source, oscillators, filters, envelopes, a
// delay and a reverb, and the loudness measure every effect is brought to.
#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

namespace Synth {

constexpr int SampleRate = 44100;
constexpr double Pi = 3.14159265358979323846;
constexpr double TwoPi = 2 * Pi;
constexpr double ConcertA = 440.0;
constexpr int ConcertANote = 69;
constexpr double SemitonesPerOctave = 12.0;
constexpr double CentsPerSemitone = 100.0;

using Mono = std::vector<float>;
struct Stereo {
    Mono Left, Right;
    explicit Stereo(std::size_t length = 0) : Left(length, 0.0f), Right(length, 0.0f) {}
    std::size_t Length() const { return Left.size(); }
};

inline std::size_t Samples(double seconds) { return static_cast<std::size_t>(std::lround(seconds * SampleRate)); }
inline double Seconds(std::size_t sample) { return static_cast<double>(sample) / SampleRate; }
inline double NoteHz(double note) { return ConcertA * std::pow(2.0, (note - ConcertANote) / SemitonesPerOctave); }
inline double CentsRatio(double cents) { return std::pow(2.0, cents / (CentsPerSemitone * SemitonesPerOctave)); }
inline double Decibels(double db) { return std::pow(10.0, db / 20.0); }

// A fixed-seed generator: the same seed gives the same sounds on every machine.
class Random {
  public:
    explicit Random(std::uint64_t seed) : State(seed * 2 + 1) {}
    std::uint32_t Next() {
        State ^= State >> 12;
        State ^= State << 25;
        State ^= State >> 27;
        return static_cast<std::uint32_t>((State * 2685821657736338717ull) >> 32);
    }
    double Uniform() { return Next() / 4294967296.0; } // [0, 1)
    double Bipolar() { return Uniform() * 2 - 1; }     // [-1, 1)
    bool Chance(double probability) { return Uniform() < probability; }
    int Below(int count) { return static_cast<int>(Uniform() * count); }

  private:
    std::uint64_t State;
};

// Pink noise from white: three first-order sections that together fall about 3 dB an octave.
class PinkNoise {
  public:
    explicit PinkNoise(std::uint64_t seed) : Source(seed) {}
    float Next() {
        double white = Source.Bipolar();
        B0 = 0.99765 * B0 + white * 0.0990460;
        B1 = 0.96300 * B1 + white * 0.2965164;
        B2 = 0.57000 * B2 + white * 1.0526913;
        return static_cast<float>((B0 + B1 + B2 + white * 0.1848) * PinkScale);
    }

  private:
    static constexpr double PinkScale = 0.2;
    Random Source;
    double B0 = 0, B1 = 0, B2 = 0;
};

// Brown noise: integrated white noise with a leak so it never wanders off.
class BrownNoise {
  public:
    explicit BrownNoise(std::uint64_t seed) : Source(seed) {}
    float Next() {
        Value = Value * Leak + Source.Bipolar() * Step;
        return static_cast<float>(Value * BrownScale);
    }

  private:
    static constexpr double Leak = 0.995;
    static constexpr double Step = 0.1;
    static constexpr double BrownScale = 2.5;
    Random Source;
    double Value = 0;
};

// A phase accumulator with band-limited saw and square (polyBLEP corrections at each jump).
class Oscillator {
  public:
    explicit Oscillator(double startPhase = 0) : Phase(startPhase) {}
    float Sine(double hz) { return static_cast<float>(std::sin(TwoPi * Advance(hz))); }
    float Saw(double hz) {
        double dt = hz / SampleRate;
        double t = Advance(hz);
        return static_cast<float>(2 * t - 1 - Blep(t, dt));
    }
    float Square(double hz, double width = 0.5) {
        double dt = hz / SampleRate;
        double t = Advance(hz);
        double value = t < width ? 1.0 : -1.0;
        value += Blep(t, dt);
        value -= Blep(std::fmod(t + 1 - width, 1.0), dt);
        return static_cast<float>(value);
    }
    float Triangle(double hz) {
        double t = Advance(hz);
        return static_cast<float>(t < 0.5 ? 4 * t - 1 : 3 - 4 * t);
    }

  private:
    double Advance(double hz) {
        double now = Phase;
        Phase += hz / SampleRate;
        Phase -= std::floor(Phase);
        return now;
    }
    static double Blep(double t, double dt) {
        if (dt <= 0) return 0;
        if (t < dt) {
            t /= dt;
            return t + t - t * t - 1;
        }
        if (t > 1 - dt) {
            t = (t - 1) / dt;
            return t * t + t + t + 1;
        }
        return 0;
    }
    double Phase;
};

// A state-variable filter in trapezoidal form: stays stable while its cutoff sweeps every sample.
class Filter {
  public:
    struct Outputs {
        float Low, Band, High;
    };
    Outputs Process(float in, double cutoffHz, double q) {
        constexpr double Nyquist = SampleRate / 2.0;
        constexpr double HighestFraction = 0.45;
        double cutoff = std::fmin(std::fmax(cutoffHz, 10.0), Nyquist * 2 * HighestFraction);
        double g = std::tan(Pi * cutoff / SampleRate);
        double k = 1.0 / q;
        double a1 = 1.0 / (1.0 + g * (g + k));
        double a2 = g * a1;
        double a3 = g * a2;
        double v3 = in - Ic2;
        double v1 = a1 * Ic1 + a2 * v3;
        double v2 = Ic2 + a2 * Ic1 + a3 * v3;
        Ic1 = 2 * v1 - Ic1;
        Ic2 = 2 * v2 - Ic2;
        return {static_cast<float>(v2), static_cast<float>(v1), static_cast<float>(in - k * v1 - v2)};
    }
    float Low(float in, double hz, double q = DefaultQ) { return Process(in, hz, q).Low; }
    float Band(float in, double hz, double q = DefaultQ) { return Process(in, hz, q).Band; }
    float High(float in, double hz, double q = DefaultQ) { return Process(in, hz, q).High; }
    static constexpr double DefaultQ = 0.7071;

  private:
    double Ic1 = 0, Ic2 = 0;
};

// A biquad section with fixed coefficients (the loudness weighting).
class Biquad {
  public:
    Biquad(double b0, double b1, double b2, double a1, double a2) : B0(b0), B1(b1), B2(b2), A1(a1), A2(a2) {}
    double Process(double in) {
        double out = B0 * in + Z1;
        Z1 = B1 * in - A1 * out + Z2;
        Z2 = B2 * in - A2 * out;
        return out;
    }

  private:
    double B0, B1, B2, A1, A2;
    double Z1 = 0, Z2 = 0;
};

// Envelopes as functions of time in seconds.
inline double Decay(double t, double tau) { return t < 0 ? 0 : std::exp(-t / tau); }
inline double Ramp(double t, double length) { return t <= 0 ? 0 : t >= length ? 1 : t / length; }
// Attack, a hold until the note's end, then a release.
inline double NoteEnvelope(double t, double attack, double noteLength, double release) {
    if (t < 0) return 0;
    double rise = attack > 0 ? std::fmin(t / attack, 1.0) : 1.0;
    double level = rise * rise * (3 - 2 * rise); // a smooth step: no corner at the top
    if (t <= noteLength) return level;
    return level * std::fmax(0.0, 1 - (t - noteLength) / release);
}
// A sound's last milliseconds fade to nothing and its first ones rise from it, so no sound starts or ends on a step.
void FadeEdges(Mono& sound, double fadeInSeconds, double fadeOutSeconds);

// Sounds laid on a loop wrap past its end to its start, so the loop's end joins its start.
void AddWrapped(Mono& loop, const Mono& sound, std::size_t start, float gain);
void AddWrapped(Stereo& loop, const Mono& sound, std::size_t start, float gain, float pan);
void AddScaled(Stereo& into, const Stereo& from, float gain);

// A stereo echo whose repeats alternate sides, each darker than the last.
class PingPongDelay {
  public:
    PingPongDelay(std::size_t delaySamples, double feedback, double dampingHz);
    void Process(float inLeft, float inRight, float& outLeft, float& outRight);

  private:
    std::vector<float> Left, Right;
    std::size_t At = 0;
    double Feedback;
    double DampingHz;
    Filter DampLeft, DampRight;
};

// A hall: damped feedback combs in parallel, then allpasses in series, each side with its own lengths.
class Reverb {
  public:
    Reverb(double size, double feedback, double damping);
    void Process(float inLeft, float inRight, float& outLeft, float& outRight);

  private:
    struct Comb {
        std::vector<float> Line;
        std::size_t At = 0;
        double Store = 0;
    };
    struct Allpass {
        std::vector<float> Line;
        std::size_t At = 0;
    };
    static float RunComb(Comb& comb, float in, double feedback, double damping);
    static float RunAllpass(Allpass& allpass, float in);
    std::vector<Comb> CombsLeft, CombsRight;
    std::vector<Allpass> AllpassLeft, AllpassRight;
    double Feedback, Damping;
};

// Runs a stereo process over a loop twice and keeps the second pass: the echoes of the loop's end then sound at its
// start, exactly as when it plays round and round.
template <typename Process> Stereo ProcessLoop(const Stereo& loop, Process&& process) {
    Stereo out(loop.Length());
    for (int pass = 0; pass < 2; ++pass)
        for (std::size_t i = 0; i < loop.Length(); ++i) {
            float l = 0, r = 0;
            process(loop.Left[i], loop.Right[i], l, r);
            if (pass == 1) {
                out.Left[i] = l;
                out.Right[i] = r;
            }
        }
    return out;
}

// Loudness as heard: the ear-weighted mean square (a high shelf and a low cut) over the loudest window, in dB.
double LoudestWindowLoudness(const Mono& sound, double windowSeconds);
float Peak(const Mono& sound);
float Peak(const Stereo& sound);
double RmsDecibels(const Mono& sound);
void Scale(Mono& sound, float gain);
void Scale(Stereo& sound, float gain);
// A soft ceiling: unchanged below the knee, bending smoothly toward the ceiling above it.
float SoftLimit(float x, float knee, float ceiling);

} // namespace Synth
