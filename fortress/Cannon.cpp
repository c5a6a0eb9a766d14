// The cannon: it turns toward the ship, fires through gaps in the rings, keeps its missiles out and is drawn with its
// spinning chevrons; and the enemy bullets it fires, which fly straight through the rings in a flickering burst.
#include "Cannon.h"
#include "Collisions.h"
#include "Fortress.h"
#include "Missiles.h"
#include "Sections.h"
#include "World.h"
#include "core/GameState.h"
#include "core/Playfield.h"
#include "core/Settings.h"
#include "core/ShipState.h"
#include "graphics/Art.h"
#include "graphics/Images.h"
#include "graphics/Palette.h"
#include "graphics/Shapes.h"
#include "graphics/TPoly.h"
#include "platform/Display.h"
#include "platform/Random.h"
#include <cmath>

namespace {
constexpr float BaseTurnStep = 1.4f;
constexpr float TurnStepPerLevel = 0.081f;
constexpr float FiringArc = 10;
constexpr int BaseMissileQuota = 3;
constexpr int LevelsPerExtraMissile = 2;
constexpr int ChevronFrames = 6;
constexpr int ChevronFrameLength = 5; // the timer runs 0 … 5, so a frame shows for 6 calls
constexpr int ChevronGrey = 128;
constexpr int RayShortest = 10, RayLongest = 30;
constexpr float BulletsLeaveRight = 1024; // enemy bullets leave past 1024 across but past 767 down

void DrawCannonStrokes(const World& w) {
    int row = static_cast<int>(w.CannonAngle);
    for (const ShapeStroke& stroke : TheArt.CannonShapes[row]) {
        std::uint32_t colour = TheSettings.ColorsOn == 0 ? OpaqueWhite : static_cast<std::uint32_t>(stroke.Colour);
        if (TheSettings.ColorsOn == 0)
            DrawShapeStroke(stroke, FortressX, FortressY, colour, GlowWidth3, White, White, White);
        else
            DrawShapeStroke(stroke, FortressX, FortressY, colour, GlowWidth3, stroke.Red, stroke.Green, stroke.Blue);
    }
    for (int k = 0; k < StrokesPerFrame; ++k) {
        const ShapeStroke& stroke = TheArt.ChevronShapes[row][StrokesPerFrame * w.ChevronFrameShown + k];
        std::uint32_t colour = TheSettings.ColorsOn == 0 ? OpaqueWhite : static_cast<std::uint32_t>(stroke.Colour);
        if (TheSettings.ColorsOn == 0)
            DrawShapeStroke(stroke, FortressX, FortressY, colour, GlowWidth3, ChevronGrey, ChevronGrey, ChevronGrey);
        else
            DrawShapeStroke(stroke, FortressX, FortressY, colour, GlowWidth3, stroke.Red, stroke.Green, stroke.Blue);
    }
    if (TheSettings.NeonMode == 0) SetColor(White, White, White); // the chevrons' colour stays behind otherwise
}

// The cannon's facing back within a turn and the chevrons' animation, every frame the cannon is shown, aiming or not.
void TurnChevrons(World& w) {
    if (w.CannonAngle < 0) w.CannonAngle += FullTurn;
    if (w.CannonAngle > LastWholeDegree) w.CannonAngle -= FullTurn;
    w.ChevronFrameShown = w.ChevronFrame;
    w.ChevronFrameTimer += 1;
    if (w.ChevronFrameTimer > ChevronFrameLength) {
        w.ChevronFrameTimer = 0;
        w.ChevronFrame += 1;
        if (w.ChevronFrame >= ChevronFrames) w.ChevronFrame = 0;
    }
}

// A burst's rays flicker: every ray takes a fresh length, and in the wireframe style a fresh colour, each frame.
void PickBurstRays(EnemyBullets& bullet) {
    for (int ray = 0; ray < BurstRays; ++ray) {
        bullet.RayLength[ray] = Rand(RayShortest, RayLongest);
        if (TheSettings.NeonMode != 0) continue;
        if (TheSettings.ColorsOn == 0) {
            int grey = Rand(FlickerLow, FlickerHigh);
            bullet.RayRed[ray] = bullet.RayGreen[ray] = bullet.RayBlue[ray] = static_cast<std::uint8_t>(grey);
        } else {
            int red = Rand(FlickerLow, FlickerHigh);
            int green = Rand(FlickerLow, FlickerHigh);
            int blue = Rand(FlickerLow, FlickerHigh);
            bullet.RayRed[ray] = static_cast<std::uint8_t>(red);
            bullet.RayGreen[ray] = static_cast<std::uint8_t>(green);
            bullet.RayBlue[ray] = static_cast<std::uint8_t>(blue);
        }
    }
}

void DrawBurstRay(const EnemyBullets& bullet, int ray) {
    float len = static_cast<float>(bullet.RayLength[ray]);
    float degrees = static_cast<float>(ray * BurstStepDegrees);
    int dx = static_cast<int>(Sin(degrees) * len);
    int dy = -static_cast<int>(Cos(degrees) * len);
    float x1 = bullet.x + static_cast<float>(TheSettings.PlayfieldOffsetX);
    float y1 = bullet.y + static_cast<float>(TheSettings.PlayfieldOffsetY);
    float x2 = x1 + static_cast<float>(dx);
    float y2 = y1 + static_cast<float>(dy);
    if (TheSettings.NeonMode == 0) {
        SetColor(bullet.RayRed[ray], bullet.RayGreen[ray], bullet.RayBlue[ray]);
        DrawLine(x1, y1, x2, y2, 1);
        SetColor(White, White, White);
    } else {
        TPoly::Line(TheArt.GlowDotImage, 0, x1, y1, PaletteColor0, x2, y2, PaletteColor1,
                    static_cast<float>(GlowWidth4), true, false);
    }
}
} // namespace

float AngleDiff(float a, float b) { return TurnRemainder(TurnRemainder(b - a) + (FullTurn + HalfTurn)) - HalfTurn; }

float CentreBearing(float x, float y) {
    float bearing = TurnRemainder(ATan2(y - FortressY, x - FortressX) + QuarterTurn);
    if (bearing < 0) bearing += FullTurn;
    return bearing;
}

bool LineOfFireClear(const World& w, float x, float y) {
    return !w.SectionsList.Any(
        [&](const Sections& s) { return SegmentsCross(s.x1, s.y1, s.x2, s.y2, FortressX, FortressY, x, y); });
}

void UpdateCannon(World& w) {
    if (w.ExitPromptShown == 0) {
        float bearing = CentreBearing(w.ShipX, w.ShipY);
        w.CannonTurn = AngleDiff(w.CannonAngle, bearing);
        float step = BaseTurnStep + TurnStepPerLevel * static_cast<float>(w.Level);
        // The cannon never rests: on target it swings one step either side.
        if (w.CannonTurn < 0) {
            w.CannonAngle -= step;
            if (w.CannonAngle < 0) w.CannonAngle += FullTurn;
        } else {
            w.CannonAngle += step;
            if (w.CannonAngle > LastWholeDegree) w.CannonAngle -= FullTurn;
        }
        if (w.PlayerDead == 0) {
            if (w.CannonFireDelay > 0) w.CannonFireDelay -= 1;
            // The shot flies at the ship's exact bearing; the facing only has to be near it. The rings are only
            // searched for a blocker when the cannon could fire: the search changes nothing.
            if (w.CannonFireDelay == 0 && w.CannonTurn > -FiringArc && w.CannonTurn < FiringArc &&
                LineOfFireClear(w, w.ShipX, w.ShipY))
                FireEnemyBullet(w, static_cast<int>(bearing));
        }
        // The attract play never moves or draws missiles, so the menu's cannon launches none.
        if (w.DemoMode == 0 && w.MissileCount < w.Level / LevelsPerExtraMissile + BaseMissileQuota)
            LaunchMissile(w, static_cast<int>(w.CannonAngle));
    }
    TurnChevrons(w);
}

void DrawCannon(const World& w) { DrawCannonStrokes(w); }

void FireEnemyBullet(World& w, int angle) {
    EnemyBullets& bullet = w.EnemyBulletsList.Add();
    float degrees = static_cast<float>(angle);
    bullet.xspeed = Sin(degrees) * EnemyBulletSpeed;
    bullet.yspeed = -Cos(degrees) * EnemyBulletSpeed;
    bullet.x = FortressX + Sin(degrees) * EnemyBulletSpeed;
    bullet.y = FortressY - Cos(degrees) * EnemyBulletSpeed;
    w.CannonFireDelay = CannonShotDelay;
}

void UpdateEnemyBullets(World& w) {
    w.EnemyBulletsList.Walk([&](EnemyBullets& bullet) {
        bullet.x_old = bullet.x;
        bullet.y_old = bullet.y;
        bullet.x += bullet.xspeed;
        bullet.y += bullet.yspeed;
        PickBurstRays(bullet);
        if (bullet.x < 0 || bullet.x > BulletsLeaveRight || bullet.y < 0 || bullet.y > FieldBottom) {
            w.EnemyBulletsList.Remove(bullet);
        } else if (ShipStruckWithin(w, bullet.x, bullet.y, EnemyBulletHitRadius)) {
            w.EnemyBulletsList.Remove(bullet);
        }
    });
}

void DrawEnemyBullets(const World& w) {
    TPoly::_Begin();
    w.EnemyBulletsList.Each([&](const EnemyBullets& bullet) {
        for (int ray = 0; ray < BurstRays; ++ray) DrawBurstRay(bullet, ray);
    });
    TPoly::_End();
}

void ClearEnemyBullets(World& w) { w.EnemyBulletsList.Clear(); }
