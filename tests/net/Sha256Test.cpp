// The component's own SHA-256 and HMAC-SHA256 give OpenSSL's digests: every length across the padding's turns (one
// block or two, the length's bytes split), a game's script's size, and keys padded, exactly a block, or hashed
// first. A game's id and a request's signature then read the same to the server from the desktop and the browser.
#include "netlib/Sha256.h"
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <random>
#include <string>

namespace {
std::string RandomBytes(std::size_t length, std::mt19937& random) {
    std::string bytes(length, '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xff);
    return bytes;
}

std::string Text(const Net::Sha256Digest& digest) { return std::string(digest.begin(), digest.end()); }

std::string OpenSslSha256(const std::string& message) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(message.data(), message.size(), digest, &size, EVP_sha256(), nullptr);
    return std::string(reinterpret_cast<char*>(digest), size);
}

std::string OpenSslHmac(const std::string& key, const std::string& message) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(message.data()),
         message.size(), digest, &size);
    return std::string(reinterpret_cast<char*>(digest), size);
}
} // namespace

TEST(Sha256Test, DigestsMatchOpenSslAtEveryLengthToThreeBlocksAndForAGamesSize) {
    std::mt19937 random(29);
    for (std::size_t length = 0; length <= 200; ++length) {
        std::string message = RandomBytes(length, random);
        ASSERT_EQ(Text(Net::Sha256(message)), OpenSslSha256(message)) << length;
    }
    std::string game = RandomBytes(700 * 1024 + 13, random);
    EXPECT_EQ(Text(Net::Sha256(game)), OpenSslSha256(game));
}

TEST(Sha256Test, HmacsMatchOpenSslForKeysShorterThanLongerThanAndExactlyABlock) {
    std::mt19937 random(31);
    for (std::size_t keyLength = 0; keyLength <= 140; ++keyLength) {
        for (std::size_t length : {0, 1, 55, 64, 200}) {
            std::string key = RandomBytes(keyLength, random), message = RandomBytes(length, random);
            ASSERT_EQ(Text(Net::HmacSha256(key, message)), OpenSslHmac(key, message)) << keyLength << " " << length;
        }
    }
}
