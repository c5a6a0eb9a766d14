// The hit tests: player bullets against the rings and the cannon (one walk that also moves and ends the bullets),
// the ship's bounce off the fortress, and a ship struck by the enemy; and the bullets' drawing.
#include "Collisions.h"
#include "Effects.h"
#include "Fortress.h"
#include "Sections.h"
#include "core/GameState.h"
#include "core/Playfield.h"
#include "core/Score.h"
#include "core/Settings.h"
#include "core/ShipState.h"
#include "core/Sound.h"
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
bool StrikeSections(PlayerBullets& bullet) {
    bool hit = false;
    SectionsList.Walk([&](Sections& s) {
        if (hit || !SegmentsCross(bullet.x_old, bullet.y_old, bullet.x, bullet.y, s.x1, s.y1, s.x2, s.y2)) return;
        PlayerBulletsList.Remove(bullet);
        s.Life -= 1;
        s.Color += HitBrightening; // wraps: the glow brightens and its top byte may roll over
        s.rcol -= HitDarkening;
        s.gcol -= HitDarkening;
        s.bcol -= HitDarkening;
        bool loud = SoundFXOn == 1 && DemoMode == 0;
        if (loud) Sound::Play("SectionHit", 0);
        if (s.Life < 1) {
            if (loud) Sound::Play("RemoveRings", 0);
            CreateExplosion(static_cast<int>(bullet.x), static_cast<int>(bullet.y), s.Color, SmallExplosion);
            if (DemoMode == 0) AddScore(s.Score);
            SectionsList.Remove(s);
        }
        hit = true;
    });
    return hit;
}

void StrikeCannon(const PlayerBullets& bullet) {
    if (!WithinDistance(static_cast<int>(bullet.x), static_cast<int>(bullet.y), static_cast<int>(FortressX),
                        static_cast<int>(FortressY), CannonHitRadius))
        return;
    PlayerBulletsList.Clear();
    if (DemoMode == 0) AddScore(CannonPoints);
    CannonDestroyed = 1;
    CreateExplosion(static_cast<int>(FortressX), static_cast<int>(FortressY), CannonBlastColour, BigExplosion);
    SectionsList.Walk([](Sections& s) {
        if (DemoMode == 0) AddScore(s.Score);
    });
    SectionsList.Clear();
}

void DrawBullet(const PlayerBullets& bullet) {
    float x = bullet.x + static_cast<float>(PlayfieldOffsetX);
    float y = bullet.y + static_cast<float>(PlayfieldOffsetY);
    if (NeonMode == 1) {
        DrawImage(GlowDotImage, x, y, 0);
    } else {
        DrawImage(PlayerShotsImage, x, y, ColorsOn == 1 ? 1 : 0);
    }
}

void WrapBullet(PlayerBullets& bullet) {
    if (bullet.x < 0) bullet.x += FieldWidth;
    if (bullet.x > FieldRight) bullet.x -= FieldWidth;
    if (bullet.y < 0) bullet.y += FieldHeight;
    if (bullet.y > FieldBottom) bullet.y -= FieldHeight;
}
} // namespace

bool WithinDistance(int x1, int y1, int x2, int y2, int r) {
    int dx = std::abs(x1 - x2);
    int dy = std::abs(y1 - y2);
    return Sqr(static_cast<float>(dx * dx + dy * dy)) < static_cast<float>(r);
}

bool SegmentsCross(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4) {
    float den = (x2 - x1) * (y4 - y3) - (y2 - y1) * (x4 - x3);
    if (std::fabs(den) < ParallelLimit) return false;
    float ua = ((y1 - y3) * (x4 - x3) - (x1 - x3) * (y4 - y3)) / den;
    float ub = ((y1 - y3) * (x2 - x1) - (x1 - x3) * (y2 - y1)) / den;
    return ua > 0 && ua < 1 && ub > 0 && ub < 1;
}

void UpdatePlayerBullets() {
    if (ShotCooldown > 0) ShotCooldown -= 1;
    PlayerBulletCount = 0;
    PlayerBulletsList.Walk([](PlayerBullets& bullet) {
        bullet.x_old = bullet.x;
        bullet.y_old = bullet.y;
        bullet.x += bullet.xspeed;
        bullet.y += bullet.yspeed;
        StrikeSections(bullet);
        // A bullet that struck a section can still reach the cannon in the same move.
        StrikeCannon(bullet);
        PlayerBulletCount += 1;
        WrapBullet(bullet);
        bullet.life += 1;
        if (bullet.life > BulletLifetime) {
            PlayerBulletsList.Remove(bullet);
            PlayerBulletCount -= 1;
        }
        BulletHitsMissiles(bullet);
    });
}

void DrawPlayerBullets() {
    SetColor(White, White, White);
    PlayerBulletsList.Each(DrawBullet);
    SetScale(1, 1);
}

void BounceShipOffRings() {
    if (!WithinDistance(static_cast<int>(ShipX), static_cast<int>(ShipY), static_cast<int>(FortressX),
                        static_cast<int>(FortressY), BounceRadius))
        return;
    if (SoundFXOn == 1) Sound::Play("BounceSND", 0);
    ShipX = ShipOldX;
    ShipY = ShipOldY;
    float a = std::fmod(ATan2(ShipY - FortressY, ShipX - FortressX) + QuarterTurn, FullTurn);
    int spread = Rand(-BounceSpread, BounceSpread);
    a += static_cast<float>(spread);
    if (a < 0) a += FullTurn;
    ShipAngle = a;
    // 360 or above: a tiny negative angle plus 360 can round to exactly 360, one row past the shape tables.
    if (ShipAngle >= FullTurn) ShipAngle -= FullTurn;
    if (ShipAngle < 0) ShipAngle += FullTurn;
    ShipSpeed = ShipSpeed / 2;
    ShipXSpeed = Sin(ShipAngle) * ShipSpeed;
    ShipYSpeed = -Cos(ShipAngle) * ShipSpeed;
}

bool ShipStruckWithin(float x, float y, int radius) {
    if (!WithinDistance(static_cast<int>(x), static_cast<int>(y), static_cast<int>(ShipX), static_cast<int>(ShipY),
                        radius))
        return false;
    // Every contact makes another blast, whether or not the ship is already dead.
    PlayerDead = 1;
    CreateExplosion(static_cast<int>(ShipX), static_cast<int>(ShipY), ShipBlastColour, BigExplosion);
    return true;
}
