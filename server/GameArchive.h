// A verified game's script as the board keeps it: zlib-compressed beside its hash (SHA-256 of the script as
// uploaded, lowercase hex).
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace ScoreServer {

std::string Sha256Hex(std::string_view data);
// A game's one id, the hash the board and getgame name it by: the SHA-256 of its script as the board keeps it
// (without its ticket line, in its canonical form). Every copy that plays the same game from the same text, however
// commented or spaced, has this id, and no other.
std::string GameId(std::string_view keptScript);
std::string CompressScript(std::string_view script);
// A reply's body for Content-Encoding gzip (a gzip stream) or deflate (a zlib stream); empty when it cannot be made.
std::string CompressForHttp(std::string_view body, bool gzip);
// Nothing when the stored bytes are not a zlib stream (or expand past `most` bytes).
std::optional<std::string> ExpandScript(std::string_view stored, std::size_t most = 16u << 20);

} // namespace ScoreServer
