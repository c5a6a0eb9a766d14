// The headless half of the benchmark: how many game frames a second the game logic runs with no display at all,
// over a whole game and over its busiest frames, drawn and stepped only.
#include "core/GameState.h"
#include "fortress/Effects.h"
#include "fortress/Missiles.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "game/replay/ReplayEngine.h"
#include "platform/headless/Headless.h"
#include "program/Program.h"
#include "program/Startup.h"
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace {
using Clock = std::chrono::steady_clock;
constexpr int BenchFrames = 20000;
constexpr int BusyRuns = 20;
constexpr std::size_t BusyMissiles = 3;

double WholeGameFramesPerSecond() {
    Headless::Reset();
    ResetAllState();
    Headless::KeepFrames(0);
    auto start = Clock::now();
    try {
        Loop loop = StartProgram();
        while (RunFrame(loop) && Headless::FrameCount() < BenchFrames) {
        }
    } catch (const Headless::ProgramEnded& ended) {
        std::fprintf(stderr, "the game ended early with status %d\n", ended.Status);
        return 0;
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return Headless::FrameCount() / seconds;
}

// A busy frame has the rings, the cannon, three missiles or more, explosions and particles all on the field, and the
// score text over them. The committed bot game is replayed and only the frames that start busy are timed, from the
// flip before them to their own flip.
bool BusyNow(const World& w) {
    return w.GameState != 3 && w.PlayerDead == 0 && w.CannonDestroyed == 0 && w.SectionsList.Count() > 0 &&
           w.MissilesList.Count() >= BusyMissiles && w.ExplosionsList.Count() > 0 && w.ParticlesList.Count() > 0;
}

double BusyFramesPerSecond(int& busyFrames, ReplayFrames frames) {
    ReplayScript script;
    std::ifstream file(KESTROVAR_REPLAY_SCRIPT);
    std::string error;
    if (!ParseReplayScript(file, script, error)) {
        std::fprintf(stderr, "%s: %s\n", KESTROVAR_REPLAY_SCRIPT, error.c_str());
        return 0;
    }
    double seconds = 0;
    busyFrames = 0;
    for (int run = 0; run < BusyRuns; ++run) {
        bool timing = false;
        Clock::time_point last;
        World world;
        RunReplay(
            world, script,
            [&](int) {
                Clock::time_point now = Clock::now();
                if (timing) {
                    seconds += std::chrono::duration<double>(now - last).count();
                    busyFrames += 1;
                }
                timing = BusyNow(world);
                last = Clock::now();
            },
            frames);
    }
    return seconds > 0 ? busyFrames / seconds : 0;
}
} // namespace

int main() {
    double whole = WholeGameFramesPerSecond();
    if (whole == 0) return 1;
    std::printf("headless_frames_per_second: %.0f frames/s\n", whole);
    int busyFrames = 0;
    double busy = BusyFramesPerSecond(busyFrames, ReplayFrames::Drawn);
    if (busy == 0) return 1;
    std::printf("headless_busy_frames_per_second: %.0f frames/s\n", busy);
    std::fprintf(stderr, "busy frames timed: %d over %d replays; target at least 20000 frames/s\n", busyFrames,
                 BusyRuns);
    // The same frames stepped without drawing, as the score server's checker plays them.
    double stepped = BusyFramesPerSecond(busyFrames, ReplayFrames::SteppedOnly);
    if (stepped == 0) return 1;
    std::printf("headless_busy_stepped_frames_per_second: %.0f frames/s\n", stepped);
    return 0;
}
