// The board's web pages, made from the rows the board cache read: the first page of the board once a reading, every
// other page when it is asked for (a hundred rows from memory take microseconds), and nothing kept for a name or a
// game the board does not hold.
#include "server/WebPage.h"
#include "core/ScoreProtocol.h"
#include "server/QueryString.h"
#include "server/ScoreRules.h"
#include <algorithm>
#include <cstdio>
#include <ctime>

// Our icon, compiled in (server/CMakeLists.txt).
extern "C" const unsigned char KestrovarWebIcon[];
extern "C" const unsigned char KestrovarWebIconEnd[];

namespace ScoreServer {

namespace {
constexpr std::int64_t FramesPerSecond = 60;
constexpr std::int64_t SecondsPerMinute = 60, MinutesPerHour = 60;
constexpr int LastPage = WebPageDepth / WebPageRows;
constexpr std::string_view IconFile = "kestrovar.png";
constexpr std::string_view PngType = "image/png";
constexpr const char* HtmlPageType = "text/html; charset=utf-8";

constexpr std::string_view Style = R"(<style>
* { box-sizing: border-box; }
html { -webkit-text-size-adjust: 100%; }
body { margin: 0; background: #05060d; color: #d8f6ff; font: 16px/1.45 "DejaVu Sans Mono", monospace; }
.page { max-width: 60em; margin: 0 auto; padding: 1em; }
header a { display: flex; align-items: center; gap: 0.6em; text-decoration: none; }
header img { width: 3em; height: 3em; }
header span { color: #ff5a9a; font-size: 1.6em; letter-spacing: 0.2em; text-shadow: 0 0 8px #ff2a6a; }
h1 { margin: 0.8em 0 0.3em; color: #80ff40; font-size: 1.3em; text-shadow: 0 0 6px #40a020; overflow-wrap: anywhere; }
p { max-width: 46em; color: #9fdfff; }
code { color: #ffe36a; overflow-wrap: anywhere; }
a { color: #40ffff; }
table { width: 100%; border-collapse: collapse; }
th, td { padding: 0.35em 0.6em; text-align: right; border-bottom: 1px solid #16304a; white-space: nowrap; }
th { color: #ff4040; }
th.name, td.name { text-align: left; width: 100%; }
td.name a { color: #ffff60; }
.mark { color: #ff9a40; }
nav { margin: 1em 0; display: flex; flex-wrap: wrap; gap: 0.3em 0.8em; }
nav b { color: #ffff60; }
dl { display: grid; grid-template-columns: max-content 1fr; gap: 0.3em 1em; }
dt { color: #ff4040; }
dd { margin: 0; color: #ffff60; overflow-wrap: anywhere; }
footer p { color: #7fb0d0; font-size: 0.9em; }
@media (max-width: 40em) {
  body { font-size: 15px; }
  .page { padding: 0.6em; }
  thead { display: none; }
  table, tbody { display: block; }
  tr { display: grid; grid-template-columns: 2.6em 1fr auto; grid-template-areas: "rank name score" ". level length" ". date game"; border-bottom: 1px solid #16304a; padding: 0.3em 0; }
  td { border: 0; padding: 0.1em 0.3em; text-align: left; }
  td.rank { grid-area: rank; } td.name { grid-area: name; width: auto; overflow-wrap: anywhere; white-space: normal; }
  td.score { grid-area: score; text-align: right; } td.level { grid-area: level; } td.length { grid-area: length; text-align: right; }
  td.date { grid-area: date; } td.game { grid-area: game; text-align: right; }
  table.player tr { grid-template-columns: 2.6em 1fr auto auto; grid-template-areas: "rank level length score" ". date date game"; }
  table.player td.length { padding-right: 1em; }
  td.level::before { content: "level "; color: #ff4040; }
  td.length::before { content: "length "; color: #ff4040; }
}
</style>
)";

constexpr std::string_view HowToPlay =
    "<footer><p>Kestrovar is a vector arcade game: fly round the fortress, shoot its rings away and hit the cannon. "
    "Get it as the <code>kestrovar</code> package, or build it from its source with <code>tools/play.sh</code>. "
    "Press fire on its high-score screen to put your best game on this board; every score here is a game the server "
    "played again, frame by frame. Watch any of them in the game: press 1 to 8 on its high-score screen, or "
    "download a game's script here and run <code>kestrovar --watch FILE</code>.</p></footer>\n";

struct PageInfo {
    std::string Title;       // plain text
    std::string Description; // plain text
    std::string Root;        // the way back to the site's root from this page: "" or "../"
    std::string SitePath;    // this page from the site's root, for its public address: "", "player/ace", "?page=2"
};

// The preview a shared link shows: the page's public address and our icon need the site's public address.
std::string PreviewTags(const PageInfo& info, std::string_view publicBase) {
    if (publicBase.empty()) return {};
    std::string base = HtmlEscaped(publicBase);
    return "<meta property=\"og:url\" content=\"" + base + HtmlEscaped(info.SitePath) +
           "\">\n<meta property=\"og:image\" content=\"" + base + std::string(IconFile) +
           "\">\n<meta property=\"og:image:width\" content=\"256\">\n<meta property=\"og:image:height\" "
           "content=\"256\">\n<meta name=\"twitter:card\" content=\"summary\">\n";
}

// A whole page with no preview tags, and where they go.
std::string MakePage(const PageInfo& info, const std::string& body, std::size_t& tagsAt) {
    std::string title = HtmlEscaped(info.Title), description = HtmlEscaped(info.Description);
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
                       title + "</title>\n<meta name=\"description\" content=\"" + description +
                       "\">\n<meta property=\"og:site_name\" content=\"Kestrovar\">\n<meta property=\"og:type\" "
                       "content=\"website\">\n<meta property=\"og:title\" content=\"" +
                       title + "\">\n<meta property=\"og:description\" content=\"" + description + "\">\n";
    tagsAt = page.size();
    page += "<link rel=\"icon\" type=\"image/png\" href=\"" + info.Root + std::string(IconFile) + "\">\n";
    page += Style;
    page += "</head>\n<body>\n<div class=\"page\">\n<header><a href=\"" + (info.Root.empty() ? "./" : info.Root) +
            "\"><img src=\"" + info.Root + std::string(IconFile) +
            "\" alt=\"\" width=\"48\" height=\"48\"><span>KESTROVAR</span></a></header>\n<main>\n";
    page += body;
    page += "</main>\n";
    page += HowToPlay;
    page += "</div>\n</body>\n</html>\n";
    return page;
}

std::string MakePage(const PageInfo& info, const std::string& body, std::string_view publicBase) {
    std::size_t tagsAt = 0;
    std::string page = MakePage(info, body, tagsAt);
    page.insert(tagsAt, PreviewTags(info, publicBase));
    return page;
}

// A name as one segment of a link: every character outside a-z and 0-9 percent-encoded.
std::string PathSegment(std::string_view text) {
    static const char Hex[] = "0123456789ABCDEF";
    std::string segment;
    for (char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            segment += c;
        } else {
            auto byte = static_cast<unsigned char>(c);
            segment += '%';
            segment += Hex[byte >> 4];
            segment += Hex[byte & 15];
        }
    }
    return segment;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A path segment as it was meant, for a front that hands the path on still encoded.
std::string Unescaped(std::string_view segment) {
    std::string text;
    for (std::size_t i = 0; i < segment.size(); ++i) {
        int high = i + 2 < segment.size() && segment[i] == '%' ? HexValue(segment[i + 1]) : -1;
        int low = high >= 0 ? HexValue(segment[i + 2]) : -1;
        if (low >= 0) {
            text += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            text += segment[i];
        }
    }
    return text;
}

// The date a row shows: the server's own time of the upload, or for rows from before the server kept it, the
// date the player's game gave, marked.
std::string ShownDate(const ScoreEntry& row, bool& marked) {
    if (row.Uploaded > 0) return ServerDate(row.Uploaded);
    marked = true;
    return HtmlEscaped(row.Date) + "<span class=\"mark\" title=\"the date the player's game gave\">*</span>";
}

constexpr std::string_view MarkNote =
    "<p><span class=\"mark\">*</span> the date the player's game gave: the game was uploaded before the server kept "
    "its own.</p>\n";

std::string GameLink(const std::string& root, const ScoreEntry& row, std::string_view text) {
    if (row.GameHash.empty()) return std::string(text);
    return "<a href=\"" + root + "game/" + HtmlEscaped(row.GameHash) + "\">" + std::string(text) + "</a>";
}

std::string PlayerLink(const std::string& root, const std::string& name) {
    return "<a href=\"" + root + "player/" + PathSegment(name) + "\">" + HtmlEscaped(name) + "</a>";
}

// The game's watch in the browser build, from its start.
std::string WatchLink(const std::string& root, const ScoreEntry& row) {
    if (row.GameHash.empty()) return {};
    return " <a href=\"" + root + "play/?game=" + HtmlEscaped(row.GameHash) + "\">watch</a>";
}

// One row of a table of games; withName leaves the name out on a player's own page, watch adds the game's watch.
std::string TableRow(const std::string& root, const ScoreEntry& row, std::size_t rank, bool withName, bool watch,
                     bool& marked) {
    std::string line = "<tr><td class=\"rank\">" + std::to_string(rank) + "</td>";
    if (withName) line += "<td class=\"name\">" + PlayerLink(root, row.Name) + "</td>";
    line += "<td class=\"level\">" + std::to_string(row.Level) + "</td><td class=\"score\">" +
            std::to_string(row.Score) + "</td><td class=\"date\">" + ShownDate(row, marked) +
            "</td><td class=\"length\">" + GameLength(row.Frames) + "</td><td class=\"game\">" +
            GameLink(root, row, "game") + (watch ? WatchLink(root, row) : std::string()) + "</td></tr>\n";
    return line;
}

std::string ScriptLink(const std::string& root, const ScoreEntry& row, std::string_view text) {
    using namespace ScoreProtocol;
    return "<a href=\"" + root +
           HtmlEscaped(Request(ScoresScript, GetGameOption) + Parameter(GameParameter, row.GameHash)) +
           "\" download=\"" + ScriptFileName(row) + "\" type=\"text/plain\">" + std::string(text) + "</a>";
}

std::string ArchivedRow(const ScoreEntry& row, std::size_t rank, bool& marked) {
    return "<tr><td class=\"rank\">" + std::to_string(rank) + "</td><td class=\"name\">" + HtmlEscaped(row.Name) +
           "</td><td class=\"level\">" + std::to_string(row.Level) + "</td><td class=\"score\">" +
           std::to_string(row.Score) + "</td><td class=\"date\">" + ShownDate(row, marked) +
           "</td><td class=\"length\">" + GameLength(row.Frames) + "</td><td class=\"game\">" +
           (row.GameHash.empty() ? std::string() : ScriptLink("", row, "script")) + "</td></tr>\n";
}

std::string TableHead(bool withName) {
    return std::string(withName ? "<table>" : "<table class=\"player\">") + "\n<thead><tr><th class=\"rank\">#</th>" +
           (withName ? "<th class=\"name\">name</th>" : "") +
           "<th class=\"level\">level</th><th class=\"score\">score</th><th class=\"date\">date</th>"
           "<th class=\"length\">length</th><th class=\"game\">game</th></tr></thead>\n<tbody>\n";
}

constexpr std::string_view TableFoot = "</tbody>\n</table>\n";

std::string NotFoundPage(const std::string& root, const std::string& what) {
    PageInfo info{"Kestrovar: not on the board", what, root, ""};
    return MakePage(info,
                    "<h1>Not on the board</h1>\n<p>" + HtmlEscaped(what) + " <a href=\"" +
                        (root.empty() ? "./" : root) + "\">The board</a> has the best games.</p>\n",
                    std::string_view());
}

struct WebPath {
    enum Kind { None, Board, Player, Game, Icon } What = None;
    std::string Key; // the player's name or the game's hash
};

WebPath ReadWebPath(std::string_view path) {
    std::size_t slash = path.rfind('/');
    std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::string_view before = slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
    std::string_view folder = before.substr(before.rfind('/') + 1);
    if (last == IconFile || last == "favicon.ico") return {WebPath::Icon, {}};
    if (folder == "player" && !last.empty()) return {WebPath::Player, Unescaped(last)};
    if (folder == "game" && !last.empty()) return {WebPath::Game, std::string(last)};
    if ((last.empty() || last == "index.html") && folder != "player" && folder != "game") return {WebPath::Board, {}};
    return {};
}
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

std::string ScriptFileName(const ScoreEntry& row) {
    std::string name = row.Name;
    for (char& c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) c = '_';
    return "kestrovar-" + name + "-" + std::to_string(row.Score) + ".txt";
}

std::string ServerDate(std::int64_t unixSeconds) {
    std::time_t time = static_cast<std::time_t>(unixSeconds);
    std::tm utc{};
    gmtime_r(&time, &utc);
    static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[32];
    std::snprintf(text, sizeof text, "%02d %s %04d", utc.tm_mday, Months[utc.tm_mon % 12], utc.tm_year + 1900);
    return text;
}

bool IsWebPagePath(std::string_view path) { return ReadWebPath(path).What != WebPath::None; }

BoardPages::BoardPages(std::vector<ScoreEntry> rows, std::vector<ScoreEntry> archived, bool watchLinks)
    : Rows(std::move(rows)), Archived(std::move(archived)), WatchLinks(watchLinks) {
    if (Rows.size() > static_cast<std::size_t>(WebPageDepth)) Rows.resize(WebPageDepth);
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        ByName[Rows[i].Name].push_back(i);
        if (!Rows[i].GameHash.empty()) ByGame.emplace(Rows[i].GameHash, i);
    }
    FirstPage = BoardPage(1, std::string_view());
    FirstPageTagsAt = FirstPage.find("<link rel=\"icon\"");
}

WebReply BoardPages::Answer(std::string_view path, std::string_view rawQuery, std::string_view publicBase) const {
    WebPath target = ReadWebPath(path);
    switch (target.What) {
    case WebPath::Icon:
        return {200,
                std::string(reinterpret_cast<const char*>(KestrovarWebIcon),
                            static_cast<std::size_t>(KestrovarWebIconEnd - KestrovarWebIcon)),
                PngType.data()};
    case WebPath::Player:
        if (!ByName.count(target.Key))
            return {404, NotFoundPage("../", "No player of that name has a game on the board."), HtmlPageType};
        return {200, PlayerPage(target.Key, publicBase), HtmlPageType};
    case WebPath::Game: {
        auto found = ByGame.find(target.Key);
        if (found == ByGame.end()) return {404, NotFoundPage("../", "The board holds no such game."), HtmlPageType};
        return {200, GamePage(found->second, publicBase), HtmlPageType};
    }
    case WebPath::Board: {
        int page = 1;
        if (auto query = ParseQuery(rawQuery))
            for (const QueryParameter& parameter : *query)
                if (parameter.Name == "page") {
                    auto number = ParseCount(parameter.Value);
                    page = number && *number >= 1 && *number <= LastPage ? static_cast<int>(*number) : 0;
                }
        int pages = std::max<int>(1, static_cast<int>((Rows.size() + WebPageRows - 1) / WebPageRows));
        if (page < 1 || page > pages) return {404, NotFoundPage("", "The board has no such page."), HtmlPageType};
        if (page > 1) return {200, BoardPage(page, publicBase), HtmlPageType};
        std::string first = FirstPage;
        first.insert(FirstPageTagsAt, PreviewTags({"", "", "", ""}, publicBase));
        return {200, std::move(first), HtmlPageType};
    }
    case WebPath::None: break;
    }
    return {404, NotFoundPage("", "There is no such page."), HtmlPageType};
}

std::string BoardPages::BoardPage(int page, std::string_view publicBase) const {
    std::size_t from = static_cast<std::size_t>(page - 1) * WebPageRows;
    std::size_t to = std::min(Rows.size(), from + WebPageRows);
    PageInfo info{"Kestrovar: the online board",
                  "The best games of Kestrovar, each one played again by the server to check its score.", "",
                  page == 1 ? "" : "?page=" + std::to_string(page)};
    if (page > 1) info.Title += " (" + std::to_string(from + 1) + " to " + std::to_string(to) + ")";
    std::string body = page == 1 ? "<h1>The best games</h1>\n"
                                 : "<h1>Games " + std::to_string(from + 1) + " to " + std::to_string(to) + "</h1>\n";
    body += "<p>Every score here is a game the server played again, frame by frame, and got the same score. A name "
            "leads to the player's games, a game to its page.</p>\n";
    bool marked = false;
    if (Rows.empty()) {
        body += "<p>No game is on the board yet.</p>\n";
    } else {
        body += TableHead(true);
        for (std::size_t i = from; i < to; ++i) body += TableRow("", Rows[i], i + 1, true, WatchLinks, marked);
        body += TableFoot;
    }
    std::size_t pages = (Rows.size() + WebPageRows - 1) / WebPageRows;
    if (pages > 1) {
        body += "<nav>";
        for (std::size_t p = 1; p <= pages; ++p) {
            std::string label = std::to_string((p - 1) * WebPageRows + 1) + "-" +
                                std::to_string(std::min(Rows.size(), p * WebPageRows));
            if (static_cast<int>(p) == page)
                body += "<b>" + label + "</b>";
            else
                body +=
                    "<a href=\"" + std::string(p == 1 ? "./" : "?page=" + std::to_string(p)) + "\">" + label + "</a>";
        }
        body += "</nav>\n";
    }
    // Games of older rules replay only in the builds that played them: kept, each rules version its own table, their
    // scripts to download (they have no page: they are out of the ranking).
    for (std::size_t first = 0; page == 1 && first < Archived.size();) {
        std::size_t last = first;
        while (last < Archived.size() && Archived[last].Rules == Archived[first].Rules) ++last;
        std::string rules = std::to_string(Archived[first].Rules);
        body += "<h1 id=\"rules-" + rules + "\">Archived: rules " + rules + "</h1>\n<p>Games played under rules " +
                rules + ", which this version of the game no longer plays; they stay here, out of the top ten.</p>\n" +
                TableHead(true);
        for (std::size_t i = first; i < last; ++i) body += ArchivedRow(Archived[i], i - first + 1, marked);
        body += TableFoot;
        first = last;
    }
    if (marked) body += MarkNote;
    return MakePage(info, body, publicBase);
}

std::string BoardPages::PlayerPage(const std::string& name, std::string_view publicBase) const {
    const std::vector<std::size_t>& games = ByName.at(name);
    const ScoreEntry& best = Rows[games.front()];
    PageInfo info{"Kestrovar: " + name,
                  name + "'s best game scored " + std::to_string(best.Score) + " at level " +
                      std::to_string(best.Level) + ", number " + std::to_string(games.front() + 1) + " on the board.",
                  "../", "player/" + PathSegment(name)};
    std::string body = "<h1>" + HtmlEscaped(name) + "</h1>\n<p>" + std::to_string(games.size()) +
                       (games.size() == 1 ? " game" : " games") + " among the board's best; the best is number " +
                       std::to_string(games.front() + 1) + ".</p>\n" + TableHead(false);
    bool marked = false;
    for (std::size_t index : games) body += TableRow("../", Rows[index], index + 1, false, WatchLinks, marked);
    body += TableFoot;
    if (marked) body += MarkNote;
    return MakePage(info, body, publicBase);
}

std::string BoardPages::GamePage(std::size_t index, std::string_view publicBase) const {
    const ScoreEntry& row = Rows[index];
    std::string file = ScriptFileName(row);
    PageInfo info{"Kestrovar: " + row.Name + ", " + std::to_string(row.Score) + " points",
                  row.Name + " scored " + std::to_string(row.Score) + " at level " + std::to_string(row.Level) +
                      " in " + GameLength(row.Frames) + ", number " + std::to_string(index + 1) + " on the board.",
                  "../", "game/" + row.GameHash};
    bool marked = false;
    std::string body = "<h1>" + HtmlEscaped(row.Name) + ": " + std::to_string(row.Score) + " points</h1>\n<dl>\n" +
                       "<dt>player</dt><dd>" + PlayerLink("../", row.Name) + "</dd>\n<dt>score</dt><dd>" +
                       std::to_string(row.Score) + "</dd>\n<dt>level</dt><dd>" + std::to_string(row.Level) +
                       "</dd>\n<dt>length</dt><dd>" + GameLength(row.Frames) + "</dd>\n<dt>rank</dt><dd>" +
                       std::to_string(index + 1) + "</dd>\n<dt>uploaded</dt><dd>" + ShownDate(row, marked) +
                       "</dd>\n<dt>script</dt><dd>" + ScriptLink("../", row, file) + "</dd>\n</dl>\n" +
                       "<p>Watch it in the game: download its script and run <code>kestrovar --watch " + file +
                       "</code>.</p>\n";
    if (marked) body += MarkNote;
    return MakePage(info, body, publicBase);
}

} // namespace ScoreServer
