// The request signature the game's network component adds: HMAC-SHA256 with the game's key over the script name,
// "?" and the query as sent up to "&sig=" (so every game parameter, the time stamp and the nonce are covered).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ScoreServer {

// The key the game ships with; the server takes it by default.
std::string GameKey();

std::string HmacSha256Hex(std::string_view key, std::string_view message);
// A digest's bytes as lowercase hex digits, two a byte.
std::string LowerHex(const unsigned char* bytes, unsigned int length);

// The raw query split at its signature, which must come last and be 64 lowercase hex digits.
struct SignedQuery {
    std::string_view Covered; // everything before "&sig="
    std::string_view Signature;
};
std::optional<SignedQuery> SplitSignature(std::string_view rawQuery);

// Compares in constant time, so that the reply's timing tells nothing about how much of a forgery was right.
bool SignatureMatches(std::string_view key, std::string_view script, const SignedQuery& query);

// What the component does: appends ts, nonce and sig to a query (for the tests and the benchmark's requests).
std::string SignQuery(std::string_view key, std::string_view script, std::string_view query, std::int64_t time,
                      std::string_view nonce);

} // namespace ScoreServer
