// The benchmark: prints one "name: value unit" line per figure. Start-up runs on the real back end (SDL's offscreen
// driver unless a display is asked for); the game-logic figures come from the headless twin beside this program.
#include "game/Startup.h"
#include "platform/sdl/SdlControl.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {
double StartupToFirstFrameMs() {
    SdlControl::StopAfterFrames(1);
    auto start = std::chrono::steady_clock::now();
    try {
        RunProgram();
    } catch (const SdlControl::RunStopped&) {
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

std::string BesideUs(const char* name) {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return name;
    path[length] = 0;
    std::string full(path);
    return full.substr(0, full.rfind('/') + 1) + name;
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
    std::printf("startup_to_first_frame_ms: %.1f ms\n", StartupToFirstFrameMs());
    std::fflush(stdout);
    SdlControl::Shutdown();
    return RunTwin("kestrovar_bench_headless");
}
