// The two music loops: "menu-loop", slow pads and a sparse bell line in a wide hall, and "ingame-loop", a driving
// four-to-the-floor beat with a rolling bass and arpeggios. Every note is laid on the loop with wrap-around and every
// echo is run round the loop twice, so each loop's end flows into its start.
#include "Sounds.h"
#include "Synth.h"
#include <algorithm>
#include <array>

using namespace Synth;

namespace {

// --- Voices shared by both loops ---------------------------------------------------------------------------------

struct SawStack {
    double Hz, Length, Attack, Release;
    double CutoffLow, CutoffHigh; // the filter opens and closes once over the note
    double Q, DetuneCents;
    int Voices;
    double StartPhase;
};

// Detuned saws through one low-pass, the cutoff swelling over the note: a pad.
Mono PadNote(const SawStack& note) {
    Mono out(Samples(note.Length + note.Release));
    std::vector<Oscillator> saws;
    for (int v = 0; v < note.Voices; ++v) saws.emplace_back(std::fmod(note.StartPhase + 0.37 * v, 1.0));
    Filter filter;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double s = 0;
        for (int v = 0; v < note.Voices; ++v) {
            double spread = note.Voices > 1 ? 2.0 * v / (note.Voices - 1) - 1 : 0;
            s += saws[static_cast<std::size_t>(v)].Saw(note.Hz * CentsRatio(spread * note.DetuneCents));
        }
        double swell = 0.5 - 0.5 * std::cos(TwoPi * std::fmin(t / note.Length, 1.0));
        double cutoff = note.CutoffLow + (note.CutoffHigh - note.CutoffLow) * swell;
        out[i] = static_cast<float>(filter.Low(static_cast<float>(s / note.Voices), cutoff, note.Q) *
                                    NoteEnvelope(t, note.Attack, note.Length, note.Release));
    }
    return out;
}

// Two-operator FM: a bell or a soft electric piano, by the ratio and the index.
Mono BellNote(double hz, double ratio, double index, double indexTau, double decayTau, double length) {
    constexpr double Attack = 0.004;
    constexpr double ResidualIndex = 0.25;
    Mono out(Samples(length));
    double carrier = 0, modulator = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double depth = index * Decay(t, indexTau) + ResidualIndex;
        double s = std::sin(TwoPi * carrier + depth * std::sin(TwoPi * modulator));
        carrier += hz / SampleRate;
        modulator += hz * ratio / SampleRate;
        carrier -= std::floor(carrier);
        modulator -= std::floor(modulator);
        out[i] = static_cast<float>(s * Decay(t, decayTau) * Ramp(t, Attack));
    }
    FadeEdges(out, 0, 0.05);
    return out;
}

Mono BassNote(double hz, double length, double attack, double release) {
    constexpr double TriangleLevel = 0.3;
    Mono out(Samples(length + release));
    Oscillator sine, triangle;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double s = sine.Sine(hz) + TriangleLevel * triangle.Triangle(hz * 2);
        out[i] = static_cast<float>(s * NoteEnvelope(t, attack, length, release));
    }
    return out;
}

// Noise over a whole loop, the same noise at its end as it will meet again at its start.
Mono LoopNoise(std::size_t length, std::uint64_t seed) {
    PinkNoise noise(seed);
    Mono out(length);
    for (float& s : out) s = noise.Next();
    return out;
}

// The final balance: a loudness that sits under the effects, the loudest moment kept below the ceiling.
void Master(Stereo& mix) {
    constexpr double LoopRmsDb = -19.0;
    constexpr float Ceiling = 0.84f;
    double rms = (RmsDecibels(mix.Left) + RmsDecibels(mix.Right)) / 2;
    float gain = static_cast<float>(Decibels(LoopRmsDb - rms));
    float loudest = Peak(mix);
    if (loudest * gain > Ceiling) gain = Ceiling / loudest;
    Scale(mix, gain);
}

// --- menu-loop -----------------------------------------------------------------------------------------------------

namespace Menu {
constexpr double Bpm = 60;
constexpr int BeatsPerBar = 4;
constexpr int Bars = 16;
constexpr std::size_t Beat = static_cast<std::size_t>(SampleRate * 60 / Bpm);
constexpr std::size_t Bar = Beat * BeatsPerBar;
constexpr std::size_t LoopLength = Bar * Bars;

struct BarChord {
    int Bass;
    std::array<int, 4> Pad;
    std::array<int, 5> Melody; // the notes the bell line may take over this bar
};

// D minor, two bars a chord: Dm9, Bbmaj9, Fmaj9, Cadd9, Dm9, Gm9, Bbmaj7, A7sus4 resolving to A7 and home.
constexpr BarChord Chords[Bars] = {
    {38, {53, 57, 60, 64}, {74, 76, 77, 81, 84}}, {38, {53, 57, 60, 64}, {74, 76, 77, 81, 84}},
    {34, {50, 53, 57, 60}, {74, 77, 79, 81, 86}}, {34, {50, 53, 57, 60}, {74, 77, 79, 81, 86}},
    {41, {52, 55, 57, 60}, {72, 76, 77, 79, 84}}, {41, {52, 55, 57, 60}, {72, 76, 77, 79, 84}},
    {36, {52, 55, 60, 62}, {72, 74, 76, 79, 84}}, {36, {52, 55, 60, 62}, {72, 74, 76, 79, 84}},
    {38, {53, 57, 60, 64}, {74, 76, 77, 81, 84}}, {38, {53, 57, 60, 64}, {74, 76, 77, 81, 84}},
    {43, {53, 57, 58, 62}, {74, 77, 79, 81, 82}}, {43, {53, 57, 58, 62}, {74, 77, 79, 81, 82}},
    {46, {50, 53, 57, 58}, {74, 77, 79, 81, 86}}, {46, {50, 53, 57, 58}, {74, 77, 79, 81, 86}},
    {45, {52, 55, 57, 62}, {74, 76, 79, 81, 86}}, {45, {52, 55, 57, 61}, {73, 76, 79, 81, 85}},
};

constexpr double PadAttack = 1.8;
constexpr double PadRelease = 3.2;
constexpr double PadLevel = 0.16;
constexpr double BassLevel = 0.14;
constexpr double BellLevel = 0.12;
constexpr double AirLevel = 0.2;
constexpr int AirCyclesPerLoop = 4;

void LayPads(Stereo& pads) {
    // A pad note holds while the same note stays in the next bar's chord.
    constexpr double Pans[] = {-0.55, -0.2, 0.2, 0.55};
    for (int bar = 0; bar < Bars; ++bar)
        for (std::size_t v = 0; v < Chords[bar].Pad.size(); ++v) {
            int note = Chords[bar].Pad[v];
            int previous = Chords[(bar + Bars - 1) % Bars].Pad[v];
            if (previous == note && bar != 0) continue;
            int bars = 1;
            while (bars < Bars && Chords[(bar + bars) % Bars].Pad[v] == note && (bar + bars) % Bars != 0) ++bars;
            double length = Seconds(Bar * static_cast<std::size_t>(bars));
            SawStack stack{.Hz = NoteHz(note),
                           .Length = length,
                           .Attack = PadAttack,
                           .Release = PadRelease,
                           .CutoffLow = 500,
                           .CutoffHigh = 1500,
                           .Q = 0.8,
                           .DetuneCents = 9,
                           .Voices = 3,
                           .StartPhase = 0.11 * static_cast<double>(v)};
            AddWrapped(pads, PadNote(stack), Bar * static_cast<std::size_t>(bar), PadLevel, Pans[v]);
        }
}

void LayBass(Stereo& bass) {
    for (int bar = 0; bar < Bars; bar += 2) {
        double length = Seconds(Bar * 2) - 0.3;
        AddWrapped(bass, BassNote(NoteHz(Chords[bar].Bass), length, 0.35, 1.2), Bar * static_cast<std::size_t>(bar),
                   BassLevel, 0);
    }
}

// The bell line: eighth notes that may sound or rest, stepping through the bar's notes; sparse at the loop's ends.
void LayBells(Stereo& bells) {
    constexpr std::uint64_t Seed = 1407;
    constexpr int EighthsPerBar = BeatsPerBar * 2;
    constexpr double QuietChance = 0.14;
    constexpr double BusyChance = 0.34;
    constexpr double DownbeatBonus = 0.2;
    constexpr double BellRatio = 3.0, BellIndex = 2.0, BellIndexTau = 0.25, BellDecayTau = 1.1, BellLength = 3.5;
    Random random(Seed);
    int step = 2;
    for (int bar = 0; bar < Bars; ++bar) {
        bool quiet = bar < 2 || bar >= Bars - 2;
        for (int eighth = 0; eighth < EighthsPerBar; ++eighth) {
            double chance = (quiet ? QuietChance : BusyChance) + (eighth % 4 == 0 ? DownbeatBonus : 0);
            if (!random.Chance(chance)) continue;
            int move = random.Below(5) - 2;
            step = std::clamp(step + move, 0, static_cast<int>(Chords[bar].Melody.size()) - 1);
            double hz = NoteHz(Chords[bar].Melody[static_cast<std::size_t>(step)]);
            std::size_t start = Bar * static_cast<std::size_t>(bar) + Beat / 2 * static_cast<std::size_t>(eighth);
            float pan = static_cast<float>(random.Bipolar() * 0.5);
            AddWrapped(bells, BellNote(hz, BellRatio, BellIndex, BellIndexTau, BellDecayTau, BellLength), start,
                       BellLevel, pan);
        }
    }
}

// Wind: two pink noises, one a side, through a soft band, breathing in and out four times a loop.
void LayAir(Stereo& air) {
    constexpr std::uint64_t SeedLeft = 77, SeedRight = 78;
    Mono left = LoopNoise(LoopLength, SeedLeft), right = LoopNoise(LoopLength, SeedRight);
    for (std::size_t i = 0; i < LoopLength; ++i) {
        double breath = 0.5 - 0.5 * std::cos(TwoPi * AirCyclesPerLoop * static_cast<double>(i) / LoopLength);
        air.Left[i] = static_cast<float>(left[i] * breath * AirLevel);
        air.Right[i] = static_cast<float>(right[i] * breath * AirLevel);
    }
    constexpr double LeftHz = 2800, RightHz = 3300, AirQ = 0.6;
    Filter bandLeft, bandRight;
    air = ProcessLoop(air, [&](float l, float r, float& outL, float& outR) {
        outL = bandLeft.Band(l, LeftHz, AirQ);
        outR = bandRight.Band(r, RightHz, AirQ);
    });
}

Stereo Make() {
    Stereo pads(LoopLength), bass(LoopLength), bells(LoopLength), air(LoopLength);
    LayPads(pads);
    LayBass(bass);
    LayBells(bells);
    LayAir(air);

    constexpr double EchoFeedback = 0.42, EchoDampingHz = 3500;
    constexpr double HallSize = 1.4, HallFeedback = 0.88, HallDamping = 0.35;
    PingPongDelay echo(Beat * 3 / 4, EchoFeedback, EchoDampingHz); // a dotted eighth
    Stereo echoes =
        ProcessLoop(bells, [&](float l, float r, float& outL, float& outR) { echo.Process(l, r, outL, outR); });

    Stereo send(LoopLength);
    AddScaled(send, pads, 0.5f);
    AddScaled(send, bells, 0.7f);
    AddScaled(send, echoes, 0.6f);
    AddScaled(send, air, 0.5f);
    AddScaled(send, bass, 0.05f);
    Reverb hall(HallSize, HallFeedback, HallDamping);
    Stereo wet = ProcessLoop(send, [&](float l, float r, float& outL, float& outR) { hall.Process(l, r, outL, outR); });

    Stereo mix(LoopLength);
    AddScaled(mix, pads, 1.0f);
    AddScaled(mix, bass, 1.0f);
    AddScaled(mix, bells, 1.0f);
    AddScaled(mix, echoes, 0.45f);
    AddScaled(mix, air, 1.0f);
    AddScaled(mix, wet, 0.55f);
    Master(mix);
    return mix;
}
} // namespace Menu

// --- ingame-loop ---------------------------------------------------------------------------------------------------

namespace Ingame {
constexpr double Bpm = 126;
constexpr int BeatsPerBar = 4;
constexpr int StepsPerBeat = 4;
constexpr int StepsPerBar = BeatsPerBar * StepsPerBeat;
constexpr int Bars = 32;
constexpr std::size_t Beat = static_cast<std::size_t>(SampleRate * 60 / Bpm);
constexpr std::size_t Step = Beat / StepsPerBeat;
constexpr std::size_t Bar = Beat * BeatsPerBar;
constexpr std::size_t LoopLength = Bar * Bars;

// The bars where each part plays.
bool KickBar(int bar) { return bar < 24 || bar >= 28; }
bool ClapBar(int bar) { return (bar >= 4 && bar < 24) || bar >= 28; }
bool OpenHatBar(int bar) { return (bar >= 8 && bar < 24) || bar >= 28; }
bool ArpBar(int bar) { return bar >= 8; }
bool Breakdown(int bar) { return bar >= 24 && bar < 28; }
constexpr int CrashBars[] = {0, 8, 16, 28};
constexpr int RiserFirstBar = 30;

struct ChordSpan {
    int Root;
    std::array<int, 3> Pad;
    std::array<int, 4> Arp;
};

// A minor, two bars a chord: Am, F, C, G.
constexpr ChordSpan Chords[] = {
    {45, {57, 60, 64}, {69, 72, 76, 81}},
    {41, {57, 60, 65}, {69, 72, 77, 81}},
    {48, {55, 60, 64}, {67, 72, 76, 79}},
    {43, {55, 59, 62}, {67, 71, 74, 79}},
};
constexpr int BarsPerChord = 2;
const ChordSpan& ChordAt(int bar) { return Chords[(bar / BarsPerChord) % std::size(Chords)]; }

Mono Kick() {
    constexpr double Length = 0.42;
    constexpr double LowHz = 46, PunchHz = 120, PunchTau = 0.03, DecayTau = 0.2, Drive = 1.6;
    constexpr double ClickLevel = 0.25, ClickTau = 0.002;
    constexpr std::uint64_t Seed = 501;
    Random random(Seed);
    Oscillator body;
    Filter click;
    Mono out(Samples(Length));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double s = body.Sine(LowHz + PunchHz * Decay(t, PunchTau)) * Decay(t, DecayTau);
        s += ClickLevel * click.High(static_cast<float>(random.Bipolar()), 2000) * Decay(t, ClickTau);
        out[i] = static_cast<float>(std::tanh(s * Drive) / std::tanh(Drive));
    }
    FadeEdges(out, 0.0005, 0.03);
    return out;
}

Mono Clap(std::uint64_t seed) {
    constexpr double Length = 0.3;
    constexpr double BurstGap = 0.009, BurstTau = 0.005, TailTau = 0.11;
    constexpr int Bursts = 3;
    constexpr double BandHz = 1300, BodyHz = 190, BodyTau = 0.04, BodyLevel = 0.35;
    Random random(seed);
    Filter band, low;
    Oscillator body;
    Mono out(Samples(Length));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double level = 0;
        for (int b = 0; b < Bursts; ++b) level = std::fmax(level, Decay(t - b * BurstGap, BurstTau));
        level = std::fmax(level, Decay(t - Bursts * BurstGap, TailTau) * 0.7);
        double noise = band.Band(static_cast<float>(random.Bipolar()), BandHz, 0.9);
        double s = noise * level + BodyLevel * body.Sine(BodyHz) * Decay(t, BodyTau);
        out[i] = low.Low(static_cast<float>(s), 9000);
    }
    FadeEdges(out, 0.0005, 0.03);
    return out;
}

Mono Hat(double decayTau, double length, std::uint64_t seed) {
    constexpr double CutHz = 7500;
    Random random(seed);
    Filter first, second;
    Mono out(Samples(length));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        float noise = static_cast<float>(random.Bipolar());
        out[i] = static_cast<float>(second.High(first.High(noise, CutHz), CutHz) * Decay(t, decayTau));
    }
    FadeEdges(out, 0.0005, 0.01);
    return out;
}

// A cymbal: inharmonic squares and noise, high-passed, ringing out.
Mono Crash() {
    constexpr double Length = 2.0;
    constexpr double Tones[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    constexpr double ToneLevel = 0.12, DecayTau = 0.7, CutHz = 4500;
    constexpr std::uint64_t Seed = 909;
    Random random(Seed);
    std::vector<Oscillator> squares(std::size(Tones));
    Filter first, second;
    Mono out(Samples(Length));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double metal = 0;
        for (std::size_t k = 0; k < std::size(Tones); ++k) metal += squares[k].Square(Tones[k] * 4);
        double s = random.Bipolar() + ToneLevel * metal;
        out[i] = static_cast<float>(second.High(first.High(static_cast<float>(s), CutHz), CutHz) * Decay(t, DecayTau));
    }
    FadeEdges(out, 0.001, 0.2);
    return out;
}

Mono BassStep(double hz, double cutoffBase, double cutoffEnvelope) {
    constexpr double Gate = 0.85, Release = 0.02, EnvelopeTau = 0.06, Q = 1.6, SubLevel = 0.6;
    double length = Seconds(Step) * Gate;
    Mono out(Samples(length + Release));
    Oscillator saw, sub;
    Filter filter;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double s = saw.Saw(hz) + SubLevel * sub.Sine(hz * 0.5);
        double cutoff = cutoffBase + cutoffEnvelope * Decay(t, EnvelopeTau);
        out[i] =
            static_cast<float>(filter.Low(static_cast<float>(s), cutoff, Q) * NoteEnvelope(t, 0.003, length, Release));
    }
    return out;
}

Mono ArpStep(double hz, double cutoffBase) {
    constexpr double Gate = 0.9, Release = 0.04, DecayTau = 0.13, Width = 0.35, Q = 1.2;
    double length = Seconds(Step) * Gate;
    Mono out(Samples(length + Release));
    Oscillator square;
    Filter filter;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double cutoff = cutoffBase + 2500 * Decay(t, 0.05);
        out[i] = static_cast<float>(filter.Low(square.Square(hz, Width), cutoff, Q) * Decay(t, DecayTau) *
                                    NoteEnvelope(t, 0.002, length, Release));
    }
    return out;
}

Mono LeadNote(double hz, double length) {
    constexpr double Attack = 0.012, Release = 0.14, VibratoDelay = 0.18, VibratoHz = 5.5, VibratoCents = 14;
    constexpr double DetuneCents = 6, CutHz = 2800, SquareLevel = 0.3;
    Mono out(Samples(length + Release));
    Oscillator a, b, square, vibrato;
    Filter filter;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double wobble = CentsRatio(VibratoCents * Ramp(t - VibratoDelay, 0.2) * vibrato.Sine(VibratoHz));
        double f = hz * wobble;
        double s = 0.5 * (a.Saw(f * CentsRatio(DetuneCents)) + b.Saw(f * CentsRatio(-DetuneCents)));
        s += SquareLevel * square.Square(f * 0.5);
        out[i] = static_cast<float>(filter.Low(static_cast<float>(s), CutHz, 0.9) *
                                    NoteEnvelope(t, Attack, length, Release));
    }
    return out;
}

// A rising wash of noise over the last two bars, cut short just before the loop comes round.
Mono Riser(double length) {
    constexpr double LowHz = 500, HighHz = 8000;
    constexpr std::uint64_t Seed = 3003;
    Random random(Seed);
    Filter band;
    Mono out(Samples(length));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double x = static_cast<double>(i) / static_cast<double>(out.size());
        double hz = LowHz * std::pow(HighHz / LowHz, x);
        out[i] = static_cast<float>(band.Band(static_cast<float>(random.Bipolar()), hz, 1.2) * x * x);
    }
    FadeEdges(out, 0.01, 0.025);
    return out;
}

// The melody over bars 16 to 23, in beats from its first bar.
struct MelodyNote {
    double Start, Length;
    int Note;
};
constexpr MelodyNote Melody[] = {
    {0, 1.5, 76},  {1.5, 0.5, 74},  {2, 1, 72},  {3, 1, 69},  {4, 3, 76},  {7, 1, 79},
    {8, 1.5, 77},  {9.5, 0.5, 76},  {10, 1, 72}, {11, 1, 69}, {12, 2, 72}, {14, 2, 74},
    {16, 1.5, 79}, {17.5, 0.5, 77}, {18, 1, 76}, {19, 1, 72}, {20, 3, 76}, {23, 1, 74},
    {24, 1.5, 74}, {25.5, 0.5, 72}, {26, 1, 71}, {27, 1, 67}, {28, 2, 71}, {30, 2, 74},
};
constexpr int MelodyFirstBar = 16;

// The sidechain: bass and pads dip at every kick and come back.
Mono Ducking() {
    constexpr double Depth = 0.6, Tau = 0.09;
    constexpr double Reach = 0.35;
    Mono duck(LoopLength, 1.0f);
    for (int bar = 0; bar < Bars; ++bar) {
        if (!KickBar(bar)) continue;
        for (int beat = 0; beat < BeatsPerBar; ++beat) {
            std::size_t at = Bar * static_cast<std::size_t>(bar) + Beat * static_cast<std::size_t>(beat);
            for (std::size_t j = 0; j < Samples(Reach); ++j) {
                double dip = 1 - Depth * Decay(Seconds(j), Tau);
                float& d = duck[(at + j) % LoopLength];
                d = std::min(d, static_cast<float>(dip));
            }
        }
    }
    return duck;
}

void LayDrums(Stereo& drums) {
    constexpr std::uint64_t HatSeeds = 600;
    constexpr float KickLevel = 0.8f, ClapLevel = 0.42f, HatLevel = 0.13f, AccentHat = 0.2f, OpenHatLevel = 0.14f;
    constexpr float CrashLevel = 0.16f, RollLevel = 0.22f;
    Mono kick = Kick(), clap = Clap(701), roll = Clap(702), crash = Crash();
    Mono openHat = Hat(0.16, 0.5, 650);
    for (int bar = 0; bar < Bars; ++bar) {
        std::size_t barStart = Bar * static_cast<std::size_t>(bar);
        for (int step = 0; step < StepsPerBar; ++step) {
            std::size_t at = barStart + Step * static_cast<std::size_t>(step);
            bool onBeat = step % StepsPerBeat == 0;
            bool offBeat = step % StepsPerBeat == 2;
            if (KickBar(bar) && onBeat) AddWrapped(drums, kick, at, KickLevel, 0);
            if (ClapBar(bar) && (step == 4 || step == 12)) AddWrapped(drums, clap, at, ClapLevel, 0.05f);
            if (OpenHatBar(bar) && offBeat) AddWrapped(drums, openHat, at, OpenHatLevel, 0.25f);
            bool hat = Breakdown(bar) ? offBeat : !onBeat || bar % 2 == 1;
            if (hat) {
                Mono closed = Hat(0.028, 0.12, HatSeeds + static_cast<std::uint64_t>(step));
                AddWrapped(drums, closed, at, offBeat ? AccentHat : HatLevel, -0.3f);
            }
            // A roll into the loop's return: the last bar's second half in sixteenths, each louder.
            if (bar == Bars - 1 && step >= StepsPerBar / 2) {
                float rise = static_cast<float>(step - StepsPerBar / 2 + 1) / (StepsPerBar / 2);
                AddWrapped(drums, roll, at, RollLevel * rise, -0.1f);
            }
        }
    }
    for (int bar : CrashBars) AddWrapped(drums, crash, Bar * static_cast<std::size_t>(bar), CrashLevel, 0.35f);
    Mono riser = Riser(Seconds(Bar * static_cast<std::size_t>(Bars - RiserFirstBar)));
    AddWrapped(drums, riser, Bar * static_cast<std::size_t>(RiserFirstBar), 0.2f, -0.2f);
}

void LayBass(Stereo& bass) {
    constexpr float Level = 0.3f;
    constexpr double Cutoff = 260, Envelope = 1500;
    constexpr double BreakdownLow = 140, BreakdownHigh = 1100;
    constexpr int OctaveSteps[] = {3, 7, 11, 15}; // the last sixteenth of each beat jumps up an octave
    for (int bar = 0; bar < Bars; ++bar) {
        const ChordSpan& chord = ChordAt(bar);
        for (int step = 0; step < StepsPerBar; ++step) {
            if (step % StepsPerBeat == 0) continue; // the kick's place
            bool octave = std::find(std::begin(OctaveSteps), std::end(OctaveSteps), step) != std::end(OctaveSteps);
            double hz = NoteHz(chord.Root + (octave ? 12 : 0));
            double base = Cutoff, envelope = Envelope;
            if (Breakdown(bar)) {
                double x = ((bar - 24) * StepsPerBar + step) / (4.0 * StepsPerBar);
                base = BreakdownLow * std::pow(BreakdownHigh / BreakdownLow, x);
                envelope = Envelope * 0.3;
            }
            std::size_t at = Bar * static_cast<std::size_t>(bar) + Step * static_cast<std::size_t>(step);
            AddWrapped(bass, BassStep(hz, base, envelope), at, Level, 0);
        }
    }
}

void LayArp(Stereo& arp) {
    constexpr float Level = 0.17f;
    constexpr int Pattern[StepsPerBar] = {0, 2, 1, 3, 2, 1, 3, 2, 0, 2, 1, 3, 2, 3, 1, 2};
    for (int bar = 0; bar < Bars; ++bar) {
        if (!ArpBar(bar)) continue;
        const ChordSpan& chord = ChordAt(bar);
        double cutoff = Breakdown(bar) ? 500 + 700 * (bar - 24) : 1600;
        int lift = bar % 4 == 3 ? 12 : 0;
        for (int step = 0; step < StepsPerBar; ++step) {
            double hz = NoteHz(chord.Arp[static_cast<std::size_t>(Pattern[step])] + lift);
            std::size_t at = Bar * static_cast<std::size_t>(bar) + Step * static_cast<std::size_t>(step);
            AddWrapped(arp, ArpStep(hz, cutoff), at, Level, step % 2 == 0 ? -0.35f : 0.35f);
        }
    }
}

void LayLead(Stereo& lead) {
    constexpr float Level = 0.24f;
    for (const MelodyNote& note : Melody) {
        std::size_t at = Bar * MelodyFirstBar + static_cast<std::size_t>(note.Start * Beat);
        AddWrapped(lead, LeadNote(NoteHz(note.Note), note.Length * Seconds(Beat) * 0.95), at, Level, 0.1f);
    }
}

void LayPads(Stereo& pads) {
    constexpr double Pans[] = {-0.5, 0, 0.5};
    for (int bar = 0; bar < Bars; bar += BarsPerChord) {
        const ChordSpan& chord = ChordAt(bar);
        float level = Breakdown(bar) ? 0.15f : 0.09f;
        for (std::size_t v = 0; v < chord.Pad.size(); ++v) {
            double length = Seconds(Bar * BarsPerChord) - 0.05;
            SawStack stack{.Hz = NoteHz(chord.Pad[v]),
                           .Length = length,
                           .Attack = 0.08,
                           .Release = 0.4,
                           .CutoffLow = 700,
                           .CutoffHigh = 1800,
                           .Q = 0.8,
                           .DetuneCents = 8,
                           .Voices = 2,
                           .StartPhase = 0.2 * static_cast<double>(v)};
            AddWrapped(pads, PadNote(stack), Bar * static_cast<std::size_t>(bar), level, static_cast<float>(Pans[v]));
        }
    }
}

Stereo Make() {
    Stereo drums(LoopLength), bass(LoopLength), arp(LoopLength), lead(LoopLength), pads(LoopLength);
    LayDrums(drums);
    LayBass(bass);
    LayArp(arp);
    LayLead(lead);
    LayPads(pads);
    Mono duck = Ducking();
    for (std::size_t i = 0; i < LoopLength; ++i) {
        bass.Left[i] *= duck[i];
        bass.Right[i] *= duck[i];
        pads.Left[i] *= duck[i];
        pads.Right[i] *= duck[i];
    }

    Stereo echoSend(LoopLength);
    AddScaled(echoSend, arp, 1.0f);
    AddScaled(echoSend, lead, 0.5f);
    constexpr double EchoFeedback = 0.35, EchoDampingHz = 4000;
    constexpr double RoomSize = 0.9, RoomFeedback = 0.8, RoomDamping = 0.45;
    PingPongDelay echo(Step * 3, EchoFeedback, EchoDampingHz); // three sixteenths
    Stereo echoes =
        ProcessLoop(echoSend, [&](float l, float r, float& outL, float& outR) { echo.Process(l, r, outL, outR); });

    Stereo send(LoopLength);
    AddScaled(send, lead, 0.5f);
    AddScaled(send, pads, 0.4f);
    AddScaled(send, drums, 0.08f);
    AddScaled(send, echoes, 0.3f);
    Reverb room(RoomSize, RoomFeedback, RoomDamping);
    Stereo wet = ProcessLoop(send, [&](float l, float r, float& outL, float& outR) { room.Process(l, r, outL, outR); });

    Stereo mix(LoopLength);
    AddScaled(mix, drums, 1.0f);
    AddScaled(mix, bass, 1.0f);
    AddScaled(mix, arp, 1.0f);
    AddScaled(mix, lead, 1.0f);
    AddScaled(mix, pads, 1.0f);
    AddScaled(mix, echoes, 0.35f);
    AddScaled(mix, wet, 0.35f);
    Master(mix);
    return mix;
}
} // namespace Ingame

} // namespace

const std::vector<MusicRecipe>& MusicRecipes() {
    static const std::vector<MusicRecipe> recipes = {
        {"music/menu-loop.ogg", Menu::Make},
        {"music/ingame-loop.ogg", Ingame::Make},
    };
    return recipes;
}
