// The replay: a committed input script and seed played headless from start-up, its per-frame state hash compared
// with the committed golden file, naming the first frame that differs. After a deliberate change of behaviour,
// regenerate the golden file with:  KESTROVAR_UPDATE_GOLDEN=1 ./kestrovar_tests --gtest_filter='ReplayTest.*'
#include "GameFixture.h"
#include "fortress/Effects.h"
#include "fortress/Missiles.h"
#include "game/GameState.h"
#include "game/StateHash.h"
#include "platform/Random.h"
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {
using ReplayTest = GameFixture;

constexpr int ReplayFrames = 3300;
const std::string ScriptPath = std::string(KESTROVAR_SOURCE_DIR) + "/tests/replay/FirstGame.txt";
const std::string GoldenPath = std::string(KESTROVAR_SOURCE_DIR) + "/tests/replay/FirstGame.golden";

// What the replay saw on the way, so the test knows the script plays a real fight.
struct Seen {
    std::vector<std::uint64_t> Hashes;
    int Seed = 0;
    int FewestShips = 99;
    int MostScore = 0;
    std::size_t MostParticles = 0;
    std::size_t MostMissiles = 0;
};
Seen Replay;

void TakeFrame(int frame) {
    // The seed takes over after the first frame, before the game starts.
    if (frame == 1) SeedRnd(Replay.Seed);
    Replay.Hashes.push_back(GameStateHash());
    if (DemoMode == 0 && ShipsLeft < Replay.FewestShips) Replay.FewestShips = ShipsLeft;
    if (Score > Replay.MostScore) Replay.MostScore = Score;
    if (ParticlesList.Count() > Replay.MostParticles) Replay.MostParticles = ParticlesList.Count();
    if (MissilesList.Count() > Replay.MostMissiles) Replay.MostMissiles = MissilesList.Count();
}

// Reads the script's seed and schedules its key events; false when the file cannot be read.
bool LoadScript() {
    std::ifstream file(ScriptPath);
    if (!file) return false;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == ';') continue;
        std::istringstream fields(line);
        std::string first, kind;
        fields >> first;
        if (first == "seed") {
            fields >> Replay.Seed;
            continue;
        }
        int code = 0;
        fields >> kind >> code;
        Headless::InputEvent event;
        event.Frame = std::stoi(first);
        event.Type = kind == "down" ? Headless::InputEvent::KeyDown : Headless::InputEvent::KeyUp;
        event.Code = code;
        Headless::Schedule(event);
    }
    return true;
}

std::vector<std::uint64_t> PlayReplay() {
    Replay = Seen{};
    EXPECT_TRUE(LoadScript()) << ScriptPath;
    Headless::KeepFrames(0);
    Headless::SetFlipHook(TakeFrame);
    // The game may end before the last frame: the program then returns to the menu and ends.
    int status = RunProgramHeadless(ReplayFrames);
    EXPECT_TRUE(status == -1 || status == 0) << status;
    Headless::SetFlipHook(nullptr);
    return Replay.Hashes;
}

std::vector<std::uint64_t> ReadGolden() {
    std::vector<std::uint64_t> hashes;
    std::ifstream file(GoldenPath);
    std::string line;
    while (std::getline(file, line))
        if (!line.empty()) hashes.push_back(std::stoull(line, nullptr, 16));
    return hashes;
}
} // namespace

TEST_F(ReplayTest, TheScriptedGameMatchesItsGoldenHashFrameByFrame) {
    std::vector<std::uint64_t> hashes = PlayReplay();
    ASSERT_GT(hashes.size(), static_cast<std::size_t>(ReplayFrames / 2));
    // A real fight: points scored, missiles out and downed, a ship lost.
    EXPECT_GT(Replay.MostScore, 0);
    EXPECT_GT(Replay.MostParticles, 0u);
    EXPECT_GE(Replay.MostMissiles, 3u);
    EXPECT_LT(Replay.FewestShips, 3);
    const char* update = std::getenv("KESTROVAR_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream out(GoldenPath);
        for (std::uint64_t hash : hashes) {
            char text[24];
            std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
            out << text << '\n';
        }
        ASSERT_TRUE(out.good()) << GoldenPath;
        std::printf("wrote %s\n", GoldenPath.c_str());
        return;
    }
    std::vector<std::uint64_t> golden = ReadGolden();
    ASSERT_EQ(golden.size(), hashes.size()) << GoldenPath;
    for (std::size_t frame = 0; frame < hashes.size(); ++frame)
        ASSERT_EQ(hashes[frame], golden[frame]) << "first frame that differs: " << frame + 1;
}

TEST_F(ReplayTest, TheSameScriptAndSeedPlayTheSameGameTwice) {
    std::vector<std::uint64_t> first = PlayReplay();
    Headless::Reset();
    ResetAllState();
    std::vector<std::uint64_t> second = PlayReplay();
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t frame = 0; frame < first.size(); ++frame)
        ASSERT_EQ(first[frame], second[frame]) << "first frame that differs: " << frame + 1;
}
