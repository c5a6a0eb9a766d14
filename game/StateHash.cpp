// The replay hash: FNV-1a over the bits of every value that makes up a frame of the game.
#include "StateHash.h"
#include "Ship.h"
#include "core/GameState.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include <cstring>

namespace {
constexpr std::uint64_t FnvOffset = 14695981039346656037ull;
constexpr std::uint64_t FnvPrime = 1099511628211ull;

class Hasher {
  public:
    template <typename Value> void Add(const Value& value) {
        unsigned char bytes[sizeof(Value)];
        std::memcpy(bytes, &value, sizeof(Value));
        for (unsigned char b : bytes) {
            Hash ^= b;
            Hash *= FnvPrime;
        }
    }
    std::uint64_t Hash = FnvOffset;
};
} // namespace

std::uint64_t GameStateHash(const World& w) {
    Hasher h;
    h.Add(w.Score);
    h.Add(w.ShipsLeft);
    h.Add(w.Level);
    h.Add(w.GameState);
    h.Add(w.PlayerDead);
    h.Add(w.CannonDestroyed);
    h.Add(w.CannonAngle);
    h.Add(w.CannonFireDelay);
    h.Add(w.MissileCount);
    h.Add(w.ShipX);
    h.Add(w.ShipY);
    h.Add(w.ShipXSpeed);
    h.Add(w.ShipYSpeed);
    h.Add(w.ShipAngle);
    w.SectionsList.Each([&](const Sections& s) {
        RingPoint mid = Midpoint(s);
        h.Add(mid.X);
        h.Add(mid.Y);
        h.Add(s.Angle0);
        h.Add(s.Radius);
        h.Add(s.speed);
        h.Add(s.Life);
        h.Add(s.Ring);
    });
    w.EnemyBulletsList.Each([&](const EnemyBullets& b) {
        h.Add(b.x);
        h.Add(b.y);
    });
    w.MissilesList.Each([&](const Missiles& m) {
        h.Add(m.x);
        h.Add(m.y);
        h.Add(m.Angle);
        h.Add(m.Mode);
        h.Add(m.Life);
        h.Add(m.HangAround);
    });
    w.PlayerBulletsList.Each([&](const PlayerBullets& b) {
        h.Add(b.x);
        h.Add(b.y);
        h.Add(b.life);
    });
    w.ExplosionsList.Each([&](const Explosions& e) {
        h.Add(e.x1);
        h.Add(e.y1);
        h.Add(e.Count);
        h.Add(e.color);
    });
    w.ParticlesList.Each([&](const Particles& p) {
        h.Add(p.x);
        h.Add(p.y);
        h.Add(p.life);
    });
    w.FragsList.Each([&](const frags& f) {
        h.Add(f.x);
        h.Add(f.y);
        h.Add(f.Angle);
    });
    return h.Hash;
}
