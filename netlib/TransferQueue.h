// The requests, one at a time in the order they were sent, on libcurl's multi interface (or the page's fetch in the
// browser): queued by Send, moved on a little by each Update without ever waiting on the network, and finished into
// replies that wait to be received.
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
// A whole reply of another status that says why: its one line, "error: REASON", is kept (a 429 or 503 that says
// nothing of ours reads "error: busy"). Games that know only ReplyGood read it as any failure.
constexpr int ReplyRefused = 4;

// A blocked or silent server costs the player at most these; a request never outlives the second, counted from
// when the game sent it, its wait behind the requests before it included.
constexpr std::chrono::milliseconds ConnectTimeOut{3000};
constexpr std::chrono::milliseconds RequestTimeOut{10000};
// After a request has timed out, the same server is not waited on again for this long: requests that come to their
// turn meanwhile fail at once. A sync followed by its version check then keeps the player waiting one time-out.
constexpr std::chrono::milliseconds RestAfterTimeOut{10000};
// More requests than any game sends; beyond it a request fails at once rather than piling up.
constexpr std::size_t MostRequestsInFlight = 1000;
// Connections libcurl keeps open to the server; with one transfer at a time, one is ever busy.
constexpr long MostConnections = 8;
// Finished replies nobody received: the oldest go when there are more than this.
constexpr std::size_t MostWaitingReplies = 64;
// A POST body far beyond the longest kept game is not one of ours: it fails at once.
constexpr std::size_t MostRequestBodyBytes = 16 * 1024 * 1024;

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

    // Queues a GET of the URL, answered later as the given command.
    void Send(int command, const std::string& url);
    // Queues a POST of the body (text/plain) to the URL, answered later as the given command.
    void SendPost(int command, const std::string& url, const std::string& body);
    // Lets the transfer in flight progress as far as it can without waiting, files it when it is done and starts the
    // next one in line.
    void Update();
    // Every request sent and not yet finished: the one in flight and those waiting their turn.
    int InFlight() const;
    // Hands out the oldest finished reply to that command; false when there is none yet.
    bool Take(int command, Reply& reply);
    // Drops every request, in flight or waiting, and every reply not yet received.
    void Cancel();
    // A new server: what the old one did no longer counts against it.
    void ForgetTimeOuts();

    struct Transfer;

  private:
    void Queue(std::unique_ptr<Transfer> transfer);
    void FinishRefused();
    void StartNext();
    void Finish(Transfer& transfer, bool good, const std::string& body, long status = 0);
    void DropCurrent();

    void* Multi = nullptr;             // CURLM; unused in the browser
    std::unique_ptr<Transfer> Current; // the one request on the wire
    std::deque<std::unique_ptr<Transfer>> Line;
    std::vector<int> Refused; // commands of requests turned away at Send, failed at the next Update
    std::deque<Reply> Waiting;
    std::chrono::steady_clock::time_point RestUntil{};
};

} // namespace Net
