// kestrovar_verify_bench: the replay checker's figures, printed (never timed tests).
//   kestrovar_verify_bench make-game OUT [FRAMES]      a bot game that lasts FRAMES (default 36000: ten minutes)
//   kestrovar_verify_bench time GAME [RUNS]            one check at a time on one core: wall and processor time
//   kestrovar_verify_bench throughput GAME [COUNT]     COUNT checks through the pool, one worker a core: checks/s
//   kestrovar_verify_bench upload PORT GAME COUNT DB   COUNT copies of GAME (each its own game) POSTed at once
//   kestrovar_verify_bench fill PORT GAME COUNT DB     COUNT distinct games cut from GAME, checked and POSTed
//   kestrovar_verify_bench attack PORT GAME DB [ADDRESSES] [SECONDS]   an honest game's wait for the board, alone
//                                                      and while one /24 floods the checks (see Attack)
// (each with a ticket of the board at DB, made with its secret and dealt an hour before)
#include "core/ScoreProtocol.h"
#include "fortress/World.h"
#include "game/replay/ReplayBot.h"
#include "game/replay/ReplayEngine.h"
#include "server/GameArchive.h"
#include "server/GameTicket.h"
#include "server/RequestSignature.h"
#include "server/ScoreStore.h"
#include "server/VerifierPool.h"
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <httplib.h>
#include <map>
#include <random>
#include <sched.h>
#include <sstream>
#include <sys/resource.h>
#include <thread>

using namespace ScoreServer;

namespace {
constexpr int TenMinutes = 10 * 60 * 60;
constexpr int BotTries = 1000;
constexpr int DefaultRuns = 5;
constexpr int DefaultCount = 20;
constexpr int DefaultAddresses = 17;
constexpr double DefaultFloodSeconds = 5;

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

VerifierSettings Checker() {
    VerifierSettings settings;
    settings.WorkerPath = KESTROVAR_VERIFY_BINARY;
    return settings;
}

double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int MakeGame(const std::string& out, int frames) {
    int longest = 0;
    for (int attempt = 1; attempt <= BotTries; ++attempt) {
        // Bots of every temper: how much they dig, how far off they shoot at missiles, how often they thrust.
        std::mt19937 temper(static_cast<unsigned>(attempt));
        ReplayBotStyle style;
        style.Seed = static_cast<unsigned>(attempt);
        style.DigChance = attempt % 2 ? 0.0 : std::uniform_real_distribution<double>(0.0, 0.05)(temper);
        style.MissileRange = std::uniform_int_distribution<int>(250, 500)(temper);
        style.ThrustChance = 0.02 * std::uniform_int_distribution<int>(0, 2)(temper);
        World world;
        ReplayBot bot(world, style);
        ReplayScript script;
        script.Seed = 20261208 + attempt;
        script.EndFrame = frames;
        ReplayOutcome outcome = RunReplay(world, script, [&](int frame) { bot.Play(frame); });
        if (outcome.Frames > longest)
            std::printf("try %d (dig %.2f, missile range %d, thrust %.2f): %d frames\n", attempt, style.DigChance,
                        style.MissileRange, style.ThrustChance, outcome.Frames);
        longest = std::max(longest, outcome.Frames);
        if (outcome.How != ReplayOutcome::Ending::ScriptEnded) continue;
        script.Events = bot.Events();
        std::ofstream file(out);
        file << "; A bot game of " << frames << " frames made by kestrovar_verify_bench (bot " << attempt << ")\n";
        WriteReplayScript(file, script);
        std::printf("wrote %s after %d tries: %s\n", out.c_str(), attempt, ReplayFinalLine(world, outcome).c_str());
        return 0;
    }
    std::fprintf(stderr, "no bot game lasted %d frames in %d tries (longest %d)\n", frames, BotTries, longest);
    return 1;
}

int TimeOne(const std::string& path, int runs) {
    // One core: the worker inherits this process's processor set.
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    sched_setaffinity(0, sizeof one, &one);
    std::string script = ReadAll(path);
    std::vector<double> walls, cpus;
    ReplayVerdict verdict;
    for (int i = 0; i < runs; ++i) {
        double cpuBefore = ChildrenCpuSeconds();
        auto start = Clock::now();
        verdict = RunVerifier(Checker(), script);
        walls.push_back(Since(start));
        cpus.push_back(ChildrenCpuSeconds() - cpuBefore);
        if (!verdict.Played) {
            std::fprintf(stderr, "refused: %s\n", verdict.Refusal.c_str());
            return 1;
        }
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    std::printf("verify one game of %lld frames (%s, score %lld), one core: median %.3f s wall, %.3f s processor, "
                "best %.3f s wall (%d runs, worker start included)\n",
                static_cast<long long>(verdict.Frames), verdict.Ending.c_str(), static_cast<long long>(verdict.Score),
                walls[walls.size() / 2], cpus[cpus.size() / 2], walls[0], runs);
    return 0;
}

// COUNT copies of a script, each its own game to the board (a comment is not: the board names a game by what the
// checker reads), playing as the original does: each lets go of a key never pressed, at a frame of its own.
std::vector<std::string> Copies(const std::string& script, int count) {
    constexpr int NeverPressed = 254;
    std::vector<std::string> copies;
    for (int i = 0; i < count; ++i)
        copies.push_back(script + std::to_string(i + 1) + " up " + std::to_string(NeverPressed) + "\n");
    return copies;
}

int Throughput(const std::string& path, int count) {
    std::vector<std::string> scripts = Copies(ReadAll(path), count);
    std::mutex mutex;
    std::condition_variable allDone;
    int done = 0, played = 0;
    auto start = Clock::now();
    {
        VerifierSettings settings = Checker();
        settings.QueueLimit = static_cast<std::size_t>(count);
        settings.PerAddress = static_cast<std::size_t>(count);
        // Every check is the bench's, one client's: its bucket of frames a minute (six ten-minute games) would
        // measure the fairness, not the checkers.
        settings.Cost.FramesPerMinute = settings.Cost.BucketFrames = 1e12;
        VerifierPool pool(settings);
        for (std::string& script : scripts)
            pool.Submit(script, "bench", [&](const ReplayVerdict& verdict, const std::string&) {
                std::lock_guard lock(mutex);
                ++done;
                played += verdict.Played;
                allDone.notify_all();
            });
        std::unique_lock lock(mutex);
        allDone.wait(lock, [&] { return done == count; });
    }
    double seconds = Since(start);
    std::printf("checks per second: %.2f (%d checks of %s, %d played, %.2f s, %u workers on %u cores)\n",
                count / seconds, count, path.c_str(), played, seconds, std::thread::hardware_concurrency(),
                std::thread::hardware_concurrency());
    return played == count ? 0 : 1;
}

// Posts a game; `from` names the client to a server that trusts loopback as its proxy (empty: the connection's own).
std::string Post(int port, const std::string& script, std::int64_t level, std::int64_t score, const std::string& name,
                 const std::string& from = "") {
    std::mt19937_64 random(std::random_device{}());
    char nonce[17];
    std::snprintf(nonce, sizeof nonce, "%016llx", static_cast<unsigned long long>(random()));
    using namespace ScoreProtocol;
    std::string query = Request(ScoresScript, AddScoreOption).substr(ScoresScript.size() + 1) +
                        Parameter(UserParameter, name) + Parameter(LevelParameter, std::to_string(level)) +
                        Parameter(ScoreParameter, std::to_string(score) + "%20") +
                        Parameter(DateParameter, "08%20Dec%202026") + Parameter(BoardParameter, "") +
                        Parameter(GameParameter, Sha256Hex(script));
    auto now = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch());
    httplib::Client client("127.0.0.1", port);
    client.set_url_encode(false);
    client.set_read_timeout(10, 0);
    const std::string scores(ScoresScript);
    httplib::Headers headers;
    if (!from.empty()) headers.emplace("X-Forwarded-For", from);
    auto result = client.Post(("/" + scores + "?" + SignQuery(GameKey(), scores, query, now.count(), nonce)).c_str(),
                              headers, script, "text/plain");
    return result ? std::to_string(result->status) + " " + result->body.substr(0, result->body.find('\n'))
                  : "no reply (" + httplib::to_string(result.error()) + ")";
}

// Only ticketed games are checked: each script gets a ticket line of its own, as if dealt an hour ago by the board.
std::vector<std::string> Ticketed(const std::string& database, std::vector<std::string> scripts) {
    constexpr std::int64_t AnHourAgo = 60 * 60;
    auto store = OpenScoreStore(database);
    std::string secret = store->ServerSecret(NewServerSecret());
    auto now = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch());
    for (std::string& script : scripts) {
        std::size_t seed = script.rfind("seed ", 0) == 0 ? 0 : script.find("\nseed ") + 1;
        std::size_t after = script.find('\n', seed) + 1;
        script.insert(after,
                      "ticket " + MakeTicket(secret, ScriptSeed(script).value_or(0), now.count() - AnHourAgo) + "\n");
    }
    return scripts;
}

// Posts every script at once; prints how many of each reply came back.
int PostAll(int port, const std::vector<std::string>& scripts, const std::vector<ReplayVerdict>& truths) {
    std::map<std::string, int> replies;
    std::mutex mutex;
    std::vector<std::thread> senders;
    auto start = Clock::now();
    for (std::size_t i = 0; i < scripts.size(); ++i)
        senders.emplace_back([&, i] {
            std::string reply = Post(port, scripts[i], truths[i].Level, truths[i].Score, "bench" + std::to_string(i));
            std::lock_guard lock(mutex);
            ++replies[reply];
        });
    for (std::thread& sender : senders) sender.join();
    std::printf("posted %zu games in %.2f s:", scripts.size(), Since(start));
    for (const auto& [reply, count] : replies) std::printf(" %d x \"%s\"", count, reply.c_str());
    std::printf("\n");
    return 0;
}

int Upload(int port, const std::string& path, int count, const std::string& database) {
    std::string script = ReadAll(path);
    ReplayVerdict truth = RunVerifier(Checker(), script);
    if (!truth.Played) return 1;
    return PostAll(port, Ticketed(database, Copies(script, count)),
                   std::vector<ReplayVerdict>(static_cast<std::size_t>(count), truth));
}

// The script's lines up to frame `last` (its end line left out).
std::string Cut(const std::string& script, int last) {
    std::istringstream lines(script);
    std::string line, cut;
    while (std::getline(lines, line)) {
        if (line.rfind("end ", 0) == 0) continue;
        if (!line.empty() && line[0] >= '0' && line[0] <= '9' && std::stoi(line) > last) continue;
        cut += line + "\n";
    }
    return cut;
}

// Distinct games: the game cut short at COUNT points in its first minute.
int Fill(int port, const std::string& path, int count, const std::string& database) {
    constexpr int FirstCut = 1200, CutStep = 60;
    std::string script = ReadAll(path);
    std::vector<std::string> cuts;
    std::vector<ReplayVerdict> truths;
    for (int k = 0; k < count; ++k) {
        int end = FirstCut + CutStep * k;
        std::string cut = Cut(script, end) + "end " + std::to_string(end) + "\n";
        ReplayVerdict truth = RunVerifier(Checker(), cut);
        if (!truth.Played || truth.Score == 0) continue; // no points yet: nothing to put on a board
        cuts.push_back(cut);
        truths.push_back(truth);
    }
    return PostAll(port, Ticketed(database, cuts), truths);
}
// Seconds until the board shows a game under this name, polled every 20 ms; negative past `most`.
double SecondsUntilOnBoard(int port, const std::string& name, Clock::time_point since, double most) {
    using namespace ScoreProtocol;
    const std::string board = "/" + std::string(ScoresScript) + "?" + std::string(OptionParameter) + "=" +
                              std::string(GetScoreOption) + Parameter(CountParameter, "100");
    httplib::Client client("127.0.0.1", port);
    // Asked as readers of a /24 of their own, a few, so that no reader's rate limit slows the polling.
    constexpr int Readers = 16;
    for (int poll = 0; Since(since) < most; ++poll) {
        auto result = client.Get(board.c_str(), {{"X-Forwarded-For", "127.3.0." + std::to_string(1 + poll % Readers)}});
        if (result && result->body.find(name + "\n") != std::string::npos) return Since(since);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

// How long an honest game waits for the board while one party floods the checks: first alone, then while
// ADDRESSES addresses of one /24 (127.1.0.x, named to the server as its proxy's clients) send games that sit paused
// for an hour, as many as the server takes, each with a ticket of its own. The honest game comes from another /24
// (127.2.0.1). The server must trust 127.0.0.1 as its proxy.
int Attack(int port, const std::string& path, const std::string& database, int addresses, double flood) {
    constexpr int HonestEnd = TenMinutes - 60, PausedFrom = 1200, VandalGames = 500;
    constexpr double MostWait = 120;
    const std::string honestFrom = "127.2.0.1";
    std::string script = ReadAll(path);
    std::vector<std::string> honest;
    std::vector<ReplayVerdict> honestTruth;
    for (int k = 0; k < 2; ++k) {
        honest.push_back(Cut(script, HonestEnd - k) + "end " + std::to_string(HonestEnd - k) + "\n");
        honestTruth.push_back(RunVerifier(Checker(), honest.back()));
        if (!honestTruth.back().Played) return 1;
    }
    honest = Ticketed(database, honest);
    // The vandal's game: a few seconds of play, then the exit prompt for the rest of an hour. Each copy is a game
    // of its own (a key let go at a frame of its own), all ending alike.
    std::string paused = Cut(script, PausedFrom) + std::to_string(PausedFrom + 1) + " focus-lost\nend " +
                         std::to_string(ScoreProtocol::MostCheckedFrames) + "\n";
    ReplayVerdict pausedTruth = RunVerifier(Checker(), paused);
    if (!pausedTruth.Played) return 1;
    std::vector<std::string> vandal = Ticketed(database, Copies(paused, VandalGames));

    auto alone = Clock::now();
    std::string aloneReply = Post(port, honest[0], honestTruth[0].Level, honestTruth[0].Score, "alone", honestFrom);
    double aloneWait = SecondsUntilOnBoard(port, "alone", alone, MostWait);

    std::atomic<bool> stop{false};
    std::atomic<int> next{0};
    std::map<std::string, int> replies;
    std::mutex mutex;
    std::vector<std::thread> vandals;
    auto floodStart = Clock::now();
    for (int a = 0; a < addresses; ++a)
        vandals.emplace_back([&, a] {
            const std::string from = "127.1.0." + std::to_string(a + 1);
            // Round the games again when they run out: the flood lasts until the honest game shows.
            for (int i = next++; !stop; i = next++) {
                std::string reply = Post(port, vandal[static_cast<std::size_t>(i % VandalGames)], pausedTruth.Level,
                                         pausedTruth.Score, "vandal", from);
                std::lock_guard lock(mutex);
                ++replies[reply];
            }
        });
    std::this_thread::sleep_for(std::chrono::duration<double>(flood));
    auto arrival = Clock::now();
    std::string attackedReply =
        Post(port, honest[1], honestTruth[1].Level, honestTruth[1].Score, "attacked", honestFrom);
    double attackedWait = SecondsUntilOnBoard(port, "attacked", arrival, MostWait);
    stop = true;
    for (std::thread& thread : vandals) thread.join();
    double flooded = Since(floodStart);

    std::printf("honest game on the board, no attack: %.2f s (a %d-frame game from %s, answered \"%s\")\n", aloneWait,
                HonestEnd, honestFrom.c_str(), aloneReply.c_str());
    std::printf("honest game on the board under attack: %.2f s (answered \"%s\"; the attack: %d addresses of "
                "127.1.0.0/24 sending %d-frame paused games for %.1f s before it and on until it showed:",
                attackedWait, attackedReply.c_str(), addresses, ScoreProtocol::MostCheckedFrames, flood);
    int sent = 0;
    for (const auto& [reply, count] : replies) {
        std::printf(" %d x \"%s\"", count, reply.c_str());
        sent += count;
    }
    std::printf("; %d uploads in %.1f s)\n", sent, flooded);
    return aloneWait >= 0 && attackedWait >= 0 ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    auto number = [&](std::size_t at, int fallback) { return args.size() > at ? std::stoi(args[at]) : fallback; };
    if (args.size() >= 2 && args[0] == "make-game") return MakeGame(args[1], number(2, TenMinutes));
    if (args.size() >= 2 && args[0] == "time") return TimeOne(args[1], number(2, DefaultRuns));
    if (args.size() >= 2 && args[0] == "throughput") return Throughput(args[1], number(2, DefaultCount));
    if (args.size() >= 5 && args[0] == "upload")
        return Upload(std::stoi(args[1]), args[2], std::stoi(args[3]), args[4]);
    if (args.size() >= 5 && args[0] == "fill") return Fill(std::stoi(args[1]), args[2], std::stoi(args[3]), args[4]);
    if (args.size() >= 4 && args[0] == "attack")
        return Attack(std::stoi(args[1]), args[2], args[3], number(4, DefaultAddresses),
                      args.size() > 5 ? std::stod(args[5]) : DefaultFloodSeconds);
    std::fprintf(stderr, "usage: kestrovar_verify_bench make-game OUT [FRAMES] | time GAME [RUNS] | throughput GAME "
                         "[COUNT] | upload PORT GAME COUNT DB | fill PORT GAME COUNT DB | attack PORT GAME DB "
                         "[ADDRESSES] [SECONDS]\n");
    return 2;
}
