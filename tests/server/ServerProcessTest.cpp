// kestrovar-scores as a player runs it: its options, its defaults, its log, and how it stops.
#include "ServerTestSupport.h"
#include "frontend/Network.h"
#include "server/EventFront.h"
#include "server/GameArchive.h"
#include "server/RequestSignature.h"
#include "server/ServerOptions.h"
#include "server/SqliteStore.h"
#include "server/verify/Capabilities.h"
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <grp.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <pwd.h>
#include <regex>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace ScoreServer;
using namespace ServerTests;

namespace {
constexpr int PromptMs = 20'000;

TEST(ServerProcessTest, SignsWithTheGamesKey) { EXPECT_EQ(GameKey(), Network::NetworkKey()); }

TEST(ServerProcessTest, HelpListsEveryOptionAndTheParserTakesEachOne) {
    std::string help = ServerHelpText();
    std::regex option(R"((--[a-z-]+) ([A-Z]+)?)");
    int listed = 0;
    for (auto it = std::sregex_iterator(help.begin(), help.end(), option); it != std::sregex_iterator(); ++it) {
        std::string name = (*it)[1], kind = (*it)[2];
        std::string value = kind == "ADDRESS"         ? "127.0.0.1"
                            : kind == "TEXT"          ? "1.3"
                            : kind == "URL"           ? "https://example.org/scores"
                            : kind.empty()            ? ""
                            : name == "--request-log" ? "0"
                                                      : "64";
        std::vector<const char*> argv = {"kestrovar-scores", name.c_str()};
        if (!value.empty()) argv.push_back(value.c_str());
        std::string error;
        EXPECT_TRUE(ParseServerOptions(static_cast<int>(argv.size()), argv.data(), error)) << name << ": " << error;
        ++listed;
    }
    EXPECT_GE(listed, 10);
    std::string error;
    const char* unknown[] = {"kestrovar-scores", "--prot", "80"};
    EXPECT_FALSE(ParseServerOptions(3, unknown, error));
    const char* badPort[] = {"kestrovar-scores", "--port", "80x"};
    EXPECT_FALSE(ParseServerOptions(3, badPort, error));
}

TEST(ServerProcessTest, RunsOnItsDefaultsLogsEachRequestAndStopsOnSigterm) {
    TempFolder folder;
    ServerProcess server("", folder.Path() + "/server.log", {}, folder.Path());
    ASSERT_GT(server.Port(), 0) << server.Log();
    EXPECT_TRUE(std::filesystem::exists(folder.Path() + "/kestrovar/scores.sqlite"));
    EXPECT_NE(server.Log().find("listening on 127.0.0.1:"), std::string::npos);

    // A new game is dealt; an upload POSTs its game, spaces as the component sends them, percent-encoded on the wire.
    EXPECT_EQ(HttpGet(server.Port(), "/Kestrovar_scores.php?option=newgame").Body.rfind("seed ", 0), 0u);
    const TestGame game = Ticketed(folder.Path() + "/kestrovar/scores.sqlite", FirstGame(), NowSeconds() - 600);
    std::string upload = UploadQuery("pixel%20ace", game.Level, game.Score, game.Script);
    EXPECT_EQ(HttpPost(server.Port(), "/Kestrovar_scores.php?" + upload, game.Script).Body, "ok\n");
    HttpResult top = HttpGet(server.Port(), "/Kestrovar_scores.php?option=getscore&nbscore=10");
    EXPECT_EQ(top.Status, 200);
    EXPECT_EQ(top.Body, "pixel ace\n3\n5060\n" + game.Hash + "\n08 Dec 2026\n");
    HttpResult forged =
        HttpPost(server.Port(),
                 "/Kestrovar_scores.php?" + Signed(UploadQuery("x", 3, 5060, game.Script), "Kestrovar_scores.php",
                                                   NowSeconds(), RandomNonce(), "wrong key"),
                 game.Script);
    EXPECT_EQ(forged.Status, 403);
    EXPECT_EQ(forged.Body, "error: bad signature\n");
    EXPECT_EQ(HttpGet(server.Port(), "/Kestrovar_scores.php?" + std::string(10'000, 'a')).Status, 414);
    // A body past the front's limit is not even read: the headers that announce it are answered.
    const std::string tooLarge = "POST /Kestrovar_scores.php?option=getscore&nbscore=1 HTTP/1.1\r\nHost: x\r\n"
                                 "Connection: close\r\nContent-Length: " +
                                 std::to_string(2 << 20) + "\r\n\r\n";
    EXPECT_EQ(HttpRequestFrom("127.0.0.1", server.Port(), tooLarge, 5000).Status, 413);

    server.Signal(SIGTERM);
    EXPECT_EQ(server.Wait(), 0);
    std::string log = server.Log();
    std::regex requestLine(
        R"(\n\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ 127\.0\.0\.1 (?:GET|POST) /Kestrovar_scores\.php (\d{3}) )");
    std::vector<std::string> statuses;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), requestLine); it != std::sregex_iterator(); ++it)
        statuses.push_back((*it)[1]);
    std::sort(statuses.begin(), statuses.end()); // a line is written once its reply is out: threads may race
    EXPECT_EQ(statuses, (std::vector<std::string>{"200", "200", "200", "403", "413", "414"})) << log;
    EXPECT_NE(log.find("kestrovar-scores stopped"), std::string::npos) << log;
    // The ticket is the owner's secret: no log line holds it.
    std::size_t ticket = game.Script.find("ticket ") + 7;
    EXPECT_EQ(log.find(game.Script.substr(ticket, game.Script.find('\n', ticket) - ticket)), std::string::npos);
}

TEST(ServerProcessTest, ACrashingCheckIsARefusalAndTheServerAnswersOn) {
    TempFolder folder;
    // Without a checker it can run, it does not start at all.
    ServerProcess lost(folder.Path() + "/scores.sqlite", folder.Path() + "/lost.log",
                       {"--verifier", folder.Path() + "/nowhere"});
    EXPECT_EQ(lost.Port(), -1);
    EXPECT_EQ(lost.Wait(), 1);
    EXPECT_NE(lost.Log().find("the replay checker " + folder.Path() + "/nowhere cannot be run"), std::string::npos)
        << lost.Log();
    std::string crash = FakeVerifier(folder, "crash.sh", "kill -SEGV $$");
    ServerProcess server(folder.Path() + "/scores.sqlite", folder.Path() + "/server.log", {"--verifier", crash});
    ASSERT_GT(server.Port(), 0) << server.Log();
    const TestGame game = Ticketed(folder.Path() + "/scores.sqlite", FirstGame(), NowSeconds() - 600);
    for (int i = 0; i < 3; ++i) {
        HttpResult refused =
            HttpPost(server.Port(), "/Kestrovar_scores.php?" + UploadQuery("n", game.Level, game.Score, game.Script),
                     game.Script);
        EXPECT_EQ(refused.Body, "error: replay check crashed (signal 11)\n");
    }
    HttpResult top = HttpGet(server.Port(), "/Kestrovar_scores.php?option=getscore&nbscore=10");
    EXPECT_EQ(top.Status, 200);
    EXPECT_EQ(top.Body, "");
}

TEST(ServerProcessTest, ChecksAreFencedInOrRefusedAtStart) {
    // The real checker fences itself in, and its filter ends it when it reaches for a socket.
    VerifierSettings checker = RealVerifier();
    EXPECT_EQ(ProbeFence(checker), "");
    bool root = geteuid() == 0;
    // A root server's checks run as another user (root is held by no process limit), and still play.
    checker.UserId = checker.GroupId = root ? 65534 : geteuid();
    if (root) {
        EXPECT_EQ(ProbeFence(checker), "");
        ReplayVerdict verdict = RunVerifier(checker, FirstGame().Script);
        EXPECT_TRUE(verdict.Played) << verdict.Refusal;
        EXPECT_EQ(verdict.Score, FirstGameScore);
    }
    // A fence that cannot be put up (root cannot be another user as root; nobody else can change user) is a
    // refusal to check, said by a server at start.
    checker.UserId = checker.GroupId = root ? 0 : 65534;
    EXPECT_NE(ProbeFence(checker).find("cannot be fenced in: another user"), std::string::npos) << ProbeFence(checker);
    if (!root) GTEST_SKIP() << "the check user is a root server's";
    TempFolder folder;
    ServerProcess refusing(folder.Path() + "/scores.sqlite", folder.Path() + "/server.log",
                           {"--check-user", "no-such-user-here"});
    EXPECT_EQ(refusing.Wait(), 1);
    EXPECT_NE(refusing.Log().find("cannot run checks as no-such-user-here"), std::string::npos) << refusing.Log();
}

// The packaged unit: the server is its own user with CAP_SETUID and CAP_SETGID as its only (ambient) capabilities.
// Here "daemon" stands for that user and "nobody" for the check user.
TEST(ServerProcessTest, UnderTheUnitsCapabilitiesChecksRunAsTheCheckUserAndTheServerKeepsNoOther) {
    if (geteuid() != 0) GTEST_SKIP() << "starting the server as another user with capabilities only needs root";
    struct User {
        uid_t Uid = 0;
        gid_t Gid = 0;
    };
    auto named = [](const char* name) {
        const passwd* user = getpwnam(name);
        return user ? User{user->pw_uid, user->pw_gid} : User{};
    };
    const User daemonUser = named("daemon"), nobody = named("nobody");
    ASSERT_TRUE(daemonUser.Uid != 0 && nobody.Uid != 0) << "this test needs the users daemon and nobody";
    TempFolder folder;
    ASSERT_EQ(chown(folder.Path().c_str(), daemonUser.Uid, daemonUser.Gid), 0);
    const std::string board = folder.Path() + "/scores.sqlite";
    const std::vector<std::string> asDaemon = {"setpriv", "--reuid=daemon", "--regid=daemon", "--init-groups"};
    std::vector<std::string> withCapabilities = asDaemon;
    withCapabilities.insert(withCapabilities.end(), {"--inh-caps=+setuid,+setgid", "--ambient-caps=+setuid,+setgid"});

    // Told to check as a user it neither is nor can become, it does not start (and checks as nobody else).
    ServerProcess bare(board, folder.Path() + "/bare.log", {"--check-user", "nobody"}, "", true, asDaemon);
    EXPECT_EQ(bare.Wait(), 1);
    EXPECT_EQ(bare.Log(), "kestrovar-scores: cannot run checks as nobody: running as uid " +
                              std::to_string(daemonUser.Uid) +
                              " without CAP_SETUID and CAP_SETGID (the unit grants them; or start it as nobody)\n");

    ServerProcess server(board, folder.Path() + "/server.log", {"--check-user", "nobody"}, "", true, withCapabilities);
    ASSERT_GT(server.Port(), 0) << server.Log();
    // Its start-up probe is a check started as every check is; it reports whom it ran as, with nothing held.
    EXPECT_NE(server.Log().find("checks run as nobody (uid " + std::to_string(nobody.Uid) + ") with no capability"),
              std::string::npos)
        << server.Log();
    // The server itself keeps the two for its checks' start, ambient but not effective, and nothing else.
    std::string status = FileText("/proc/" + std::to_string(server.Pid()) + "/status");
    for (const char* line : {"CapEff:\t0000000000000000", "CapPrm:\t00000000000000c0", "CapAmb:\t00000000000000c0"})
        EXPECT_NE(status.find(line), std::string::npos) << line << "\n" << status;
    const TestGame game = Ticketed(board, FirstGame(), NowSeconds() - 600);
    std::filesystem::recursive_directory_iterator files(folder.Path()); // the ticket's secret was read as root
    for (const auto& file : files) ASSERT_EQ(chown(file.path().c_str(), daemonUser.Uid, daemonUser.Gid), 0);
    EXPECT_EQ(HttpPost(server.Port(),
                       "/Kestrovar_scores.php?" + UploadQuery("capped", game.Level, game.Score, game.Script),
                       game.Script)
                  .Body,
              "ok\n");

    // A check past its deadline is killed, though it is another user than the server: here a stand-in that becomes
    // nobody and sleeps, run by a process set up as the unit sets up the server.
    std::string sleeper =
        FakeVerifier(folder, "sleeper.sh", "exec setpriv --reuid=nobody --regid=nogroup --clear-groups sleep 120");
    ASSERT_EQ(chown(sleeper.c_str(), daemonUser.Uid, daemonUser.Gid), 0);
    pid_t unit = fork();
    if (unit == 0) {
        prctl(PR_SET_KEEPCAPS, 1, 0, 0, 0);
        if (setgroups(0, nullptr) != 0 || setresgid(daemonUser.Gid, daemonUser.Gid, daemonUser.Gid) != 0 ||
            setresuid(daemonUser.Uid, daemonUser.Uid, daemonUser.Uid) != 0 || !Capabilities::KeepOnlyForChecks())
            _exit(2);
        VerifierSettings checker;
        checker.WorkerPath = sleeper;
        checker.DeadlineSeconds = 1;
        checker.UserId = nobody.Uid;
        checker.GroupId = nobody.Gid;
        _exit(RunVerifier(checker, "seed 1\n").Refusal == "replay ran past the time a check may take" ? 0 : 1);
    }
    int ended = 0;
    bool over = Eventually([&] { return waitpid(unit, &ended, WNOHANG) == unit; });
    if (!over) kill(unit, SIGKILL), waitpid(unit, nullptr, 0);
    ASSERT_TRUE(over) << "a check past its deadline lived on";
    EXPECT_TRUE(WIFEXITED(ended) && WEXITSTATUS(ended) == 0) << ended;
}

TEST(ServerProcessTest, AFloodFromOneAddressGets429AndItsNewConnectionsAreRefused) {
    TempFolder folder;
    ServerProcess server(folder.Path() + "/scores.sqlite", folder.Path() + "/server.log",
                         {"--rate-limit", "1", "--rate-burst", "2"});
    ASSERT_GT(server.Port(), 0) << server.Log();
    // Requests on one kept-alive connection: two at once, and one a second after.
    httplib::Client client("127.0.0.1", server.Port());
    client.set_keep_alive(true);
    client.set_url_encode(false);
    int accepted = 0, lastStatus = 0;
    std::string lastBody;
    for (int i = 0; i < 6; ++i) {
        auto result = client.Get(("/Kestrovar_scores.php?" + Signed("option=getscore&nbscore=10")).c_str());
        ASSERT_TRUE(result);
        accepted += result->status == 200;
        lastStatus = result->status;
        lastBody = result->body;
    }
    EXPECT_LE(accepted, 4);
    EXPECT_EQ(lastStatus, 429);
    EXPECT_EQ(lastBody, "error: too many requests\n");
    // Opening connections counts too: past the burst a new one is closed unread.
    int refused = 0;
    for (int i = 0; i < 4; ++i)
        refused += HttpGet(server.Port(), "/Kestrovar_scores.php?" + Signed("option=getscore&nbscore=10")).Status == 0;
    EXPECT_GE(refused, 2);
}

TEST(ServerProcessTest, BehindATrustedProxyEveryLimitAndLogLineIsTheForwardedClients) {
    EXPECT_EQ(ForwardedClient("127.0.0.1", "6.6.6.6, 203.0.113.9", nullptr, {"127.0.0.1"}), "203.0.113.9");
    // A chain of our own proxies is walked through; what stands left of a hop that is not one is the client's word.
    EXPECT_EQ(ForwardedClient("127.0.0.1", "203.0.113.9 ,::ffff:10.0.0.1", "1.1.1.1", {"127.0.0.1", "10.0.0.1"}),
              "203.0.113.9");
    EXPECT_EQ(ForwardedClient("127.0.0.1", "nonsense", "2001:db8::1", {"127.0.0.1"}), "2001:db8::1");
    EXPECT_EQ(ForwardedClient("127.0.0.1", nullptr, nullptr, {"127.0.0.1"}), "127.0.0.1");

    TempFolder folder;
    ServerProcess server(
        folder.Path() + "/scores.sqlite", folder.Path() + "/server.log",
        {"--trusted-proxy", "127.0.0.1", "--rate-limit", "1", "--rate-burst", "2", "--connections-per-address", "2"});
    ASSERT_GT(server.Port(), 0) << server.Log();
    auto read = [&](const std::string& from, const std::string& client) {
        return HttpRequestFrom(from, server.Port(),
                               "GET /Kestrovar_scores.php?option=getscore&nbscore=1 HTTP/1.1\r\nHost: x\r\n"
                               "Connection: close\r\nX-Forwarded-For: " +
                                   client + "\r\n\r\n",
                               PromptMs)
            .Status;
    };
    // Through the proxy: each client its own rate limit, however many share the proxy's address.
    for (int i = 0; i < 4; ++i) read("127.0.0.1", "198.51.100.1");
    EXPECT_EQ(read("127.0.0.1", "198.51.100.1"), 429);
    EXPECT_EQ(read("127.0.0.1", "198.51.100.2"), 200);
    // From anyone else the header is the client's own word, and ignored.
    EXPECT_EQ(read("127.0.0.3", "198.51.100.3"), 200);

    // The proxy holds more connections than an address may, and opens them faster; another address is held to its
    // caps.
    auto holdOpen = [&](const std::string& from, int count) {
        std::vector<std::unique_ptr<httplib::Client>> held;
        for (int i = 0; i < count; ++i) {
            held.push_back(std::make_unique<httplib::Client>("127.0.0.1", server.Port()));
            held.back()->set_interface(from);
            held.back()->set_keep_alive(true);
        }
        return held;
    };
    int served = 0;
    auto proxied = holdOpen("127.0.0.1", 4);
    for (auto& client : proxied) served += client->Get("/index.html") ? 1 : 0;
    EXPECT_EQ(served, 4);
    served = 0;
    auto direct = holdOpen("127.0.0.4", 4);
    for (auto& client : direct) served += client->Get("/index.html") ? 1 : 0;
    EXPECT_EQ(served, 2);

    server.Signal(SIGTERM);
    EXPECT_EQ(server.Wait(), 0);
    std::string log = server.Log();
    EXPECT_NE(log.find(" 198.51.100.1 GET /Kestrovar_scores.php 429 "), std::string::npos) << log;
    EXPECT_NE(log.find(" 198.51.100.2 GET /Kestrovar_scores.php 200 "), std::string::npos) << log;
    EXPECT_NE(log.find(" 127.0.0.3 GET /Kestrovar_scores.php 200 "), std::string::npos) << log;
    EXPECT_EQ(log.find("198.51.100.3"), std::string::npos) << log;
}

TEST(ServerProcessTest, AGameIsSentCompressedWithinItsNetworksBytesAndHeadIsAnsweredAsGet) {
    TempFolder folder;
    const std::string database = folder.Path() + "/scores.sqlite";
    const TestGame& game = CutGames(1)[0];
    OpenScoreStore(database)->AddGame({"", "zip", game.Level, game.Score, "01 Dec 2026", {}, 0},
                                      {game.Hash, game.Stored, "end=a", 1200});
    ServerProcess server(database, folder.Path() + "/server.log", {"--game-bytes-per-minute", "2500"});
    ASSERT_GT(server.Port(), 0) << server.Log();
    auto fetch = [&](const std::string& from, const std::string& method, const std::string& accepts) {
        return HttpRequestFrom(from, server.Port(),
                               method + " /Kestrovar_scores.php?option=getgame&game=" + game.Hash +
                                   " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" + accepts + "\r\n",
                               PromptMs);
    };
    HttpResult zlib = fetch("127.0.0.1", "GET", "Accept-Encoding: deflate\r\n");
    EXPECT_EQ(zlib.Status, 200);
    EXPECT_LT(zlib.Body.size(), game.Stored.size() / 3);
    EXPECT_EQ(ExpandScript(zlib.Body), game.Stored);
    HttpResult gzip = fetch("127.0.0.1", "GET", "Accept-Encoding: br;q=1, gzip\r\n");
    EXPECT_EQ(gzip.Body.substr(0, 2), "\x1f\x8b");
    // The plain script is more than the network has left for the minute: sent, and the excess is owed, so that
    // the next fetch from that network is refused.
    EXPECT_EQ(fetch("127.0.0.2", "GET", "").Body, game.Stored);
    EXPECT_EQ(fetch("127.0.0.3", "GET", "").Status, 429);
    EXPECT_EQ(fetch("127.1.0.1", "GET", "").Body, game.Stored);
    HttpResult head = fetch("127.2.0.1", "HEAD", "");
    EXPECT_EQ(head.Status, 200);
    EXPECT_EQ(head.Body, "");
    HttpResult page = HttpRequestFrom("127.2.0.1", server.Port(),
                                      "HEAD / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", PromptMs);
    EXPECT_EQ(page.Status, 200);
}

TEST(ServerProcessTest, AnUploadWaitingOnItsCheckHoldsNoWorker) {
    TempFolder folder;
    const std::string database = folder.Path() + "/scores.sqlite", go = folder.Path() + "/go";
    const std::string started = folder.Path() + "/started";
    // The check says it has started and waits until the test lets it go; one worker for all that may wait.
    std::string held = FakeVerifier(folder, "held.sh",
                                    "touch " + started + "\nwhile [ ! -e " + go + " ]; do sleep 0.05; done\nexec " +
                                        std::string(KESTROVAR_VERIFY_BINARY) + " \"$@\"");
    const TestGame game = Ticketed(database, FirstGame(), NowSeconds() - 600);
    ServerProcess server(database, folder.Path() + "/server.log", {"--verifier", held, "--workers", "1"});
    ASSERT_GT(server.Port(), 0) << server.Log();
    auto upload = std::async(std::launch::async, [&] {
        return HttpPost(server.Port(),
                        "/Kestrovar_scores.php?" + UploadQuery("held", game.Level, game.Score, game.Script),
                        game.Script);
    });
    ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(started); })) << server.Log();
    // While it waits, what needs the worker is answered (or never: the check waits on this reply).
    EXPECT_EQ(HttpGetFrom("127.1.0.1", server.Port(),
                          "/Kestrovar_scores.php?option=getgame&game=" + std::string(64, 'a'), PromptMs)
                  .Status,
              404);
    std::ofstream(go) << "go\n";
    EXPECT_EQ(upload.get().Body, "ok\n") << server.Log();

    // Past its wait, the upload is answered "accepted" by the sweep, and its game still lands once checked.
    const std::string later = folder.Path() + "/later";
    std::string slow = FakeVerifier(folder, "slow.sh",
                                    "while [ ! -e " + later + " ]; do sleep 0.05; done\nexec " +
                                        std::string(KESTROVAR_VERIFY_BINARY) + " \"$@\"");
    const TestGame other = Ticketed(database, CutGames(1)[0], NowSeconds() - 600);
    ServerProcess impatient(database, folder.Path() + "/impatient.log",
                            {"--verifier", slow, "--workers", "1", "--verify-wait", "1"});
    ASSERT_GT(impatient.Port(), 0) << impatient.Log();
    HttpResult accepted =
        HttpPost(impatient.Port(),
                 "/Kestrovar_scores.php?" + UploadQuery("late", other.Level, other.Score, other.Script), other.Script);
    EXPECT_EQ(accepted.Status, 202);
    EXPECT_EQ(accepted.Body, "accepted\n");
    std::ofstream(later) << "go\n";
    EXPECT_TRUE(Eventually([&] {
        return HttpGet(impatient.Port(), "/Kestrovar_scores.php?option=getscore&nbscore=10").Body.find("late\n") !=
               std::string::npos;
    })) << impatient.Log();
}

// A store that holds each top-ten read until the test lets it go.
class HeldStore : public SqliteStore {
  public:
    using SqliteStore::SqliteStore;
    std::promise<void> Entered;
    std::shared_future<void> Release;
    std::string HeldBoard;
    std::vector<ScoreEntry> TopScores(const std::string& board, int count) override {
        if (board == HeldBoard) {
            Entered.set_value();
            Release.wait();
        }
        return SqliteStore::TopScores(board, count);
    }
};

TEST(ServerProcessTest, AStopFinishesTheRequestsInFlight) {
    TempFolder folder;
    HeldStore store(folder.Path() + "/scores.sqlite");
    std::promise<void> release;
    store.Release = release.get_future().share();
    ServiceSettings settings;
    settings.Key = GameKey();
    ScoreService service(store, settings);
    std::FILE* log = std::fopen((folder.Path() + "/log").c_str(), "w");
    FrontSettings frontSettings;
    frontSettings.Threads = 2;
    EventFront front(service, frontSettings, log);
    int port = front.Bind("127.0.0.1", 0);
    ASSERT_GT(port, 0);
    std::thread serving([&] { front.Run(); });

    auto inFlight = std::async(std::launch::async, [&] {
        return HttpGet(port, "/Kestrovar_scores.php?" + Signed("option=getscore&nbscore=10"));
    });
    store.Entered.get_future().wait();
    std::thread stopping([&] { front.Stop(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    release.set_value();
    EXPECT_EQ(inFlight.get().Status, 200);
    stopping.join();
    serving.join();
    EXPECT_EQ(HttpGet(port, "/Kestrovar_scores.php?" + Signed("option=getscore&nbscore=10")).Status, 0);
    std::fclose(log);
}

TEST(ServerProcessTest, ARequestWaitingOnStorageHoldsUpNoOther) {
    TempFolder folder;
    HeldStore store(folder.Path() + "/scores.sqlite");
    store.HeldBoard = "slow"; // the first read of this board waits on the store until the test lets it go
    std::promise<void> release;
    store.Release = release.get_future().share();
    ServiceSettings settings;
    settings.Key = GameKey();
    ScoreService service(store, settings);
    std::FILE* log = std::fopen((folder.Path() + "/log").c_str(), "w");
    FrontSettings frontSettings;
    frontSettings.Threads = 1; // one event loop for every connection
    EventFront front(service, frontSettings, log);
    int port = front.Bind("127.0.0.1", 0);
    ASSERT_GT(port, 0);
    std::thread serving([&] { front.Run(); });

    const std::string top = "/Kestrovar_scores.php?" + Signed("option=getscore&nbscore=10");
    EXPECT_EQ(HttpGet(port, top).Status, 200); // the main board, held in memory from now on
    auto waiting = std::async(std::launch::async, [&] {
        return HttpGet(port, "/Kestrovar_scores.php?" + Signed("option=getscore&nbscore=10&difficulty=slow"));
    });
    store.Entered.get_future().wait();
    // Answered while the other request still waits on the store (or never: the store waits on this reply).
    EXPECT_EQ(HttpGet(port, "/Kestrovar_scores.php?" + Signed("option=getscore&nbscore=10")).Status, 200);
    release.set_value();
    EXPECT_EQ(waiting.get().Status, 200);
    front.Stop();
    serving.join();
    std::fclose(log);
}
} // namespace
