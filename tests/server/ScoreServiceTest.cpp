// The score service on both storage back ends, with the real replay checker: the replies the game reads, the
// games it takes (each checked by playing it again), and every upload it must refuse with the board unchanged.
#include "server/ScoreService.h"
#include "ServerTestSupport.h"
#include "server/GameArchive.h"
#include "server/GameTicket.h"
#include "server/RequestSignature.h"
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace ScoreServer;
using namespace ServerTests;

namespace {
const std::string Scores = "/Kestrovar_scores.php";
const std::string Versions = "/VersionCheck.php";
const std::string Client = "192.0.2.7";
constexpr std::int64_t Day = 24 * 60 * 60;
constexpr std::int64_t Hour = 60 * 60;
const std::string NotRanked = "not ranked: played without the server's seed\n";

// The ticket of a script's ticket line, or of a new game's reply.
std::string TicketIn(const std::string& text) {
    std::size_t at = text.find("ticket ") + 7;
    return text.substr(at, text.find('\n', at) - at);
}

std::string EntryLines(const std::string& name, const TestGame& game) {
    return name + "\n" + std::to_string(game.Level) + "\n" + std::to_string(game.Score) + "\n" + game.Hash +
           "\n08 Dec 2026\n";
}

class ScoreServiceTest : public testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        std::string skip;
        Location = FreshLocation(GetParam(), Folder, skip);
        if (Location.empty()) GTEST_SKIP() << skip;
        Store = OpenScoreStore(Location);
        Settings.Key = GameKey();
        Settings.RatePerSecond = 0;
        Settings.Verifier = RealVerifier();
        Settings.WallClock = [this] { return Now.load(); };
        // "ok" whenever the game passes, however busy the machine: a check never outlasts this wait.
        Settings.VerifyWaitSeconds = 120;
        Service = std::make_unique<ScoreService>(*Store, Settings);
    }
    // The game as its player keeps it, seeded by a ticket of this board dealt an hour ago.
    TestGame Ranked(const TestGame& game) { return Ticketed(*Store, game, Now - Hour); }
    Reply Upload(const std::string& query, const std::string& body, std::int64_t stamp = NowSeconds()) {
        return Service->Handle(Scores, Signed(query, "Kestrovar_scores.php", stamp), Client, body);
    }
    // Unsigned, as the game uploads a ticketed game; claiming the first game's score.
    Reply Send(const std::string& name, const std::string& script, ScoreService* service = nullptr) {
        return (service ? *service : *Service)
            .Handle(Scores, UploadQuery(name, FirstGameLevel, FirstGameScore, script), Client, script);
    }
    Reply Upload(const std::string& name, const TestGame& game) {
        std::string script = Ranked(game).Script;
        return Upload(UploadQuery(name, game.Level, game.Score, script), script);
    }
    std::string Board() { return Service->Handle(Scores, "option=getscore&nbscore=100", Client).Body; }

    TempFolder Folder;
    std::string Location;
    std::unique_ptr<ScoreStore> Store;
    ServiceSettings Settings;
    std::unique_ptr<ScoreService> Service;
    std::atomic<std::int64_t> Now = NowSeconds();
};

TEST_P(ScoreServiceTest, AVerifiedGameGoesOnTheBoardAndReadsArePublic) {
    const TestGame& cut = CutGames(1)[0];
    EXPECT_EQ(Upload("Ada", FirstGame()).Body, "ok\n");
    EXPECT_EQ(Upload("bob%202", cut).Body, "ok\n");

    // Five lines an entry (name, level, score, a line the game skips, date), best first; no signature needed.
    std::string second =
        "bob 2\n" + std::to_string(cut.Level) + "\n" + std::to_string(cut.Score) + "\n" + cut.Hash + "\n08 Dec 2026\n";
    // The line the game's table leaves aside names the game behind the row.
    std::string first = "ada\n3\n5060\n" + FirstGame().Hash + "\n08 Dec 2026\n";
    EXPECT_EQ(Board(), first + second);
    EXPECT_EQ(Service->Handle(Scores, Signed("option=getscore&nbscore=1"), Client).Body, first);
    EXPECT_EQ(Service->Handle(Versions, "option=getversion&nbscore=30", Client).Body, "kestrovar\n1.3\n");
    // The stored version follows the server's setting at start-up.
    Store->SetVersion("kestrovar", "1.4");
    ScoreService restarted(*Store, Settings);
    EXPECT_EQ(restarted.Handle(Versions, Signed("option=getversion&nbscore=30", "VersionCheck.php"), Client).Body,
              "kestrovar\n1.4\n");
    // The board keeps the game itself, as it was uploaded but for its ticket.
    EXPECT_EQ(Store->GameScript(FirstGame().Hash), FirstGame().Stored);
}

TEST_P(ScoreServiceTest, OneGameIsOneRowWhichOnlyItsTicketsOwnerRenames) {
    // A first sync before the player chose a name, then the same again, on another server sharing the board.
    const std::string owned = Ranked(FirstGame()).Script;
    ScoreService otherServer(*Store, Settings);
    const Reply replies[] = {Send("unnamed", owned), Send("unnamed", owned, &otherServer), Send("ada", owned),
                             Send("ada", owned, &otherServer)};
    const char* expected[] = {"ok\n", "known: unnamed\n", "renamed\n", "known: ada\n"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(replies[i].Body, expected[i]) << i;
    EXPECT_EQ(Board(), "ada\n3\n5060\n" + FirstGame().Hash + "\n08 Dec 2026\n");
    // The same game without its ticket, or with a ticket of its own, renames nothing; no reply shows the ticket.
    EXPECT_EQ(Send("thief", FirstGame().Script).Body, "known: ada\n");
    EXPECT_EQ(Send("thief", Ranked(FirstGame()).Script).Body, "known: ada\n");
    const std::string ticket = TicketIn(owned);
    for (const Reply& reply : replies) EXPECT_EQ(reply.Body.find(ticket), std::string::npos);
    EXPECT_EQ(Service->Handle(Scores, "option=getgame&game=" + FirstGame().Hash, Client).Body, FirstGame().Stored);
    EXPECT_EQ(Service->Handle("/", "", Client).Body.find(ticket), std::string::npos);
}

TEST_P(ScoreServiceTest, CopiesOfARankedGameNeverLandUnderAnotherName) {
    const TestGame& game = FirstGame();
    const std::string owned = Ranked(game).Script;
    ASSERT_EQ(Send("owner", owned).Body, "ok\n");
    const std::string before = Board();
    // What a thief can have: the game from getgame (no ticket line), and tickets of the thief's own.
    const std::string downloaded = Service->Handle(Scores, "option=getgame&game=" + game.Hash, Client).Body;
    ASSERT_EQ(downloaded.find("ticket"), std::string::npos);
    std::string edited = downloaded, reseeded = downloaded;
    edited.replace(edited.find("61 down 162"), 11, "60 down 162");
    reseeded.replace(reseeded.find("seed 20261208"), 13, "seed 20261209");
    const std::string copies[] = {CutGames(1)[0].Script, edited, reseeded};
    // Commented, it is the same game still, whoever sends it.
    EXPECT_EQ(Send("thief", "; mine now\n" + downloaded).Body, "known: owner\n");
    Settings.SeedSource = [] { return 4242u; };
    ScoreService dealing(*Store, Settings);
    for (const std::string& copy : copies) {
        // As downloaded: played without the server's seed.
        Reply bare = Send("thief", copy);
        EXPECT_EQ(bare.Status, 200);
        EXPECT_EQ(bare.Body, NotRanked);
        // With a ticket the thief was dealt: a ticket of another seed.
        std::string dealt = dealing.Handle(Scores, "option=newgame", Client).Body;
        ASSERT_EQ(dealt.rfind("seed 4242\nticket ", 0), 0u) << dealt;
        Reply theirs = Send("thief", WithTicketLine(copy, TicketIn(dealt)));
        EXPECT_EQ(theirs.Body, "error: the ticket is for another seed\n");
        EXPECT_EQ(theirs.Status, 403);
        // With the owner's ticket (the owner's own edit): one game a ticket.
        if (copy != reseeded) {
            EXPECT_EQ(Send("owner", WithTicketLine(copy, TicketIn(owned))).Body,
                      "error: the ticket's game is already on the board\n");
        }
    }
    EXPECT_EQ(Board(), before);
}

TEST_P(ScoreServiceTest, ATicketIsTheServersOfItsSeedAndGoodForADayNoSoonerThanRealTime) {
    // A new game dealt by the server, for the seed the first game was played from.
    Settings.SeedSource = [] { return 20261208u; };
    ScoreService dealing(*Store, Settings);
    Reply dealt = dealing.Handle(Scores, "option=newgame", Client);
    ASSERT_EQ(dealt.Status, 200);
    ASSERT_EQ(dealt.Body.rfind("seed 20261208\nticket ", 0), 0u) << dealt.Body;
    std::string ticket = TicketIn(dealt.Body);
    for (char c : ticket) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') << ticket;
    const std::string played = WithTicketLine(FirstGame().Script, ticket);

    // 3893 frames take 65 seconds: sent 30 seconds after the deal it was not played in real time.
    Now += 30;
    EXPECT_EQ(Send("quick", played, &dealing).Body, "error: uploaded sooner than its game could be played\n");
    std::string forged = ticket;
    forged[10] = forged[10] == 'A' ? 'B' : 'A';
    std::string otherSecret = MakeTicket(NewServerSecret(), 20261208u, Now - Hour);
    const std::pair<std::string, std::string> refused[] = {
        {WithTicketLine(FirstGame().Script, forged), "error: not a ticket of this server\n"},
        {WithTicketLine(FirstGame().Script, otherSecret), "error: not a ticket of this server\n"},
        {Ticketed(*Store, FirstGame(), Now - Day - 1).Script, "error: the ticket has expired\n"},
        {WithTicketLine(FirstGame().Script, MakeTicket(Store->ServerSecret(""), 7u, Now - Hour)),
         "error: the ticket is for another seed\n"},
        {WithTicketLine(WithTicketLine(FirstGame().Script, ticket), ticket),
         "error: a game holds at most one ticket line, \"ticket T\"\n"},
    };
    for (const auto& [script, why] : refused) {
        Reply reply = Send("cheat", script, &dealing);
        EXPECT_EQ(reply.Body, why);
        EXPECT_GE(reply.Status, 400);
        EXPECT_LT(reply.Status, 500);
    }
    EXPECT_EQ(Board(), "");
    // A refusal does not spend the ticket: the same game, a minute later, lands.
    Now += 40;
    EXPECT_EQ(Send("patient", played, &dealing).Body, "ok\n");
}

TEST_P(ScoreServiceTest, NewGamesAreAFewAMinuteForEachClientNetwork) {
    double steady = 0;
    Settings.RatePerSecond = 1000;
    Settings.NewGamesPerMinute = 1;
    Settings.NewGamesBurst = 2;
    ScoreService limited(*Store, Settings, [&] { return steady; });
    auto deal = [&](const std::string& address) { return limited.Handle(Scores, "option=newgame", address).Status; };
    EXPECT_EQ(deal("192.0.2.7"), 200);
    EXPECT_EQ(deal("192.0.2.8"), 200);
    EXPECT_EQ(deal("192.0.2.200"), 429); // the same /24
    EXPECT_EQ(deal("2001:db8:0:1200::1"), 200);
    EXPECT_EQ(deal("2001:db8:0:12ff::2"), 200);
    EXPECT_EQ(deal("2001:db8:0:12ab:ffff::9"), 429); // the same /56
    EXPECT_EQ(deal("198.51.100.1"), 200);
    steady += 60;
    EXPECT_EQ(deal("192.0.2.9"), 200);
}

TEST_P(ScoreServiceTest, GamesOfOlderRulesAreAnArchiveOnThePageOutOfTheTopTen) {
    const TestGame& game = FirstGame();
    ScoreEntry old{"", "elder", game.Level, game.Score, "01 Dec 2026", {}, 0, RulesVersion - 1};
    ASSERT_EQ(Store->AddGame(old, {game.Hash, game.Script, "end=game-over old", 3893, ""}), AddOutcome::Added);
    Reply page = Service->Handle("/", "", Client);
    EXPECT_EQ(Board(), "");
    EXPECT_NE(page.Body.find("Archived: rules " + std::to_string(RulesVersion - 1)), std::string::npos) << page.Body;
    EXPECT_NE(page.Body.find(">elder<"), std::string::npos);
    // An older build syncing its game again is told where it stands.
    EXPECT_EQ(Upload(UploadQuery("elder", game.Level, game.Score, game.Script), game.Script).Body, "known: elder\n");
}

// A store that can be taken away, as a database that stops answering.
class LostStore : public ScoreStore {
  public:
    explicit LostStore(ScoreStore& inner) : Inner(inner) {}
    std::atomic<bool> Lost = false;
    AddOutcome AddGame(const ScoreEntry& entry, const VerifiedGame& game) override {
        Check();
        return Inner.AddGame(entry, game);
    }
    std::optional<KnownGame> FindGame(const std::string& hash) override {
        Check();
        return Inner.FindGame(hash);
    }
    std::optional<std::string> TicketGame(const std::string& ticketHash) override {
        Check();
        return Inner.TicketGame(ticketHash);
    }
    bool RenameGame(const std::string& hash, const std::string& ticketHash, const std::string& name) override {
        Check();
        return Inner.RenameGame(hash, ticketHash, name);
    }
    std::vector<ScoreEntry> ArchivedScores(const std::string& board, int count) override {
        Check();
        return Inner.ArchivedScores(board, count);
    }
    std::string ServerSecret(const std::string& fresh) override { return Inner.ServerSecret(fresh); }
    int PruneBoard(const std::string& board, int rules, int keepRows) override {
        Check();
        return Inner.PruneBoard(board, rules, keepRows);
    }
    std::optional<std::string> GameScript(const std::string& hash) override {
        Check();
        return Inner.GameScript(hash);
    }
    std::vector<ScoreEntry> TopScores(const std::string& board, int count) override {
        Check();
        return Inner.TopScores(board, count);
    }
    std::vector<VersionEntry> Versions(int count) override {
        Check();
        return Inner.Versions(count);
    }
    void SetVersion(const std::string& product, const std::string& version) override {
        Inner.SetVersion(product, version);
    }
    int SchemaVersion() override { return Inner.SchemaVersion(); }

  private:
    void Check() {
        if (Lost) throw StoreError("lost");
    }
    ScoreStore& Inner;
};

TEST_P(ScoreServiceTest, ReadsComeFromMemoryAndFollowOtherServersBoards) {
    // Two servers on one database; the first reads its boards again every 50 ms.
    LostStore lost(*Store);
    ServiceSettings renewing = Settings;
    renewing.RenewBoardsSeconds = 0.05;
    ScoreService first(lost, renewing), second(*Store, Settings);
    auto top = [&](ScoreService& service) { return service.Handle(Scores, "option=getscore&nbscore=10", Client); };
    auto upload = [&](ScoreService& service, const std::string& name, const TestGame& game) {
        std::string script = Ranked(game).Script;
        return service.Handle(Scores, UploadQuery(name, game.Level, game.Score, script), Client, script);
    };
    const TestGame& cut = CutGames(1)[0];
    ASSERT_LT(cut.Score, FirstGameScore);
    EXPECT_EQ(top(first).Body, "");
    ASSERT_EQ(upload(first, "near", cut).Body, "ok\n");
    EXPECT_EQ(top(first).Body, EntryLines("near", cut)); // renewed by its own game at once

    ASSERT_EQ(upload(second, "far", FirstGame()).Body, "ok\n");
    const std::string both = EntryLines("far", FirstGame()) + EntryLines("near", cut);
    for (int waited = 0; top(first).Body != both && waited < 5000; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(top(first).Body, both);

    // The database gone: reads are still answered from memory, an upload is refused with 503.
    EXPECT_EQ(first.Handle(Versions, "option=getversion&nbscore=30", Client).Body, "kestrovar\n1.3\n");
    lost.Lost = true;
    Reply read = top(first);
    EXPECT_EQ(read.Status, 200);
    EXPECT_EQ(read.Body, both);
    EXPECT_EQ(first.Handle(Versions, "option=getversion&nbscore=30", Client).Status, 200);
    EXPECT_EQ(upload(first, "gone", CutGames(2)[1]).Status, 503);
}

TEST_P(ScoreServiceTest, AClockADayOffStillUploadsAndEveryEntryNameRoundTrips) {
    const auto& games = CutGames(2);
    std::string late = Ranked(games[0]).Script;
    EXPECT_EQ(Upload(UploadQuery("late", games[0].Level, games[0].Score, late), late, NowSeconds() - Day).Status, 200);
    // The name entry's characters: digits, ":;<=>?@", capitals (lowered) and space, percent-encoded on the wire.
    EXPECT_EQ(Upload("%3F%40%3A%3B%3C%3D%3EZ%209", games[1]).Status, 200);
    EXPECT_NE(Board().find("?@:;<=>z 9\n"), std::string::npos) << Board();
    EXPECT_NE(Board().find("late\n"), std::string::npos) << Board();
}

TEST_P(ScoreServiceTest, EveryGameOnTheBoardCanBeFetchedAndTheRootIsTheBoardsWebPage) {
    // Padded near the upload's limit with comments, blank lines and spaces: the board keeps (and names the game by)
    // what the checker reads, no more.
    TestGame game = FirstGame();
    std::string padding;
    while (padding.size() < (900u << 10)) padding += "; padding padding padding padding\n\n   \t\r\n";
    game.Script = padding + game.Script;
    ASSERT_EQ(Upload("%3Cb%3E%3C", game).Status, 200);
    Reply script = Service->Handle(Scores, "option=getgame&game=" + game.Hash, Client);
    EXPECT_EQ(script.Status, 200);
    EXPECT_EQ(script.Body, game.Stored);
    EXPECT_EQ(Store->GameScript(game.Hash), game.Stored);
    EXPECT_LT(game.Stored.size(), FirstGame().Script.size());
    EXPECT_EQ(Service->Handle(Scores, "option=getgame&game=" + std::string(64, 'a'), Client).Status, 404);
    EXPECT_EQ(Service->Handle(Scores, "option=getgame&game=../x", Client).Status, 400);

    Reply page = Service->Handle("/", "", Client);
    EXPECT_EQ(page.Status, 200);
    EXPECT_STREQ(page.ContentType, HtmlType);
    // The name the name entry allowed is text on the page, never markup; the row links to its game's page, which
    // links to the script, and says how long it lasted (3893 frames: 1 minute 4 seconds).
    EXPECT_NE(page.Body.find(">&lt;b&gt;&lt;</a></td>"), std::string::npos) << page.Body;
    EXPECT_EQ(page.Body.find("<b>"), std::string::npos);
    EXPECT_NE(page.Body.find("<a href=\"game/" + game.Hash + "\">"), std::string::npos);
    EXPECT_NE(page.Body.find("<td class=\"length\">1:04</td>"), std::string::npos);
    Reply gamePage = Service->Handle("/game/" + game.Hash, "", Client);
    EXPECT_NE(gamePage.Body.find("option=getgame&amp;game=" + game.Hash + "\""), std::string::npos);
}

TEST_P(ScoreServiceTest, RefusesEveryUploadThatIsNotAVerifiedGame) {
    ASSERT_EQ(Upload("keeper", CutGames(1)[0]).Status, 200);
    const std::string before = Board();
    const TestGame& game = FirstGame();
    // Each with a good ticket for its seed, so that only the game itself is wrong.
    auto upload = [&](const std::string& bare, std::int64_t level = FirstGameLevel,
                      std::int64_t score = FirstGameScore) {
        std::string script = Ranked({bare, "", 0, 0}).Script;
        return Upload(UploadQuery("cheat", level, score, script), script);
    };
    struct Case {
        Reply Got;
        int Status;
        std::string Body;
    };
    std::string tooLong = game.Script;
    tooLong.replace(tooLong.find("end 3893"), 8, "end 216001");
    std::string otherRules = game.Script;
    otherRules.replace(otherRules.find("\nrules 2\n"), 9, "\nrules 3\n");
    const Case cases[] = {
        // A forged score with a valid signature: the old upload with no game, and a claim with another's game.
        {Service->Handle(Scores,
                         Signed("option=addscore&user=n&level=3&score=5060%20&date=08%20Dec%202026"
                                "&difficulty="),
                         Client),
         400, "error: an upload needs its game: there is no replay to check\n"},
        {Service->Handle(Scores, UploadQuery("cheat", 3, 5060, game.Script), Client, game.Script + " "), 400,
         "error: the body is not the game the query names\n"},
        // A real game claiming more than it played.
        {upload(game.Script, 3, 99'999'990), 422,
         "error: replay ends with score 5060 at level 3, not 99999990 at level 3\n"},
        // Another rules version; a hostile script: malformed, too long to play, too large to read.
        {upload(otherRules), 422,
         "error: replay from rules 3, this server plays rules " + std::to_string(RulesVersion) + "\n"},
        {upload("seed 1\n10 explode\n"), 422, "error: replay unreadable: line 2: unknown event \"explode\"\n"},
        {upload(tooLong), 422, "error: replay of 216001 frames, more than the 216000 this server plays\n"},
        {Upload(UploadQuery("cheat", 3, 5060, "x"), std::string(Settings.MaxBodyBytes + 1, ';')), 413,
         "error: game too large\n"},
        // A signature that does not match what was sent.
        {Service->Handle(Scores,
                         Signed(UploadQuery("cheat", 3, 5060, game.Script), "Kestrovar_scores.php", NowSeconds(),
                                RandomNonce(), "not-the-key"),
                         Client, game.Script),
         403, "error: bad signature\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.Got.Status, c.Status) << c.Got.Body;
        EXPECT_EQ(c.Got.Body, c.Body);
    }
    EXPECT_EQ(Board(), before);
}

TEST_P(ScoreServiceTest, RefusesBadFieldsAndMalformedQueriesAndLeavesTheBoardUnchanged) {
    ASSERT_EQ(Upload("keeper", CutGames(1)[0]).Status, 200);
    const std::string before = Board();
    const TestGame& game = FirstGame();
    // Each upload carries the real game, so only the field named here is wrong.
    auto upload = [&](const std::string& user, const std::string& level = "3", const std::string& score = "5060",
                      const std::string& date = "08%20Dec%202026") {
        return "option=addscore&user=" + user + "&level=" + level + "&score=" + score + "%20&date=" + date +
               "&difficulty=&game=" + Sha256Hex(game.Script);
    };
    const std::string bad[] = {
        // Injection attempts and names outside what name entry makes, 1 to 10 characters.
        upload("x%27%3B%20DROP%20TABLE%20scores%3B--"), upload("a%26b"), upload("a%22b"), upload("a%00b"),
        upload("a%0Ab"), upload(""), upload("elevenchars"), upload("%C3%A9t%C3%A9"),
        // Malformed numbers and dates.
        upload("n", "-1"), upload("n", "1e3"), upload("n", "0x10"), upload("n", "3", "12abc"), upload("n", "3", ""),
        upload("n", "3", "99999999999999999999999"), upload("n", "3", "5060", "32%20Dec%202026"),
        upload("n", "3", "5060", "08%20Dec%202026%27%29--"),
        // A repeated, unknown or missing parameter, a bad escape, too many.
        upload("n") + "&level=2", upload("n") + "&admin=1", "option=addscore&user=n&level=3&score=5060", upload("n%zz"),
        "option=addscore&a=1&b=2&c=3&d=4&e=5&f=6&g=7&h=8&i=9&j=10&k=11&l=12", "option=dropscores"};
    for (const std::string& query : bad) {
        Reply reply = Service->Handle(Scores, Signed(query), Client, game.Script);
        EXPECT_NE(reply.Status, 200) << query;
        EXPECT_EQ(reply.Body.rfind("error: ", 0), 0u) << query;
    }
    for (const char* read :
         {"option=getscore&nbscore=10%27%20OR%201%3D1", "option=getscore&nbscore=101",
          "option=getscore&nbscore=10&difficulty=%27%20OR%20%271%27%3D%271", "option=getgame&game=%27%20OR%201%3D1"})
        EXPECT_EQ(Service->Handle(Scores, read, Client).Status, 400) << read;
    EXPECT_EQ(Service->Handle("/admin.php", "option=getscore&nbscore=10", Client).Status, 404);
    EXPECT_EQ(Board(), before);
}

TEST_P(ScoreServiceTest, MadeUpBoardsNeverCrowdTheRealOneOutOfMemory) {
    ASSERT_EQ(Upload("real", CutGames(1)[0]).Body, "ok\n");
    ScoreService restarted(*Store, Settings);
    for (int i = 0; i < 300; ++i) {
        std::string invented = "option=getscore&nbscore=10&difficulty=x" + std::to_string(i);
        ASSERT_EQ(restarted.Handle(Scores, invented, Client).Body, "");
        EXPECT_FALSE(restarted.AnswersFromMemory(Scores, invented));
    }
    EXPECT_EQ(restarted.Handle(Scores, "option=getscore&nbscore=10", Client).Body, EntryLines("real", CutGames(1)[0]));
    EXPECT_TRUE(restarted.AnswersFromMemory(Scores, "option=getscore&nbscore=10"));
}

TEST_P(ScoreServiceTest, EachNetworkHasItsDaysUploads) {
    Settings.UploadsPerDay = 1;
    ScoreService quota(*Store, Settings);
    const auto& games = CutGames(3);
    auto send = [&](const TestGame& game, const std::string& address) {
        std::string script = Ranked(game).Script;
        return quota.Handle(Scores, UploadQuery("q", game.Level, game.Score, script), address, script);
    };
    EXPECT_EQ(send(games[0], "198.51.100.1").Body, "ok\n");
    Reply spent = send(games[1], "198.51.100.2"); // another address of the same network
    EXPECT_EQ(spent.Status, 429);
    EXPECT_EQ(spent.Body, "error: the day's uploads from this network are spent\n");
    EXPECT_EQ(send(games[2], "198.51.101.1").Body, "ok\n");
}

TEST_P(ScoreServiceTest, AWorkerThatCrashesOrRunsOverIsARefusal) {
    const TestGame game = Ranked(FirstGame());
    Settings.Verifier.WorkerPath = FakeVerifier(Folder, "crash.sh", "kill -ABRT $$");
    Reply crashed = ScoreService(*Store, Settings)
                        .Handle(Scores, Signed(UploadQuery("n", 3, 5060, game.Script)), Client, game.Script);
    EXPECT_EQ(crashed.Status, 422);
    EXPECT_EQ(crashed.Body, "error: replay check crashed (signal 6)\n");

    Settings.Verifier.WorkerPath = FakeVerifier(Folder, "endless.sh", "exec /bin/sleep 60");
    Settings.Verifier.DeadlineSeconds = 0.5;
    Reply overran = ScoreService(*Store, Settings)
                        .Handle(Scores, Signed(UploadQuery("n", 3, 5060, game.Script)), Client, game.Script);
    EXPECT_EQ(overran.Status, 422);
    EXPECT_EQ(overran.Body, "error: replay ran past the time a check may take\n");
    EXPECT_EQ(Board(), "");
}

TEST_P(ScoreServiceTest, ASlowCheckIsAcceptedFirstAndAFullQueueIsBusy) {
    const auto& games = CutGames(4);
    // One worker, each check a second late; one check may wait; a client prefix may hold two.
    Settings.Verifier.WorkerPath =
        FakeVerifier(Folder, "slow.sh", std::string("/bin/sleep 1\nexec ") + KESTROVAR_VERIFY_BINARY + " \"$@\"");
    Settings.Verifier.Workers = 1;
    Settings.Verifier.QueueLimit = 1;
    Settings.Verifier.PerAddress = 2;
    Settings.VerifyWaitSeconds = 0.1;
    ScoreService slow(*Store, Settings);
    auto board = [&] { return slow.Handle(Scores, "option=getscore&nbscore=10", Client).Body; };
    EXPECT_EQ(board(), ""); // held in memory from here on
    auto send = [&](const TestGame& game, const std::string& address) {
        std::string script = Ranked(game).Script;
        return slow.Handle(Scores, UploadQuery("slow", game.Level, game.Score, script), address, script);
    };
    EXPECT_EQ(send(games[0], "198.51.100.1").Body, "accepted\n");    // running
    EXPECT_EQ(send(games[1], "198.51.100.1").Body, "accepted\n");    // waiting
    EXPECT_EQ(send(games[2], "198.51.100.1").Body, "error: busy\n"); // the prefix's share is taken
    EXPECT_EQ(send(games[3], "198.51.101.2").Body, "error: busy\n"); // the queue is full
    // Once checked, the accepted games show on the board read from memory: a check that ends after its upload
    // was answered renews the board too.
    bool secondBetter = games[1].Score > games[0].Score; // ties stay in the order checked
    const std::string both = secondBetter ? EntryLines("slow", games[1]) + EntryLines("slow", games[0])
                                          : EntryLines("slow", games[0]) + EntryLines("slow", games[1]);
    // Checks run in the idle class: on a busy machine they wait for a processor, so the wait is generous.
    for (int waited = 0; waited < 1200 && board() != both; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(board(), both);
}

INSTANTIATE_TEST_SUITE_P(Backends, ScoreServiceTest, testing::Values("sqlite", "postgresql"),
                         [](const auto& param) { return param.param; });
} // namespace
