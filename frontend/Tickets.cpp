// Fetching, holding and handing out the server's tickets. The fetch never stands in the player's way: it is sent
// only while nothing else is in the component's queue, moved on a frame at a time, and dropped when the game is
// about to wait on the queue for something else.
#include "Tickets.h"
#include "KeptGames.h"
#include "Network.h"
#include "core/ScoreProtocol.h"
#include "game/replay/ReplayScript.h"
#include "platform/Time.h"
#include <sstream>

namespace {
constexpr int TicketCommand = 3; // apart from the sync's upload (1) and its lists (2)
constexpr int GoodReply = 2;
const std::string TicketQuery = ScoreProtocol::Request(ScoreProtocol::ScoresScript, ScoreProtocol::NewGameOption);

constexpr int MinuteMs = 60 * 1000;
// The server takes a ticket for an hour after it issued it; the game takes one only well inside that, so a ticket
// that was slow to arrive or a clock that runs a little fast never costs the player a ranked game.
constexpr int FreshForMs = 50 * MinuteMs;
// A ticket this old is fetched anew, so a player who waits at the menu still starts with a fresh one.
constexpr int RenewAfterMs = 30 * MinuteMs;
// A fetch that failed is tried again no sooner than this: the server answers each player about once a minute.
constexpr int RetryAfterMs = MinuteMs;

struct TicketState {
    bool Held = false;
    int Seed = 0;
    std::string Ticket;
    int HeldSince = 0;     // MilliSecs when it arrived
    bool Wanted = false;   // asked for, and waiting for the queue to empty
    bool Fetching = false; // in the component's queue
    bool Failed = false;   // the last fetch brought no ticket
    int TriedAt = 0;
};
TicketState State;

// Only the player's own run fetches tickets: a replay, a watched game or a test without a component never does.
bool Active() { return Network::ComponentLoaded() && KeepingPlayerGames(); }

int HeldFor() { return MilliSecsBetween(State.HeldSince, MilliSecs()); }

// "seed N" and "ticket T", in either order; false when either is missing or malformed.
bool ReadTicketReply(int& seed, std::string& ticket) {
    bool haveSeed = false, haveTicket = false;
    for (int line = 1; line <= Network::GetNbOfLines(); ++line) {
        std::istringstream words(Network::GetResult(line));
        std::string key, value, extra;
        if (!(words >> key >> value) || (words >> extra)) continue;
        if (key == ScoreProtocol::SeedLineWord) haveSeed = ParseSeedText(value, seed);
        if (key == ScoreProtocol::TicketLineWord) {
            haveTicket = IsTicketText(value);
            ticket = value;
        }
    }
    return haveSeed && haveTicket;
}

// The fetch's reply, when it has come; a fetch the queue no longer holds and no reply answered was lost.
void TakeReply() {
    if (Network::Receive(TicketCommand) != 0) {
        int seed = 0;
        std::string ticket;
        State.Fetching = false;
        State.Failed = !(Network::GetState() == GoodReply && ReadTicketReply(seed, ticket));
        if (State.Failed) return;
        State.Held = true;
        State.Seed = seed;
        State.Ticket = ticket;
        State.HeldSince = MilliSecs();
        return;
    }
    if (Network::GetNumberOfCommandsInQueue() == 0) {
        State.Fetching = false;
        State.Failed = true;
    }
}

void FetchWhenFree() {
    if (!State.Wanted || State.Fetching || Network::GetNumberOfCommandsInQueue() != 0) return;
    Network::Send(TicketCommand, TicketQuery, 1, 0);
    State.Wanted = false;
    State.Fetching = true;
    State.TriedAt = MilliSecs();
}

bool RenewalDue() {
    bool tooOld = State.Held ? HeldFor() >= RenewAfterMs || HeldFor() < 0 : State.Failed;
    return tooOld && MilliSecsBetween(State.TriedAt, MilliSecs()) >= RetryAfterMs;
}
} // namespace

void AskForTicket() {
    // A fetch on the wire is the answer already, and a young ticket needs none.
    if (!Active() || State.Fetching || (State.Held && HeldFor() >= 0 && HeldFor() < RenewAfterMs)) return;
    State.Wanted = true;
    FetchWhenFree();
}

void PumpTickets() {
    if (!Active()) return;
    if (State.Fetching) {
        Network::Update();
        TakeReply();
    }
    if (State.Fetching) return;
    if (RenewalDue()) State.Wanted = true;
    FetchWhenFree();
}

void SetTicketFetchAside() {
    if (!State.Fetching || !Network::ComponentLoaded()) return;
    Network::Update();
    TakeReply();
    if (!State.Fetching) return;
    // Only the fetch is in the queue (it is sent into an empty one and the game waits on nothing meanwhile).
    Network::Cancel();
    State.Fetching = false;
    State.Failed = true;
}

bool TakeFreshTicket(int& seed, std::string& ticket) {
    if (!State.Held) return false;
    int age = HeldFor();
    bool fresh = age >= 0 && age < FreshForMs;
    if (fresh) {
        seed = State.Seed;
        ticket = State.Ticket;
    }
    State.Held = false;
    State.Ticket.clear();
    return fresh;
}

bool HoldingTicket() { return State.Held; }
bool FetchingTicket() { return State.Fetching; }

void ResetTickets() { State = TicketState{}; }
