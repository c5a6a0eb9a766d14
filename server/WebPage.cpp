// The board's web page, made whole as one text: it is kept in memory beside the game's top-ten reply and renewed with
// it, so a visitor never waits on the database either.
#include "server/WebPage.h"
#include <cstdio>

namespace ScoreServer {

namespace {
constexpr std::int64_t FramesPerSecond = 60;
constexpr std::int64_t SecondsPerMinute = 60, MinutesPerHour = 60;

constexpr std::string_view PageHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Kestrovar: the online top hundred</title>
<style>
body { margin: 0; padding: 1em; background: #05060d; color: #d8f6ff; font: 16px/1.4 monospace; }
h2 { margin: 1.5em 0 0.2em; color: #c080ff; font-size: 1.2em; letter-spacing: 0.1em; }
h1 { margin: 0 0 0.2em; color: #ff5a9a; font-size: 2em; letter-spacing: 0.2em; text-shadow: 0 0 8px #ff2a6a; }
p { max-width: 46em; color: #9fdfff; }
code { color: #ffe36a; }
.board { overflow-x: auto; }
table { border-collapse: collapse; min-width: 100%; }
th, td { padding: 0.35em 0.7em; text-align: right; white-space: nowrap; border-bottom: 1px solid #16304a; }
th { color: #ff4040; text-align: right; }
td.name, th.name { text-align: left; color: #ffff60; }
a { color: #40ffff; }
@media (max-width: 40em) { body { font-size: 14px; padding: 0.5em; } th, td { padding: 0.3em 0.4em; } }
</style>
</head>
<body>
<h1>KESTROVAR</h1>
<p>The best hundred games on this board. Every score here is a game the server dealt the seed of and played again,
frame by frame, and got the same score. Download a game and watch it in the game's own window with <code>kestrovar --watch FILE</code>.</p>
)";
constexpr std::string_view PageFoot = "</body>\n</html>\n";
} // namespace

std::string HtmlEscaped(std::string_view text) {
    std::string safe;
    safe.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': safe += "&amp;"; break;
        case '<': safe += "&lt;"; break;
        case '>': safe += "&gt;"; break;
        case '"': safe += "&quot;"; break;
        case '\'': safe += "&#39;"; break;
        default: safe += c;
        }
    }
    return safe;
}

std::string GameLength(std::int64_t frames) {
    std::int64_t seconds = frames < 0 ? 0 : frames / FramesPerSecond;
    std::int64_t minutes = seconds / SecondsPerMinute, hours = minutes / MinutesPerHour;
    char text[48];
    if (hours > 0)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(hours),
                      static_cast<long long>(minutes % MinutesPerHour),
                      static_cast<long long>(seconds % SecondsPerMinute));
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(minutes),
                      static_cast<long long>(seconds % SecondsPerMinute));
    return text;
}

namespace {
void AddTable(std::string& page, const std::vector<ScoreEntry>& rows, std::size_t from, std::size_t to) {
    page += "<div class=\"board\">\n<table>\n<thead><tr><th>#</th><th class=\"name\">name</th><th>level</th>"
            "<th>score</th><th>date</th><th>length</th><th>game</th></tr></thead>\n<tbody>\n";
    int rank = 0;
    for (std::size_t i = from; i < to; ++i) {
        const ScoreEntry& row = rows[i];
        std::string game = HtmlEscaped(row.GameHash);
        page += "<tr><td>" + std::to_string(++rank) + "</td><td class=\"name\">" + HtmlEscaped(row.Name) + "</td><td>" +
                std::to_string(row.Level) + "</td><td>" + std::to_string(row.Score) + "</td><td>" +
                HtmlEscaped(row.Date) + "</td><td>" + GameLength(row.Frames) + "</td><td>";
        if (!row.GameHash.empty())
            page += "<a href=\"Kestrovar_scores.php?option=getgame&amp;game=" + game + "\" download=\"kestrovar-" +
                    game.substr(0, 16) + ".txt\">script</a>";
        page += "</td></tr>\n";
    }
    page += "</tbody>\n</table>\n</div>\n";
}
} // namespace

std::string BoardPage(const std::vector<ScoreEntry>& rows, const std::vector<ScoreEntry>& archived) {
    std::string page(PageHead);
    if (rows.empty())
        page += "<p>No game is on the board yet.</p>\n";
    else
        AddTable(page, rows, 0, rows.size());
    // Games of older rules replay only in the builds that played them: kept, each rules version its own table.
    for (std::size_t from = 0; from < archived.size();) {
        std::size_t to = from;
        while (to < archived.size() && archived[to].Rules == archived[from].Rules) ++to;
        std::string rules = std::to_string(archived[from].Rules);
        page += "<h2 id=\"rules-" + rules + "\">Archived: rules " + rules + "</h2>\n<p>Games played under rules " +
                rules + ", which this version of the game no longer plays; they stay here, out of the top ten.</p>\n";
        AddTable(page, archived, from, to);
        from = to;
    }
    page += PageFoot;
    return page;
}

} // namespace ScoreServer
