// The server's tickets through the real component: fetched only into an empty queue and never in a sync's way, a
// fresh one seeding the next game and going with its kept script once, renewed at half an hour and never used stale.
#include "frontend/Tickets.h"
#include "NeonFixture.h"
#include "TestScoreServer.h"
#include "core/GameState.h"
#include "fortress/World.h"
#include "frontend/HighScores.h"
#include "frontend/KeptGames.h"
#include "frontend/Network.h"
#include "game/replay/ReplayScript.h"
#include "platform/Display.h"
#include "platform/Random.h"
#include "platform/Time.h"
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace {
// A frame of a kept game shown, and the game telling the keeper so, as the game screen does after each flip.
void ShowKeptFrame(World& w) {
    Flip(-1);
    KeptGameFrameShown(w);
}
constexpr int MinuteMs = 60 * 1000;

// The screens' frames as the game runs them, in real time, until `done` (or 20 seconds have passed).
template <typename Done> void PumpUntil(Done done) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done() && std::chrono::steady_clock::now() < until) {
        PumpTickets();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void PumpUntilFetched() {
    PumpUntil([] { return !FetchingTicket(); });
}

ReplayScript KeptScript() {
    std::ifstream in(LastGamePath());
    ReplayScript script;
    std::string error;
    EXPECT_TRUE(ParseReplayScript(in, script, error)) << error;
    return script;
}

// A few frames of a player's game, left at once.
void PlayAGame(World& w) {
    BeginKeptGame(w);
    for (int frame = 0; frame < 3; ++frame) ShowKeptFrame(w);
    EndKeptGame();
}
} // namespace

class TicketsTest : public NeonFixture {
  protected:
    void SetUp() override {
        NeonFixture::SetUp();
        ASSERT_TRUE(Network::BindNetworkComponent());
        Network::Cancel();
        Network::SetServer(Server.BaseUrl());
        Network::SetKey(Network::NetworkKey());
        SetKeepPlayerGames(true);
        Server.IssueTickets(424242);
        Server.Answer("Kestrovar_scores.php", "ace\n3\n4000\n-\n01 Dec 2026\n");
    }
    void TearDown() override {
        Network::Cancel();
        NeonFixture::TearDown();
    }
    std::size_t TicketRequests() const {
        std::size_t found = 0;
        for (const auto& request : Server.SeenRequests())
            if (request.Params.count("option") && request.Params.find("option")->second == "newgame") ++found;
        return found;
    }
    TestScoreServer Server;
};

TEST_F(TicketsTest, FetchedOnlyIntoAnEmptyQueueAndDroppedWhenASyncBegins) {
    Network::Send(2, "Kestrovar_scores.php?option=getscore&nbscore=10", 1, 0);
    AskForTicket();
    EXPECT_FALSE(FetchingTicket()) << "the queue was not empty";
    EXPECT_EQ(Network::GetNumberOfCommandsInQueue(), 1);
    PumpUntil([] {
        Network::Update();
        return Network::GetNumberOfCommandsInQueue() == 0;
    });
    EXPECT_FALSE(FetchingTicket());
    Network::Receive(2);
    PumpTickets(); // the next frame finds the queue empty
    EXPECT_TRUE(FetchingTicket());
    PumpUntilFetched();
    EXPECT_TRUE(HoldingTicket());
    EXPECT_EQ(TicketRequests(), 1u);

    // A fetch the server never answers is set aside when the sync begins: the sync is answered as ever instead of
    // waiting out the fetch's time-out behind it and then failing with the server taken for silent.
    int seed = 0;
    std::string ticket;
    ASSERT_TRUE(TakeFreshTicket(seed, ticket));
    Server.OnOption("newgame", Server.Held());
    AskForTicket();
    PumpUntil([&] { return TicketRequests() == 2; }); // on the wire
    Fight.Score = 0;
    TurnScreen(OpenSync(Fight));
    EXPECT_EQ(TheSettings.OnlineNames[0], "ace");
    EXPECT_FALSE(FetchingTicket());
    EXPECT_FALSE(HoldingTicket());
    EXPECT_EQ(Network::GetNumberOfCommandsInQueue(), 0);
}

TEST_F(TicketsTest, AFreshTicketSeedsOneGameAndGoesWithItsScriptAndAStaleOneIsNotUsed) {
    AskForTicket();
    PumpUntilFetched();
    BeginKeptGame(Fight);
    EXPECT_EQ(RndSeed(), 424242);
    for (int frame = 0; frame < 3; ++frame) ShowKeptFrame(Fight);
    EndKeptGame();
    ReplayScript kept = KeptScript();
    EXPECT_EQ(kept.Seed, 424242);
    EXPECT_EQ(kept.Ticket, TestScoreServer::TicketFor(424242));
    EXPECT_TRUE(FetchingTicket()) << "the next game's ticket is asked for as the game ends";

    // A ticket is used once: the game after, started before the next one came, is seeded as ever and has none.
    int seed = RndSeed();
    PlayAGame(Fight);
    EXPECT_EQ(KeptScript().Seed, seed);
    EXPECT_TRUE(KeptScript().Ticket.empty());

    // Half an hour on, the held ticket is renewed; fifty minutes after the renewal it is stale and not used.
    PumpUntilFetched();
    ASSERT_TRUE(HoldingTicket());
    Delay(30 * MinuteMs);
    PumpTickets();
    PumpUntilFetched();
    EXPECT_EQ(TicketRequests(), 3u);
    Delay(50 * MinuteMs);
    PlayAGame(Fight);
    EXPECT_NE(KeptScript().Seed, 424244);
    EXPECT_TRUE(KeptScript().Ticket.empty());
    EXPECT_FALSE(HoldingTicket());
}
