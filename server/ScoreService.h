// The score server's requests, free of HTTP: a script name, a raw query and a body in, a status and the reply's
// lines out; and the board as a web page at the root. Every refusal is a non-200 status with one "error: ..." line,
// which the game reads as a bad state.
#pragma once
#include "core/ScoreProtocol.h"
#include "server/AddressRateLimiter.h"
#include "server/BoardCache.h"
#include "server/GameTicket.h"
#include "server/PlayPages.h"
#include "server/ScoreStore.h"
#include "server/VerifierPool.h"
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace ScoreServer {

struct ServiceSettings {
    std::string Key;
    std::size_t MaxQueryLength = 1024;
    std::size_t MaxParameters = 12;
    std::size_t MaxBodyBytes = ScoreProtocol::MostGameBytes;
    double RatePerSecond = 10;
    double RateBurst = 20;
    // How long an upload's request waits for its check before it answers "accepted" (the component gives up
    // after 10 seconds).
    double VerifyWaitSeconds = 4;
    // The public reads are answered from memory and read again this often, for what other servers sharing the
    // database store (0: only when this server stores a game, which shows at once).
    double RenewBoardsSeconds = 0;
    // New games (tickets) per minute per client prefix (IPv4 /24, IPv6 /56), and how many at once; off when the
    // per-address rate limit is off (behind a proxy every client has the proxy's address).
    double NewGamesPerMinute = 1;
    double NewGamesBurst = 5;
    // Games one client prefix may send to be checked a day (the board's storage is bounded by it and by the rows
    // each board keeps); 0: no quota.
    double UploadsPerDay = 200;
    // Each board keeps its best rows and each name's best; the rest go as better games come.
    int BoardRows = 10'000;
    // Bytes of games (getgame, as sent) one client prefix may fetch a minute; 0: no budget.
    double GameBytesPerMinute = 4 << 20;
    // The site's public address ("https://example.org/kestrovar/"), for the link previews of its web pages; empty:
    // the one the trusted proxy names, if any.
    std::string PublicAddress;
    // The browser build's folder (tools/web.sh's build/web), served at play/ with a watch link on every game of the
    // pages; empty: neither.
    std::string PlayFolder;
    VerifierSettings Verifier;
    // The clock tickets are dealt and checked by (seconds since 1970) and where new games' seeds come from; empty:
    // the system's clock and OpenSSL's random bytes. The tests set their own.
    std::function<std::int64_t()> WallClock;
    std::function<std::uint32_t()> SeedSource;
};

// A ticketed game's upload is taken within this long of its ticket's issue.
constexpr std::int64_t TicketLifeSeconds = 24 * 60 * 60;
// A game's frames are played at 60 a second; an upload may come this much sooner than that since its ticket's
// issue (a display a little faster than 60 Hz, servers sharing a board whose clocks differ a little).
constexpr double GameFramesPerSecond = ScoreProtocol::GameFramesPerSecond;
constexpr double RealTimeSlackFraction = 0.02;
constexpr double RealTimeSlackSeconds = 5;

constexpr const char* PlainTextType = "text/plain; charset=utf-8";
constexpr const char* HtmlType = "text/html; charset=utf-8";

struct Reply {
    int Status = 200;
    std::string Body;
    std::string LogNote; // for the server's log only: why storage failed
    const char* ContentType = PlainTextType;
    const char* ContentEncoding = nullptr; // "gzip" or "deflate" when the body is compressed so
};

// An upload whose check runs on after its request tires of waiting: the board shows the game once it is checked.
Reply AcceptedAnswer();
// A refusal: its status and its one line, "error: WHY".
Reply RefusalAnswer(int status, std::string_view why);

constexpr int MaxListedScores = 100;
constexpr int MaxListedVersions = 100;

class ScoreService {
  public:
    // steadyClock: seconds, for the rate limit.
    ScoreService(ScoreStore& store, ServiceSettings settings, std::function<double()> steadyClock = {});
    ~ScoreService();
    // path: the request path (its last segment names the script); rawQuery: the text after '?', as sent; body: an
    // upload's game script.
    // Whether Handle answers this query from memory, never waiting on storage (a read of a board held, or a query
    // refused before storage); the HTTP front answers the others, and every POST, away from its event loops.
    bool AnswersFromMemory(std::string_view path, std::string_view rawQuery);
    // How long an upload waits for its check before it is answered "accepted".
    double VerifyWaitSeconds() const { return Settings.VerifyWaitSeconds; }
    // acceptEncoding: the request's Accept-Encoding, for a game's script sent compressed.
    // later: where an upload that waits on its check is answered, so that no thread waits with it. Given, Handle
    // answers such an upload with Status 0 (nothing yet) and calls `later` once, from a checker's thread, with the
    // outcome; the caller answers "accepted" when it tires of waiting. Without it, Handle waits up to the setting.
    using Later = std::function<void(const Reply&)>;
    // forwardedBase: the site's public address as the trusted proxy named it ("https://host/"), empty for none; the
    // public address setting goes before it.
    Reply Handle(std::string_view path, std::string_view rawQuery, const std::string& address,
                 std::string_view body = {}, std::string_view acceptEncoding = {}, const Later& later = {},
                 std::string_view forwardedBase = {});

  private:
    // One check in flight, shared by every request for the same game while it runs.
    struct PendingCheck {
        std::mutex Mutex;
        std::condition_variable Settled;
        bool Done = false;
        Reply Outcome;
        std::vector<Later> Waiters; // answered with the outcome once it is in
    };
    // What a ticketed upload brings to its check: the ticket's hash and what it binds, and when the upload came.
    struct TicketCheck {
        std::string Hash;
        IssuedTicket Issued;
        std::int64_t UploadedAt = 0;
    };
    Reply NewGame(const std::string& address);
    Reply Upload(const ScoreEntry& claim, TicketedScript upload, const std::string& address, const Later& later);
    Reply Settle(ScoreEntry claim, const std::string& id, const TicketCheck& ticket, const std::string& script,
                 const ReplayVerdict& verdict);
    // The reply to an upload of a game the board has: renamed by its owner's ticket, or known.
    Reply KnownGameReply(const KnownGame& known, const ScoreEntry& claim, const std::string& id,
                         const std::string& ticketHash);

    ScoreStore& Store;
    ServiceSettings Settings;
    std::function<double()> SteadyClock;
    std::string Secret; // the board's, shared by every server of the board: tickets are made and read with it
    AddressRateLimiter Limiter;
    AddressRateLimiter NewGameLimiter; // by client prefix
    AddressRateLimiter UploadQuota;    // by client prefix
    AddressRateLimiter GameBytes;      // by client prefix
    BoardCache Boards;
    PlayPages Play;
    std::mutex PendingMutex;
    std::map<std::string, std::shared_ptr<PendingCheck>> Pending;
    std::unique_ptr<VerifierPool> Verifier; // last: stopped first, while everything its checks use is still here
};

} // namespace ScoreServer
