// The score protocol the game and the score server speak, spelled once for both: the server's two scripts, the
// requests' options and parameters, the first lines of the replies, and what the server checks of an uploaded game.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace ScoreProtocol {

// The two scripts, named as the first servers named them.
inline constexpr std::string_view ScoresScript = "Kestrovar_scores.php";
inline constexpr std::string_view VersionScript = "VersionCheck.php";

// The requests: "option" names one.
inline constexpr std::string_view OptionParameter = "option";
inline constexpr std::string_view NewGameOption = "newgame";       // a seed and its ticket for the next game
inline constexpr std::string_view GetScoreOption = "getscore";     // the top ten
inline constexpr std::string_view GetGameOption = "getgame";       // a board game's script, by its hash
inline constexpr std::string_view AddScoreOption = "addscore";     // an upload: the claim, its game in the body
inline constexpr std::string_view GetVersionOption = "getversion"; // the versions out, at VersionScript

// Their parameters.
inline constexpr std::string_view CountParameter = "nbscore";    // how many rows (or versions)
inline constexpr std::string_view BoardParameter = "difficulty"; // the board; the game has one and sends it empty
inline constexpr std::string_view UserParameter = "user";
inline constexpr std::string_view LevelParameter = "level";
inline constexpr std::string_view ScoreParameter = "score";
inline constexpr std::string_view DateParameter = "date";
inline constexpr std::string_view GameParameter = "game"; // a game's hash: getgame's choice, an upload's body's
// A signed request ends with these, in this order (older builds sign their uploads; reads are signed and unread).
inline constexpr std::string_view StampParameter = "ts";
inline constexpr std::string_view NonceParameter = "nonce";
inline constexpr std::string_view SignatureParameter = "sig";

// The first line of a reply.
inline constexpr std::string_view StoredReply = "ok";          // the game is on the board as it was sent
inline constexpr std::string_view AcceptedReply = "accepted";  // its check runs on: the board shows it after
inline constexpr std::string_view RenamedReply = "renamed";    // the ticket's owner named its game anew
inline constexpr std::string_view KnownReplyStart = "known: "; // the game is on the board already, by this name
inline constexpr std::string_view NotRankedReplyStart = "not ranked: "; // then why; nothing stored
inline constexpr std::string_view RefusalStart = "error: ";             // any refusal, then why, with a status not 200
inline constexpr std::string_view BusyReason = "busy";                  // the server (or a proxy before it) has no room
inline constexpr std::string_view SeedLineWord = "seed";                // newgame's reply: "seed N" and "ticket T"
inline constexpr std::string_view TicketLineWord = "ticket";
// HTTP statuses of a server too busy to say more than that: read as a busy refusal.
inline constexpr long TooManyRequestsStatus = 429, UnavailableStatus = 503;

// What the server checks of an uploaded game; the checker refuses anything beyond, before playing a frame.
inline constexpr int GameFramesPerSecond = 60;
inline constexpr int MostCheckedFrames = 60 * 60 * GameFramesPerSecond; // an hour of play
inline constexpr std::size_t MostCheckedEvents = 400'000; // a hundred key changes a second for an hour of play
inline constexpr std::size_t MostGameBytes = 1 << 20;     // a ten-minute game's script is a small part of this
inline constexpr int CheckProcessorSeconds = 10;          // a check ends past this much processor time

// The whole line of a busy refusal.
inline constexpr std::string_view BusyRefusal = "error: busy";
static_assert(BusyRefusal.starts_with(RefusalStart) && BusyRefusal.substr(RefusalStart.size()) == BusyReason);

// A refusal's line: "error: WHY".
inline std::string Refusal(std::string_view reason) { return std::string(RefusalStart).append(reason); }

// "SCRIPT?option=OPTION", to which a request's other parameters are added.
inline std::string Request(std::string_view script, std::string_view option) {
    return std::string(script).append("?").append(OptionParameter).append("=").append(option);
}
// "&NAME=VALUE", the value as it goes on the wire.
inline std::string Parameter(std::string_view name, std::string_view value) {
    return std::string("&").append(name).append("=").append(value);
}

} // namespace ScoreProtocol
