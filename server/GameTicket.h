// The server's tickets: a seed dealt to a game and bound to its time of issue by the server's own secret, so that
// a ranked game is one the server seeded, played no faster than real time. A ticket is the owner's secret: the
// board keeps only its hash, and the script it stores has no ticket line.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ScoreServer {

// What a ticket binds: the seed it deals and when it was dealt (seconds since 1970, the server's clock).
struct IssuedTicket {
    std::uint32_t Seed = 0;
    std::int64_t IssuedAt = 0;
};

// A fresh secret for a new board: 32 random bytes as 64 lowercase hex digits.
std::string NewServerSecret();
// A seed for a new game, 1 to 2^31 - 1 (the game's generator keeps 31 bits).
std::uint32_t NewGameSeed();
// The ticket for a seed dealt at issuedAt: URL-safe base64 of the time, the seed, a random nonce (so that two
// tickets are never one) and an HMAC-SHA256 over them with the secret.
std::string MakeTicket(std::string_view secret, std::uint32_t seed, std::int64_t issuedAt);
// What a ticket binds, or nothing when this secret did not make it (forged, altered, or not a ticket at all).
std::optional<IssuedTicket> ReadTicket(std::string_view secret, std::string_view ticket);
// What the board keeps of a ticket: its SHA-256, lowercase hex.
std::string TicketHash(std::string_view ticket);

// An uploaded script split from its ticket line ("ticket T"): the rest is the game as the board keeps it.
struct TicketedScript {
    std::string Script;                // the upload without its ticket line
    std::optional<std::string> Ticket; // the ticket, when the game was played with one
    bool Malformed = false;            // more than one ticket line, or one that is not "ticket T"
};
TicketedScript SplitTicket(std::string_view upload);
// The seed a script's "seed" line names, as the game takes it (any 32-bit value, negative ones wrapped); nothing
// when there is not exactly one readable seed line.
std::optional<std::uint32_t> ScriptSeed(std::string_view script);

} // namespace ScoreServer
