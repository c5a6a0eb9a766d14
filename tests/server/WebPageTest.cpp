// The board's web page in a real browser: headless Chromium loads it from the running server, and the rows are read
// from the document the browser built, a name full of markup characters shown as text.
#include "ServerTestSupport.h"
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

using namespace ServerTests;
using namespace ScoreServer;

namespace {

TEST(WebPageTest, ABrowserShowsEveryRowWithItsGameAndAMarkupNameAsText) {
    ASSERT_EQ(std::system("command -v chromium > /dev/null"), 0) << "tools/setup.sh installs chromium";
    TempFolder folder;
    const std::string database = folder.Path() + "/scores.sqlite";
    const std::vector<TestGame>& games = CutGames(2);
    {
        // Straight into the store: the name entry never makes '&' or '"', but the page must hold whatever a row has.
        auto store = OpenScoreStore(database);
        store->AddGame({"", "<i>&\"x", games[0].Level, games[0].Score, "01 Dec 2026", {}, 0},
                       {games[0].Hash, games[0].Script, "end=a", 7260});
        store->AddGame({"", "bee", games[1].Level, games[1].Score, "02 Dec 2026", {}, 0},
                       {games[1].Hash, games[1].Script, "end=b", 600});
    }
    ServerProcess server(database, folder.Path() + "/server.log", {});
    ASSERT_GT(server.Port(), 0);
    std::string dom = folder.Path() + "/dom.html";
    std::string command = "timeout 60 chromium --headless --no-sandbox --disable-gpu --user-data-dir=" + folder.Path() +
                          "/browser --dump-dom http://127.0.0.1:" + std::to_string(server.Port()) + "/ > " + dom +
                          " 2> " + folder.Path() + "/browser.log";
    ASSERT_EQ(std::system(command.c_str()), 0) << FileText(folder.Path() + "/browser.log");
    std::string page = FileText(dom);

    // The rows as the browser built them: rank, name, level, score, date, length, and a link to the game.
    const std::regex row(R"re(<tr><td>(\d+)</td><td class="name">([^<]*)</td><td>(\d+)</td><td>(\d+)</td>)re"
                         R"re(<td>([^<]*)</td><td>([^<]*)</td><td><a href="([^"]*)")re");
    std::vector<std::smatch> rows;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), row); it != std::sregex_iterator(); ++it)
        rows.push_back(*it);
    ASSERT_EQ(rows.size(), 2u) << page;
    const std::smatch& best = games[0].Score >= games[1].Score ? rows[0] : rows[1];
    EXPECT_EQ(best[2], "&lt;i&gt;&amp;\"x"); // the browser's own serialising of a text node
    EXPECT_EQ(page.find("<i>"), std::string::npos) << "no element came out of the name";
    EXPECT_EQ(best[4], std::to_string(games[0].Score));
    EXPECT_EQ(best[5], "01 Dec 2026");
    EXPECT_EQ(best[6], "2:01");
    EXPECT_EQ(best[7], "Kestrovar_scores.php?option=getgame&amp;game=" + games[0].Hash);
    // The link gives the game's script as the board keeps it.
    EXPECT_EQ(HttpGet(server.Port(), "/Kestrovar_scores.php?option=getgame&game=" + games[0].Hash).Body,
              games[0].Script);
}
} // namespace
