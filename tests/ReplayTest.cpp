// The replays: a committed input script of a bot game played headless from start-up through the replay engine, its
// per-frame state hash compared with the committed golden file, naming the first frame that differs, and its final
// hash with the one tests/replay/Rules.txt pairs with the rules version; the same inputs in the grey palette, and on
// the pad in the wireframe style with colours on, pin the draws and the controls made only there. After a deliberate
// change of behaviour, regenerate the golden files with (from the build's tests folder):
//   KESTROVAR_UPDATE_GOLDEN=1 ./kestrovar_tests --gtest_filter='ReplayTest.*'
#include "GameFixture.h"
#include "core/GameState.h"
#include "fortress/Cannon.h"
#include "fortress/Missiles.h"
#include "fortress/World.h"
#include "game/StateHash.h"
#include "game/replay/ReplayEngine.h"
#include "platform/headless/HeadlessAudio.h"
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {
using ReplayTest = GameFixture;

const std::string ScriptPath = std::string(KESTROVAR_SOURCE_DIR) + "/tests/replay/FirstGame.txt";
std::string GoldenPath(const char* name) {
    return std::string(KESTROVAR_SOURCE_DIR) + "/tests/replay/" + name + ".golden";
}
constexpr int KeyLeft = 37, KeyRight = 39, KeyThrust = 164, KeyFire = 162;

// What the replay saw on the way, so the test knows the script plays a whole fight.
struct Seen {
    std::vector<std::uint64_t> Hashes;
    std::vector<std::string> Lines;
    ReplayOutcome Outcome;
    std::string FinalLine; // the closing line, read from the world the replay left
    int FewestShips = 3;
    int MostLevel = 0;
    int LevelWonWithShips = -1;
    std::size_t MostEnemyBullets = 0;
    std::size_t MostMissiles = 0;
    int MissilesDowned = 0;
    int ShotsFired = 0;
    int LastFrameWithParticles = 0;
};

ReplayScript FirstGameScript() {
    ReplayScript script;
    std::ifstream file(ScriptPath);
    std::string error;
    EXPECT_TRUE(ParseReplayScript(file, script, error)) << ScriptPath << ": " << error;
    return script;
}

// The same inputs on a pad with pad controls: the turn keys as the stick pushed left and right, thrust and fire as
// the pad's buttons 1 and 0.
ReplayScript OnThePad(ReplayScript script) {
    std::vector<InputEvent> events = {{InputEvent::PadPlug, 0, 0, 0, 0}};
    bool left = false, right = false;
    for (InputEvent event : script.Events) {
        bool down = event.Type == InputEvent::KeyDown;
        if (event.Code == KeyLeft || event.Code == KeyRight) {
            (event.Code == KeyLeft ? left : right) = down;
            event = {InputEvent::PadAxes, event.Frame, 0, (right ? 1.0f : 0.0f) - (left ? 1.0f : 0.0f), 0};
        } else if (event.Code == KeyThrust || event.Code == KeyFire) {
            event = {down ? InputEvent::PadButtonDown : InputEvent::PadButtonUp, event.Frame,
                     event.Code == KeyThrust ? 1 : 0, 0, 0};
        }
        events.push_back(event);
    }
    script.Events = events;
    script.ControlSetup = ReplayScript::Controls::Pad;
    return script;
}

Seen Play(const ReplayScript& script, ReplayFrames frames = ReplayFrames::Drawn) {
    Seen seen;
    World w;
    seen.Outcome = RunReplay(
        w, script,
        [&seen, &w](int frame) {
            seen.Hashes.push_back(GameStateHash(w));
            seen.Lines.push_back(ReplayStateLine(w, frame));
            if (w.ShipsLeft < seen.FewestShips) seen.FewestShips = w.ShipsLeft;
            if (w.Level > seen.MostLevel) {
                if (seen.MostLevel == 1) seen.LevelWonWithShips = w.ShipsLeft;
                seen.MostLevel = w.Level;
            }
            seen.MostEnemyBullets = std::max(seen.MostEnemyBullets, w.EnemyBulletsList.Count());
            seen.MostMissiles = std::max(seen.MostMissiles, w.MissilesList.Count());
            if (w.ParticlesList.Count() > 0) seen.LastFrameWithParticles = frame;
        },
        frames);
    seen.FinalLine = ReplayFinalLine(w, seen.Outcome);
    seen.MissilesDowned = HeadlessAudio::PlayCount("res\\MissileHit.ogg");
    seen.ShotsFired = HeadlessAudio::PlayCount("res\\PlayerShootSND.ogg");
    return seen;
}

Seen PlayFirstGame() { return Play(FirstGameScript()); }

std::vector<std::uint64_t> ReadGolden(const char* name) {
    std::vector<std::uint64_t> hashes;
    std::ifstream file(GoldenPath(name));
    std::string line;
    while (std::getline(file, line))
        if (!line.empty()) hashes.push_back(std::stoull(line, nullptr, 16));
    return hashes;
}

// One digest of every frame's hash: a game that goes otherwise on the way and still ends on the same frame is
// another game too.
std::string WholeGameDigest(const std::vector<std::uint64_t>& hashes) {
    std::uint64_t digest = 14695981039346656037ull;
    for (std::uint64_t hash : hashes)
        for (int byte = 0; byte < 8; ++byte) {
            digest ^= (hash >> (8 * byte)) & 0xFF;
            digest *= 1099511628211ull;
        }
    char text[24];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
    return text;
}

// The first game's final hash under the build's rules version, and from rules 2 on the digest of all its frames, as
// tests/replay/Rules.txt pairs them. Checked in the update run too: a golden file regenerated without a new rules
// version fails here.
void ExpectRulesVersionPinsTheGame(const Seen& seen) {
    const std::string path = std::string(KESTROVAR_SOURCE_DIR) + "/tests/replay/Rules.txt";
    std::ifstream file(path);
    std::map<int, std::string> finalHashes, wholeGames;
    int newest = 0;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == ';') continue;
        std::istringstream fields(line);
        int version = 0;
        std::string hash;
        ASSERT_TRUE(fields >> version >> hash) << path << ": " << line;
        finalHashes[version] = hash;
        fields >> wholeGames[version]; // rules 1 named only the final hash
        newest = std::max(newest, version);
    }
    ASSERT_FALSE(seen.Hashes.empty());
    char played[24];
    std::snprintf(played, sizeof played, "%016llx", static_cast<unsigned long long>(seen.Hashes.back()));
    EXPECT_EQ(newest, RulesVersion) << path << " has no line for rules " << RulesVersion;
    const std::string whole = WholeGameDigest(seen.Hashes);
    const int next = finalHashes.count(RulesVersion) != 0 ? RulesVersion + 1 : RulesVersion;
    EXPECT_TRUE(finalHashes[RulesVersion] == played && wholeGames[RulesVersion] == whole)
        << "the first game now plays otherwise: raise RulesVersion in game/replay/ReplayScript.h and add \"" << next
        << " " << played << " " << whole << "\" to " << path;
}

// Compares the game's hashes with the golden file `name`, or writes the file when KESTROVAR_UPDATE_GOLDEN is 1.
void ExpectGolden(const Seen& seen, const char* name) {
    ASSERT_EQ(seen.Hashes.size(), static_cast<std::size_t>(seen.Outcome.Frames));
    const char* update = std::getenv("KESTROVAR_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream out(GoldenPath(name));
        for (std::uint64_t hash : seen.Hashes) {
            char text[24];
            std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
            out << text << '\n';
        }
        ASSERT_TRUE(out.good()) << GoldenPath(name);
        std::printf("wrote %s\n", GoldenPath(name).c_str());
        return;
    }
    std::vector<std::uint64_t> golden = ReadGolden(name);
    ASSERT_FALSE(golden.empty()) << GoldenPath(name);
    for (std::size_t frame = 0; frame < std::min(golden.size(), seen.Hashes.size()); ++frame)
        ASSERT_EQ(seen.Hashes[frame], golden[frame])
            << name << ": first frame that differs: " << frame + 1 << "\n  now: " << seen.Lines[frame];
    ASSERT_EQ(seen.Hashes.size(), golden.size()) << name << ": the game now lasts a different number of frames";
}
} // namespace

TEST_F(ReplayTest, TheScriptedGameMatchesItsGoldenHashFrameByFrame) {
    Seen seen = PlayFirstGame();
    // A whole fight: rings shot open and a level won with a ship already lost, missiles downed, enemy bullets
    // fired, and every ship lost in the end.
    EXPECT_EQ(seen.Outcome.How, ReplayOutcome::Ending::GameOver);
    EXPECT_GE(seen.MostLevel, 2);
    EXPECT_GE(seen.LevelWonWithShips, 0);
    EXPECT_LT(seen.LevelWonWithShips, 3);
    EXPECT_EQ(seen.FewestShips, -1);
    EXPECT_GT(seen.MissilesDowned, 0);
    EXPECT_GE(seen.MostMissiles, 3u);
    EXPECT_GT(seen.MostEnemyBullets, 0u);
    ExpectRulesVersionPinsTheGame(seen);
    ExpectGolden(seen, "FirstGame");
}

TEST_F(ReplayTest, TheGreyPaletteGameMatchesItsGoldenHashFrameByFrame) {
    ReplayScript script = FirstGameScript();
    script.GreyPalette = true;
    Seen seen = Play(script);
    EXPECT_LT(seen.FewestShips, 3) << "a lost ship's blast, drawn grey";
    ExpectGolden(seen, "GreyGame");
}

TEST_F(ReplayTest, TheWireframeGameOnThePadMatchesItsGoldenHashFrameByFrame) {
    ReplayScript script = OnThePad(FirstGameScript());
    script.Wireframe = true;
    Seen seen = Play(script);
    EXPECT_GT(seen.ShotsFired, 10) << "the pad's fire button";
    EXPECT_LT(seen.FewestShips, 3);
    ExpectGolden(seen, "WireframePadGame");
}

TEST_F(ReplayTest, TheSameScriptAndSeedPlayTheSameGameTwice) {
    Seen first = PlayFirstGame();
    Seen second = PlayFirstGame();
    ASSERT_EQ(first.Hashes.size(), second.Hashes.size());
    for (std::size_t frame = 0; frame < first.Hashes.size(); ++frame)
        ASSERT_EQ(first.Hashes[frame], second.Hashes[frame]) << "first frame that differs: " << frame + 1;
    EXPECT_EQ(first.FinalLine, second.FinalLine);
}

TEST_F(ReplayTest, AnotherSeedPlaysAnotherGame) {
    ReplayScript script = FirstGameScript();
    Seen first = PlayFirstGame();
    script.Seed += 1;
    std::vector<std::uint64_t> hashes;
    World w;
    RunReplay(w, script, [&hashes, &w](int) { hashes.push_back(GameStateHash(w)); });
    std::size_t shorter = std::min(hashes.size(), first.Hashes.size());
    std::size_t differing = 0;
    for (std::size_t frame = 0; frame < shorter; ++frame) differing += hashes[frame] != first.Hashes[frame];
    EXPECT_GT(differing, shorter / 2);
}

// The score server checks a game by stepping it without drawing: drawing must take no random number and change
// nothing, in the neon style and in the wireframe style, whose flicker draws the most.
TEST_F(ReplayTest, GamesSteppedWithoutDrawingMatchTheirGoldenHashes) {
    ExpectGolden(Play(FirstGameScript(), ReplayFrames::SteppedOnly), "FirstGame");
    ReplayScript wireframe = OnThePad(FirstGameScript());
    wireframe.Wireframe = true;
    ExpectGolden(Play(wireframe, ReplayFrames::SteppedOnly), "WireframePadGame");
}

// Stepped with nobody watching (the checker's way), the particles' steps wait until the state is read: a game
// stopped while a downed missile's particles still fly, long after many have come and gone, ends on that frame's
// golden hash.
TEST_F(ReplayTest, AnUnwatchedGameStoppedAmidParticlesEndsOnItsGoldenHash) {
    ReplayScript script = FirstGameScript();
    script.EndFrame = Play(script, ReplayFrames::SteppedOnly).LastFrameWithParticles;
    ASSERT_GT(script.EndFrame, 600);
    World w;
    RunReplay(w, script, {}, ReplayFrames::SteppedOnly);
    ASSERT_GT(w.ParticlesList.Count(), 0u);
    EXPECT_EQ(GameStateHash(w), ReadGolden("FirstGame")[static_cast<std::size_t>(script.EndFrame) - 1]);
}
