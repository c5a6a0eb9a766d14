// SHA-256 and HMAC-SHA256 of our own, for the component on the desktop and in the browser, which has no OpenSSL: a
// game's id and a request's signature come out the same from both, and the same as the server's.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace Net {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(std::string_view bytes);
Sha256Digest HmacSha256(std::string_view key, std::string_view message);

} // namespace Net
