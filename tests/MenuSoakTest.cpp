// The menu's attract play for a stretch of menu time, with every list's largest size printed: the ghost's shots
// open the rings again and again, and no list grows without bound.
#include "GameFixture.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "frontend/MainMenu.h"
#include "game/Ship.h"
#include "graphics/Stars.h"
#include "graphics/TPoly.h"
#include "support/LargestLists.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
using MenuSoakTest = GameFixture;
constexpr int GhostRecords = 1996;
} // namespace

// The attract play for a stretch of menu time (20,000 frames; KESTROVAR_SOAK_FRAMES=216000 for the hour the
// sanitizer build runs): the ghost's shots open the rings again and again, and no list grows without bound.
TEST_F(MenuSoakTest, TheAttractPlayKeepsEveryListBounded) {
    int frames = SoakFrames(20000);
    static LargestLists most;
    static int shots, sectionsShot, cannonHits;
    static std::size_t standing;
    static float closest;
    most = {};
    shots = sectionsShot = cannonHits = 0;
    standing = 36;
    closest = 1e9f;
    Headless::KeepFrames(0);
    auto measure = [this] {
        most.Measure(Fight);
        if (Fight.ShotCooldown == ShotCooldownFrames) shots += 1;
        // Sections shot away: the count falls between two frames without the ghost's wrap rebuilding the rings.
        std::size_t now = Fight.SectionsList.Count();
        if (now < standing && TheMenu.GhostIndex != 0) sectionsShot += static_cast<int>(standing - now);
        standing = now;
        cannonHits += Fight.CannonDestroyed;
        Fight.CannonDestroyed = 0;
        if (TheMenu.GhostIndex != 0)
            closest = std::min(closest, std::hypot(Fight.ShipX - FortressX, Fight.ShipY - FortressY));
    };
    // The menu as start-up enters it, in the wireframe style: the lists are the same in both styles, and the
    // sanitizer build's hour takes a fraction of the time the glow strips would.
    SetUpProgram(StartupFor::Replay);
    TheSettings.NeonMode = 0;
    ApplyDisplayStyle();
    int stop = Headless::FrameCount() + frames;
    Loop loop;
    loop.Open(OpenMainMenu(Fight));
    EXPECT_FALSE(TurnUntil(loop, [&] {
        measure();
        return Headless::FrameCount() >= stop;
    })) << "the menu stays until it is left";
    std::printf("menu soak: %d frames, %d ghost shots, %d sections shot away, %d cannon hits, ghost at least %.0f from "
                "the centre; largest lists: sections %zu, enemy bullets %zu, missiles %zu, "
                "player bullets %zu, explosions %zu, particles %zu, frags %zu, stars %zu\n",
                frames, shots, sectionsShot, cannonHits, static_cast<double>(closest), most.Sections, most.EnemyBullets,
                most.Missiles, most.PlayerBullets, most.Explosions, most.Particles, most.Frags, most.Stars);
    // The ghost flies like a player showing the game: it shoots, its shots open the rings, none reaches the cannon
    // and it never flies into the rings.
    int loops = frames / GhostRecords;
    EXPECT_GT(shots, loops * 80);
    EXPECT_GT(sectionsShot, loops * 30);
    EXPECT_EQ(cannonHits, 0);
    EXPECT_GT(closest, 150.0f);
    EXPECT_LE(most.Sections, 36u);
    EXPECT_LE(most.EnemyBullets, 4u);
    EXPECT_EQ(most.Missiles, 0u);
    EXPECT_LE(most.PlayerBullets, 3u);
    EXPECT_EQ(most.Explosions, 0u);
    EXPECT_EQ(most.Particles, 0u);
    EXPECT_EQ(most.Frags, 0u);
    EXPECT_EQ(most.Stars, 24u);
}
