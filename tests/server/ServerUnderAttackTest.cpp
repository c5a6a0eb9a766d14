// The server's front under slow clients and floods, and with its database lost under it: other clients are still
// served, slow connections are cut at their deadlines, and the server stops in good order.
#include "ServerTestSupport.h"
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace ServerTests;
using Clock = std::chrono::steady_clock;

namespace {
constexpr int UploadWaitMs = 90'000;
constexpr int PromptMs = 1000; // a read answered within this is answered as if nothing were happening
const std::string Top = "/Kestrovar_scores.php?option=getscore&nbscore=10";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string SignedTop() { return "/Kestrovar_scores.php?" + Signed("option=getscore&nbscore=10"); }

// Milliseconds until the server closes a connection that sends `opening` and then one byte of `drip` every
// 500 ms; -1 when it is still open after giveUpMs.
int MsUntilCut(int port, const std::string& opening, char drip, int giveUpMs) {
    constexpr int DripMs = 500;
    int connection = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    auto start = Clock::now();
    int cutAfter = -1;
    if (connect(connection, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 &&
        send(connection, opening.data(), opening.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(opening.size()))
        for (int waited = 0; waited < giveUpMs && cutAfter < 0; waited += DripMs) {
            pollfd closed{connection, POLLIN, 0};
            char ignored[256];
            if ((poll(&closed, 1, DripMs) == 1 && recv(connection, ignored, sizeof ignored, 0) <= 0) ||
                send(connection, &drip, 1, MSG_NOSIGNAL) != 1)
                cutAfter = static_cast<int>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        }
    close(connection);
    return cutAfter;
}

TEST(ServerUnderAttackTest, HeadersAndBodiesSentAByteAtATimeAreCutAtTheirDeadlines) {
    TempFolder folder;
    ServerProcess server(folder.Path() + "/scores.sqlite", folder.Path() + "/server.log",
                         {"--header-timeout", "2", "--body-timeout", "2", "--idle-timeout", "30"});
    ASSERT_GT(server.Port(), 0) << server.Log();
    // Each keeps the connection busy well within the idle limit: only a deadline on the whole can end them.
    auto headers = std::async(std::launch::async, [&] {
        return MsUntilCut(server.Port(), "GET " + Top + " HTTP/1.1\r\nHost: x\r\nX-Slow: ", 'a', 10'000);
    });
    auto body = std::async(std::launch::async, [&] {
        return MsUntilCut(server.Port(), "POST " + Top + " HTTP/1.1\r\nHost: x\r\nContent-Length: 1000\r\n\r\n", 'a',
                          10'000);
    });
    for (int cut : {headers.get(), body.get()}) {
        EXPECT_GE(cut, 1500);
        EXPECT_LE(cut, 4000) << "-1: never cut";
    }
}

TEST(ServerUnderAttackTest, SlowlorisAndSlowBodiesLeaveOtherClientsServed) {
    if (std::system("command -v slowhttptest > /dev/null") != 0) GTEST_SKIP() << "slowhttptest is not installed";
    TempFolder folder;
    ServerProcess server(folder.Path() + "/scores.sqlite", folder.Path() + "/server.log", {});
    ASSERT_GT(server.Port(), 0) << server.Log();
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/Kestrovar_scores.php";
    // 300 connections each, opened at 100 a second, a header line or a piece of body every 3 seconds, for 20 s.
    const std::string common = " -c 300 -r 100 -i 3 -s 8192 -p 3 -l 20 -u " + url;
    auto attack = [&](const std::string& mode, const std::string& log) {
        std::string command = "slowhttptest " + mode + common + " > " + folder.Path() + log + " 2>&1";
        return std::async(std::launch::async, [command] { return std::system(command.c_str()); });
    };
    auto slowloris = attack("-H -t GET -x 24", "/slowloris.log");
    auto slowBody = attack("-B -t POST -x 10", "/slowbody.log");

    // Meanwhile another client, from another address, reads the board four times a second.
    int probes = 0, prompt = 0;
    auto over = [](std::future<int>& attacker) {
        return attacker.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    };
    while (!over(slowloris) || !over(slowBody)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        ++probes;
        prompt += HttpGetFrom("127.0.0.2", server.Port(), SignedTop(), PromptMs).Status == 200;
    }
    EXPECT_EQ(slowloris.get(), 0);
    EXPECT_EQ(slowBody.get(), 0);
    EXPECT_GE(probes, 40) << ReadFile(folder.Path() + "/slowloris.log") << ReadFile(folder.Path() + "/slowbody.log");
    EXPECT_EQ(prompt, probes);
    // And afterwards, from the attacked address too once its rate limit has refilled.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(HttpGetFrom("127.0.0.2", server.Port(), SignedTop(), PromptMs).Status, 200);
        EXPECT_EQ(HttpGetFrom("127.0.0.1", server.Port(), SignedTop(), PromptMs).Status, 200);
    }
}

TEST(ServerUnderAttackTest, ALostDatabaseGets503QuicklyAndTheServerRecoversAndStops) {
    PostgresCluster* cluster = PostgresCluster::Shared();
    if (!cluster) GTEST_SKIP() << "PostgreSQL unavailable: " << PostgresCluster::WhyNot();
    // A pooled connection that died with a restart is replaced, and the request it carried is not lost.
    const std::string location = cluster->FreshDatabase();
    {
        auto store = ScoreServer::OpenScoreStore(location, 1);
        ASSERT_TRUE(store->TopScores("", 10).empty());
        ASSERT_TRUE(cluster->Stop());
        ASSERT_TRUE(cluster->Start());
        EXPECT_NO_THROW(store->TopScores("", 10));
    }
    TempFolder folder;
    ServerProcess server(location, folder.Path() + "/server.log", {"--db-connections", "4"});
    ASSERT_GT(server.Port(), 0) << server.Log();
    // Real games, each its own row under its own name: an upload is checked by playing it.
    std::vector<TestGame> games;
    for (const TestGame& game : CutGames(4)) games.push_back(Ticketed(location, game, NowSeconds() - 600));
    auto name = [&](const TestGame& game) { return "pg" + std::to_string(&game - games.data()); };
    auto upload = [&](const TestGame& game) {
        std::string query = UploadQuery(name(game), game.Level, game.Score, game.Script);
        // The check may wait for the processor the attack takes: the upload waits as long as the server does.
        return HttpPostFrom("127.0.0.1", server.Port(), "/Kestrovar_scores.php?" + query, game.Script, UploadWaitMs);
    };
    auto entry = [&](const TestGame& game) {
        return name(game) + "\n" + std::to_string(game.Level) + "\n" + std::to_string(game.Score) + "\n" + game.Hash +
               "\n08 Dec 2026\n";
    };
    ASSERT_EQ(upload(games[0]).Body, "ok\n");
    ASSERT_EQ(HttpGetFrom("127.0.0.1", server.Port(), SignedTop(), PromptMs).Body, entry(games[0]));

    ASSERT_TRUE(cluster->Stop());
    for (int i = 0; i < 3; ++i) {
        auto start = Clock::now();
        HttpResult refused = upload(games[1]);
        EXPECT_EQ(refused.Status, 503);
        EXPECT_EQ(refused.Body, "error: storage unavailable\n");
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(3)); // within the database time-out
        EXPECT_EQ(HttpGetFrom("127.0.0.1", server.Port(), SignedTop(), PromptMs).Body, entry(games[0]));
    }

    // Back again: the next upload is stored, though every pooled connection died with the old server.
    ASSERT_TRUE(cluster->Start());
    std::this_thread::sleep_for(std::chrono::milliseconds(600)); // past the wait between attempts to connect
    EXPECT_EQ(upload(games[2]).Body, "ok\n");
    EXPECT_EQ(upload(games[3]).Body, "ok\n");
    std::string board = HttpGetFrom("127.0.0.1", server.Port(), SignedTop(), PromptMs).Body;
    EXPECT_NE(board.find(entry(games[3])), std::string::npos) << board;
    EXPECT_EQ(board.find(entry(games[1])), std::string::npos) << board;

    // Lost once more, a SIGTERM still ends the server promptly and in good order.
    ASSERT_TRUE(cluster->Stop());
    auto uploading = std::async(std::launch::async, [&] { return upload(games[1]).Status; });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto stopping = Clock::now();
    server.Signal(SIGTERM);
    EXPECT_EQ(server.Wait(), 0) << server.Log();
    EXPECT_LT(Clock::now() - stopping, std::chrono::seconds(5));
    EXPECT_EQ(uploading.get(), 503);
    EXPECT_TRUE(cluster->Start());
}
} // namespace
