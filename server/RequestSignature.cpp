// HMAC-SHA256 from OpenSSL, the hex form the component sends, and the split of a query at its signature.
#include "server/RequestSignature.h"
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace ScoreServer {

namespace {
constexpr std::string_view SignatureMark = "&sig=";
constexpr std::size_t SignatureHexLength = 64;

bool IsLowerHex(std::string_view text) {
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}
} // namespace

// The same two pieces the game joins at start-up (frontend/Network.cpp); a test holds the two equal.
std::string GameKey() { return std::string("K7r4vQ2") + "x9Lm3Tb8"; }

std::string HmacSha256Hex(std::string_view key, std::string_view message) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(message.data()),
         message.size(), digest, &length);
    return LowerHex(digest, length);
}

std::string LowerHex(const unsigned char* bytes, unsigned int length) {
    static const char Digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += Digits[bytes[i] >> 4];
        hex += Digits[bytes[i] & 15];
    }
    return hex;
}

std::optional<SignedQuery> SplitSignature(std::string_view rawQuery) {
    std::size_t mark = rawQuery.rfind(SignatureMark);
    if (mark == std::string_view::npos) return std::nullopt;
    std::string_view signature = rawQuery.substr(mark + SignatureMark.size());
    if (signature.size() != SignatureHexLength || !IsLowerHex(signature)) return std::nullopt;
    return SignedQuery{rawQuery.substr(0, mark), signature};
}

bool SignatureMatches(std::string_view key, std::string_view script, const SignedQuery& query) {
    std::string message;
    message.reserve(script.size() + 1 + query.Covered.size());
    message.append(script).append("?").append(query.Covered);
    std::string expected = HmacSha256Hex(key, message);
    return query.Signature.size() == expected.size() &&
           CRYPTO_memcmp(expected.data(), query.Signature.data(), expected.size()) == 0;
}

std::string SignQuery(std::string_view key, std::string_view script, std::string_view query, std::int64_t time,
                      std::string_view nonce) {
    std::string covered(query);
    covered.append("&ts=").append(std::to_string(time)).append("&nonce=").append(nonce);
    std::string message(script);
    message.append("?").append(covered);
    return covered + std::string(SignatureMark) + HmacSha256Hex(key, message);
}

} // namespace ScoreServer
