// What an uploaded score may hold: the player's name, the level and score the game can pay out, the date text.
//
// The bounds come from the game's scoring. Every award is 10, 20 or 30 points for a ring section or 1710 for the
// cannon, so a score is a whole multiple of 10. Reaching level L took L - 1 cannons, so the score is at least
// 1710 (L - 1). A game has no time limit (a bonus ship every 10000 points), so the ceiling is a generous one:
// one shot per 4 frames and two hits per 30-point section pay at most 225 points a second, and 100,000,000
// points are more than 120 hours of play at that rate.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ScoreServer {

constexpr std::size_t MaxNameLength = 10;
constexpr std::size_t MaxBoardLength = 10;
constexpr std::int64_t PointStep = 10;
constexpr std::int64_t CannonPoints = 1710;
constexpr std::int64_t MaxScore = 100'000'000;
constexpr std::int64_t MaxLevel = 1 + MaxScore / CannonPoints;

// The name as stored (A-Z lowered as the game does), or nothing when it is not 1 to 10 of the characters the
// game's name entry makes (codes 48 to 90: 0-9 : ; < = > ? @ A-Z), a-z and space.
std::optional<std::string> CheckedName(std::string_view name);
// The board (the difficulty text): 0 to 10 of [a-z0-9 ].
bool IsBoardName(std::string_view board);
// Plain decimal digits, no sign, at most 18 of them; trailing spaces allowed where the game adds one (the score).
std::optional<std::int64_t> ParseCount(std::string_view text, bool trailingSpaces = false);
// Empty when the level and score could come from one game; otherwise the reason, for the error reply.
std::string ScoreRuleBroken(std::int64_t level, std::int64_t score);
// The game's date form: "08 Dec 2026".
bool IsGameDate(std::string_view date);

} // namespace ScoreServer
