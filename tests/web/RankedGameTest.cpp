// A ranked game played in the browser build as the score server serves it (--play-folder), in headless Chromium:
// the page's ticket comes from the server that served it, the game is played by keys, kept, and synced through the
// browser's form of the network component; the server's checker, replaying it natively, takes the browser's game
// as it scored, and the board shows its row.
#include "PageLines.h"
#include "ServerTestSupport.h"
#include "server/ScoreStore.h"
#include <gtest/gtest.h>
#include <sstream>

using namespace ServerTests;

TEST(WebRankedGameTest, AGamePlayedInThePageIsCheckedByTheServerAndBoardedWithItsScore) {
    ASSERT_EQ(std::system("command -v chromium node > /dev/null"), 0) << "tools/setup.sh installs chromium and node";
    TempFolder folder;
    const std::string database = folder.Path() + "/scores.sqlite";
    ServerProcess server(database, folder.Path() + "/server.log", {"--play-folder", KESTROVAR_WEB_BUILD});
    ASSERT_GT(server.Port(), 0) << server.Log();

    std::string command = "timeout 500 node " + std::string(KESTROVAR_SOURCE_DIR) +
                          "/tests/web/play-ranked.mjs http://127.0.0.1:" + std::to_string(server.Port()) + "/ " +
                          folder.Path() + "/browser " + KESTROVAR_SOURCE_DIR + "/tests/replay/FirstGame.txt > " +
                          folder.Path() + "/seen.txt 2> " + folder.Path() + "/browser.log";
    int status = std::system(command.c_str());
    std::string seen = FileText(folder.Path() + "/seen.txt");
    ASSERT_EQ(status, 0) << seen << FileText(folder.Path() + "/browser.log") << server.Log();
    EXPECT_EQ(Seen(seen, "error"), "") << seen;
    EXPECT_EQ(Seen(seen, "ticket"), "200") << seen;

    int score = 0, level = 0;
    ASSERT_EQ(std::sscanf(Seen(seen, "kept").c_str(), "; score=%d level=%d", &score, &level), 2) << seen;
    ASSERT_GT(score, 0) << "the bot's keys broke no section: " << seen;
    // Checked within the upload's wait ("ok"), or after it ("accepted"): the row is on the board either way.
    std::string upload = Seen(seen, "upload");
    EXPECT_TRUE(upload == "200 ok" || upload == "202 accepted") << seen << server.Log();
    std::vector<ScoreServer::ScoreEntry> board;
    ASSERT_TRUE(Eventually([&] {
        board = ScoreServer::OpenScoreStore(database)->TopScores("", 10);
        return !board.empty();
    })) << server.Log();
    ASSERT_EQ(board.size(), 1u);
    EXPECT_EQ(board[0].Score, score);
    EXPECT_EQ(board[0].Level, level);
    EXPECT_EQ(board[0].Name, "unnamed");
    HttpResult page = HttpGet(server.Port(), "/");
    EXPECT_NE(page.Body.find("play/?game=" + board[0].GameHash), std::string::npos) << page.Body;
}
