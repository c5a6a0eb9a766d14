// The network component's figures: the longest Update call while many requests run, and how long the sync's wait
// screen stands (the sync and the version check after it) against a server that answers, no server at all, and a
// server that takes the connection and never answers. Prints "name: value unit" lines.
#include "TestScoreServer.h"
#include "core/GameState.h"
#include "core/ScoreProtocol.h"
#include "core/Settings.h"
#include "fortress/World.h"
#include "frontend/HighScores.h"
#include "frontend/Network.h"
#include "platform/headless/Headless.h"
#include "program/Startup.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;

constexpr int Rounds = 50;
constexpr int SendsPerRound = 10;
constexpr auto PollPause = std::chrono::milliseconds(1);
const std::string TopTenQuery = ScoreProtocol::Request(ScoreProtocol::ScoresScript, ScoreProtocol::GetScoreOption) +
                                ScoreProtocol::Parameter(ScoreProtocol::CountParameter, "10");

double Microseconds(Clock::duration span) { return std::chrono::duration<double, std::micro>(span).count(); }

const char* const TopTen = "ace\n12\n51300\nx\n01 Dec 2026\nrookie\n3\n2500\nx\n02 Dec 2026\n";

double ThreadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// The longest calls, by the wall clock and by this thread's processor time: on a busy machine the wall figure
// also holds the time the thread waited for a processor, the other only the component's own work.
struct UpdateTimes {
    double LongestWall = 0, LongestCpu = 0, TotalWall = 0;
    int Calls = 0;

    void TimeOne() {
        double cpuStart = ThreadCpuMicroseconds();
        auto start = Clock::now();
        Network::Update();
        double wall = Microseconds(Clock::now() - start);
        double cpu = ThreadCpuMicroseconds() - cpuStart;
        LongestWall = std::max(LongestWall, wall);
        LongestCpu = std::max(LongestCpu, cpu);
        TotalWall += wall;
        ++Calls;
        while (Network::Receive(2) != 0) {
        }
        std::this_thread::sleep_for(PollPause);
    }
};

// Requests sent in rounds while the earlier ones are still running, Update polled every millisecond as a game frame
// would; some go to a port nobody listens on, so failures are timed too.
void PrintLongestUpdate(TestScoreServer& server, const std::string& closedServer) {
    UpdateTimes times;
    for (int round = 0; round < Rounds; ++round) {
        Network::SetServer(round % 5 == 4 ? closedServer : server.BaseUrl());
        for (int i = 0; i < SendsPerRound; ++i) Network::Send(2, TopTenQuery, 1, 0);
        for (int poll = 0; poll < 3; ++poll) times.TimeOne();
    }
    while (Network::GetNumberOfCommandsInQueue() != 0) times.TimeOne();
    std::printf("net_update_longest_us: %.0f us\n", times.LongestWall);
    std::printf("net_update_longest_cpu_us: %.0f us\n", times.LongestCpu);
    std::printf("net_update_mean_us: %.1f us\n", times.TotalWall / times.Calls);
    std::printf("net_update_calls: %d calls\n", times.Calls);
}

// The game's pauses (150 ms twice, 100 ms, 10 ms a poll) really slept, as the real back end sleeps them.
void SleepForReal(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The sync and the version check as game over runs them, behind one wait screen: from its first flip to its close.
// The bench turns the screen's loop itself, as the program's main turns the program's.
void PrintWaitScreen(const char* name, const std::string& baseUrl) {
    Network::SetServer(baseUrl);
    World played;
    played.Score = 5130;
    played.Level = 3;
    TheSettings.OnlineNames[0] = "..........";
    auto start = Clock::now();
    Loop wait;
    wait.Open(OpenSyncAndVersionCheck(played));
    while (RunFrame(wait)) {
    }
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::printf("net_wait_screen_%s_ms: %.0f ms\n", name, ms);
    std::fprintf(stderr, "  %s: top row after the sync \"%s\"\n", name, TheSettings.OnlineNames[0].c_str());
}
} // namespace

int main(int argc, char** argv) {
    bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    Headless::Reset();
    ResetAllState();
    Headless::SetSleepHook(SleepForReal);
    if (!Network::BindNetworkComponent()) {
        std::fprintf(stderr, "no %s beside this program\n", Network::ComponentFileName);
        return 1;
    }
    Network::ConfigureNetworkComponent();
    TestScoreServer server;
    server.Answer(std::string(ScoreProtocol::ScoresScript), TopTen);
    server.Answer(std::string(ScoreProtocol::VersionScript), "kestrovar\n1.2\n");
    std::string closedServer;
    {
        TestScoreServer gone;
        closedServer = gone.BaseUrl();
    }
    PrintLongestUpdate(server, closedServer);
    PrintWaitScreen("answering_server", server.BaseUrl());
    PrintWaitScreen("no_server", closedServer);
    if (quick) return 0;
    TestScoreServer silent;
    silent.Hold(std::string(ScoreProtocol::ScoresScript));
    silent.Hold(std::string(ScoreProtocol::VersionScript));
    PrintWaitScreen("silent_server", silent.BaseUrl());
    return 0;
}
