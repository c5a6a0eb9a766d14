// The board's web pages from the running server: in headless Chromium at a phone's and a desktop's width nothing
// is wider than the window; a player's and a game's page, the pages past the first hundred, HEAD, our icon, and the
// link previews with the public address from the option or from our own proxy.
#include "server/WebPage.h"
#include "ServerTestSupport.h"
#include <gtest/gtest.h>
#include <httplib.h>
#include <sstream>

using namespace ServerTests;
using namespace ScoreServer;

namespace {

const std::string MarkupName = "<i>&\"x"; // the name entry never makes '&' or '"', but the pages hold any row
constexpr int FillerGames = 148;

// Two real games (their scripts fetched by the pages' links) and enough others for a second page of the board.
std::string MakeBoard(const TempFolder& folder) {
    const std::string database = folder.Path() + "/scores.sqlite";
    const std::vector<TestGame>& games = CutGames(2);
    auto store = OpenScoreStore(database);
    store->AddGame({"", MarkupName, games[0].Level, games[0].Score, "01 Dec 2026", {}, 0},
                   {games[0].Hash, games[0].Script, "end=a", 7260});
    store->AddGame({"", "bee", games[1].Level, games[1].Score, "02 Dec 2026", {}, 0},
                   {games[1].Hash, games[1].Script, "end=b", 600});
    for (int i = 0; i < FillerGames; ++i) {
        std::string hash = std::string(56, 'c') + std::to_string(10000000 + i);
        store->AddGame({"", "filler", 1, 10 + i, "03 Dec 2026", {}, 0}, {hash, "x", "end=" + hash, 60});
    }
    return database;
}

std::string PlayerPath(const std::string& encodedName) { return "/player/" + encodedName; }

TEST(WebPageTest, EveryPageFitsAPhoneAndADesktopWindowInABrowser) {
    ASSERT_EQ(std::system("command -v chromium node > /dev/null"), 0) << "tools/setup.sh installs chromium and node";
    const std::string driver = std::string(KESTROVAR_SOURCE_DIR) + "/tests/server/browser";
    ASSERT_EQ(std::system(("test -d " + driver + "/node_modules/puppeteer-core").c_str()), 0)
        << "tools/setup.sh installs puppeteer-core there";
    TempFolder folder;
    ServerProcess server(MakeBoard(folder), folder.Path() + "/server.log", {});
    ASSERT_GT(server.Port(), 0);
    const std::string pages[] = {"", "?page=2", "player/%3Ci%3E%26%22x", "game/" + CutGames(2)[0].Hash};
    std::string command = "cd " + driver +
                          " && timeout 120 node check-pages.mjs http://127.0.0.1:" + std::to_string(server.Port()) +
                          "/ 390,1280 " + folder.Path() + "/browser -";
    for (const std::string& page : pages) command += " '" + page + "'";
    command += " > " + folder.Path() + "/seen.txt 2> " + folder.Path() + "/browser.log";
    ASSERT_EQ(std::system(command.c_str()), 0) << FileText(folder.Path() + "/browser.log");

    // One line a page and width: width, status, the document's width, the window's, the first element past its edge.
    std::istringstream seen(FileText(folder.Path() + "/seen.txt"));
    int lines = 0;
    for (std::string line; std::getline(seen, line); ++lines) {
        std::istringstream fields(line);
        int width = 0, status = 0, scroll = 0, window = 0;
        std::string wider;
        fields >> width >> status >> scroll >> window >> wider;
        EXPECT_EQ(status, 200) << line;
        EXPECT_EQ(window, width) << line;
        EXPECT_EQ(scroll, width) << "no sideways scroll: " << line;
        EXPECT_EQ(wider, "-") << "nothing wider than the window: " << line;
    }
    EXPECT_EQ(lines, 2 * static_cast<int>(std::size(pages)));
}

TEST(WebPageTest, NamesAndGamesLeadToTheirPagesAndAnInventedOneChangesNothing) {
    TempFolder folder;
    ServerProcess server(MakeBoard(folder), folder.Path() + "/server.log", {});
    ASSERT_GT(server.Port(), 0);
    const std::vector<TestGame>& games = CutGames(2);
    const TestGame& marked = games[0];
    const std::string today = ServerDate(NowSeconds());

    // The board: each name leads to its player, each game to its page; the name is text, never markup.
    HttpResult board = HttpGet(server.Port(), "/");
    ASSERT_EQ(board.Status, 200);
    EXPECT_NE(board.Body.find("<a href=\"player/%3Ci%3E%26%22x\">&lt;i&gt;&amp;&quot;x</a>"), std::string::npos)
        << board.Body;
    EXPECT_EQ(board.Body.find("<i>"), std::string::npos);
    EXPECT_NE(board.Body.find("<a href=\"game/" + marked.Hash + "\">"), std::string::npos);
    EXPECT_NE(board.Body.find("<td class=\"date\">" + today + "</td>"), std::string::npos) << "the server's date";
    EXPECT_EQ(board.Body.find("01 Dec 2026"), std::string::npos) << "not the uploader's";
    EXPECT_NE(board.Body.find("Get it as the <code>kestrovar</code> package"), std::string::npos);
    EXPECT_EQ(board.Body.find("<td class=\"rank\">101</td>"), std::string::npos);
    EXPECT_NE(board.Body.find("<a href=\"?page=2\">101-150</a>"), std::string::npos);

    // Past the first hundred.
    EXPECT_NE(HttpGet(server.Port(), "/?page=2").Body.find("<td class=\"rank\">101</td>"), std::string::npos);
    EXPECT_EQ(HttpGet(server.Port(), "/?page=3").Status, 404);

    // A player's page holds their games only.
    HttpResult bee = HttpGet(server.Port(), PlayerPath("bee"));
    ASSERT_EQ(bee.Status, 200);
    EXPECT_NE(bee.Body.find("../game/" + games[1].Hash), std::string::npos);
    EXPECT_EQ(bee.Body.find(marked.Hash), std::string::npos);

    // A game's page: who, what, how long, when the server took it, and its script under a name that says whose.
    HttpResult game = HttpGet(server.Port(), "/game/" + marked.Hash);
    ASSERT_EQ(game.Status, 200);
    const std::string file = "kestrovar-_i___x-" + std::to_string(marked.Score) + ".txt";
    for (const std::string& part :
         {std::string("<dd><a href=\"../player/%3Ci%3E%26%22x\">&lt;i&gt;&amp;&quot;x</a></dd>"),
          "<dt>score</dt><dd>" + std::to_string(marked.Score) + "</dd>",
          "<dt>level</dt><dd>" + std::to_string(marked.Level) + "</dd>", std::string("<dt>length</dt><dd>2:01</dd>"),
          "<dt>uploaded</dt><dd>" + today + "</dd>",
          "href=\"../Kestrovar_scores.php?option=getgame&amp;game=" + marked.Hash + "\" download=\"" + file + "\""})
        EXPECT_NE(game.Body.find(part), std::string::npos) << part << "\n" << game.Body;
    EXPECT_EQ(HttpGet(server.Port(), "/Kestrovar_scores.php?option=getgame&game=" + marked.Hash).Body, marked.Script);

    // Invented names and games are told so, and the pages that exist stay as they were.
    EXPECT_EQ(HttpGet(server.Port(), PlayerPath("nobody")).Status, 404);
    EXPECT_EQ(HttpGet(server.Port(), "/game/" + std::string(64, 'a')).Status, 404);
    EXPECT_EQ(HttpGet(server.Port(), "/").Body, board.Body);
    EXPECT_EQ(HttpGet(server.Port(), PlayerPath("bee")).Body, bee.Body);

    // HEAD answers as GET does, without the body; our icon is the installed one.
    httplib::Client client("127.0.0.1", server.Port());
    for (const std::string& path : {std::string("/"), "/game/" + marked.Hash, std::string("/kestrovar.png")}) {
        auto head = client.Head(path);
        ASSERT_TRUE(head) << path;
        EXPECT_EQ(head->status, 200) << path;
        EXPECT_TRUE(head->body.empty()) << path;
        EXPECT_EQ(head->get_header_value("Content-Length"), std::to_string(HttpGet(server.Port(), path).Body.size()))
            << path;
    }
    auto icon = client.Get("/kestrovar.png");
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->get_header_value("Content-Type"), "image/png");
    EXPECT_EQ(icon->body, FileText(std::string(KESTROVAR_SOURCE_DIR) + "/install/kestrovar.png"));
    EXPECT_NE(board.Body.find("<link rel=\"icon\" type=\"image/png\" href=\"kestrovar.png\">"), std::string::npos);
}

TEST(WebPageTest, LinkPreviewsNameThePublicAddressFromTheOptionOrOurOwnProxy) {
    TempFolder folder;
    const std::string database = MakeBoard(folder);
    const httplib::Headers forwarded = {{"X-Forwarded-Host", "scores.example.org"}, {"X-Forwarded-Proto", "https"}};
    auto page = [&](int port, const std::string& path, const httplib::Headers& headers) {
        auto reply = httplib::Client("127.0.0.1", port).Get(path, headers);
        return reply ? reply->body : std::string();
    };
    {
        // A proxy we were not told of names nothing: no address, no preview that needs one.
        ServerProcess server(database, folder.Path() + "/plain.log", {});
        ASSERT_GT(server.Port(), 0);
        std::string body = page(server.Port(), "/", forwarded);
        EXPECT_NE(body.find("<meta property=\"og:title\""), std::string::npos);
        EXPECT_EQ(body.find("og:url"), std::string::npos);
    }
    {
        ServerProcess server(database, folder.Path() + "/proxied.log", {"--trusted-proxy", "127.0.0.1"});
        ASSERT_GT(server.Port(), 0);
        std::string body = page(server.Port(), "/player/bee", forwarded);
        EXPECT_NE(body.find("<meta property=\"og:url\" content=\"https://scores.example.org/player/bee\">"),
                  std::string::npos)
            << body;
        EXPECT_NE(body.find("<meta property=\"og:image\" content=\"https://scores.example.org/kestrovar.png\">"),
                  std::string::npos);
        // A host that is no host name is not written into the page.
        body = page(server.Port(), "/", {{"X-Forwarded-Host", "x\"><script>"}});
        EXPECT_EQ(body.find("og:url"), std::string::npos);
        EXPECT_EQ(body.find("<script>"), std::string::npos);
    }
    {
        ServerProcess server(database, folder.Path() + "/named.log",
                             {"--trusted-proxy", "127.0.0.1", "--public-address", "https://k.example/board"});
        ASSERT_GT(server.Port(), 0);
        std::string body = page(server.Port(), "/", forwarded);
        EXPECT_NE(body.find("<meta property=\"og:url\" content=\"https://k.example/board/\">"), std::string::npos)
            << "the option goes before the proxy's word";
        EXPECT_NE(body.find("content=\"https://k.example/board/kestrovar.png\""), std::string::npos);
    }
}
} // namespace
