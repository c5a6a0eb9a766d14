// The three requests the game makes and every check in front of them, cheapest first: the rate limit and the
// query's size before any parsing, the signature before anything is remembered or stored.
#include "server/ScoreService.h"
#include "server/QueryString.h"
#include "server/RequestSignature.h"
#include "server/ScoreRules.h"
#include <algorithm>
#include <chrono>
#include <map>

namespace ScoreServer {

namespace {
constexpr std::string_view ScoresScript = "Kestrovar_scores.php";
constexpr std::string_view VersionScript = "VersionCheck.php";
constexpr std::size_t NonceLength = 16;
constexpr std::size_t MaxStampDigits = 12;

using Parameters = std::map<std::string, std::string, std::less<>>;

Reply Refuse(int status, std::string_view reason) { return {status, "error: " + std::string(reason) + "\n", {}}; }

bool IsNonce(std::string_view text) {
    if (text.size() != NonceLength) return false;
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

std::int64_t UnixSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}
double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
} // namespace

ScoreService::ScoreService(ScoreStore& store, ServiceSettings settings, std::function<std::int64_t()> wallClock,
                           std::function<double()> steadyClock)
    : Store(store), Settings(std::move(settings)), WallClock(wallClock ? wallClock : UnixSeconds),
      SteadyClock(steadyClock ? steadyClock : SteadySeconds), Limiter(Settings.RatePerSecond, Settings.RateBurst),
      Nonces(Settings.StampWindowSeconds, Settings.MaxNonces),
      Boards(store, std::max(MaxListedScores, MaxListedVersions), Settings.RenewBoardsSeconds) {}

bool ScoreService::AnswersFromMemory(std::string_view rawQuery) {
    auto parsed = rawQuery.size() <= Settings.MaxQueryLength ? ParseQuery(rawQuery) : std::nullopt;
    if (!parsed) return true; // refused at once
    std::string option, board;
    for (const QueryParameter& parameter : *parsed)
        if (parameter.Name == "option")
            option = parameter.Value;
        else if (parameter.Name == "difficulty")
            board = parameter.Value;
    if (option == "getscore") return Boards.Holds(board);
    if (option == "getversion") return Boards.HoldsVersions();
    return option != "addscore"; // anything else is refused before storage
}

Reply ScoreService::Handle(std::string_view path, std::string_view rawQuery, const std::string& address,
                           [[maybe_unused]] std::string_view body) {
    if (!Limiter.Allow(address, SteadyClock())) return Refuse(429, "too many requests");
    if (rawQuery.size() > Settings.MaxQueryLength) return Refuse(414, "query too long");

    std::string_view script = path.substr(path.rfind('/') + 1);
    if (script != ScoresScript && script != VersionScript) return Refuse(404, "no such script");

    auto parsed = ParseQuery(rawQuery);
    if (!parsed) return Refuse(400, "malformed query");
    if (parsed->size() > Settings.MaxParameters) return Refuse(400, "too many parameters");
    Parameters parameters;
    for (QueryParameter& parameter : *parsed)
        if (!parameters.emplace(std::move(parameter.Name), std::move(parameter.Value)).second)
            return Refuse(400, "repeated parameter");

    auto signedQuery = SplitSignature(rawQuery);
    if (!signedQuery) return Refuse(403, "missing or malformed signature");
    const std::string& stampText = Get(parameters, "ts");
    auto stamp = stampText.size() <= MaxStampDigits ? ParseCount(stampText) : std::nullopt;
    if (!stamp || !IsNonce(Get(parameters, "nonce"))) return Refuse(403, "missing or malformed time stamp or nonce");
    if (!SignatureMatches(Settings.Key, script, *signedQuery)) return Refuse(403, "bad signature");
    std::int64_t now = WallClock();
    if (*stamp > now + Settings.StampWindowSeconds || *stamp < now - Settings.StampWindowSeconds)
        return Refuse(403, "time stamp outside the accepted window");
    switch (Nonces.Remember(Get(parameters, "nonce"), *stamp, now)) {
    case NonceCache::Outcome::Seen: return Refuse(403, "nonce already used");
    case NonceCache::Outcome::Full: return Refuse(503, "busy");
    case NonceCache::Outcome::Fresh: break;
    }

    const std::string& option = Get(parameters, "option");
    try {
        if (script == VersionScript) {
            if (option != "getversion" || !HasExactly(parameters, {"option", "nbscore", "ts", "nonce", "sig"}))
                return Refuse(400, "unknown request");
            auto count = ParseCount(Get(parameters, "nbscore"));
            if (!count || *count < 1 || *count > MaxListedVersions) return Refuse(400, "bad nbscore");
            return {200, Boards.VersionText(static_cast<int>(*count)), {}};
        }
        if (option == "getscore") {
            if (!HasExactly(parameters, {"option", "nbscore", "ts", "nonce", "sig"}, {"difficulty"}))
                return Refuse(400, "unknown request");
            auto count = ParseCount(Get(parameters, "nbscore"));
            if (!count || *count < 1 || *count > MaxListedScores) return Refuse(400, "bad nbscore");
            const std::string& board = Get(parameters, "difficulty");
            if (!IsBoardName(board)) return Refuse(400, "bad difficulty");
            return {200, Boards.TopText(board, static_cast<int>(*count)), {}};
        }
        if (option == "addscore") {
            if (!HasExactly(parameters,
                            {"option", "user", "level", "score", "date", "difficulty", "ts", "nonce", "sig"}))
                return Refuse(400, "unknown request");
            ScoreEntry entry;
            auto name = CheckedName(Get(parameters, "user"));
            if (!name) return Refuse(400, "bad name");
            auto level = ParseCount(Get(parameters, "level"));
            if (!level) return Refuse(400, "bad level");
            auto score = ParseCount(Get(parameters, "score"), true); // the game sends the score with a space after it
            if (!score) return Refuse(400, "bad score");
            if (std::string broken = ScoreRuleBroken(*level, *score); !broken.empty()) return Refuse(400, broken);
            if (!IsGameDate(Get(parameters, "date"))) return Refuse(400, "bad date");
            if (!IsBoardName(Get(parameters, "difficulty"))) return Refuse(400, "bad difficulty");
            entry.Board = Get(parameters, "difficulty");
            entry.Name = *name;
            entry.Level = *level;
            entry.Score = *score;
            entry.Date = Get(parameters, "date");
            if (Store.AddScore(entry, Get(parameters, "nonce"), *stamp, now - Settings.StampWindowSeconds) ==
                AddOutcome::NonceSeen)
                return Refuse(403, "nonce already used");
            Boards.Changed(entry.Board);
            return {200, "ok\n", {}};
        }
        return Refuse(400, "unknown request");
    } catch (const StoreError& error) {
        Reply reply = Refuse(503, "storage unavailable");
        reply.LogNote = error.what();
        return reply;
    }
}

} // namespace ScoreServer
