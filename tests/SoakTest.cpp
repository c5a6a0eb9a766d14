// The soak: the bot plays game after game, now aiming and shooting through the gaps, now pressing keys at random,
// and no list may grow without bound. The frames played default to 20,000; KESTROVAR_SOAK_FRAMES=216000 plays the
// full hour of game time (the sanitizer build's ctest runs that).
#include "GameFixture.h"
#include "core/GameState.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "game/Ship.h"
#include "game/replay/ReplayBot.h"
#include "game/replay/ReplayEngine.h"
#include "support/LargestLists.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
using SoakTest = GameFixture;

constexpr int DefaultSoakFrames = 20000;
constexpr int LongestGame = 30000;

struct Largest : LargestLists {
    int Level = 0;
};

void Measure(Largest& most, const World& w) {
    most.Measure(w);
    most.Level = std::max(most.Level, w.Level);
}
} // namespace

TEST_F(SoakTest, BotPlayKeepsEveryListBounded) {
    int frames = SoakFrames(DefaultSoakFrames);
    Largest most;
    int played = 0, games = 0, levelsWon = 0;
    while (played < frames) {
        // Every game its own seed and its own mix of aimed play and random keys.
        ReplayBotStyle style;
        style.Seed = static_cast<unsigned>(games + 1);
        style.WanderChance = 0.1 * (games % 6);
        style.DigChance = 0.1 + 0.1 * (games % 4);
        style.ThrustChance = 0.02 * (games % 3);
        World w;
        ReplayBot bot(w, style);
        ReplayScript script;
        script.Seed = 1000 + games;
        script.EndFrame = std::min(frames - played, LongestGame);
        ReplayOutcome outcome = RunReplay(w, script, [&](int frame) {
            bot.Play(frame);
            Measure(most, w);
        });
        ASSERT_NE(outcome.How, ReplayOutcome::Ending::ProgramEnded) << "game " << games + 1;
        ASSERT_GT(outcome.Frames, 0);
        played += outcome.Frames;
        levelsWon += w.Level - 1;
        games += 1;
    }
    std::printf("soak: %d frames, %d games, %d levels won, highest level %d; largest lists: sections %zu, enemy "
                "bullets %zu, missiles %zu, player bullets %zu, explosions %zu, particles %zu, frags %zu\n",
                played, games, levelsWon, most.Level, most.Sections, most.EnemyBullets, most.Missiles,
                most.PlayerBullets, most.Explosions, most.Particles, most.Frags);
    // The bot reaches every part of the fight: levels won, so gaps opened and the cannon firing through them.
    EXPECT_GT(levelsWon, 0);
    EXPECT_GT(most.EnemyBullets, 0u);
    // Three rings of twelve (a regrowth drops the outer ring before it adds the inner one); a bullet every 30 frames
    // across the field; the quota plus what the death sequence launches unseen; three bullets; a few blasts at once; a
    // few downed missiles; three fragments.
    EXPECT_LE(most.Sections, 36u);
    EXPECT_LE(most.EnemyBullets, 4u);
    EXPECT_LE(most.Missiles, 600u);
    EXPECT_LE(most.PlayerBullets, 3u);
    EXPECT_LE(most.Explosions, 1000u);
    EXPECT_LE(most.Particles, 400u);
    EXPECT_LE(most.Frags, 3u);
}
