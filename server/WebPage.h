// The board as a web page: the best hundred games, each row with its name, level, score, date, the game's length and
// a link to its script; below, the archived games of older rules. Plain HTML and CSS, readable on a phone with no
// script, every text escaped.
#pragma once
#include "server/ScoreStore.h"
#include <string>
#include <string_view>
#include <vector>

namespace ScoreServer {

constexpr int WebPageRows = 100;
// The board the page shows: the one the game plays on (its difficulty is sent empty).
inline const std::string WebPageBoard;

// Text made safe to stand in HTML, between tags or inside a quoted attribute.
std::string HtmlEscaped(std::string_view text);
// "4:07" for a game of 4 minutes 7 seconds of frames at 60 a second; hours as "1:02:03".
std::string GameLength(std::int64_t frames);
// The whole page for the board's rows, best first, and below them the archived rows of older rules (newest rules
// first), each table marked with its rules.
std::string BoardPage(const std::vector<ScoreEntry>& rows, const std::vector<ScoreEntry>& archived = {});

} // namespace ScoreServer
