// The deployment files in server/deploy as an operator installs them: Debian's nginx with the shipped site (and a
// certificate of the test's own) in front of the server started with the systemd unit's command line.
#include "ServerTestSupport.h"
#include <algorithm>
#include <arpa/inet.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <regex>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace ServerTests;

namespace {
constexpr int Players = 8;
constexpr int ReplyMs = 90'000; // nginx gives the server 10 s; the test's own bound only guards against a hang

// Each player from a network of their own (loopback is one /8; the server budgets per /24).
std::string PlayerAddress(int player) { return "127." + std::to_string(player + 1) + ".0.1"; }

// A port free now on loopback, for nginx to listen on.
int FreePort() {
    int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(probe);
    return port;
}

// The unit's ExecStart, its words one by one, without the variables the operator may set.
std::vector<std::string> UnitCommandLine() {
    std::istringstream unit(FileText(KESTROVAR_SOURCE_DIR "/server/deploy/kestrovar-scores.service"));
    std::string line;
    while (std::getline(unit, line))
        if (line.rfind("ExecStart=", 0) == 0) {
            std::istringstream words(line.substr(10));
            std::vector<std::string> command;
            for (std::string word; words >> word;)
                if (word[0] != '$') command.push_back(word); // the operator's options, none in a test
            return command;
        }
    return {};
}

class DeploymentTest : public testing::Test {
  protected:
    void SetUp() override {
        if (std::system("test -x /usr/sbin/nginx && command -v openssl > /dev/null") != 0)
            GTEST_SKIP() << "nginx or openssl is not installed";
        ASSERT_EQ(std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=scores.kestrovar.example"
                               " -keyout " +
                               At + "/privkey.pem -out " + At + "/fullchain.pem > /dev/null 2>&1")
                                  .c_str()),
                  0);
    }
    // The site as installed, pointed at the test's certificate, web root, ports and server.
    void WriteNginx(int serverPort) {
        std::string site = FileText(KESTROVAR_SOURCE_DIR "/server/deploy/kestrovar-scores.nginx");
        ASSERT_FALSE(site.empty());
        site = std::regex_replace(site, std::regex("/etc/ssl/kestrovar"), At);
        site = std::regex_replace(site, std::regex("/var/www/kestrovar-acme"), At + "/acme");
        site = std::regex_replace(site, std::regex(R"(\n\s*listen \[::\][^\n]*)"), "");
        site =
            std::regex_replace(site, std::regex(R"(listen 80;)"), "listen 127.0.0.1:" + std::to_string(HttpPort) + ";");
        site = std::regex_replace(site, std::regex(R"(listen 443 )"),
                                  "listen 127.0.0.1:" + std::to_string(FreePort()) + " ");
        site = std::regex_replace(site, std::regex(R"(127\.0\.0\.1:8642)"), "127.0.0.1:" + std::to_string(serverPort));
        std::ofstream(At + "/site.conf") << site;
        // As root (CI), nginx's workers would become nobody, who may not enter the test's folder.
        std::string user = geteuid() == 0 ? "user root;\n" : "";
        std::string temp;
        for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
            temp += std::string("  ") + kind + "_temp_path " + At + "/" + kind + ";\n";
        std::ofstream(At + "/nginx.conf") << user << "daemon off;\nworker_processes 1;\npid " << At
                                          << "/nginx.pid;\nerror_log " << At << "/error.log;\nevents {}\nhttp {\n"
                                          << "  access_log off;\n"
                                          << temp << "  include " << At << "/site.conf;\n}\n";
    }
    std::string NginxCommand(const std::string& flags) const {
        return "/usr/sbin/nginx " + flags + " -p " + At + " -e " + At + "/error.log -c " + At + "/nginx.conf";
    }
    void TearDown() override {
        if (Nginx > 0) {
            kill(Nginx, SIGQUIT);
            waitpid(Nginx, nullptr, 0);
        }
    }

    TempFolder Folder;
    const std::string& At = Folder.Path();
    int HttpPort = FreePort();
    pid_t Nginx = -1;
};

TEST_F(DeploymentTest, NginxAcceptsTheSite) {
    WriteNginx(8642);
    EXPECT_EQ(std::system((NginxCommand("-t -q") + " > " + At + "/test.log 2>&1").c_str()), 0)
        << FileText(At + "/test.log");
}

TEST_F(DeploymentTest, BehindNginxEveryPlayerIsAnsweredAsTheClientTheyAre) {
    std::vector<std::string> unit = UnitCommandLine();
    ASSERT_GE(unit.size(), 2u);
    ASSERT_NE(std::find(unit.begin(), unit.end(), "--trusted-proxy"), unit.end());
    unit.erase(unit.begin()); // the installed binary: the one built here instead
    auto port = std::find(unit.begin(), unit.end(), "--port");
    ASSERT_NE(port, unit.end());
    unit.erase(port, port + 2); // a free port, not the host's 8642
    // The package's check user is made by its installation: nobody stands in for it here, where a root server can
    // become it (ServerProcessTest starts the server with the unit's capabilities instead of root's).
    auto checkUser = std::find(unit.begin(), unit.end(), "--check-user");
    ASSERT_NE(checkUser, unit.end());
    if (geteuid() == 0)
        checkUser[1] = "nobody";
    else
        unit.erase(checkUser, checkUser + 2);
    ServerProcess server("", At + "/server.log", unit, At, false);
    ASSERT_GT(server.Port(), 0) << server.Log();
    WriteNginx(server.Port());
    std::filesystem::create_directories(At + "/acme/.well-known/acme-challenge");
    std::ofstream(At + "/acme/.well-known/acme-challenge/token") << "renewed\n";
    std::string prefix = At, errors = At + "/error.log", config = At + "/nginx.conf";
    Nginx = fork();
    if (Nginx == 0) { // nginx itself, so that the test's signal reaches it
        execl("/usr/sbin/nginx", "nginx", "-p", prefix.c_str(), "-e", errors.c_str(), "-c", config.c_str(), nullptr);
        _exit(127);
    }
    HttpResult page;
    ASSERT_TRUE(Eventually([&] {
        page = HttpGetFrom("127.0.0.1", HttpPort, "/", ReplyMs);
        return page.Status != 0;
    })) << FileText(At + "/error.log");

    // The board's page at the root, and the certificate's challenge from the web root.
    EXPECT_EQ(page.Status, 200);
    EXPECT_NE(page.Body.find("<html"), std::string::npos) << page.Body;
    EXPECT_EQ(HttpGetFrom("127.0.0.1", HttpPort, "/.well-known/acme-challenge/token", ReplyMs).Body, "renewed\n");

    // Players from as many networks uploading at once: each is its own client to the server, none is busy.
    std::vector<TestGame> games;
    for (const TestGame& game : CutGames(Players))
        games.push_back(Ticketed(At + "/kestrovar/scores.sqlite", game, NowSeconds() - 600));
    std::vector<std::future<HttpResult>> uploads;
    for (int player = 0; player < Players; ++player)
        uploads.push_back(std::async(std::launch::async, [&, player] {
            const TestGame& game = games[player];
            std::string query = UploadQuery("p" + std::to_string(player), game.Level, game.Score, game.Script);
            return HttpPostFrom(PlayerAddress(player), HttpPort, "/Kestrovar_scores.php?" + query, game.Script,
                                ReplyMs);
        }));
    for (int player = 0; player < Players; ++player) {
        HttpResult reply = uploads[player].get();
        EXPECT_TRUE(reply.Body == "ok\n" || reply.Body == "accepted\n")
            << player << ": " << reply.Status << " " << reply.Body << server.Log();
    }
    // Each logged as the client it is (a line is written once its reply is out).
    auto logged = [&](int player) {
        return server.Log().find(" " + PlayerAddress(player) + " POST /Kestrovar_scores.php ") != std::string::npos;
    };
    for (int player = 0; player < Players; ++player)
        EXPECT_TRUE(Eventually([&] { return logged(player); })) << server.Log();
}
} // namespace
