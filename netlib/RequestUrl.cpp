// Percent-encoding and signing the game's queries.
#include "RequestUrl.h"
#include "../core/ScoreProtocol.h"
#include "Sha256.h"
#include <cstring>
#include <random>

namespace Net {

namespace {
constexpr char HexDigits[] = "0123456789abcdef";
constexpr char EscapeDigits[] = "0123456789ABCDEF";
constexpr int NonceBytes = 8;

// Unreserved characters and the delimiters a query is built with pass as they are.
bool PassesRaw(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return c != 0 && std::strchr("-._~!$&'()*,;=:@/?", c) != nullptr;
}

std::string Hex(const unsigned char* bytes, std::size_t count) {
    std::string text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        text += HexDigits[bytes[i] >> 4];
        text += HexDigits[bytes[i] & 15];
    }
    return text;
}
} // namespace

std::string PercentEncode(const std::string& text) {
    std::string encoded;
    encoded.reserve(text.size());
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (PassesRaw(c)) {
            encoded += ch;
            continue;
        }
        encoded += '%';
        encoded += EscapeDigits[c >> 4];
        encoded += EscapeDigits[c & 15];
    }
    return encoded;
}

std::string SignatureHex(const std::string& key, const std::string& message) {
    Sha256Digest digest = HmacSha256(key, message);
    return Hex(digest.data(), digest.size());
}

std::string Sha256Hex(const std::string& bytes) {
    Sha256Digest digest = Sha256(bytes);
    return Hex(digest.data(), digest.size());
}

// The system's random source (the kernel's, or the browser's crypto.getRandomValues): a nonce need only never repeat.
std::string NewNonce() {
    std::random_device device;
    unsigned char bytes[NonceBytes];
    for (unsigned char& b : bytes) b = static_cast<unsigned char>(device());
    return Hex(bytes, NonceBytes);
}

std::string SignedUrl(const std::string& baseUrl, const std::string& query, const std::string& key,
                      long long unixSeconds, const std::string& nonce) {
    std::string wire = PercentEncode(query);
    std::size_t mark = wire.find('?');
    std::string path = mark == std::string::npos ? wire : wire.substr(0, mark);
    std::string params = mark == std::string::npos ? std::string() : wire.substr(mark + 1);
    if (!params.empty()) params += '&';
    params += std::string(ScoreProtocol::StampParameter) + "=" + std::to_string(unixSeconds) +
              ScoreProtocol::Parameter(ScoreProtocol::NonceParameter, nonce);

    std::string fullPath = baseUrl + path;
    std::string script = fullPath.substr(fullPath.rfind('/') + 1);
    std::string signature = SignatureHex(key, script + "?" + params);
    return fullPath + "?" + params + ScoreProtocol::Parameter(ScoreProtocol::SignatureParameter, signature);
}

std::string WithGameHash(const std::string& query, const std::string& body) {
    std::string hash = ScoreProtocol::Parameter(ScoreProtocol::GameParameter, Sha256Hex(body));
    if (query.find('?') == std::string::npos) hash[0] = '?';
    return query + hash;
}

} // namespace Net
