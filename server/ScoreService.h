// The score server's requests, free of HTTP: a script name and a raw query in, a status and the reply's lines out.
// Every refusal is a non-200 status with one "error: ..." line, which the game reads as a bad state.
#pragma once
#include "server/AddressRateLimiter.h"
#include "server/BoardCache.h"
#include "server/NonceCache.h"
#include "server/ScoreStore.h"
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ScoreServer {

struct ServiceSettings {
    std::string Key;
    std::size_t MaxQueryLength = 1024;
    std::size_t MaxParameters = 12;
    double RatePerSecond = 10;
    double RateBurst = 20;
    std::int64_t StampWindowSeconds = 300;
    std::size_t MaxNonces = 500'000;
    double RenewBoardsSeconds = 0; // the public reads are read again this often (0: only when a score is stored)
};

struct Reply {
    int Status = 200;
    std::string Body;
    std::string LogNote; // for the server's log only: why storage failed
};

constexpr int MaxListedScores = 100;
constexpr int MaxListedVersions = 100;

class ScoreService {
  public:
    // wallClock: Unix seconds, for the time stamps; steadyClock: seconds, for the rate limit.
    ScoreService(ScoreStore& store, ServiceSettings settings, std::function<std::int64_t()> wallClock = {},
                 std::function<double()> steadyClock = {});
    // path: the request path (its last segment names the script); rawQuery: the text after '?', as sent.
    // Whether Handle answers this query from memory, never waiting on storage (a read of a board held, or a query
    // refused before storage); the HTTP front answers the others, and every POST, away from its event loops.
    bool AnswersFromMemory(std::string_view rawQuery);
    Reply Handle(std::string_view path, std::string_view rawQuery, const std::string& address,
                 std::string_view body = {});

  private:
    ScoreStore& Store;
    ServiceSettings Settings;
    std::function<std::int64_t()> WallClock;
    std::function<double()> SteadyClock;
    AddressRateLimiter Limiter;
    NonceCache Nonces;
    BoardCache Boards;
};

} // namespace ScoreServer
