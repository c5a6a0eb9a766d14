// The order checks are run in, on a clock of the test's own: prefixes in turn, each paying for its checks in frames
// from a bucket that refills by the minute.
#include "server/CheckQueue.h"
#include "server/CanonicalScript.h"
#include "server/ClientPrefix.h"
#include <gtest/gtest.h>
#include <vector>

using namespace ScoreServer;

namespace {
constexpr double Unlimited = 1e12;

// The ids Next gives at `now` until it gives none.
std::vector<std::uint64_t> Drain(CheckQueue& queue, double now) {
    std::vector<std::uint64_t> order;
    double wakeAt = 0;
    while (auto id = queue.Next(now, wakeAt)) order.push_back(*id);
    return order;
}

TEST(CheckQueueTest, PartiesAreServedInTurnHoweverManyAddressesTheyHold) {
    CheckQueue queue({Unlimited, Unlimited}, 64, 8);
    // A party of four addresses in one /24, four checks each held; two honest players from other networks.
    std::vector<std::string> vandal = {"127.1.0.1", "127.1.0.2", "127.1.0.3", "127.1.0.4"};
    std::uint64_t id = 0;
    for (const std::string& address : vandal) EXPECT_TRUE(queue.Push(++id, ClientPrefix(address), 100, 0));
    for (const std::string& address : vandal) EXPECT_TRUE(queue.Push(++id, ClientPrefix(address), 100, 0));
    EXPECT_FALSE(queue.Push(++id, ClientPrefix("127.1.0.9"), 100, 0)); // the prefix holds its share
    EXPECT_TRUE(queue.Push(101, ClientPrefix("127.2.0.1"), 100, 0));
    EXPECT_TRUE(queue.Push(102, ClientPrefix("127.3.0.1"), 100, 0));
    std::vector<std::uint64_t> order = Drain(queue, 0);
    ASSERT_EQ(order.size(), 10u);
    EXPECT_EQ(std::vector<std::uint64_t>(order.begin(), order.begin() + 4),
              (std::vector<std::uint64_t>{1, 101, 102, 2}));
    EXPECT_EQ(ClientPrefix("2001:db8:1:2a3b::7"), "2001:db8:1:2a00::/56");
}

TEST(CheckQueueTest, ACheckWaitsForItsPrefixsFramesAndALargeGameLeavesADebt) {
    // A minute's bucket of 3600 frames.
    CheckQueue queue({3600, 3600}, 64, 8);
    const std::string vandal = ClientPrefix("127.1.0.1"), honest = ClientPrefix("127.2.0.1");
    ASSERT_TRUE(queue.Push(1, vandal, 10'800, 0)); // three minutes: taken from a full bucket, two minutes owed
    ASSERT_TRUE(queue.Push(2, vandal, 600, 0));
    EXPECT_EQ(Drain(queue, 0), (std::vector<std::uint64_t>{1}));
    // The honest player's game runs at once; the vandal's next waits until the debt and its own cost are paid.
    ASSERT_TRUE(queue.Push(3, honest, 3000, 1));
    EXPECT_EQ(Drain(queue, 1), (std::vector<std::uint64_t>{3}));
    double wakeAt = 0;
    EXPECT_FALSE(queue.Next(129, wakeAt));
    EXPECT_DOUBLE_EQ(wakeAt, 130); // 7200 owed and 600 to pay, at 60 frames a second
    EXPECT_EQ(Drain(queue, 130), (std::vector<std::uint64_t>{2}));

    // A game that ends early is charged what it played.
    queue.Finished(honest, 3000, 600, 1);
    ASSERT_TRUE(queue.Push(4, honest, 3000, 1));
    EXPECT_EQ(Drain(queue, 1), (std::vector<std::uint64_t>{4}));
}

TEST(CheckQueueTest, TheCanonicalScriptKeepsOnlyWhatTheCheckerReads) {
    EXPECT_EQ(CanonicalScript("; a comment\r\n\r\nseed  42 ; the seed\r\n\t1 down\t37\n   \nend 90"),
              "seed 42\n1 down 37\nend 90\n");
    EXPECT_EQ(ScriptFrames("seed 1\n5 down 37\nend 90\n", 1000), 90);
    EXPECT_EQ(ScriptFrames("seed 1\n5 down 37\n700 up 37 ; no end line\n", 1000), 700);
    EXPECT_EQ(ScriptFrames("seed 1\nend 99999999\n", 1000), 1000);
}
} // namespace
