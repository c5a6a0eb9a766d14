// The debris of the fight: ray bursts, sparks and streaks, the particles of a downed missile and the ship's
// fragments, each advanced once a frame by its step and shown by its draw.
#include "Effects.h"
#include "World.h"
#include "core/GameState.h"
#include "core/Playfield.h"
#include "core/Settings.h"
#include "core/ShipState.h"
#include "graphics/TPoly.h"
#include "platform/Data.h"
#include "platform/Display.h"
#include "platform/Random.h"

const char* const FragLineLabels[FragLineSets] = {"FragLines0", "FragLines1", "FragLines2"};

namespace {
constexpr int BlastRays = 20;
constexpr int BurstSector = 20;
constexpr int RayShortest = 40, RayLongest = 80;
constexpr int SectorJitterHigh = 17;
constexpr int RayJitter = 8;
constexpr int RayFrames = 24;
constexpr std::uint32_t OpaqueTop = 0xFF000000;
constexpr std::uint32_t BurstBrightening = 0x202020;
constexpr int SparkPieces = 64;
constexpr int LastDegree = 359;
constexpr int SparkSlowest = 6, SparkFastest = 12;
constexpr int SparkShortest = 30, SparkLongest = 110;
constexpr int StreakSlowest = 8, StreakFastest = 16;
constexpr int StreakShortest = 20, StreakLongest = 80;
constexpr int SparkColourLow = 0x404040, SparkColourHigh = 0xFFFFFF;
constexpr std::uint32_t GreySpark = 0xFFC0C0C0;
constexpr float StreakLengthFactor = 4;
constexpr int ParticlePieces = 32;
constexpr int ParticleColourSpread = 50000;
constexpr float ParticleSlowest = 1.5f, ParticleFastest = 3.5f;
constexpr int ParticleShortest = 20, ParticleLongest = 60;
constexpr float DotSize = 1;
constexpr int ParticleDropFrames = 64;
constexpr int FragDirectionStep = 119;
constexpr float FragSpinLimit = 12;
constexpr float FragAcceleration = 0.05f;
constexpr std::uint32_t FragColour = 0xFF1A54FF;
constexpr int FragGrey = 192;
constexpr int FragRed = 80, FragGreen = 80, FragBlue = 255;

// A piece or dot in the wireframe colour style takes a fresh flicker colour every frame.
void PickFlicker(Flicker& flicker) {
    if (TheSettings.NeonMode != 0 || TheSettings.ColorsOn != 1) return;
    int red = Rand(FlickerLow, FlickerHigh);
    int green = Rand(FlickerLow, FlickerHigh);
    int blue = Rand(FlickerLow, FlickerHigh);
    flicker = {red, green, blue};
}

// One piece or dot in the display style: white, or its flicker colour.
void DrawDebris(float x1, float y1, float x2, float y2, std::uint32_t colour, int glowWidth, const Flicker& flicker) {
    if (TheSettings.NeonMode == 0 && TheSettings.ColorsOn == 1)
        DrawSegment(x1, y1, x2, y2, colour, glowWidth, flicker.Red, flicker.Green, flicker.Blue);
    else
        DrawSegment(x1, y1, x2, y2, colour, glowWidth, White, White, White);
}

void AddPieces(World& w, int x, int y, int type, int slowest, int fastest, int shortest, int longest) {
    for (int i = 0; i < SparkPieces; ++i) {
        Explosions& e = w.ExplosionsList.Add();
        e.x1 = static_cast<float>(x);
        e.y1 = static_cast<float>(y);
        int angle = Rand(0, LastDegree);
        e.Angle1 = static_cast<float>(angle);
        int speed = Rand(slowest, fastest);
        e.speed = static_cast<float>(speed);
        e.Count = Rand(shortest, longest);
        e.color = GreySpark;
        if (TheSettings.ColorsOn == 1)
            e.color = static_cast<std::uint32_t>(Rand(SparkColourLow, SparkColourHigh)) + OpaqueTop;
        e.ExplosionType = type;
    }
}

// A spark or streak moves along its heading at its speed.
void MovePiece(Explosions& e) {
    float sine, cosine;
    SinCos(e.Angle1, sine, cosine);
    e.x1 += sine * e.speed;
    e.y1 += -cosine * e.speed;
}

void StepPiece(World& w, Explosions& e) {
    e.Count -= 1;
    if (e.Count == 0) {
        w.ExplosionsList.Remove(e);
    } else {
        if (e.ExplosionType == SmallExplosion) {
            e.ShownLength = static_cast<float>(static_cast<int>(e.Length));
            e.Length -= static_cast<float>(e.Steps);
        } else if (e.ExplosionType == BigExplosion) {
            MovePiece(e);
        }
        // The piece shows where it stands now; a streak moves on after showing.
        e.ShownX = e.x1;
        e.ShownY = e.y1;
        PickFlicker(e.Shade);
        if (e.ExplosionType == ShockwaveExplosion) MovePiece(e);
        w.ExplosionsActive += 1;
    }
    if (e.x1 < 0 || e.x1 > FieldRight || e.y1 < 0 || e.y1 > FieldBottom) w.ExplosionsList.Remove(e);
}

void DrawPiece(const Explosions& e) {
    float x2 = 0, y2 = 0;
    if (e.ExplosionType == SmallExplosion) {
        int dx = static_cast<int>(Sin(e.Angle1) * e.ShownLength);
        int dy = -static_cast<int>(Cos(e.Angle1) * e.ShownLength);
        x2 = e.ShownX + static_cast<float>(dx);
        y2 = e.ShownY + static_cast<float>(dy);
    } else if (e.ExplosionType == BigExplosion) {
        x2 = e.ShownX + DotSize;
        y2 = e.ShownY + DotSize;
    } else {
        float reach = e.speed * StreakLengthFactor;
        x2 = static_cast<float>(static_cast<int>(e.ShownX + Sin(e.Angle1) * reach));
        y2 = static_cast<float>(static_cast<int>(e.ShownY - Cos(e.Angle1) * reach));
    }
    DrawDebris(e.ShownX, e.ShownY, x2, y2, e.color, GlowWidth3, e.Shade);
    if (TheSettings.NeonMode == 0) SetColor(White, White, White);
}

// A dot's move for one frame; false once its life has run out and it has left the list.
bool MoveParticle(World& w, Particles& p) {
    p.Stamp += 1;
    // A dot shows where it stood before this frame's move.
    p.ShownX = p.x;
    p.ShownY = p.y;
    p.x += p.xspeed;
    p.y += p.yspeed;
    p.life -= 1;
    if (p.life >= 0) return true;
    w.ParticlesList.Remove(p);
    return false;
}

void DrawFrag(const frags& f) {
    RestoreData(FragLineLabels[f.Data]);
    float c = Cos(f.ShownAngle);
    float s = Sin(f.ShownAngle);
    for (int k = 0; k < FragLinesPerSet; ++k) {
        float ax = static_cast<float>(ReadDataInt());
        float ay = static_cast<float>(ReadDataInt());
        float bx = static_cast<float>(ReadDataInt());
        float by = static_cast<float>(ReadDataInt());
        float x1 = f.ShownX + (ax * c + ay * s);
        float y1 = f.ShownY + (ax * s - ay * c);
        float x2 = f.ShownX + (bx * c + by * s);
        float y2 = f.ShownY + (bx * s - by * c);
        if (TheSettings.ColorsOn == 0)
            DrawSegment(x1, y1, x2, y2, OpaqueWhite, GlowWidth5, FragGrey, FragGrey, FragGrey);
        else
            DrawSegment(x1, y1, x2, y2, FragColour, GlowWidth5, FragRed, FragGreen, FragBlue);
    }
}
} // namespace

void CreateExplosion(World& w, int x, int y, std::uint32_t color, int type) {
    // Blasts are only moved and drawn in a player's game: the attract play's hits make none.
    if (w.DemoMode == 1) return;
    if (type == SmallExplosion) {
        for (int i = 0; i < BlastRays; ++i) {
            Explosions& e = w.ExplosionsList.Add();
            e.x1 = static_cast<float>(x);
            e.y1 = static_cast<float>(y);
            int length = Rand(RayShortest, RayLongest);
            e.Length = static_cast<float>(length);
            // The sector's offset is drawn before the jitter.
            int sector = Rand(0, SectorJitterHigh);
            int jitter = Rand(-RayJitter, RayJitter);
            e.Angle1 = static_cast<float>(sector + BurstSector * i + jitter);
            e.Count = RayFrames;
            e.Steps = length / RayFrames;
            e.color = color + OpaqueTop + BurstBrightening; // wraps as 32-bit arithmetic
            e.ExplosionType = SmallExplosion;
        }
    } else if (type == BigExplosion) {
        AddPieces(w, x, y, BigExplosion, SparkSlowest, SparkFastest, SparkShortest, SparkLongest);
    } else if (type == ShockwaveExplosion) {
        AddPieces(w, x, y, ShockwaveExplosion, StreakSlowest, StreakFastest, StreakShortest, StreakLongest);
    }
}

void UpdateExplosions(World& w) {
    w.ExplosionsActive = 0;
    w.ExplosionsList.Walk([&](Explosions& e) { StepPiece(w, e); });
}

void DrawExplosions(const World& w) { w.ExplosionsList.Each(DrawPiece); }

void CreateParticles(World& w, int x, int y) {
    for (int i = 0; i < ParticlePieces; ++i) {
        Particles& p = w.ParticlesList.Add();
        p.x = static_cast<float>(x);
        p.y = static_cast<float>(y);
        int a = Rand(0, LastDegree);
        // Taken as ARGB: about half of them have a top byte of 0 and add nothing to the glow.
        p.color = OpaqueWhite;
        if (TheSettings.ColorsOn == 1)
            p.color = static_cast<std::uint32_t>(Rand(-ParticleColourSpread, ParticleColourSpread));
        float sine, cosine;
        WholeSinCos(a, sine, cosine);
        // Two separate draws: the speed differs per axis.
        float across = Rnd(ParticleSlowest, ParticleFastest);
        p.xspeed = sine * across;
        float down = Rnd(ParticleSlowest, ParticleFastest);
        p.yspeed = -cosine * down;
        p.life = Rand(ParticleShortest, ParticleLongest);
        p.Stamp = w.ParticleClock;
    }
}

void UpdateParticles(World& w) {
    w.ParticleClock += 1;
    bool flickerDraws = TheSettings.NeonMode == 0 && TheSettings.ColorsOn == 1;
    if (w.ParticlesUnseen && !flickerDraws) {
        // Unseen, a particle's steps wait; those whose life ran out meanwhile are dropped now and then, unstepped.
        w.ParticlesOwed = true;
        if (w.ParticleClock % ParticleDropFrames == 0) {
            w.ParticlesList.Walk([&](Particles& p) {
                if (w.ParticleClock - p.Stamp > p.life) w.ParticlesList.Remove(p);
            });
        }
        return;
    }
    if (w.ParticlesOwed) {
        SettleParticles(w);
        return;
    }
    w.ParticlesList.Walk([&](Particles& p) {
        PickFlicker(p.Shade);
        MoveParticle(w, p);
    });
}

void SettleParticles(World& w) {
    if (!w.ParticlesOwed) return;
    w.ParticlesOwed = false;
    int clock = w.ParticleClock;
    w.ParticlesList.Walk([&](Particles& p) {
        // The steps owed were made while nobody looked: only the latest picks a flicker colour.
        while (p.Stamp < clock) {
            if (p.Stamp == clock - 1) PickFlicker(p.Shade);
            if (!MoveParticle(w, p)) return;
        }
    });
}

void DrawParticles(const World& w) {
    w.ParticlesList.Each([&](const Particles& p) {
        DrawDebris(p.ShownX, p.ShownY, p.ShownX + DotSize, p.ShownY + DotSize, p.color, GlowWidth1, p.Shade);
    });
    FinishSegments();
}

void CreateFrag(World& w, int index) {
    frags& f = w.FragsList.Add();
    f.x = w.ShipX;
    f.y = w.ShipY;
    f.Angle = w.ShipAngle;
    f.WhichOne = index * FragDirectionStep;
    f.Data = index;
    f.RotateSpeed = Rnd(-FragSpinLimit, FragSpinLimit);
    f.Distance = 0;
}

void UpdateFrags(World& w) {
    w.FragsList.Walk([&](frags& f) {
        // A fragment shows where it stood before this frame's move.
        f.ShownX = f.x;
        f.ShownY = f.y;
        f.ShownAngle = f.Angle;
        f.Angle += f.RotateSpeed;
        f.Distance += FragAcceleration;
        float direction = static_cast<float>(f.WhichOne);
        f.x += Sin(direction) * f.Distance;
        f.y -= Cos(direction) * f.Distance;
    });
}

void DrawFrags(const World& w) {
    w.FragsList.Each(DrawFrag);
    FinishSegments();
}

void ClearExplosions(World& w) { w.ExplosionsList.Clear(); }
void ClearParticles(World& w) { w.ParticlesList.Clear(); }
void ClearFrags(World& w) { w.FragsList.Clear(); }
