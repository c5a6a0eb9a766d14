// The board's web pages: the board a hundred games a page (below the first hundred, the archived games of older
// rules), a page for each player and for each game, and our icon.
// Plain HTML and CSS with no script, every text escaped, reflowing from a phone's 320 pixels to a desktop; made from
// the board as the server last read it, so no page waits on the database.
#pragma once
#include "server/ScoreStore.h"
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ScoreServer {

constexpr int WebPageRows = 100;   // games on one page of the board
constexpr int WebPageDepth = 1000; // the board's best games its pages hold: ten pages
// The board the pages show: the one the game plays on (its difficulty is sent empty).
inline const std::string WebPageBoard;

struct WebReply {
    int Status = 200;
    std::string Body;
    const char* ContentType = "text/html; charset=utf-8";
};

// Text made safe to stand in HTML, between tags or inside a quoted attribute.
std::string HtmlEscaped(std::string_view text);
// "4:07" for a game of 4 minutes 7 seconds of frames at 60 a second; hours as "1:02:03".
std::string GameLength(std::int64_t frames);
// The name a game's script downloads as: "kestrovar-NAME-SCORE.txt", every character of the name outside a-z and
// 0-9 made "_".
std::string ScriptFileName(const ScoreEntry& row);
// A time the server kept, as the game writes dates: "08 Dec 2026" (UTC).
std::string ServerDate(std::int64_t unixSeconds);
// Whether a request path is one of the pages' (the board, a player, a game, the icon), wherever the site is mounted.
bool IsWebPagePath(std::string_view path);

// The pages of one reading of the board, best first (at most WebPageDepth rows, as the store listed them).
class BoardPages {
  public:
    // archived: the games of older rules (newest rules first), shown on the first page, each rules its own table.
    // watchLinks: each game also links to its watch in the browser build, at play/?game=HASH.
    explicit BoardPages(std::vector<ScoreEntry> rows, std::vector<ScoreEntry> archived = {}, bool watchLinks = false);
    // The page a path asks for (see IsWebPagePath); rawQuery may name the board's page ("page=2"). publicBase is
    // the site's public address ("https://example.org/scores/"), empty when unknown: with it the pages carry
    // link-preview tags. A name or game the board does not hold is a small 404 page, made and forgotten.
    WebReply Answer(std::string_view path, std::string_view rawQuery, std::string_view publicBase) const;

  private:
    std::string BoardPage(int page, std::string_view publicBase) const;
    std::string PlayerPage(const std::string& name, std::string_view publicBase) const;
    std::string GamePage(std::size_t index, std::string_view publicBase) const;

    std::vector<ScoreEntry> Rows;
    std::vector<ScoreEntry> Archived;
    std::unordered_map<std::string, std::vector<std::size_t>> ByName;
    std::unordered_map<std::string, std::size_t> ByGame;
    bool WatchLinks = false;
    std::string FirstPage; // the page every visitor opens, made once; its preview tags are added as it is served
    std::size_t FirstPageTagsAt = 0;
};

} // namespace ScoreServer
