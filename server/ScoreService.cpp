// The three requests the game makes and every check in front of them, cheapest first: the rate limit and the
// sizes before any parsing, the signature before the game's hash, the hash before a replay is played.
#include "server/ScoreService.h"
#include "core/ScoreProtocol.h"
#include "server/CanonicalScript.h"
#include "server/ClientPrefix.h"
#include "server/GameArchive.h"
#include "server/QueryString.h"
#include "server/RequestSignature.h"
#include "server/ScoreRules.h"
#include "server/WebPage.h"
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>

namespace ScoreServer {

using namespace ScoreProtocol;

namespace {
constexpr std::size_t NonceLength = 16;
constexpr std::size_t MaxStampDigits = 12;
constexpr std::size_t GameHashLength = 64;
// The parameters any request may end with: the game signs every one.
constexpr std::initializer_list<std::string_view> Signing = {StampParameter, NonceParameter, SignatureParameter};

using Parameters = std::map<std::string, std::string, std::less<>>;

Reply Refuse(int status, std::string_view reason) { return RefusalAnswer(status, reason); }

bool IsLowerHex(std::string_view text, std::size_t length) {
    if (text.size() != length) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

// Every parameter the request must carry is there, and none other than the optional ones.
bool HasExactly(const Parameters& parameters, std::initializer_list<std::string_view> required,
                std::initializer_list<std::string_view> optional = {}) {
    std::size_t present = 0;
    for (std::string_view name : required)
        if (parameters.count(name))
            ++present;
        else
            return false;
    for (std::string_view name : optional)
        if (parameters.count(name)) ++present;
    return present == parameters.size();
}

// A parameter's value, empty when it is absent.
const std::string& Get(const Parameters& parameters, std::string_view name) {
    static const std::string Absent;
    auto found = parameters.find(name);
    return found == parameters.end() ? Absent : found->second;
}

// Whether an Accept-Encoding names this coding without refusing it (";q=0").
bool Accepts(std::string_view header, std::string_view coding) {
    for (std::size_t start = 0; start < header.size();) {
        std::size_t end = std::min(header.find(',', start), header.size());
        std::string_view item = header.substr(start, end - start);
        start = end + 1;
        while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
        std::string_view name = item.substr(0, item.find_first_of("; "));
        if (name != coding) continue;
        std::size_t q = item.find("q=");
        return q == std::string_view::npos || item.substr(q + 2).find_first_not_of("0.") != std::string_view::npos;
    }
    return false;
}

double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::int64_t UnixSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

constexpr double SecondsPerMinute = 60;
constexpr double SecondsPerDay = 24 * 60 * 60;

// The answers to an upload that stores nothing and refuses nothing: the game reads the first line as a note.
Reply Note(std::string_view line) { return {200, std::string(line) + "\n", {}}; }
} // namespace

Reply AcceptedAnswer() { return {202, std::string(AcceptedReply) + "\n", {}}; }

Reply RefusalAnswer(int status, std::string_view why) { return {status, Refusal(why) + "\n", {}}; }

ScoreService::ScoreService(ScoreStore& store, ServiceSettings settings, std::function<double()> steadyClock)
    : Store(store), Settings(std::move(settings)), SteadyClock(steadyClock ? steadyClock : SteadySeconds),
      Secret(store.ServerSecret(NewServerSecret())), Limiter(Settings.RatePerSecond, Settings.RateBurst),
      NewGameLimiter(Settings.RatePerSecond > 0 ? Settings.NewGamesPerMinute / SecondsPerMinute : 0,
                     Settings.NewGamesBurst),
      UploadQuota(Settings.UploadsPerDay / SecondsPerDay, Settings.UploadsPerDay),
      GameBytes(Settings.GameBytesPerMinute / SecondsPerMinute, Settings.GameBytesPerMinute),
      Boards(store, std::max(MaxListedScores, MaxListedVersions), Settings.RenewBoardsSeconds,
             !Settings.PlayFolder.empty()),
      Verifier(std::make_unique<VerifierPool>(Settings.Verifier)) {
    if (!Settings.WallClock) Settings.WallClock = UnixSeconds;
    if (!Settings.SeedSource) Settings.SeedSource = NewGameSeed;
    // Start-up checked the files are there; one gone since leaves play/ unserved rather than the board down.
    std::string error;
    if (!Settings.PlayFolder.empty() && !Play.Load(Settings.PlayFolder, error))
        std::fprintf(stderr, "%s\n", error.c_str());
}

ScoreService::~ScoreService() = default;

bool ScoreService::AnswersFromMemory(std::string_view path, std::string_view rawQuery) {
    if (Play.Find(path)) return true;
    if (IsWebPagePath(path)) return Boards.Holds(WebPageBoard);
    auto parsed = rawQuery.size() <= Settings.MaxQueryLength ? ParseQuery(rawQuery) : std::nullopt;
    if (!parsed) return true; // refused at once
    std::string option, board;
    for (const QueryParameter& parameter : *parsed)
        if (parameter.Name == OptionParameter)
            option = parameter.Value;
        else if (parameter.Name == BoardParameter)
            board = parameter.Value;
    if (option == GetScoreOption) return Boards.Holds(board);
    if (option == GetVersionOption) return Boards.HoldsVersions();
    if (option == GetGameOption) return false;
    return option != AddScoreOption; // anything else is refused before storage
}

Reply ScoreService::Handle(std::string_view path, std::string_view rawQuery, const std::string& address,
                           std::string_view body, std::string_view acceptEncoding, const Later& later,
                           std::string_view forwardedBase) {
    std::string_view publicBase = Settings.PublicAddress.empty() ? forwardedBase : Settings.PublicAddress;
    if (!Limiter.Allow(address, SteadyClock())) return Refuse(429, "too many requests");
    if (rawQuery.size() > Settings.MaxQueryLength) return Refuse(414, "query too long");
    if (body.size() > Settings.MaxBodyBytes) return Refuse(413, "game too large");

    if (const PlayFile* file = Play.Find(path)) {
        bool gzip = !file->Packed.empty() && Accepts(acceptEncoding, "gzip");
        return {200, gzip ? file->Packed : file->Body, {}, file->ContentType, gzip ? "gzip" : nullptr};
    }
    if (IsWebPagePath(path)) {
        try {
            WebReply page = Boards.Pages(WebPageBoard)->Answer(path, rawQuery, publicBase);
            return {page.Status, std::move(page.Body), {}, page.ContentType};
        } catch (const StoreError& error) {
            return {503, Refusal("storage unavailable") + "\n", error.what()};
        }
    }
    std::string_view script = path.substr(path.rfind('/') + 1);
    if (script != ScoresScript && script != VersionScript) return Refuse(404, "no such script");

    auto parsed = ParseQuery(rawQuery);
    if (!parsed) return Refuse(400, "malformed query");
    if (parsed->size() > Settings.MaxParameters) return Refuse(400, "too many parameters");
    Parameters parameters;
    for (QueryParameter& parameter : *parsed)
        if (!parameters.emplace(std::move(parameter.Name), std::move(parameter.Value)).second)
            return Refuse(400, "repeated parameter");
    const std::string& option = Get(parameters, OptionParameter);

    try {
        // Reads are public: a signed one (the game signs everything) is answered the same, its signature unread.
        if (script == VersionScript) {
            if (option != GetVersionOption || !HasExactly(parameters, {OptionParameter, CountParameter}, Signing))
                return Refuse(400, "unknown request");
            auto count = ParseCount(Get(parameters, CountParameter));
            if (!count || *count < 1 || *count > MaxListedVersions) return Refuse(400, "bad nbscore");
            return {200, Boards.VersionText(static_cast<int>(*count)), {}};
        }
        if (option == GetScoreOption) {
            if (!HasExactly(parameters, {OptionParameter, CountParameter},
                            {BoardParameter, StampParameter, NonceParameter, SignatureParameter}))
                return Refuse(400, "unknown request");
            auto count = ParseCount(Get(parameters, CountParameter));
            if (!count || *count < 1 || *count > MaxListedScores) return Refuse(400, "bad nbscore");
            const std::string& board = Get(parameters, BoardParameter);
            if (!IsBoardName(board)) return Refuse(400, "bad difficulty");
            return {200, Boards.TopText(board, static_cast<int>(*count)), {}};
        }
        if (option == GetGameOption) {
            // A game of the board, public as the board is: its script as it was uploaded.
            if (!HasExactly(parameters, {OptionParameter, GameParameter}, Signing))
                return Refuse(400, "unknown request");
            const std::string& game = Get(parameters, GameParameter);
            if (!IsLowerHex(game, GameHashLength)) return Refuse(400, "bad game");
            auto kept = Store.GameScript(game);
            if (!kept) return Refuse(404, "no such game");
            // Compressed when the client takes it (a script is mostly digits and a few words: a fifth or less),
            // and within the client network's bytes a minute.
            Reply reply{200, std::move(*kept), {}};
            bool gzip = Accepts(acceptEncoding, "gzip");
            if (gzip || Accepts(acceptEncoding, "deflate")) {
                std::string packed = CompressForHttp(reply.Body, gzip);
                if (!packed.empty()) {
                    reply.Body = std::move(packed);
                    reply.ContentEncoding = gzip ? "gzip" : "deflate";
                }
            }
            if (!GameBytes.Allow(ClientPrefix(address), SteadyClock(), static_cast<double>(reply.Body.size())))
                return Refuse(429, "the minute's game downloads from this network are spent");
            return reply;
        }
        if (option == NewGameOption) {
            if (!HasExactly(parameters, {OptionParameter}, Signing)) return Refuse(400, "unknown request");
            return NewGame(address);
        }
        if (option != AddScoreOption) return Refuse(400, "unknown request");

        // An upload. A ticketed game needs no signature: its ticket proves it. Older builds sign theirs (the
        // signature covers the game's hash), and a signature sent is checked as it always was, though not for its
        // time stamp, so that a client whose clock is off still syncs.
        if (body.empty()) return Refuse(400, "an upload needs its game: there is no replay to check");
        if (parameters.count(SignatureParameter)) {
            auto signedQuery = SplitSignature(rawQuery);
            if (!signedQuery) return Refuse(403, "missing or malformed signature");
            const std::string& stampText = Get(parameters, StampParameter);
            auto stamp = stampText.size() <= MaxStampDigits ? ParseCount(stampText) : std::nullopt;
            if (!stamp || !IsLowerHex(Get(parameters, NonceParameter), NonceLength))
                return Refuse(403, "missing or malformed time stamp or nonce");
            if (!SignatureMatches(Settings.Key, script, *signedQuery)) return Refuse(403, "bad signature");
        }
        if (!HasExactly(parameters,
                        {OptionParameter, UserParameter, LevelParameter, ScoreParameter, DateParameter, BoardParameter},
                        {GameParameter, StampParameter, NonceParameter, SignatureParameter}))
            return Refuse(400, "unknown request");
        ScoreEntry claim;
        auto name = CheckedName(Get(parameters, UserParameter));
        if (!name) return Refuse(400, "bad name");
        auto level = ParseCount(Get(parameters, LevelParameter));
        if (!level) return Refuse(400, "bad level");
        auto score = ParseCount(Get(parameters, ScoreParameter), true); // the game sends a space after the score
        if (!score) return Refuse(400, "bad score");
        if (std::string broken = ScoreRuleBroken(*level, *score); !broken.empty()) return Refuse(400, broken);
        if (!IsGameDate(Get(parameters, DateParameter))) return Refuse(400, "bad date");
        if (!IsBoardName(Get(parameters, BoardParameter))) return Refuse(400, "bad difficulty");
        // The hash of the body as sent, where the component names it: a game altered on the way is refused.
        if (parameters.count(GameParameter)) {
            const std::string& game = Get(parameters, GameParameter);
            if (!IsLowerHex(game, GameHashLength)) return Refuse(400, "bad game hash");
            if (Sha256Hex(body) != game) return Refuse(400, "the body is not the game the query names");
        }
        TicketedScript upload = SplitTicket(body);
        if (upload.Malformed) return Refuse(400, "a game holds at most one ticket line, \"ticket T\"");
        claim.Board = Get(parameters, BoardParameter);
        claim.Name = *name;
        claim.Level = *level;
        claim.Score = *score;
        claim.Date = Get(parameters, DateParameter);
        return Upload(claim, std::move(upload), address, later);
    } catch (const StoreError& error) {
        Reply reply = Refuse(503, "storage unavailable");
        reply.LogNote = error.what();
        return reply;
    }
}

Reply ScoreService::NewGame(const std::string& address) {
    // A ticket costs nothing to make, but every one is a game someone may search offline: few a network.
    if (!NewGameLimiter.Allow(ClientPrefix(address), SteadyClock())) return Refuse(429, "too many new games");
    std::uint32_t seed = Settings.SeedSource();
    return {200,
            std::string(SeedLineWord) + " " + std::to_string(seed) + "\n" + std::string(TicketLineWord) + " " +
                MakeTicket(Secret, seed, Settings.WallClock()) + "\n",
            {}};
}

Reply ScoreService::KnownGameReply(const KnownGame& known, const ScoreEntry& claim, const std::string& id,
                                   const std::string& ticketHash) {
    // Only the ticket's owner names the game again: a player who synced before choosing a name.
    if (!ticketHash.empty() && known.TicketHash == ticketHash && known.Name != claim.Name &&
        Store.RenameGame(id, ticketHash, claim.Name)) {
        Boards.Changed(known.Board);
        return Note(RenamedReply);
    }
    return Note(std::string(KnownReplyStart) + known.Name);
}

Reply ScoreService::Upload(const ScoreEntry& claim, TicketedScript upload, const std::string& address,
                           const Later& later) {
    // The board keeps, checks and names the game by what the checker reads of it: comments and padding are
    // neither stored nor a new game.
    upload.Script = CanonicalScript(upload.Script);
    std::string id = GameId(upload.Script);
    TicketCheck ticket;
    ticket.UploadedAt = Settings.WallClock();
    if (upload.Ticket) ticket.Hash = TicketHash(*upload.Ticket);
    if (auto known = Store.FindGame(id)) return KnownGameReply(*known, claim, id, ticket.Hash);
    if (!upload.Ticket) return Note(std::string(NotRankedReplyStart) + "played without the server's seed");

    // Cheapest first, all before the game is played: the ticket is ours, of this game's seed, not too old, and
    // not already the ticket of another game on the board.
    auto issued = ReadTicket(Secret, *upload.Ticket);
    if (!issued) return Refuse(403, "not a ticket of this server");
    if (ScriptSeed(upload.Script) != issued->Seed) return Refuse(403, "the ticket is for another seed");
    if (ticket.UploadedAt > issued->IssuedAt + TicketLifeSeconds) return Refuse(403, "the ticket has expired");
    if (Store.TicketGame(ticket.Hash)) return Refuse(409, "the ticket's game is already on the board");
    ticket.Issued = *issued;
    if (!UploadQuota.Allow(ClientPrefix(address), SteadyClock()))
        return Refuse(429, "the day's uploads from this network are spent");
    std::string body = std::move(upload.Script);
    if (!Verifier->Enabled()) return Refuse(503, "no replay checker");
    std::shared_ptr<PendingCheck> check;
    {
        // The same game sent again while its check runs waits for that check instead of starting another.
        std::lock_guard lock(PendingMutex);
        auto found = Pending.find(id);
        if (found != Pending.end()) {
            check = found->second;
        } else {
            check = std::make_shared<PendingCheck>();
            auto done = [this, check, claim, id, ticket](const ReplayVerdict& verdict, const std::string& script) {
                Reply outcome = Settle(claim, id, ticket, script, verdict);
                {
                    // Gone from the pending checks before any waiter is answered: a request sent after the answer
                    // (its ticket later, or the game now on the board) is weighed afresh, not given this outcome.
                    std::lock_guard pendingLock(PendingMutex);
                    Pending.erase(id);
                }
                std::vector<Later> waiters;
                {
                    std::lock_guard settledLock(check->Mutex);
                    check->Outcome = std::move(outcome);
                    check->Done = true;
                    waiters.swap(check->Waiters);
                }
                check->Settled.notify_all();
                for (const Later& waiter : waiters) waiter(check->Outcome);
            };
            if (!Verifier->Submit(std::move(body), address, done)) return Refuse(UnavailableStatus, BusyReason);
            Pending.emplace(id, check);
        }
    }
    std::unique_lock lock(check->Mutex);
    if (later) {
        if (check->Done) return check->Outcome;
        check->Waiters.push_back(later);
        return {0, {}, {}};
    }
    auto wait = std::chrono::duration<double>(Settings.VerifyWaitSeconds);
    if (!check->Settled.wait_for(lock, wait, [&] { return check->Done; })) return AcceptedAnswer();
    return check->Outcome;
}

// Runs on a verifier thread once the replay is played: the board takes what the replay produced, and only when
// it is what the player claimed.
Reply ScoreService::Settle(ScoreEntry claim, const std::string& id, const TicketCheck& ticket,
                           const std::string& script, const ReplayVerdict& verdict) {
    if (!verdict.Played) return Refuse(422, verdict.Refusal);
    if (verdict.Score != claim.Score || verdict.Level != claim.Level)
        return Refuse(422, "replay ends with score " + std::to_string(verdict.Score) + " at level " +
                               std::to_string(verdict.Level) + ", not " + std::to_string(claim.Score) + " at level " +
                               std::to_string(claim.Level));
    // Its frames take this long at 60 a second: a game sent sooner after its ticket was dealt was not played in
    // real time (a bot playing it faster, or a search run through it).
    double playedSeconds = static_cast<double>(verdict.Frames) / GameFramesPerSecond;
    if (static_cast<double>(ticket.UploadedAt - ticket.Issued.IssuedAt) <
        playedSeconds * (1 - RealTimeSlackFraction) - RealTimeSlackSeconds)
        return Refuse(403, "uploaded sooner than its game could be played");
    claim.Score = verdict.Score;
    claim.Level = verdict.Level;
    claim.Rules = RulesVersion; // the checker plays no other
    try {
        // Often after the upload was answered "accepted": the board shows the game as soon as it is stored.
        if (Store.AddGame(claim, {id, script, verdict.ClosingLine, verdict.Frames, ticket.Hash}) == AddOutcome::Added) {
            Store.PruneBoard(claim.Board, claim.Rules, Settings.BoardRows);
            Boards.Changed(claim.Board);
            return Note(StoredReply);
        }
        // Another server, or another request, stored it first: by its id, or its ticket went with another game.
        if (auto known = Store.FindGame(id)) return KnownGameReply(*known, claim, id, ticket.Hash);
        return Refuse(409, "the game or its ticket is already on the board");
    } catch (const StoreError& error) {
        Reply reply = Refuse(503, "storage unavailable");
        reply.LogNote = error.what();
        return reply;
    }
}

} // namespace ScoreServer
