// The headless half of the benchmark: how many game frames a second the game logic runs with no display at all.
#include "game/Startup.h"
#include "platform/headless/Headless.h"
#include <chrono>
#include <cstdio>

namespace {
constexpr int BenchFrames = 20000;
}

int main() {
    Headless::Reset();
    ResetAllState();
    Headless::KeepFrames(0);
    Headless::StopAtFrame(BenchFrames);
    auto start = std::chrono::steady_clock::now();
    try {
        RunProgram();
    } catch (const Headless::RunStopped&) {
    } catch (const Headless::ProgramEnded& ended) {
        std::fprintf(stderr, "the game ended early with status %d\n", ended.Status);
        return 1;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("headless_frames_per_second: %.0f frames/s\n", Headless::FrameCount() / seconds);
    return 0;
}
