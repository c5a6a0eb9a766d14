// Lines are split as the checker splits them: a ';' starts a comment, and words are separated by any white space.
#include "server/CanonicalScript.h"
#include <algorithm>
#include <cctype>

namespace ScoreServer {

namespace {
bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Calls `line` with each line's words joined by single spaces, blank and comment-only lines left out.
template <typename Each> void ForEachLine(std::string_view script, Each line) {
    std::string words;
    for (std::size_t start = 0; start < script.size();) {
        std::size_t end = script.find('\n', start);
        if (end == std::string_view::npos) end = script.size();
        std::string_view text = script.substr(start, end - start);
        text = text.substr(0, text.find(';'));
        words.clear();
        for (std::size_t i = 0; i < text.size();) {
            while (i < text.size() && IsSpace(text[i])) ++i;
            std::size_t from = i;
            while (i < text.size() && !IsSpace(text[i])) ++i;
            if (i > from) {
                if (!words.empty()) words += ' ';
                words.append(text.substr(from, i - from));
            }
        }
        if (!words.empty()) line(words);
        start = end + 1;
    }
}

std::int64_t LeadingNumber(std::string_view text) {
    std::int64_t value = 0;
    constexpr std::int64_t Ceiling = std::int64_t(1) << 40;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = std::min(Ceiling, value * 10 + (c - '0'));
    }
    return value;
}
} // namespace

std::string CanonicalScript(std::string_view script) {
    std::string canonical;
    canonical.reserve(script.size());
    ForEachLine(script, [&](const std::string& words) {
        canonical += words;
        canonical += '\n';
    });
    return canonical;
}

std::int64_t ScriptFrames(std::string_view script, std::int64_t most) {
    std::int64_t end = -1, lastEvent = 0;
    ForEachLine(script, [&](const std::string& words) {
        if (words.rfind("end ", 0) == 0)
            end = LeadingNumber(std::string_view(words).substr(4));
        else if (std::isdigit(static_cast<unsigned char>(words[0])))
            lastEvent = std::max(lastEvent, LeadingNumber(words));
    });
    return std::clamp<std::int64_t>(end >= 0 ? end : lastEvent, 1, std::max<std::int64_t>(most, 1));
}

} // namespace ScoreServer
