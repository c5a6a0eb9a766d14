// Strict query decoding: a request the game could not have sent is refused rather than guessed at.
#include "server/QueryString.h"

namespace ScoreServer {

namespace {
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> Decode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%') {
            if (i + 2 >= text.size()) return std::nullopt;
            int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}
} // namespace

std::optional<std::vector<QueryParameter>> ParseQuery(std::string_view raw) {
    std::vector<QueryParameter> parameters;
    if (raw.empty()) return parameters;
    std::size_t start = 0;
    while (start <= raw.size()) {
        std::size_t end = raw.find('&', start);
        if (end == std::string_view::npos) end = raw.size();
        std::string_view piece = raw.substr(start, end - start);
        std::size_t equals = piece.find('=');
        if (piece.empty() || equals == std::string_view::npos || equals == 0) return std::nullopt;
        auto name = Decode(piece.substr(0, equals));
        auto value = Decode(piece.substr(equals + 1));
        if (!name || !value) return std::nullopt;
        parameters.push_back({std::move(*name), std::move(*value)});
        start = end + 1;
    }
    return parameters;
}

} // namespace ScoreServer
