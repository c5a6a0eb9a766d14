// The benchmark: prints one "name: value unit" line per figure. Start-up and the busy neon frame run on the real back
// end (SDL's offscreen driver unless a display is asked for); the game-logic figures come from the headless twin
// beside this program.
#include "NeonFrameBench.h"
#include "platform/sdl/SdlControl.h"
#include "program/Program.h"
#include "program/Startup.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {
// Start-up's own work up to its first frame. The time asleep is left out: today the program goes straight to a game,
// and the menu's quarter-second pause before a game (and the frame clock's wait) is no work of start-up's.
double StartupToFirstFrameMs(double& sleptMs) {
    long long sleptBefore = SdlControl::MillisecondsSlept();
    auto start = std::chrono::steady_clock::now();
    Loop loop = StartProgram();
    RunFrame(loop);
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

// One child's time to its first frame, from its "LINE: value ms" line (0 when it could not run), and the processor
// time (user and system, every thread) the child spent from its start to its end.
struct FirstFrame {
    double Ms = 0;
    double CpuMs = 0;
};

double ChildrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6 +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec)) /
           1e3;
}

FirstFrame RunFirstFrame(const std::string& command, const char* line) {
    FirstFrame figure;
    double before = ChildrenCpuMs();
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return figure;
    std::string format = std::string(line) + ": %lf";
    char text[512];
    while (std::fgets(text, sizeof text, pipe)) std::sscanf(text, format.c_str(), &figure.Ms);
    if (pclose(pipe) != 0) figure.Ms = 0;
    figure.CpuMs = ChildrenCpuMs() - before;
    return figure;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Start-up and the bare window, each in a fresh process, taken turn about so that the machine's swings fall on both
// alike; the medians of the rounds are printed, and their ratio.
constexpr int StartupRounds = 7;

void PrintStartup() {
    std::vector<double> game, bare, gameCpu, bareCpu;
    for (int round = 0; round < StartupRounds; ++round) {
        FirstFrame ours = RunFirstFrame(BesideUs("kestrovar_bench") + " --startup-once", "startup_to_first_frame_ms");
        FirstFrame yardstick = RunFirstFrame(BesideUs("kestrovar_bench_bare_window"), "bare_window_first_frame_ms");
        if (ours.Ms <= 0 || yardstick.Ms <= 0) continue;
        game.push_back(ours.Ms);
        bare.push_back(yardstick.Ms);
        gameCpu.push_back(ours.CpuMs);
        bareCpu.push_back(yardstick.CpuMs);
    }
    if (game.empty()) {
        std::fprintf(stderr, "start-up unmeasured: neither it nor the bare window came to a first frame\n");
        return;
    }
    std::printf("startup_to_first_frame_ms: %.1f ms\n", Median(game));
    std::printf("bare_window_first_frame_ms: %.1f ms\n", Median(bare));
    std::printf("startup_over_bare_window: %.2f x\n", Median(game) / Median(bare));
    std::printf("startup_process_cpu_ms: %.1f ms\n", Median(gameCpu));
    std::printf("bare_window_process_cpu_ms: %.1f ms\n", Median(bareCpu));
    std::printf("startup_cpu_over_bare_window: %.2f x\n", Median(gameCpu) / Median(bareCpu));
    std::fprintf(stderr,
                 "start-up beside a bare SDL and GL window: medians of %zu rounds taken turn about, each in a fresh "
                 "process (processor time: the whole process, start to exit); target within 1.5 x\n",
                 game.size());
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

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (argc > 1 && std::string(argv[1]) == "--startup-once") {
        double sleptMs = 0;
        double startup = StartupToFirstFrameMs(sleptMs);
        std::printf("startup_to_first_frame_ms: %.1f ms\n", startup);
        SdlControl::Shutdown();
        return 0;
    }
    PrintStartup();
    std::fflush(stdout);
    PrintNeonFrame();
    std::fflush(stdout);
    SdlControl::Shutdown();
    return RunTwin("kestrovar_bench_headless");
}
