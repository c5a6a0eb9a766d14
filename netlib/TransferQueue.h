// The requests in flight, on libcurl's multi interface: started by Send, moved on a little by each Update without
// ever waiting on the network, and finished into replies that wait to be received.
#pragma once
#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace Net {

constexpr int ReplyNone = 0; // nothing received yet
constexpr int ReplyGood = 2; // a whole HTTP 200 reply within the limits
constexpr int ReplyBad = 3;  // anything else: no connection, a time-out, another status, a cut or oversized body

// A blocked or silent server costs the player at most these; a request never outlives the second.
constexpr std::chrono::milliseconds ConnectTimeOut{3000};
constexpr std::chrono::milliseconds RequestTimeOut{10000};
// After a request has timed out, the same server is not waited on again for this long: requests sent meanwhile
// fail at the next Update. A sync followed by its version check then keeps the player waiting one time-out, not two.
constexpr std::chrono::milliseconds RestAfterTimeOut{10000};
// More requests than any game sends; beyond it a request fails at once rather than piling up.
constexpr std::size_t MostRequestsInFlight = 1000;
// Connections opened at once to the server; further requests wait their turn inside libcurl.
constexpr long MostConnections = 8;
// Finished replies nobody received: the oldest go when there are more than this.
constexpr std::size_t MostWaitingReplies = 64;

struct Reply {
    int Command = 0;
    int State = ReplyNone;
    std::vector<std::string> Lines;
};

class TransferQueue {
  public:
    TransferQueue();
    ~TransferQueue();
    TransferQueue(const TransferQueue&) = delete;
    TransferQueue& operator=(const TransferQueue&) = delete;

    // Starts a GET of the URL, answered later as the given command.
    void Send(int command, const std::string& url);
    // Lets every transfer progress as far as it can without waiting, and files the finished ones.
    void Update();
    int InFlight() const { return static_cast<int>(Transfers.size()); }
    // Hands out the oldest finished reply to that command; false when there is none yet.
    bool Take(int command, Reply& reply);
    // Drops every transfer in flight and every reply not yet received.
    void Cancel();
    // A new server: what the old one did no longer counts against it.
    void ForgetTimeOuts();

    struct Transfer;

  private:
    void Finish(Transfer& transfer, bool good, const std::string& body);
    void Remove(Transfer* transfer);

    void* Multi = nullptr; // CURLM
    std::vector<std::unique_ptr<Transfer>> Transfers;
    std::deque<Reply> Waiting;
    std::chrono::steady_clock::time_point RestUntil{};
};

} // namespace Net
