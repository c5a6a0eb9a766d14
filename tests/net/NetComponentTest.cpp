// The network component as the game binds it, against a score server inside the test process: replies as lines,
// every kind of failure as a bad state with no lines, the time-out, many requests, the signature, the order requests
// are answered in, the POST of a kept game, and the player's own choice of server.
#include "GameFixture.h"
#include "TestScoreServer.h"
#include "frontend/Network.h"
#include "netlib/ReplyBody.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <regex>
#include <set>
#include <thread>

namespace {
constexpr int Good = 2;

// Polls the way the game's wait does, in real time, until the queue is empty; the seconds it took.
double PollUntilEmpty(double mostSeconds = 20) {
    auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    while (Network::GetNumberOfCommandsInQueue() != 0 && elapsed() < mostSeconds) {
        Network::Update();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return elapsed();
}

std::string Hex(const unsigned char* bytes, unsigned int length) {
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        hex += pair;
    }
    return hex;
}

std::string Hmac(const std::string& key, const std::string& message) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(message.data()),
         message.size(), digest, &length);
    return Hex(digest, length);
}

std::string Sha256(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr);
    return Hex(digest, length);
}

std::string Repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}
} // namespace

class NetComponentTest : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        ASSERT_TRUE(Network::BindNetworkComponent());
        Network::Cancel(); // nothing an earlier test left in flight
        Network::SetServer(Server.BaseUrl());
        Network::SetKey(Network::NetworkKey());
    }
    void TearDown() override {
        Network::Cancel();
        GameFixture::TearDown();
    }
    TestScoreServer Server;
};

TEST_F(NetComponentTest, BindsEveryEntryPointButTheOneNoFunctionCanBeNamed) {
    EXPECT_TRUE(Network::ComponentLoaded());
    EXPECT_EQ(Network::BoundSlots(), Network::SlotCount - 1);
    EXPECT_TRUE(Network::CanSendPost());
}

TEST_F(NetComponentTest, TheReadSentAfterASlowUploadIsAnsweredAfterItAndHoldsIt) {
    struct Board {
        std::mutex Guard;
        std::string Names;
    };
    auto board = std::make_shared<Board>();
    Server.On("Kestrovar_scores.php", [board](const httplib::Request& request, httplib::Response& response) {
        if (request.get_param_value("option") == "addscore") {
            std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the server plays the game through
            std::lock_guard<std::mutex> lock(board->Guard);
            board->Names += request.get_param_value("user") + "\n";
            response.set_content("ok\n", "text/plain");
            return;
        }
        std::lock_guard<std::mutex> lock(board->Guard);
        response.set_content(board->Names, "text/plain");
    });
    Network::SendPost(1, "Kestrovar_scores.php?option=addscore&user=ace&level=2&score=400 &date=08 Dec 2026",
                      "seed 5\nrules 1\nend 10\n");
    Network::Send(2, "Kestrovar_scores.php?option=getscore&nbscore=10", 1, 0);
    EXPECT_EQ(Network::GetNumberOfCommandsInQueue(), 2);
    PollUntilEmpty();
    ASSERT_NE(Network::Receive(2), 0);
    EXPECT_EQ(Network::GetState(), Good);
    EXPECT_EQ(Network::GetResult(1), "ace");
    ASSERT_NE(Network::Receive(1), 0);
    EXPECT_EQ(Network::GetResult(1), "ok");
}

TEST_F(NetComponentTest, APostCarriesItsBodyWholeAndItsSignatureCoversTheBodysHash) {
    Server.Answer("Kestrovar_scores.php", "ok\n");
    std::string body = "; a kept game\nseed 20261208\nrules 1\n";
    for (int frame = 0; body.size() < 300 * 1024; frame += 3) body += std::to_string(frame) + " down 37\n";
    Network::SendPost(1, "Kestrovar_scores.php?option=addscore&user=a b&level=1&score=120 &date=08 Dec 2026", body);
    PollUntilEmpty();
    ASSERT_NE(Network::Receive(1), 0);
    EXPECT_EQ(Network::GetState(), Good);
    EXPECT_EQ(Network::GetResult(1), "ok");

    auto seen = Server.SeenRequests();
    ASSERT_EQ(seen.size(), 1u);
    const TestScoreServer::Seen& request = seen[0];
    EXPECT_EQ(request.Method, "POST");
    EXPECT_EQ(request.ContentType, "text/plain");
    EXPECT_EQ(request.Body, body);
    ASSERT_TRUE(request.Params.count("game") && request.Params.count("sig"));
    EXPECT_EQ(request.Params.find("game")->second, Sha256(body));
    EXPECT_EQ(request.Params.find("user")->second, "a b");
    std::string query = request.Target.substr(request.Target.find('?') + 1);
    std::size_t sigAt = query.find("&sig=");
    ASSERT_NE(sigAt, std::string::npos);
    EXPECT_LT(query.find("&game="), query.find("&ts=")) << "the hash is added before the query is signed";
    EXPECT_EQ(request.Params.find("sig")->second,
              Hmac(Network::NetworkKey(), "Kestrovar_scores.php?" + query.substr(0, sigAt)));
}

TEST_F(NetComponentTest, GoodReplyReadsAsLinesAndTheRequestGoesEncodedAndSigned) {
    Server.Answer("Kestrovar_scores.php", "alpha\r\nbeta\n\ngamma");
    Server.Answer("VersionCheck.php", "kestrovar\n1.2\n");
    Network::Send(1, "Kestrovar_scores.php?option=addscore&user=ab+c#1%&level=3&score=120 &date=08 Dec 2026", 1, 0);
    Network::Send(2, "VersionCheck.php?option=getversion&nbscore=30", 1, 0);
    PollUntilEmpty();
    ASSERT_NE(Network::Receive(1), 0);
    EXPECT_EQ(Network::GetState(), Good);
    ASSERT_EQ(Network::GetNbOfLines(), 4);
    EXPECT_EQ(Network::GetResult(1), "alpha");
    EXPECT_EQ(Network::GetResult(3), "");
    EXPECT_EQ(Network::GetResult(4), "gamma");
    EXPECT_EQ(Network::GetResult(5), "");
    EXPECT_EQ(Network::Receive(1), 0); // each reply is received once
    ASSERT_NE(Network::Receive(2), 0);
    EXPECT_EQ(Network::GetNbOfLines(), 2);

    auto seen = Server.SeenRequests();
    ASSERT_EQ(seen.size(), 2u);
    std::set<std::string> nonces;
    long long now = static_cast<long long>(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count());
    for (const auto& request : seen) {
        EXPECT_EQ(request.Target.find(' '), std::string::npos) << request.Target;
        std::string query = request.Target.substr(request.Target.find('?') + 1);
        std::size_t sigAt = query.find("&sig=");
        ASSERT_NE(sigAt, std::string::npos) << request.Target;
        std::string script = request.Path.substr(1);
        auto param = [&](const char* name) { return request.Params.find(name)->second; };
        ASSERT_TRUE(request.Params.count("ts") && request.Params.count("nonce") && request.Params.count("sig"));
        EXPECT_NEAR(std::stoll(param("ts")), now, 60);
        EXPECT_TRUE(std::regex_match(param("nonce"), std::regex("[0-9a-f]{16}"))) << param("nonce");
        EXPECT_TRUE(std::regex_match(param("sig"), std::regex("[0-9a-f]{64}"))) << param("sig");
        EXPECT_EQ(param("sig"), Hmac(Network::NetworkKey(), script + "?" + query.substr(0, sigAt)));
        nonces.insert(param("nonce"));
        if (script != "Kestrovar_scores.php") continue;
        // The game's text arrives as the game wrote it, spaces, plus and hash included.
        EXPECT_EQ(param("user"), "ab+c#1%");
        EXPECT_EQ(param("score"), "120 ");
        EXPECT_EQ(param("date"), "08 Dec 2026");
    }
    EXPECT_EQ(nonces.size(), 2u);
}

TEST_F(NetComponentTest, EveryFailureReadsAsABadStateWithNoLines) {
    Server.Answer("Error.php", "an error page\n", 500);
    Server.On("Cut.php", [](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(100, "text/plain", [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset > 0) return false; // the connection drops after ten of the hundred bytes
            sink.write("only ten\n\n", 10);
            return true;
        });
    });
    Server.Answer("Big.php", std::string(Net::MostReplyBytes + 1, 'a'));
    Server.Answer("Lines.php", Repeated("x\n", static_cast<int>(Net::MostReplyLines) + 1));
    Server.Answer("Full.php",
                  Repeated("a\n", static_cast<int>(Net::MostReplyLines))); // the line limit reached, not passed
    const char* scripts[] = {"Error.php", "Cut.php", "Big.php", "Lines.php", "Full.php"};
    for (int i = 0; i < 5; ++i) Network::Send(10 + i, std::string(scripts[i]) + "?option=x", 1, 0);
    std::string closedServer;
    {
        TestScoreServer gone;
        closedServer = gone.BaseUrl();
    }
    Network::SetServer(closedServer);
    Network::Send(20, "Kestrovar_scores.php?option=getscore&nbscore=10", 1, 0);
    PollUntilEmpty();
    for (int command : {10, 11, 12, 13, 20}) {
        ASSERT_NE(Network::Receive(command), 0) << command;
        EXPECT_NE(Network::GetState(), Good) << command;
        EXPECT_EQ(Network::GetNbOfLines(), 0) << command;
        EXPECT_EQ(Network::GetResult(1), "") << command;
    }
    ASSERT_NE(Network::Receive(14), 0);
    EXPECT_EQ(Network::GetState(), Good);
    EXPECT_EQ(Network::GetNbOfLines(), static_cast<int>(Net::MostReplyLines));
}

TEST_F(NetComponentTest, ManySendsAllCompleteAndTheQueueEmpties) {
    constexpr int Sends = 200;
    Server.Answer("List.php", "one\ntwo\n");
    for (int i = 0; i < Sends; ++i) Network::Send(2, "List.php?n=" + std::to_string(i), 1, 0);
    EXPECT_EQ(Network::GetNumberOfCommandsInQueue(), Sends);
    int good = 0;
    auto start = std::chrono::steady_clock::now();
    do {
        Network::Update();
        while (Network::Receive(2) != 0)
            if (Network::GetState() == Good && Network::GetResult(2) == "two") ++good;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (Network::GetNumberOfCommandsInQueue() != 0 &&
             std::chrono::steady_clock::now() - start < std::chrono::seconds(20));
    EXPECT_EQ(Network::GetNumberOfCommandsInQueue(), 0);
    EXPECT_EQ(good, Sends);
    EXPECT_EQ(Server.SeenRequests().size(), static_cast<std::size_t>(Sends));
}

TEST_F(NetComponentTest, SilentServerTimesOutWithinTheBoundAndIsNotWaitedOnAgainAtOnce) {
    Server.Hold("Kestrovar_scores.php");
    Network::Send(2, "Kestrovar_scores.php?option=getscore&nbscore=10", 1, 0);
    double waited = PollUntilEmpty();
    EXPECT_GT(waited, 9.0);
    EXPECT_LT(waited, 11.5);
    ASSERT_NE(Network::Receive(2), 0);
    EXPECT_NE(Network::GetState(), Good);
    EXPECT_EQ(Network::GetNbOfLines(), 0);

    // The version check right after a timed-out sync fails at the next poll instead of waiting again.
    Network::Send(2, "VersionCheck.php?option=getversion&nbscore=30", 1, 0);
    EXPECT_EQ(Network::GetNumberOfCommandsInQueue(), 1);
    Network::Update();
    EXPECT_EQ(Network::GetNumberOfCommandsInQueue(), 0);
    ASSERT_NE(Network::Receive(2), 0);
    EXPECT_NE(Network::GetState(), Good);
}

TEST_F(NetComponentTest, PlayerOrMachinePointsTheComponentElsewhereByVariableOrFile) {
    TestScoreServer other, machine;
    other.Answer("VersionCheck.php", "from the file\n");
    machine.Answer("VersionCheck.php", "from the system-wide file\n");
    Server.Answer("VersionCheck.php", "from the variable\n");
    const std::string unused = "http://127.0.0.1:1/";
    namespace fs = std::filesystem;
    fs::path configHome = fs::path(::testing::TempDir()) / "kestrovar_net_config";
    fs::create_directories(configHome / "kestrovar");
    std::ofstream(configHome / "kestrovar" / "score-server.conf")
        << "# the player's own server\nserver = " << other.BaseUrl().substr(0, other.BaseUrl().size() - 1) << "\n";
    // The machine's file in the second of its configuration folders; the first has none.
    fs::path systemDirs = fs::path(::testing::TempDir()) / "kestrovar_net_system";
    fs::create_directories(systemDirs / "second" / "kestrovar");
    std::ofstream(systemDirs / "second" / "kestrovar" / "score-server.conf")
        << "# server = http://127.0.0.1:1/\nserver = " << machine.BaseUrl() << "\n";
    const char* oldConfigHome = std::getenv("XDG_CONFIG_HOME");
    std::string keptConfigHome = oldConfigHome ? oldConfigHome : "";
    const char* oldConfigDirs = std::getenv("XDG_CONFIG_DIRS");
    std::string keptConfigDirs = oldConfigDirs ? oldConfigDirs : "";
    setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    setenv("XDG_CONFIG_DIRS", ((systemDirs / "first").string() + ":" + (systemDirs / "second").string()).c_str(), 1);

    auto answerTo = [&](const char* variable) {
        if (variable)
            setenv("KESTROVAR_SCORE_SERVER", variable, 1);
        else
            unsetenv("KESTROVAR_SCORE_SERVER");
        Network::SetServer(unused);
        Network::Send(2, "VersionCheck.php?option=getversion&nbscore=30", 1, 0);
        PollUntilEmpty();
        return Network::Receive(2) != 0 ? Network::GetResult(1) : std::string("no reply");
    };
    EXPECT_EQ(answerTo(Server.BaseUrl().c_str()), "from the variable");
    EXPECT_EQ(answerTo(nullptr), "from the file"); // the file's address lacks the closing slash
    EXPECT_EQ(answerTo("ftp://127.0.0.1/"), "from the file");
    fs::remove_all(configHome);
    EXPECT_EQ(answerTo(nullptr), "from the system-wide file");

    unsetenv("KESTROVAR_SCORE_SERVER");
    if (oldConfigHome)
        setenv("XDG_CONFIG_HOME", keptConfigHome.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    fs::remove_all(systemDirs);
    // Without either (and without this machine's own /etc/xdg), the game's own address.
    setenv("XDG_CONFIG_DIRS", systemDirs.c_str(), 1);
    Network::SetServer(unused);
    if (oldConfigDirs)
        setenv("XDG_CONFIG_DIRS", keptConfigDirs.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_DIRS");
    Network::Send(2, "VersionCheck.php?option=getversion&nbscore=30", 1, 0);
    PollUntilEmpty();
    ASSERT_NE(Network::Receive(2), 0);
    EXPECT_NE(Network::GetState(), Good);
}
