// The score server's HTTP side on libmicrohttpd's epoll loops: many idle or slow connections held cheaply and each
// bounded, GETs and POSTs handed to the score service, one log line per request, a stop that finishes what it took.
#pragma once
#include "server/AddressRateLimiter.h"
#include "server/ScoreService.h"
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <vector>

struct MHD_Connection;

namespace ScoreServer {

struct FrontSettings {
    int Threads = 4; // event loops, each with its own epoll set
    // Answer the requests that may wait on storage, off the event loops. An upload waiting on its check holds none
    // (its connection is set aside until the check ends or its wait does).
    int Workers = 64;
    std::size_t MaxWaiting = 256;   // such requests waiting for a worker; past that, 503 at once
    unsigned MaxConnections = 1000; // in all
    unsigned ConnectionsPerAddress = 16;
    int HeaderSeconds = 5;            // from a connection's start, or its previous reply, to a request's last header
    int BodySeconds = 20;             // from the last header to the last byte of the body
    int IdleSeconds = 5;              // a keep-alive connection with nothing to do, or a client that stops reading
    double ConnectionsPerSecond = 10; // new connections per second per address; 0 for no limit
    double ConnectionBurst = 20;
    // Proxies in front of the server (nginx): from them the client is the one their forwarding header names, and
    // they are held to no per-address connection cap (they keep those per client themselves). Numeric addresses.
    std::vector<std::string> TrustedProxies;
    bool LogRequests = true; // one line a request; the load benchmark turns it off, as nginx's access log is
};

// An address as the server writes it: IPv4 in dotted form (an IPv4-mapped IPv6 address too), IPv6 as inet_ntop
// writes it; nothing for a text that is not a numeric address.
std::optional<std::string> CanonicalAddress(std::string_view text);
// The site's public address from a trusted proxy's X-Forwarded-Host and X-Forwarded-Proto ("https://host/"); empty
// when the host is missing or is not a plain host name or address.
std::string ForwardedBase(const char* host, const char* scheme);
// The client behind a trusted proxy: the nearest address of the X-Forwarded-For list that is not itself a trusted
// proxy, else X-Real-IP, else the proxy itself (a header that names no address is ignored).
std::string ForwardedClient(const std::string& proxy, const char* forwardedFor, const char* realIp,
                            const std::unordered_set<std::string>& trusted);

// A replay upload fits with room to spare; anything larger is refused before it is read.
constexpr std::size_t MaxRequestBody = ScoreProtocol::MostGameBytes;

class EventFront {
  public:
    EventFront(ScoreService& service, FrontSettings settings, std::FILE* log);
    ~EventFront();
    // The port bound (the one asked for, or a free one for port 0), or -1 when the address cannot be bound.
    int Bind(const std::string& host, int port);
    // Serves until Stop; returns once every request taken has been answered (or the stop's grace has passed).
    bool Run();
    void Stop();

    struct Watched;
    struct Request;
    struct Deferred;

  private:
    friend struct FrontCallbacks; // libmicrohttpd's callbacks, in EventFront.cpp
    Reply Compute(Request& request);
    int Answer(MHD_Connection* connection, Request& request);
    bool HandOver(MHD_Connection* connection, Request& request);
    void Work();
    void CutLateConnections();
    // An upload waiting on its check holds no worker: answered once, by its check's end or by the sweep at its
    // deadline ("accepted"), whichever comes first; at a stop, every one still waiting.
    void AnswerDeferred(Deferred& waiting, const Reply& reply);
    void AnswerLateDeferred(bool all);

    ScoreService& Service;
    FrontSettings Settings;
    std::FILE* Log;
    AddressRateLimiter ConnectionLimiter;
    std::unordered_set<std::string> Trusted;
    std::map<std::string, unsigned> OpenByAddress; // under WatchMutex: a cap of our own, which proxies are spared
    int ListenSocket = -1;

    std::mutex WatchMutex; // the open connections, for the deadline sweep
    std::unordered_set<Watched*> Open;

    struct Job {
        MHD_Connection* Connection;
        Request* Taken;
    };
    std::mutex JobMutex;
    std::condition_variable JobReady;
    std::deque<Job> Jobs;
    bool RefuseJobs = false; // stopping: what still waits is answered 503 without being run
    std::vector<std::thread> Workers;
    std::mutex DeferredMutex;
    std::vector<std::shared_ptr<Deferred>> Waiting;

    std::mutex StateMutex;
    std::condition_variable StateChanged;
    std::atomic<bool> StopAsked = false;
    std::atomic<int> InFlight = 0; // requests whose headers are in and whose reply is not yet out
};

} // namespace ScoreServer
