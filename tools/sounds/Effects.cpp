// The thirteen sound effects, each made from oscillators, noise and filters with its own fixed seed.
#include "Sounds.h"
#include "Synth.h"

using namespace Synth;

namespace {
constexpr double EdgeFadeIn = 0.005;
constexpr double EdgeFadeOut = 0.012;

Mono Finish(Mono sound) {
    FadeEdges(sound, EdgeFadeIn, EdgeFadeOut);
    return sound;
}

// The menu blip: a short bright tone that lifts a little as it sounds.
Mono MakeBlip() {
    constexpr double Length = 0.11;
    constexpr double StartHz = 1318.5; // E6
    constexpr double Lift = 0.04;
    constexpr double LiftTau = 0.02;
    constexpr double DecayTau = 0.032;
    constexpr double OvertoneLevel = 0.22;
    Mono out(Samples(Length));
    Oscillator tone, overtone;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double hz = StartHz * (1 + Lift * (1 - Decay(t, LiftTau)));
        out[i] = static_cast<float>((tone.Sine(hz) + OvertoneLevel * overtone.Triangle(hz * 2)) * Decay(t, DecayTau));
    }
    return Finish(out);
}

// The page whoosh: noise through a band that sweeps up and settles, swelling and fading.
Mono MakeSwoosh() {
    constexpr double Length = 0.5;
    constexpr double LowHz = 350;
    constexpr double HighHz = 4800;
    constexpr double SettleHz = 1900;
    constexpr double PeakAt = 0.2;
    constexpr double Q = 1.4;
    constexpr double SwellSkew = 0.7; // the swell peaks before the middle
    constexpr std::uint64_t Seed = 2;
    PinkNoise noise(Seed);
    Filter band, smooth;
    Mono out(Samples(Length));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double x = t / Length;
        double hz = t < PeakAt ? LowHz * std::pow(HighHz / LowHz, t / PeakAt)
                               : HighHz * std::pow(SettleHz / HighHz, (t - PeakAt) / (Length - PeakAt));
        double swell = std::sin(Pi * std::pow(x, SwellSkew));
        float s = band.Band(noise.Next(), hz, Q);
        out[i] = static_cast<float>(smooth.Low(s, hz * 2) * swell * swell);
    }
    return Finish(out);
}

// An explosion: a falling boom, a rumble that darkens, a first crack and crackle that thins out.
struct BlastShape {
    double Length, BoomStartHz, BoomEndHz, BoomTau, BoomLevel;
    double RumbleStartHz, RumbleEndHz, RumbleTau, RumbleLevel;
    double CrackLength, CrackLevel;
    double CrackleRate, CrackleTime, CrackleLevel;
    double Drive;
    std::uint64_t Seed;
};

Mono MakeBlast(const BlastShape& shape) {
    constexpr double BoomSweepTau = 0.35;
    constexpr double CrackHighPassHz = 1200;
    constexpr double CrackleTau = 0.004;
    constexpr double CrackleBandHz = 2600;
    constexpr double CrackleQ = 0.8;
    constexpr double RumbleQ = 0.9;
    constexpr double AttackSeconds = 0.004;
    constexpr double RumbleFadeRatio = 1.4; // the rumble fades slower than it darkens
    Random random(shape.Seed);
    BrownNoise rumble(shape.Seed + 1);
    Filter rumbleFilter, crackFilter, crackleFilter;
    Oscillator boom;
    Mono out(Samples(shape.Length));
    double crackleAge = 1, crackleGain = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double attack = Ramp(t, AttackSeconds);
        double boomHz = shape.BoomEndHz + (shape.BoomStartHz - shape.BoomEndHz) * Decay(t, BoomSweepTau);
        double s = shape.BoomLevel * boom.Sine(boomHz) * Decay(t, shape.BoomTau);
        double rumbleHz = shape.RumbleEndHz + (shape.RumbleStartHz - shape.RumbleEndHz) * Decay(t, shape.RumbleTau);
        s += shape.RumbleLevel * rumbleFilter.Low(rumble.Next(), rumbleHz, RumbleQ) *
             Decay(t, shape.RumbleTau * RumbleFadeRatio);
        double white = random.Bipolar();
        if (t < shape.CrackLength)
            s += shape.CrackLevel * crackFilter.High(static_cast<float>(white), CrackHighPassHz) *
                 (1 - t / shape.CrackLength);
        // Crackle: sparse bursts, fewer and quieter as the blast dies.
        double thinning = Decay(t, shape.CrackleTime);
        if (random.Chance(shape.CrackleRate * thinning / SampleRate)) {
            crackleAge = 0;
            crackleGain = (0.4 + 0.6 * random.Uniform()) * thinning;
        }
        crackleAge += 1.0 / SampleRate;
        s += shape.CrackleLevel * crackleGain * Decay(crackleAge, CrackleTau) *
             crackleFilter.Band(static_cast<float>(random.Bipolar()), CrackleBandHz, CrackleQ);
        out[i] = static_cast<float>(std::tanh(s * attack * shape.Drive) / shape.Drive);
    }
    return Finish(out);
}

// The big explosion of the fortress or the ship.
Mono MakeBigExplosion() {
    return MakeBlast({.Length = 2.2,
                      .BoomStartHz = 72,
                      .BoomEndHz = 26,
                      .BoomTau = 0.75,
                      .BoomLevel = 1.0,
                      .RumbleStartHz = 2400,
                      .RumbleEndHz = 140,
                      .RumbleTau = 0.55,
                      .RumbleLevel = 1.6,
                      .CrackLength = 0.05,
                      .CrackLevel = 0.9,
                      .CrackleRate = 200,
                      .CrackleTime = 0.35,
                      .CrackleLevel = 1.2,
                      .Drive = 1.6,
                      .Seed = 31});
}

// Its second blast, forty frames later: sharper, with more of the middle.
Mono MakeSecondBlast() {
    return MakeBlast({.Length = 1.6,
                      .BoomStartHz = 95,
                      .BoomEndHz = 34,
                      .BoomTau = 0.45,
                      .BoomLevel = 0.9,
                      .RumbleStartHz = 3400,
                      .RumbleEndHz = 260,
                      .RumbleTau = 0.4,
                      .RumbleLevel = 1.5,
                      .CrackLength = 0.03,
                      .CrackLevel = 1.1,
                      .CrackleRate = 320,
                      .CrackleTime = 0.25,
                      .CrackleLevel = 1.3,
                      .Drive = 2.2,
                      .Seed = 47});
}

// The laser shot: a bright square falling fast in pitch.
Mono MakeLaserShot() {
    constexpr double Length = 0.2;
    constexpr double StartHz = 1700;
    constexpr double EndHz = 210;
    constexpr double SweepTau = 0.045;
    constexpr double DecayTau = 0.065;
    constexpr double ToneCutHz = 5000;
    constexpr double SineLevel = 0.6;
    constexpr double SquareLevel = 0.45;
    constexpr double PulseWidth = 0.3;
    Oscillator square, sine;
    Filter soften;
    Mono out(Samples(Length));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double hz = EndHz + (StartHz - EndHz) * Decay(t, SweepTau);
        double s = SquareLevel * soften.Low(square.Square(hz, PulseWidth), ToneCutHz) + SineLevel * sine.Sine(hz * 0.5);
        out[i] = static_cast<float>(s * Decay(t, DecayTau));
    }
    return Finish(out);
}

// The intro's rising sweep: a resonant saw climbing from the deep, its vibrato widening as it rises.
Mono MakeWoorp() {
    constexpr double Length = 2.8;
    constexpr double StartHz = 55;
    constexpr double EndHz = 880;
    constexpr double RiseTime = 2.4;
    constexpr double AttackSeconds = 0.5;
    constexpr double FadeSeconds = 0.7;
    constexpr double VibratoHz = 5.5;
    constexpr double VibratoCents = 60;
    constexpr double CutoffRatio = 3.2;
    constexpr double Q = 5.0;
    constexpr double SubLevel = 0.5;
    constexpr double AirLevel = 0.25;
    constexpr double AirRatio = 4, AirQ = 2.0; // a breath of noise two octaves over the tone
    constexpr std::uint64_t Seed = 6;
    Oscillator saw, sub, vibrato;
    Filter resonance, air;
    Random random(Seed);
    Mono out(Samples(Length));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double rise = std::fmin(t / RiseTime, 1.0);
        double wobble = CentsRatio(VibratoCents * rise * vibrato.Sine(VibratoHz));
        double hz = StartHz * std::pow(EndHz / StartHz, rise * rise * (3 - 2 * rise)) * wobble;
        double s = resonance.Low(saw.Saw(hz), hz * CutoffRatio, Q) + SubLevel * sub.Sine(hz * 0.5);
        s += AirLevel * rise * air.Band(static_cast<float>(random.Bipolar()), hz * AirRatio, AirQ);
        double level = Ramp(t, AttackSeconds) * std::fmin(1.0, (Length - t) / FadeSeconds);
        out[i] = static_cast<float>(s * level);
    }
    return Finish(out);
}

// The extra-life jingle: a quick rising major arpeggio whose last note rings with a vibrato.
Mono MakeBonusJingle() {
    constexpr double Length = 0.95;
    constexpr double NoteGap = 0.075;
    constexpr double Notes[] = {84, 88, 91, 96}; // C6 E6 G6 C7
    constexpr double ShortTau = 0.09;
    constexpr double LastTau = 0.28;
    constexpr double VibratoHz = 7;
    constexpr double VibratoCents = 18;
    constexpr double SquareLevel = 0.35;
    constexpr double OctaveLevel = 0.15;
    constexpr double VibratoRise = 0.15, NoteAttack = 0.003, PulseWidth = 0.25, SquareCutRatio = 2.5;
    Mono out(Samples(Length));
    constexpr int NoteCount = static_cast<int>(std::size(Notes));
    for (int n = 0; n < NoteCount; ++n) {
        bool last = n == NoteCount - 1;
        Oscillator square, sine, octave, vibrato;
        Filter soften;
        std::size_t start = Samples(n * NoteGap);
        for (std::size_t i = start; i < out.size(); ++i) {
            double t = Seconds(i - start);
            double hz = NoteHz(Notes[n]) *
                        (last ? CentsRatio(VibratoCents * Ramp(t, VibratoRise) * vibrato.Sine(VibratoHz)) : 1);
            double s = sine.Sine(hz) + OctaveLevel * octave.Sine(hz * 2) +
                       SquareLevel * soften.Low(square.Square(hz, PulseWidth), hz * SquareCutRatio);
            out[i] += static_cast<float>(s * Decay(t, last ? LastTau : ShortTau) * Ramp(t, NoteAttack));
        }
    }
    return Finish(out);
}

// A ring section struck: a metal bar's inharmonic partials over a short knock.
Mono MakeSectionHit() {
    constexpr double Length = 0.26;
    constexpr double BaseHz = 1150;
    constexpr double Ratios[] = {1.0, 2.756, 5.404, 8.933};
    constexpr double Levels[] = {1.0, 0.55, 0.32, 0.18};
    constexpr double Taus[] = {0.085, 0.05, 0.03, 0.018};
    constexpr double KnockHz = 320;
    constexpr double KnockTau = 0.018;
    constexpr double KnockLevel = 0.7;
    constexpr double ClickTau = 0.002;
    constexpr double ClickLevel = 0.5;
    constexpr double ClickHighPassHz = 3000;
    constexpr std::uint64_t Seed = 8;
    Random random(Seed);
    Oscillator partials[std::size(Ratios)];
    Oscillator knock;
    Filter click;
    Mono out(Samples(Length));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double s = KnockLevel * knock.Sine(KnockHz) * Decay(t, KnockTau);
        for (std::size_t p = 0; p < std::size(Ratios); ++p)
            s += Levels[p] * partials[p].Sine(BaseHz * Ratios[p]) * Decay(t, Taus[p]);
        s += ClickLevel * click.High(static_cast<float>(random.Bipolar()), ClickHighPassHz) * Decay(t, ClickTau);
        out[i] = static_cast<float>(s);
    }
    return Finish(out);
}

// The rings growing back: a shimmering major chord gliding up an octave as it fills in.
Mono MakeGrowRings() {
    constexpr double Length = 1.0;
    constexpr double ChordHz[] = {220.0, 277.18, 329.63, 440.0};
    constexpr double GlideTime = 0.8;
    constexpr double AttackSeconds = 0.12;
    constexpr double FadeSeconds = 0.35;
    constexpr double TremoloHz = 13;
    constexpr double TremoloDepth = 0.35;
    constexpr double SawLevel = 0.25;
    constexpr double SawDetuneCents = 7;
    constexpr double BrightLowHz = 900, BrightOpenHz = 2500; // the saws' filter opens as the chord rises
    Oscillator sines[std::size(ChordHz)], saws[std::size(ChordHz)];
    Oscillator tremolo;
    Filter soften;
    Mono out(Samples(Length));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double glide = std::fmin(t / GlideTime, 1.0);
        double ratio = std::pow(2.0, glide * glide * (3 - 2 * glide));
        double s = 0, bright = 0;
        for (std::size_t v = 0; v < std::size(ChordHz); ++v) {
            s += sines[v].Sine(ChordHz[v] * ratio);
            bright += saws[v].Saw(ChordHz[v] * ratio * CentsRatio(SawDetuneCents));
        }
        s += SawLevel * soften.Low(static_cast<float>(bright), BrightLowHz + BrightOpenHz * glide);
        double level = Ramp(t, AttackSeconds) * std::fmin(1.0, (Length - t) / FadeSeconds);
        out[i] = static_cast<float>(s * level * (1 - TremoloDepth * (0.5 + 0.5 * tremolo.Sine(TremoloHz))));
    }
    return Finish(out);
}

// A missile shot down: a small bright burst with a falling tone.
Mono MakeMissileHit() {
    constexpr double Length = 0.5;
    constexpr double NoiseStartHz = 7000;
    constexpr double NoiseEndHz = 350;
    constexpr double SweepTau = 0.1;
    constexpr double NoiseTau = 0.11;
    constexpr double ToneStartHz = 520;
    constexpr double ToneEndHz = 110;
    constexpr double ToneTau = 0.08;
    constexpr double ToneLevel = 0.7;
    constexpr double NoiseQ = 1.1, ToneFadeRatio = 1.5, AttackSeconds = 0.002;
    constexpr std::uint64_t Seed = 10;
    Random random(Seed);
    Filter noiseFilter;
    Oscillator tone;
    Mono out(Samples(Length));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double hz = NoiseEndHz + (NoiseStartHz - NoiseEndHz) * Decay(t, SweepTau);
        double s = noiseFilter.Low(static_cast<float>(random.Bipolar()), hz, NoiseQ) * Decay(t, NoiseTau);
        double toneHz = ToneEndHz + (ToneStartHz - ToneEndHz) * Decay(t, ToneTau);
        s += ToneLevel * tone.Triangle(toneHz) * Decay(t, ToneTau * ToneFadeRatio);
        out[i] = static_cast<float>(s * Ramp(t, AttackSeconds));
    }
    return Finish(out);
}

// A section destroyed: a falling square ground down to few bits, with a crunch of noise.
Mono MakeRemoveRings() {
    constexpr double Length = 0.4;
    constexpr double StartHz = 460;
    constexpr double EndHz = 70;
    constexpr double SweepTau = 0.1;
    constexpr double DecayTau = 0.11;
    constexpr int HoldSamples = 5;
    constexpr double Steps = 24;
    constexpr double NoiseLevel = 0.45;
    constexpr double NoiseHz = 2200;
    constexpr double CrunchQ = 1.5, SmoothHz = 6000;
    constexpr std::uint64_t Seed = 11;
    Random random(Seed);
    Oscillator square;
    Filter crunch, smooth;
    Mono out(Samples(Length));
    double held = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double hz = EndHz + (StartHz - EndHz) * Decay(t, SweepTau);
        double s = square.Square(hz) + NoiseLevel * crunch.Band(static_cast<float>(random.Bipolar()), NoiseHz, CrunchQ);
        if (i % HoldSamples == 0) held = std::round(s * Steps) / Steps; // fewer samples, fewer levels
        out[i] = static_cast<float>(smooth.Low(static_cast<float>(held), SmoothHz) * Decay(t, DecayTau));
    }
    return Finish(out);
}

// The engine burst: a low rumble that catches and flutters.
Mono MakeThrust() {
    constexpr double Length = 0.7;
    constexpr double AttackSeconds = 0.035;
    constexpr double FadeSeconds = 0.3;
    constexpr double BodyHz = 700;
    constexpr double ResonanceHz = 115;
    constexpr double ResonanceLevel = 0.6;
    constexpr double HissLevel = 0.18;
    constexpr double FlutterDepth = 1.2;
    constexpr double BodyQ = 0.8, ResonanceQ = 3.0, HissHz = 2500, HissQ = 0.7;
    constexpr double FlutterHz = 38;
    constexpr std::uint64_t Seed = 12;
    BrownNoise brown(Seed);
    PinkNoise pink(Seed + 1);
    Random flutterSource(Seed + 2);
    Filter body, resonance, hiss, flutterSmooth;
    Mono out(Samples(Length));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        float rumble = brown.Next();
        double s = body.Low(rumble, BodyHz, BodyQ) + ResonanceLevel * resonance.Band(rumble, ResonanceHz, ResonanceQ);
        s += HissLevel * hiss.Band(pink.Next(), HissHz, HissQ);
        double flutter = flutterSmooth.Low(static_cast<float>(flutterSource.Bipolar()), FlutterHz);
        double level = Ramp(t, AttackSeconds) * std::fmin(1.0, (Length - t) / FadeSeconds);
        out[i] = static_cast<float>(s * level * (1 + FlutterDepth * flutter));
    }
    return Finish(out);
}

// Bouncing off the fortress: a springy tone that drops and wobbles, over a soft thud.
Mono MakeBounce() {
    constexpr double Length = 0.3;
    constexpr double StartHz = 400;
    constexpr double EndHz = 150;
    constexpr double SweepTau = 0.06;
    constexpr double WobbleHz = 17;
    constexpr double WobbleCents = 90;
    constexpr double DecayTau = 0.085;
    constexpr double ThudHz = 90;
    constexpr double ThudTau = 0.04;
    constexpr double ThudLevel = 0.6;
    constexpr double SecondLevel = 0.45, ThirdLevel = 0.2; // overtones, so small speakers still give the bounce
    constexpr double AttackSeconds = 0.002;
    Oscillator tone, second, third, wobble, thud;
    Mono out(Samples(Length));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = Seconds(i);
        double hz = (EndHz + (StartHz - EndHz) * Decay(t, SweepTau)) *
                    CentsRatio(WobbleCents * Decay(t, DecayTau) * wobble.Sine(WobbleHz));
        double voice = tone.Sine(hz) + SecondLevel * second.Sine(hz * 2) + ThirdLevel * third.Sine(hz * 3);
        double s = voice * Decay(t, DecayTau) + ThudLevel * thud.Sine(ThudHz) * Decay(t, ThudTau);
        out[i] = static_cast<float>(s * Ramp(t, AttackSeconds));
    }
    return Finish(out);
}
} // namespace

const std::vector<EffectRecipe>& EffectRecipes() {
    static const std::vector<EffectRecipe> recipes = {
        {"res/BlipSND.ogg", MakeBlip},
        {"res/SwooshSND.ogg", MakeSwoosh},
        {"res/EnemyDieSND1.ogg", MakeBigExplosion},
        {"res/EnemyDieSND2.ogg", MakeSecondBlast},
        {"res/PlayerShootSND.ogg", MakeLaserShot},
        {"res/WoorpSND.ogg", MakeWoorp},
        {"res/BonusShip.ogg", MakeBonusJingle},
        {"res/SectionHit.ogg", MakeSectionHit},
        {"res/GrowRings.ogg", MakeGrowRings},
        {"res/MissileHit.ogg", MakeMissileHit},
        {"res/RemoveRings.ogg", MakeRemoveRings},
        {"res/ThrustSND.ogg", MakeThrust},
        {"res/BounceSND.ogg", MakeBounce},
    };
    return recipes;
}
