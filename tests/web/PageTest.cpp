// The browser build as the score server serves it (--play-folder), in headless Chromium on software WebGL 2: a game
// of the board watched from one click on the board's top row to its end, the page's closing line the native
// replay's, with no console error on the way and the neon on the canvas, the menu's too; keys and a pad reach the
// game, a held pad's pauses hold the frames, the first key starts the sound, and a touch screen without keys is
// offered the board's best game.
#include "PageLines.h"
#include "ServerTestSupport.h"
#include "fortress/World.h"
#include "game/replay/ReplayEngine.h"
#include "server/CanonicalScript.h"
#include "server/GameArchive.h"
#include "server/ScoreStore.h"
#include <gtest/gtest.h>
#include <sstream>

using namespace ServerTests;

namespace {
// Two seconds of the first game: a watch runs in real time.
constexpr int ShortGameFrames = 120;
// Most of a frame of the fight is its black sky: the neon and the backdrop's glow light a few per cent of it.
constexpr int FewestLitPerMille = 10;
// A pad held over the options moves a line and pauses this long, every frame it is held.
constexpr int PadMovePauseMs = 150;

std::string ShortGame() {
    std::istringstream lines(FileText(std::string(KESTROVAR_SOURCE_DIR) + "/tests/replay/FirstGame.txt"));
    std::string script;
    for (std::string line; std::getline(lines, line);)
        if (line.empty() || !std::isdigit(static_cast<unsigned char>(line[0])) || std::stoi(line) < ShortGameFrames)
            script += line + "\n";
    return script + "end " + std::to_string(ShortGameFrames) + "\n";
}

} // namespace

TEST(WebPageInBrowserTest, ABoardGameWatchedInThePageEndsOnTheNativeClosingLine) {
    ASSERT_EQ(std::system("command -v chromium node > /dev/null"), 0) << "tools/setup.sh installs chromium and node";
    TempFolder folder;
    const std::string script = ShortGame(), id = ScoreServer::GameId(script);
    ReplayScript parsed;
    std::string error;
    std::istringstream text(script);
    ASSERT_TRUE(ParseReplayScript(text, parsed, error)) << error;
    World checked;
    const std::string closing = ReplayFinalLine(checked, RunReplay(checked, parsed, {}, ReplayFrames::SteppedOnly));
    {
        auto store = ScoreServer::OpenScoreStore(folder.Path() + "/scores.sqlite");
        store->AddGame({"", "web", 1, 40, "08 Dec 2026", {}, 0},
                       {id, ScoreServer::CanonicalScript(script), closing, ShortGameFrames});
    }
    ServerProcess server(folder.Path() + "/scores.sqlite", folder.Path() + "/server.log",
                         {"--play-folder", KESTROVAR_WEB_BUILD});
    ASSERT_GT(server.Port(), 0) << server.Log();

    // The board links the game to its watch.
    HttpResult board = HttpGet(server.Port(), "/");
    ASSERT_EQ(board.Status, 200);
    EXPECT_NE(board.Body.find("<a href=\"play/?game=" + id + "\">watch</a>"), std::string::npos) << board.Body;

    std::string command = "timeout 400 node " + std::string(KESTROVAR_SOURCE_DIR) +
                          "/tests/web/check-page.mjs http://127.0.0.1:" + std::to_string(server.Port()) + "/ " + id +
                          " " + folder.Path() + "/browser > " + folder.Path() + "/seen.txt 2> " + folder.Path() +
                          "/browser.log";
    int status = std::system(command.c_str());
    std::string seen = FileText(folder.Path() + "/seen.txt");
    ASSERT_EQ(status, 0) << seen << FileText(folder.Path() + "/browser.log");
    EXPECT_EQ(Seen(seen, "error"), "") << seen;
    EXPECT_EQ(Seen(seen, "closing"), closing) << seen;
    EXPECT_GE(std::atoi(Seen(seen, "lit").c_str()), FewestLitPerMille) << seen;
    EXPECT_GE(std::atoi(Seen(seen, "menu-lit").c_str()), FewestLitPerMille) << seen;
    EXPECT_NE(Seen(seen, "escape").find("Kestrovar has ended"), std::string::npos) << seen;
    EXPECT_NE(Seen(seen, "pad").find("Kestrovar has ended"), std::string::npos) << seen;
    // Each frame of the hold paused: the page made no more frames than the pauses let through (a busy machine makes
    // fewer), where frames that ran on through them would number 60 a second.
    int heldFrames = 0, heldMs = 0;
    std::istringstream(Seen(seen, "pad-held")) >> heldFrames >> heldMs;
    EXPECT_GT(heldMs, 0) << seen;
    EXPECT_LE((heldFrames - 2) * PadMovePauseMs, heldMs) << seen;
    EXPECT_EQ(Seen(seen, "sound-before") + " " + Seen(seen, "sound-after"), "suspended running") << seen;
    EXPECT_EQ(Seen(seen, "notice"), "") << seen;
    EXPECT_EQ(Seen(seen, "touch").rfind("Playing needs a keyboard or a game pad. Watch the best game", 0), 0u) << seen;
    // The window is the playfield's 4:3, where the notice over it would hide the menu's bottom line.
    const std::string gap = Seen(seen, "touch-gap");
    EXPECT_TRUE(!gap.empty() && std::atoi(gap.c_str()) >= 0) << seen;
    EXPECT_EQ(Seen(seen, "touch-best"), "http://127.0.0.1:" + std::to_string(server.Port()) + "/play/?game=" + id)
        << seen;
}
