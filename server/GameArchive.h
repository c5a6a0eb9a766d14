// A verified game's script as the board keeps it: zlib-compressed beside its hash (SHA-256 of the script as
// uploaded, lowercase hex).
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace ScoreServer {

std::string Sha256Hex(std::string_view data);
std::string CompressScript(std::string_view script);
// Nothing when the stored bytes are not a zlib stream (or expand past `most` bytes).
std::optional<std::string> ExpandScript(std::string_view stored, std::size_t most = 16u << 20);

} // namespace ScoreServer
