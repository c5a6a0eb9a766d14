// kestrovar_make_replay: lets the bot play games from a seed and writes the first one that shows the whole fight
// (rings shot open, a missile downed, a ship lost, a level won) as an input script, checked by replaying it.
//   kestrovar_make_replay OUT.txt [--seed N] [--tries K] [--frames F] [--dig D]
#include "core/GameState.h"
#include "fortress/Missiles.h"
#include "fortress/World.h"
#include "game/replay/ReplayBot.h"
#include "game/replay/ReplayEngine.h"
#include "platform/headless/HeadlessAudio.h"
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {
struct Seen {
    int MostLevel = 0;
    int LevelWonAt = 0;
    int FewestShips = 3;
    int MostScore = 0;
};
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kestrovar_make_replay OUT.txt [--seed N] [--tries K] [--frames F] [--dig D]\n");
        return 2;
    }
    std::string out = argv[1];
    int seed = 20261208, tries = 200, frames = 5000;
    double dig = 0.3;
    for (int i = 2; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--seed")
            seed = std::atoi(argv[i + 1]);
        else if (option == "--tries")
            tries = std::atoi(argv[i + 1]);
        else if (option == "--frames")
            frames = std::atoi(argv[i + 1]);
        else if (option == "--dig")
            dig = std::atof(argv[i + 1]);
        else {
            std::fprintf(stderr, "kestrovar_make_replay: unknown option %s\n", option.c_str());
            return 2;
        }
    }
    for (int attempt = 1; attempt <= tries; ++attempt) {
        ReplayBotStyle style;
        style.Seed = static_cast<unsigned>(attempt);
        style.DigChance = dig;
        style.ThrustChance = 0.02;
        World world;
        ReplayBot bot(world, style);
        ReplayScript script;
        script.Seed = seed;
        script.EndFrame = frames;
        Seen seen;
        ReplayOutcome outcome = RunReplay(world, script, [&](int frame) {
            bot.Play(frame);
            if (world.Level > seen.MostLevel) {
                if (seen.MostLevel == 1) seen.LevelWonAt = frame;
                seen.MostLevel = world.Level;
            }
            if (world.DemoMode == 0 && world.ShipsLeft < seen.FewestShips) seen.FewestShips = world.ShipsLeft;
            if (world.Score > seen.MostScore) seen.MostScore = world.Score;
        });
        int downed = HeadlessAudio::PlayCount("res\\MissileHit.ogg");
        std::printf("try %d: %s after %d frames, level %d (won at %d), fewest ships %d, score %d, missiles downed %d\n",
                    attempt, ReplayEndingName(outcome.How), outcome.Frames, seen.MostLevel, seen.LevelWonAt,
                    seen.FewestShips, seen.MostScore, downed);
        if (seen.MostLevel < 2 || seen.FewestShips >= 3 || downed == 0) continue;
        script.Events = bot.Events();
        script.EndFrame = outcome.Frames;
        std::string finalLine = ReplayFinalLine(world, outcome);
        // The script alone must play the same game: replay it and compare the closing lines.
        ReplayOutcome again = RunReplay(world, script);
        std::string againLine = ReplayFinalLine(world, again);
        if (againLine != finalLine) {
            std::fprintf(stderr, "the recorded script plays a different game:\n  %s\n  %s\n", finalLine.c_str(),
                         againLine.c_str());
            return 1;
        }
        std::ofstream file(out);
        file << "; A bot game recorded by kestrovar_make_replay (seed " << seed << ", bot " << attempt
             << "): rings shot open, missiles downed,\n; ships lost and level 1 won at frame " << seen.LevelWonAt
             << ". Frames count flips from the game's start; key codes are Windows virtual keys\n"
             << "; (37 left, 39 right, 164 left Alt thrusts, 162 left Ctrl fires).\n";
        WriteReplayScript(file, script);
        std::printf("wrote %s: %s\n", out.c_str(), finalLine.c_str());
        return file.good() ? 0 : 1;
    }
    std::fprintf(stderr, "no game in %d tries showed the whole fight\n", tries);
    return 1;
}
