// The score service on both storage back ends: the replies the game reads, and every request it must refuse
// with the boards left as they were.
#include "server/ScoreService.h"
#include "ServerTestSupport.h"
#include "server/RequestSignature.h"
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace ScoreServer;
using namespace ServerTests;

namespace {
const std::string Scores = "/Kestrovar_scores.php";
const std::string Versions = "/VersionCheck.php";
const std::string Client = "192.0.2.7";

std::string Upload(const std::string& name, const std::string& level, const std::string& score,
                   const std::string& date = "08%20Dec%202026") {
    return "option=addscore&user=" + name + "&level=" + level + "&score=" + score + "%20&date=" + date + "&difficulty=";
}

class ScoreServiceTest : public testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        std::string skip;
        Location = FreshLocation(GetParam(), Folder, skip);
        if (Location.empty()) GTEST_SKIP() << skip;
        Store = OpenScoreStore(Location);
        Settings.Key = GameKey();
        Settings.RatePerSecond = 0;
        Service = std::make_unique<ScoreService>(*Store, Settings);
    }
    Reply Get(const std::string& path, const std::string& signedQuery) {
        return Service->Handle(path, signedQuery, Client);
    }
    Reply Add(const std::string& query) { return Get(Scores, Signed(query)); }
    std::string Board() { return Get(Scores, Signed("option=getscore&nbscore=100")).Body; }

    TempFolder Folder;
    std::string Location;
    std::unique_ptr<ScoreStore> Store;
    ServiceSettings Settings;
    std::unique_ptr<ScoreService> Service;
};

TEST_P(ScoreServiceTest, RepliesInTheLinesTheGameReads) {
    EXPECT_EQ(Add(Upload("Ada", "1", "120")).Body, "ok\n");
    EXPECT_EQ(Add(Upload("bob%202", "3", "5000")).Status, 200);
    EXPECT_EQ(Add(Upload("cy", "1", "120", "01+Jan+2027")).Status, 200); // '+' is a space too

    // Five lines an entry (name, level, score, a line the game skips, date), best first, ties in arrival order.
    Reply top = Get(Scores, Signed("option=getscore&nbscore=10"));
    EXPECT_EQ(top.Status, 200);
    EXPECT_EQ(top.Body, "bob 2\n3\n5000\n-\n08 Dec 2026\n"
                        "ada\n1\n120\n-\n08 Dec 2026\n"
                        "cy\n1\n120\n-\n01 Jan 2027\n");
    EXPECT_EQ(Get(Scores, Signed("option=getscore&nbscore=1")).Body, "bob 2\n3\n5000\n-\n08 Dec 2026\n");

    // Two lines an entry for the version check; the stored version follows the server's setting at start-up.
    EXPECT_EQ(Get(Versions, Signed("option=getversion&nbscore=30", "VersionCheck.php")).Body, "kestrovar\n1.2\n");
    Store->SetVersion("kestrovar", "1.3");
    ScoreService restarted(*Store, Settings);
    EXPECT_EQ(restarted.Handle(Versions, Signed("option=getversion&nbscore=30", "VersionCheck.php"), Client).Body,
              "kestrovar\n1.3\n");
}

// A store that can be taken away, as a database that stops answering.
class LostStore : public ScoreStore {
  public:
    explicit LostStore(ScoreStore& inner) : Inner(inner) {}
    std::atomic<bool> Lost = false;
    AddOutcome AddScore(const ScoreEntry& entry, const std::string& nonce, std::int64_t nonceTime,
                        std::int64_t forgetBefore) override {
        Check();
        return Inner.AddScore(entry, nonce, nonceTime, forgetBefore);
    }
    std::vector<ScoreEntry> TopScores(const std::string& board, int count) override {
        Check();
        return Inner.TopScores(board, count);
    }
    std::vector<VersionEntry> Versions(int count) override {
        Check();
        return Inner.Versions(count);
    }
    void SetVersion(const std::string& product, const std::string& version) override {
        Inner.SetVersion(product, version);
    }
    int SchemaVersion() override { return Inner.SchemaVersion(); }

  private:
    void Check() {
        if (Lost) throw StoreError("lost");
    }
    ScoreStore& Inner;
};

TEST_P(ScoreServiceTest, ReadsComeFromMemoryAndFollowOtherServersBoards) {
    // Two servers on one database; the first reads its boards again every 50 ms.
    LostStore lost(*Store);
    ServiceSettings renewing = Settings;
    renewing.RenewBoardsSeconds = 0.05;
    ScoreService first(lost, renewing), second(*Store, Settings);
    auto top = [&](ScoreService& service) {
        return service.Handle(Scores, Signed("option=getscore&nbscore=10"), Client);
    };
    ASSERT_EQ(first.Handle(Scores, Signed(Upload("near", "1", "10")), Client).Body, "ok\n");
    EXPECT_EQ(top(first).Body, "near\n1\n10\n-\n08 Dec 2026\n"); // renewed by its own upload at once

    ASSERT_EQ(second.Handle(Scores, Signed(Upload("far", "1", "20")), Client).Body, "ok\n");
    const std::string both = "far\n1\n20\n-\n08 Dec 2026\nnear\n1\n10\n-\n08 Dec 2026\n";
    for (int waited = 0; top(first).Body != both && waited < 5000; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(top(first).Body, both);

    // The database gone: reads are still answered from memory, an upload is refused with 503.
    EXPECT_EQ(first.Handle(Versions, Signed("option=getversion&nbscore=30", "VersionCheck.php"), Client).Body,
              "kestrovar\n1.2\n");
    lost.Lost = true;
    Reply read = top(first);
    EXPECT_EQ(read.Status, 200);
    EXPECT_EQ(read.Body, both);
    EXPECT_EQ(first.Handle(Versions, Signed("option=getversion&nbscore=30", "VersionCheck.php"), Client).Status, 200);
    EXPECT_EQ(first.Handle(Scores, Signed(Upload("gone", "1", "30")), Client).Status, 503);
}

TEST_P(ScoreServiceTest, RefusesForgedStaleAndReplayedRequests) {
    ASSERT_EQ(Add(Upload("first", "1", "10")).Status, 200);
    const std::string before = Board();
    const std::string query = Upload("cheat", "1", "990");
    std::int64_t now = NowSeconds();

    EXPECT_EQ(Get(Scores, Signed(query, "Kestrovar_scores.php", now, RandomNonce(), "not-the-key")).Status, 403);
    std::string tampered = Signed(query);
    tampered.replace(tampered.find("990"), 3, "999"); // the score changed after signing
    EXPECT_EQ(Get(Scores, tampered).Status, 403);
    EXPECT_EQ(Get(Scores, query + "&ts=" + std::to_string(now) + "&nonce=0123456789abcdef").Status, 403); // no sig
    EXPECT_EQ(Get(Scores, Signed(query) + "&x=1").Status, 403);                   // the signature must come last
    EXPECT_EQ(Get(Versions, Signed("option=getversion&nbscore=30")).Status, 403); // signed for the other script
    EXPECT_EQ(Get(Scores, Signed(query, "Kestrovar_scores.php", now - 301)).Status, 403);
    EXPECT_EQ(Get(Scores, Signed(query, "Kestrovar_scores.php", now + 301)).Status, 403);
    EXPECT_EQ(Get(Scores, Signed(query, "Kestrovar_scores.php", now, "XYZ")).Status, 403);

    // The same signed upload twice: refused by this server's memory, and by the database for another server
    // (or this one after a restart) that shares it.
    std::string once = Signed(Upload("twice", "1", "20"));
    EXPECT_EQ(Get(Scores, once).Status, 200);
    EXPECT_EQ(Get(Scores, once).Status, 403);
    ScoreService otherServer(*Store, Settings);
    EXPECT_EQ(otherServer.Handle(Scores, once, Client).Status, 403);
    EXPECT_EQ(Board(), "twice\n1\n20\n-\n08 Dec 2026\n" + before);
}

TEST_P(ScoreServiceTest, RefusesBadFieldsAndLeavesTheBoardUnchanged) {
    ASSERT_EQ(Add(Upload("keeper", "2", "2000")).Status, 200);
    const std::string before = Board();
    const std::string bad[] = {
        // Injection attempts and names outside [a-z0-9 ], 1 to 10 characters.
        Upload("x%27%3B%20DROP%20TABLE%20scores%3B--", "1", "100"),
        Upload("robert%27--", "1", "100"),
        Upload("a%00b", "1", "100"),
        Upload("a%0Ab", "1", "100"),
        Upload("", "1", "100"),
        Upload("elevenchars", "1", "100"),
        Upload("%C3%A9t%C3%A9", "1", "100"),
        // Malformed and impossible numbers.
        Upload("n", "-1", "100"),
        Upload("n", "1e3", "100"),
        Upload("n", "0x10", "100"),
        Upload("n", "1", "12abc"),
        Upload("n", "1", ""),
        Upload("n", "1", "99999999999999999999999"),
        Upload("n", "0", "100"),
        Upload("n", "1", "0"),
        Upload("n", "1", "105"),       // every award is a multiple of 10
        Upload("n", "5", "100"),       // four cannons are 6840 points at least
        Upload("n", "1", "100000010"), // beyond the ceiling
        Upload("n", "1", "100", "32%20Dec%202026"),
        Upload("n", "1", "100", "08%20Dec%202026%27%29--"),
        // Malformed queries: a bad escape, a repeated or unknown parameter, a missing one, too many, too long.
        Upload("n", "1", "100") + "&level=2",
        Upload("n", "1", "100") + "&admin=1",
        "option=addscore&user=n&level=1&score=100&date=08%20Dec%202026",
        "option=addscore&user=n%zz&level=1&score=100&date=08%20Dec%202026&difficulty=",
        "option=addscore&a=1&b=2&c=3&d=4&e=5&f=6&g=7&h=8&i=9&j=10",
        Upload("n", "1", "100") + "&pad=" + std::string(2000, 'a'),
        "option=dropscores",
        "option=getscore&nbscore=10%27%20OR%201%3D1",
        "option=getscore&nbscore=101",
        "option=getscore&nbscore=10&difficulty=%27%20OR%20%271%27%3D%271",
    };
    for (const std::string& query : bad) {
        Reply reply = Add(query);
        EXPECT_NE(reply.Status, 200) << query;
        EXPECT_EQ(reply.Body.rfind("error: ", 0), 0u) << query;
    }
    EXPECT_EQ(Board(), before);
    EXPECT_EQ(Get("/admin.php", Signed("option=getscore&nbscore=10", "admin.php")).Status, 404);
}

TEST_P(ScoreServiceTest, AFloodIsCutOffPerAddress) {
    double clock = 0;
    Settings.RatePerSecond = 5;
    Settings.RateBurst = 10;
    ScoreService limited(*Store, Settings, {}, [&] { return clock; });
    int accepted = 0, refused = 0;
    for (int i = 0; i < 50; ++i) {
        Reply reply = limited.Handle(Scores, Signed(Upload("flood", "1", "10")), "198.51.100.1");
        accepted += reply.Status == 200;
        refused += reply.Status == 429;
    }
    EXPECT_EQ(accepted, 10);
    EXPECT_EQ(refused, 40);
    EXPECT_EQ(limited.Handle(Scores, Signed("option=getscore&nbscore=10"), "198.51.100.2").Status, 200);
    clock += 1; // a second later five more are let through
    for (int i = 0; i < 6; ++i)
        accepted += limited.Handle(Scores, Signed(Upload("flood", "1", "10")), "198.51.100.1").Status == 200;
    EXPECT_EQ(accepted, 15);
    EXPECT_EQ(Store->TopScores("", 100).size(), 15u);
}

INSTANTIATE_TEST_SUITE_P(Backends, ScoreServiceTest, testing::Values("sqlite", "postgresql"),
                         [](const auto& param) { return param.param; });
} // namespace
