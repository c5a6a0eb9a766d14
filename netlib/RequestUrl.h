// The address of one request: the game's query made fit for HTTP and signed with the game's key, so that the
// score server can tell the game's requests from forged or replayed ones.
#pragma once
#include <string>

namespace Net {

// The query's bytes that HTTP cannot carry as they are (spaces, controls, bytes above 127, and the few that
// would change the query's meaning on the way: '#', '%', '+', quotes and brackets) written as %XX. The game
// never escapes its queries itself, so a '%' is always a literal percent sign.
std::string PercentEncode(const std::string& text);

// HMAC-SHA256 of the message under the key, as 64 lowercase hex digits.
std::string SignatureHex(const std::string& key, const std::string& message);

// SHA-256 of the bytes, as 64 lowercase hex digits.
std::string Sha256Hex(const std::string& bytes);

// 16 lowercase hex digits from the system's random source: a request never repeats one.
std::string NewNonce();

// Base URL + the encoded query, then "&ts=<seconds>&nonce=<nonce>&sig=<hex>". The signature covers the script
// name (the request path's last segment), "?", and the query as sent up to "&sig=".
std::string SignedUrl(const std::string& baseUrl, const std::string& query, const std::string& key,
                      long long unixSeconds, const std::string& nonce);

// The query with "&game=<SHA-256 of the body>" added ("?game=" when it has no parameters yet), so that the signature
// made over it covers the body a POST carries.
std::string WithGameHash(const std::string& query, const std::string& body);

} // namespace Net
