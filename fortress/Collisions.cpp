// The hit tests: player bullets against the rings and the cannon (one walk that also moves and ends the bullets),
// the ship's bounce off the fortress, and a ship struck by the enemy; and the bullets' drawing.
#include "Collisions.h"
#include "Effects.h"
#include "Fortress.h"
#include "Sections.h"
#include "World.h"
#include "core/GameState.h"
#include "core/Playfield.h"
#include "core/Score.h"
#include "core/Settings.h"
#include "core/ShipState.h"
#include "core/Sound.h"
#include "graphics/Art.h"
#include "graphics/Images.h"
#include "platform/Display.h"
#include "platform/Random.h"
#include <cmath>
#include <cstdlib>

namespace {
constexpr float ParallelLimit = 0.0001f;
constexpr std::uint32_t HitBrightening = 0x7F7F7F;
constexpr int HitDarkening = 80;
constexpr std::uint32_t CannonBlastColour = 0xFFFF00FF;
constexpr std::uint32_t ShipBlastColour = 0xFFFF00FF;
constexpr int BounceSpread = 22;
constexpr int BulletLifetime = 60;

// The first section in list order whose chord the bullet's move crosses takes the hit.
bool StrikeSections(World& w, PlayerBullets& bullet) {
    Sections* struck = w.SectionsList.Find([&](const Sections& s) {
        return SegmentsCross(bullet.x_old, bullet.y_old, bullet.x, bullet.y, s.x1, s.y1, s.x2, s.y2);
    });
    if (struck == nullptr) return false;
    Sections& s = *struck;
    w.PlayerBulletsList.Remove(bullet);
    s.Life -= 1;
    s.Color += HitBrightening; // wraps: the glow brightens and its top byte may roll over
    s.rcol -= HitDarkening;
    s.gcol -= HitDarkening;
    s.bcol -= HitDarkening;
    bool loud = TheSettings.SoundFXOn == 1 && w.DemoMode == 0;
    if (loud) Sound::Play("SectionHit", 0);
    if (s.Life < 1) {
        if (loud) Sound::Play("RemoveRings", 0);
        CreateExplosion(w, static_cast<int>(bullet.x), static_cast<int>(bullet.y), s.Color, SmallExplosion);
        if (w.DemoMode == 0) AddScore(w, s.Score);
        w.SectionsList.Remove(s);
    }
    return true;
}

void StrikeCannon(World& w, const PlayerBullets& bullet) {
    if (!WithinDistance(static_cast<int>(bullet.x), static_cast<int>(bullet.y), static_cast<int>(FortressX),
                        static_cast<int>(FortressY), CannonHitRadius))
        return;
    w.PlayerBulletsList.Clear();
    if (w.DemoMode == 0) AddScore(w, CannonPoints);
    w.CannonDestroyed = 1;
    CreateExplosion(w, static_cast<int>(FortressX), static_cast<int>(FortressY), CannonBlastColour, BigExplosion);
    w.SectionsList.Walk([&](Sections& s) {
        if (w.DemoMode == 0) AddScore(w, s.Score);
    });
    w.SectionsList.Clear();
}

void DrawBullet(const PlayerBullets& bullet) {
    float x = bullet.x + static_cast<float>(TheSettings.PlayfieldOffsetX);
    float y = bullet.y + static_cast<float>(TheSettings.PlayfieldOffsetY);
    if (TheSettings.NeonMode == 1) {
        DrawImage(TheArt.GlowDotImage, x, y, 0);
    } else {
        DrawImage(TheArt.PlayerShotsImage, x, y, TheSettings.ColorsOn == 1 ? 1 : 0);
    }
}

void WrapBullet(PlayerBullets& bullet) {
    if (bullet.x < 0) bullet.x += FieldWidth;
    if (bullet.x > FieldRight) bullet.x -= FieldWidth;
    if (bullet.y < 0) bullet.y += FieldHeight;
    if (bullet.y > FieldBottom) bullet.y -= FieldHeight;
}
} // namespace

bool WithinLongDistance(int squared, int r) { return Sqr(static_cast<float>(squared)) < static_cast<float>(r); }

bool SegmentsCross(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4) {
    float den = (x2 - x1) * (y4 - y3) - (y2 - y1) * (x4 - x3);
    if (std::fabs(den) < ParallelLimit) return false;
    float ua = ((y1 - y3) * (x4 - x3) - (x1 - x3) * (y4 - y3)) / den;
    float ub = ((y1 - y3) * (x2 - x1) - (x1 - x3) * (y2 - y1)) / den;
    return ua > 0 && ua < 1 && ub > 0 && ub < 1;
}

void UpdatePlayerBullets(World& w) {
    if (w.ShotCooldown > 0) w.ShotCooldown -= 1;
    w.PlayerBulletCount = 0;
    w.PlayerBulletsList.Walk([&](PlayerBullets& bullet) {
        bullet.x_old = bullet.x;
        bullet.y_old = bullet.y;
        bullet.x += bullet.xspeed;
        bullet.y += bullet.yspeed;
        StrikeSections(w, bullet);
        // A bullet that struck a section can still reach the cannon in the same move.
        StrikeCannon(w, bullet);
        w.PlayerBulletCount += 1;
        WrapBullet(bullet);
        bullet.life += 1;
        if (bullet.life > BulletLifetime) {
            w.PlayerBulletsList.Remove(bullet);
            w.PlayerBulletCount -= 1;
        }
        BulletHitsMissiles(w, bullet);
    });
}

void DrawPlayerBullets(const World& w) {
    SetColor(White, White, White);
    w.PlayerBulletsList.Each(DrawBullet);
    SetScale(1, 1);
}

void BounceShipOffRings(World& w) {
    if (!WithinDistance(static_cast<int>(w.ShipX), static_cast<int>(w.ShipY), static_cast<int>(FortressX),
                        static_cast<int>(FortressY), BounceRadius))
        return;
    if (TheSettings.SoundFXOn == 1) Sound::Play("BounceSND", 0);
    w.ShipX = w.ShipOldX;
    w.ShipY = w.ShipOldY;
    float a = TurnRemainder(ATan2(w.ShipY - FortressY, w.ShipX - FortressX) + QuarterTurn);
    int spread = Rand(-BounceSpread, BounceSpread);
    a += static_cast<float>(spread);
    if (a < 0) a += FullTurn;
    w.ShipAngle = a;
    // 360 or above: a tiny negative angle plus 360 can round to exactly 360, one row past the shape tables.
    if (w.ShipAngle >= FullTurn) w.ShipAngle -= FullTurn;
    if (w.ShipAngle < 0) w.ShipAngle += FullTurn;
    w.ShipSpeed = w.ShipSpeed / 2;
    w.ShipXSpeed = Sin(w.ShipAngle) * w.ShipSpeed;
    w.ShipYSpeed = -Cos(w.ShipAngle) * w.ShipSpeed;
}

bool ShipStruckWithin(World& w, float x, float y, int radius) {
    if (!WithinDistance(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w.ShipX), static_cast<int>(w.ShipY),
                        radius))
        return false;
    // Every contact makes another blast, whether or not the ship is already dead.
    w.PlayerDead = 1;
    CreateExplosion(w, static_cast<int>(w.ShipX), static_cast<int>(w.ShipY), ShipBlastColour, BigExplosion);
    return true;
}
