// A fresh process must start the game exactly as a test does after resetting every module: the program's own
// initial values and the reset routines agree. Runs the game once straight from process start and once after
// ResetAllState, and compares what the same frame drew.
#include "game/Startup.h"
#include "platform/headless/Headless.h"
#include <cstdio>
#include <vector>

namespace {
constexpr int CompareFrame = 30;

std::vector<Headless::DrawCall> RunToCompareFrame() {
    Headless::KeepFrames(1);
    Headless::StopAtFrame(CompareFrame);
    try {
        RunProgram();
    } catch (const Headless::RunStopped&) {
    } catch (const Headless::ProgramEnded& ended) {
        std::fprintf(stderr, "the game ended at once with status %d\n", ended.Status);
    }
    if (Headless::Frames().empty()) return {};
    return Headless::Frames().back().Calls;
}

bool SameVertex(const StripVertex& a, const StripVertex& b) {
    return a.X == b.X && a.Y == b.Y && a.U == b.U && a.V == b.V && a.Argb == b.Argb;
}

bool SameCall(const Headless::DrawCall& a, const Headless::DrawCall& b) {
    if (a.Type != b.Type || a.Red != b.Red || a.Green != b.Green || a.Blue != b.Blue || a.Blend != b.Blend ||
        a.ViewX != b.ViewX || a.ViewY != b.ViewY || a.ViewWidth != b.ViewWidth || a.ViewHeight != b.ViewHeight ||
        a.X1 != b.X1 || a.Y1 != b.Y1 || a.X2 != b.X2 || a.Y2 != b.Y2 || a.Frame != b.Frame ||
        a.Vertices.size() != b.Vertices.size())
        return false;
    for (std::size_t i = 0; i < a.Vertices.size(); ++i)
        if (!SameVertex(a.Vertices[i], b.Vertices[i])) return false;
    return true;
}
} // namespace

int main() {
    Headless::Reset();
    std::vector<Headless::DrawCall> fresh = RunToCompareFrame();
    Headless::Reset();
    ResetAllState();
    std::vector<Headless::DrawCall> reset = RunToCompareFrame();
    if (reset.size() < 2) {
        std::fprintf(stderr, "frame %d drew almost nothing (%zu calls)\n", CompareFrame, reset.size());
        return 1;
    }
    if (fresh.size() != reset.size()) {
        std::fprintf(stderr, "fresh start drew %zu calls, after reset %zu\n", fresh.size(), reset.size());
        return 1;
    }
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        if (!SameCall(fresh[i], reset[i])) {
            std::fprintf(stderr, "draw call %zu of frame %d differs between a fresh start and a reset\n", i,
                         CompareFrame);
            return 1;
        }
    }
    std::printf("fresh start and reset agree on %zu draw calls\n", fresh.size());
    return 0;
}
