// Tickets from OpenSSL's HMAC-SHA256 and random bytes, and the ticket line of an uploaded script. The script's lines
// are read as the game reads them (';' starts a comment, tabs and carriage returns are spaces), so that what the
// server takes for the seed and the ticket is what the game played.
#include "server/GameTicket.h"
#include "server/GameArchive.h"
#include "server/RequestSignature.h"
#include <cstdlib>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace ScoreServer {

namespace {
constexpr std::size_t SecretBytes = 32;
constexpr std::size_t TimeBytes = 8, SeedBytes = 4, NonceBytes = 8, MacBytes = 32;
constexpr std::size_t SignedBytes = TimeBytes + SeedBytes + NonceBytes;
constexpr std::size_t TicketBytes = SignedBytes + MacBytes;
// Kept apart from anything else the secret might ever sign.
constexpr std::string_view TicketDomain = "kestrovar ticket 1\n";
constexpr std::uint32_t HighestSeed = 0x7fffffff;

constexpr std::string_view UrlAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

void RandomBytes(unsigned char* bytes, std::size_t count) {
    if (RAND_bytes(bytes, static_cast<int>(count)) != 1) throw std::runtime_error("no random bytes from OpenSSL");
}

std::string UrlBase64(const unsigned char* bytes, std::size_t count) {
    std::string text;
    std::uint32_t bits = 0;
    int held = 0;
    for (std::size_t i = 0; i < count; ++i) {
        bits = (bits << 8) | bytes[i];
        held += 8;
        while (held >= 6) {
            held -= 6;
            text += UrlAlphabet[(bits >> held) & 63];
        }
    }
    if (held > 0) text += UrlAlphabet[(bits << (6 - held)) & 63];
    return text;
}

// Nothing for a character outside the alphabet or a length no byte count gives.
std::optional<std::vector<unsigned char>> FromUrlBase64(std::string_view text) {
    if (text.size() % 4 == 1) return std::nullopt;
    std::vector<unsigned char> bytes;
    std::uint32_t bits = 0;
    int held = 0;
    for (char c : text) {
        std::size_t value = UrlAlphabet.find(c);
        if (value == std::string_view::npos) return std::nullopt;
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes.push_back(static_cast<unsigned char>((bits >> held) & 255));
        }
    }
    return bytes;
}

void Mac(std::string_view secret, const unsigned char* signedBytes, unsigned char* mac) {
    std::string message(TicketDomain);
    message.append(reinterpret_cast<const char*>(signedBytes), SignedBytes);
    unsigned int length = 0;
    HMAC(EVP_sha256(), secret.data(), static_cast<int>(secret.size()),
         reinterpret_cast<const unsigned char*>(message.data()), message.size(), mac, &length);
}

// A script line's words, as the game's reader splits them.
std::vector<std::string> Words(std::string_view line) {
    std::string text(line.substr(0, line.find(';')));
    for (char& c : text)
        if (c == '\t' || c == '\r') c = ' ';
    std::istringstream fields(text);
    std::vector<std::string> words;
    std::string word;
    while (fields >> word) words.push_back(word);
    return words;
}

// Each line of a text with its line end, the last one with or without.
template <typename Visit> void EachLine(std::string_view text, Visit visit) {
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        visit(text.substr(0, length));
        text.remove_prefix(length);
    }
}
} // namespace

std::string NewServerSecret() {
    unsigned char bytes[SecretBytes];
    RandomBytes(bytes, sizeof bytes);
    return LowerHex(bytes, sizeof bytes);
}

std::uint32_t NewGameSeed() {
    for (;;) {
        unsigned char bytes[4];
        RandomBytes(bytes, sizeof bytes);
        std::uint32_t seed =
            (std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3]) &
            HighestSeed;
        if (seed != 0) return seed;
    }
}

std::string MakeTicket(std::string_view secret, std::uint32_t seed, std::int64_t issuedAt) {
    unsigned char bytes[TicketBytes];
    auto time = static_cast<std::uint64_t>(issuedAt);
    for (std::size_t i = 0; i < TimeBytes; ++i)
        bytes[i] = static_cast<unsigned char>(time >> (8 * (TimeBytes - 1 - i)));
    for (std::size_t i = 0; i < SeedBytes; ++i)
        bytes[TimeBytes + i] = static_cast<unsigned char>(seed >> (8 * (SeedBytes - 1 - i)));
    RandomBytes(bytes + TimeBytes + SeedBytes, NonceBytes);
    Mac(secret, bytes, bytes + SignedBytes);
    return UrlBase64(bytes, sizeof bytes);
}

std::optional<IssuedTicket> ReadTicket(std::string_view secret, std::string_view ticket) {
    auto bytes = FromUrlBase64(ticket);
    if (!bytes || bytes->size() != TicketBytes || UrlBase64(bytes->data(), bytes->size()) != ticket)
        return std::nullopt; // one spelling a ticket: no other text reads as the same ticket
    unsigned char mac[MacBytes];
    Mac(secret, bytes->data(), mac);
    if (CRYPTO_memcmp(mac, bytes->data() + SignedBytes, MacBytes) != 0) return std::nullopt;
    IssuedTicket issued;
    std::uint64_t time = 0;
    for (std::size_t i = 0; i < TimeBytes; ++i) time = time << 8 | (*bytes)[i];
    for (std::size_t i = 0; i < SeedBytes; ++i) issued.Seed = issued.Seed << 8 | (*bytes)[TimeBytes + i];
    issued.IssuedAt = static_cast<std::int64_t>(time);
    return issued;
}

std::string TicketHash(std::string_view ticket) { return Sha256Hex(ticket); }

TicketedScript SplitTicket(std::string_view upload) {
    TicketedScript split;
    split.Script.reserve(upload.size());
    EachLine(upload, [&](std::string_view line) {
        std::vector<std::string> words = Words(line);
        if (words.empty() || words[0] != "ticket") {
            split.Script.append(line);
            return;
        }
        if (words.size() != 2 || split.Ticket) split.Malformed = true;
        split.Ticket = words.size() > 1 ? words[1] : std::string();
    });
    return split;
}

std::optional<std::uint32_t> ScriptSeed(std::string_view script) {
    std::optional<std::uint32_t> seed;
    int seedLines = 0;
    EachLine(script, [&](std::string_view line) {
        std::vector<std::string> words = Words(line);
        if (words.empty() || words[0] != "seed") return;
        ++seedLines;
        char* end = nullptr;
        long long value = words.size() == 2 ? std::strtoll(words[1].c_str(), &end, 10) : 0;
        if (words.size() == 2 && *end == '\0' && value >= -2147483648LL && value <= 4294967295LL)
            seed = static_cast<std::uint32_t>(value);
    });
    if (seedLines != 1) return std::nullopt;
    return seed;
}

} // namespace ScoreServer
