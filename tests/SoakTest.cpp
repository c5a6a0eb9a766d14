// The soak: a bot pressing random keys plays game after game headless; no list may grow without bound. The frames
// played default to 20,000; KESTROVAR_SOAK_FRAMES=216000 plays the full hour of game time.
#include "GameFixture.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "game/Ship.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {
using SoakTest = GameFixture;

constexpr int DefaultSoakFrames = 20000;
constexpr int KeyCodes[] = {37, 39, 164, 162};

struct Largest {
    std::size_t Sections = 0, EnemyBullets = 0, Missiles = 0, PlayerBullets = 0;
    std::size_t Explosions = 0, Particles = 0, Frags = 0;
};
Largest Most;

void Measure(int) {
    Most.Sections = std::max(Most.Sections, SectionsList.Count());
    Most.EnemyBullets = std::max(Most.EnemyBullets, EnemyBulletsList.Count());
    Most.Missiles = std::max(Most.Missiles, MissilesList.Count());
    Most.PlayerBullets = std::max(Most.PlayerBullets, PlayerBulletsList.Count());
    Most.Explosions = std::max(Most.Explosions, ExplosionsList.Count());
    Most.Particles = std::max(Most.Particles, ParticlesList.Count());
    Most.Frags = std::max(Most.Frags, FragsList.Count());
}
} // namespace

TEST_F(SoakTest, RandomPlayKeepsEveryListBounded) {
    int frames = DefaultSoakFrames;
    if (const char* wanted = std::getenv("KESTROVAR_SOAK_FRAMES")) frames = std::stoi(wanted);
    std::mt19937 bot(2026);
    Most = Largest{};
    int played = 0;
    int games = 0;
    while (played < frames) {
        Headless::Reset();
        ResetAllState();
        int length = frames - played;
        for (int frame = 1; frame < length; frame += 1 + static_cast<int>(bot() % 12)) {
            int key = KeyCodes[bot() % 4];
            Headless::HoldKey(frame, key, 1 + static_cast<int>(bot() % 30));
        }
        Headless::KeepFrames(0);
        Headless::SetFlipHook(Measure);
        int status = RunProgramHeadless(length);
        ASSERT_TRUE(status == 0 || status == -1) << status;
        ASSERT_GT(Headless::FrameCount(), 0);
        played += Headless::FrameCount();
        games += 1;
    }
    std::printf("soak: %d frames, %d games; largest lists: sections %zu, enemy bullets %zu, missiles %zu, player "
                "bullets %zu, explosions %zu, particles %zu, frags %zu\n",
                played, games, Most.Sections, Most.EnemyBullets, Most.Missiles, Most.PlayerBullets, Most.Explosions,
                Most.Particles, Most.Frags);
    // Three rings and a growing one; a bullet every 30 frames across the field; the quota plus what the death
    // sequence launches unseen; three bullets; a few blasts at once; a few downed missiles; three fragments.
    EXPECT_LE(Most.Sections, 48u);
    EXPECT_LE(Most.EnemyBullets, 4u);
    EXPECT_LE(Most.Missiles, 600u);
    EXPECT_LE(Most.PlayerBullets, 3u);
    EXPECT_LE(Most.Explosions, 1000u);
    EXPECT_LE(Most.Particles, 400u);
    EXPECT_LE(Most.Frags, 3u);
}
