// The benchmark: prints one "name: value unit" line per figure. Start-up and the busy neon frame run on the real back
// end (SDL's offscreen driver unless a display is asked for); the game-logic figures come from the headless twin
// beside this program.
#include "NeonFrameBench.h"
#include "platform/sdl/SdlControl.h"
#include "program/Startup.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {
// Start-up's own work up to its first frame. The time asleep is left out: today the program goes straight to a game,
// and the menu's quarter-second pause before a game (and the frame clock's wait) is no work of start-up's.
double StartupToFirstFrameMs(double& sleptMs) {
    SdlControl::StopAfterFrames(1);
    long long sleptBefore = SdlControl::MillisecondsSlept();
    auto start = std::chrono::steady_clock::now();
    try {
        RunProgram();
    } catch (const SdlControl::RunStopped&) {
    }
    double elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    sleptMs = static_cast<double>(SdlControl::MillisecondsSlept() - sleptBefore);
    return elapsed - sleptMs;
}

std::string BesideUs(const char* name) {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return name;
    path[length] = 0;
    std::string full(path);
    return full.substr(0, full.rfind('/') + 1) + name;
}

// Targets, printed on stderr so that stdout holds only "name: value unit" lines.
constexpr int DrawCallTarget = 8;
constexpr double BuildTargetUs = 100;
constexpr double WallTargetUs = 12000;
constexpr double SpeedupFloor = 0.9;

void PrintNeonFrame() {
    NeonFrameFigures figures = MeasureNeonFrame();
    std::printf("neon_frame_strips: %d strips\n", figures.Strips);
    std::printf("neon_frame_draw_calls: %d calls\n", figures.DrawCalls);
    std::printf("neon_frame_build_us: %.1f us\n", figures.BuildUs);
    std::printf("neon_frame_wall_us: %.0f us\n", figures.WallUs);
    std::fprintf(stderr, "targets: draw calls at most %d, build at most %.0f us, wall under %.0f us, speed-up %.1f\n",
                 DrawCallTarget, BuildTargetUs, WallTargetUs, SpeedupFloor);
    if (!figures.Compared) {
        std::fprintf(stderr, "batched_speedup unmeasured: no compatibility context for the one-by-one way\n");
        return;
    }
    std::printf("neon_frame_batched_cpu_us: %.0f us\n", figures.BatchedCpuUs);
    std::printf("neon_frame_one_by_one_cpu_us: %.0f us\n", figures.OneByOneCpuUs);
    double speedup = figures.BatchedCpuUs > 0 ? figures.OneByOneCpuUs / figures.BatchedCpuUs : 0;
    std::printf("batched_speedup: %.2f x\n", speedup);
}

// The bare window's time to its first frame, from its own line; 0 when it could not run.
double BareWindowFirstFrameMs() {
    std::string command = BesideUs("kestrovar_bench_bare_window");
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return 0;
    double ms = 0;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::fputs(line, stdout);
        std::sscanf(line, "bare_window_first_frame_ms: %lf", &ms);
    }
    return pclose(pipe) == 0 ? ms : 0;
}

int RunTwin(const char* name) {
    std::string command = BesideUs(name);
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return 1;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) std::fputs(line, stdout);
    return pclose(pipe) == 0 ? 0 : 1;
}
} // namespace

int main() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    double sleptMs = 0;
    double startup = StartupToFirstFrameMs(sleptMs);
    std::printf("startup_to_first_frame_ms: %.1f ms\n", startup);
    std::fprintf(stderr, "start-up: %.0f ms asleep left out; target at most 250 ms\n", sleptMs);
    std::fflush(stdout);
    double bare = BareWindowFirstFrameMs();
    if (bare > 0) std::printf("startup_over_bare_window: %.2f x\n", startup / bare);
    std::fprintf(stderr, "start-up beside a bare SDL and GL window: target within 1.5 x\n");
    std::fflush(stdout);
    SdlControl::Shutdown();
    PrintNeonFrame();
    std::fflush(stdout);
    SdlControl::Shutdown();
    return RunTwin("kestrovar_bench_headless");
}
