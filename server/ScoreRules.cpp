// The checks an uploaded score passes before it is stored.
#include "server/ScoreRules.h"

namespace ScoreServer {

namespace {
constexpr std::size_t MaxDigits = 18; // fits a 64-bit integer with room to compare against the bounds
const char* const MonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

constexpr char FirstEntryCharacter = '0', LastEntryCharacter = 'Z'; // the name entry's wheel of characters

bool IsNameCharacter(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' '; }
// What the game's name entry can produce, lowered: "0" to "Z" (digits, ":;<=>?@" and capitals), a-z and space.
bool IsEntryCharacter(char c) {
    return (c >= FirstEntryCharacter && c <= LastEntryCharacter) || (c >= 'a' && c <= 'z') || c == ' ';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
} // namespace

std::optional<std::string> CheckedName(std::string_view name) {
    if (name.empty() || name.size() > MaxNameLength) return std::nullopt;
    std::string lowered(name);
    for (char& c : lowered) {
        if (!IsEntryCharacter(c)) return std::nullopt;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lowered;
}

bool IsBoardName(std::string_view board) {
    if (board.size() > MaxBoardLength) return false;
    for (char c : board)
        if (!IsNameCharacter(c)) return false;
    return true;
}

std::optional<std::int64_t> ParseCount(std::string_view text, bool trailingSpaces) {
    if (trailingSpaces)
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty() || text.size() > MaxDigits) return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string ScoreRuleBroken(std::int64_t level, std::int64_t score) {
    if (level < 1 || level > MaxLevel) return "level out of range";
    if (score < 1 || score > MaxScore) return "score out of range";
    if (score % PointStep != 0) return "score is not a multiple of 10";
    if (score < CannonPoints * (level - 1)) return "score too low for the level";
    return {};
}

bool IsGameDate(std::string_view date) {
    // "DD Mon YYYY"
    if (date.size() != 11 || date[2] != ' ' || date[6] != ' ') return false;
    if (!IsDigit(date[0]) || !IsDigit(date[1])) return false;
    int day = (date[0] - '0') * 10 + (date[1] - '0');
    if (day < 1 || day > 31) return false;
    bool monthFound = false;
    for (const char* month : MonthNames) monthFound = monthFound || date.substr(3, 3) == month;
    if (!monthFound) return false;
    for (std::size_t i = 7; i < 11; ++i)
        if (!IsDigit(date[i])) return false;
    return true;
}

} // namespace ScoreServer
