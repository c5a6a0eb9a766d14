// The score server's test support: a private PostgreSQL, the server as a child process, signing and fetching.
#include "ServerTestSupport.h"
#include "server/CanonicalScript.h"
#include "server/GameArchive.h"
#include "server/GameTicket.h"
#include "server/RequestSignature.h"
#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <httplib.h>
#include <libpq-fe.h>
#include <mutex>
#include <poll.h>
#include <pwd.h>
#include <random>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace ServerTests {

namespace {
constexpr const char* PostgresUser = "kestrovar";
constexpr const char* PostgresPort = "5432"; // only names the socket file inside the private folder
constexpr const char* UnprivilegedUser = "nobody";
constexpr int StartWaitMs = 60'000;
// A check that waits for the processor on a busy machine still answers within the upload's wait: the tests' servers
// wait this long, and their clients longer. Tests that need an "accepted" name their own, shorter, wait.
constexpr const char* TestVerifyWait = "60";
constexpr int ReplyWaitSeconds = 90;

std::string MakeTemp(const char* pattern) {
    std::string path = (fs::temp_directory_path() / pattern).string();
    std::vector<char> buffer(path.begin(), path.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
    return buffer.data();
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool RunCommand(const std::string& command) { return std::system(command.c_str()) == 0; }

std::unique_ptr<PostgresCluster> SharedCluster;
std::string SharedWhyNot;
std::once_flag SharedOnce;
} // namespace

TempFolder::TempFolder() : Folder(MakeTemp("kestrovar-test-XXXXXX")) {}
TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(Folder, ignored);
}

bool PostgresCluster::Create(std::string& error) {
    for (const fs::path root : {"/usr/lib/postgresql"}) {
        std::error_code missing;
        for (const auto& version : fs::directory_iterator(root, missing))
            if (fs::exists(version.path() / "bin" / "initdb") && version.path().string() + "/bin" > BinDir)
                BinDir = version.path().string() + "/bin";
    }
    if (BinDir.empty()) {
        error = "no PostgreSQL server installed (Debian: apt-get install postgresql-15)";
        return false;
    }
    Folder = MakeTemp("kestrovar-pg-XXXXXX");
    if (geteuid() == 0) {
        // initdb and postgres refuse to run as root: the cluster belongs to an unprivileged user.
        passwd* user = getpwnam(UnprivilegedUser);
        if (!user || !fs::exists("/usr/sbin/runuser")) {
            error = "running as root without runuser or a 'nobody' user to start PostgreSQL as";
            return false;
        }
        if (chown(Folder.c_str(), user->pw_uid, user->pw_gid) != 0) {
            error = "cannot hand " + Folder + " to " + UnprivilegedUser;
            return false;
        }
        RunAs = std::string("/usr/sbin/runuser -u ") + UnprivilegedUser + " -- ";
    }
    std::string data = Folder + "/data";
    if (!RunCommand(RunAs + BinDir + "/initdb -D " + data + " -A trust -U " + PostgresUser + " -E UTF8 --no-sync > " +
                    Folder + "/initdb.log 2>&1")) {
        error = "initdb failed: " + ReadAll(Folder + "/initdb.log");
        return false;
    }
    if (!Start()) {
        error = "PostgreSQL did not start: " + ReadAll(data + "/server.log");
        return false;
    }
    return true;
}

bool PostgresCluster::Start() {
    std::string data = Folder + "/data";
    Started = RunCommand(RunAs + BinDir + "/pg_ctl -D " + data + " -l " + data + "/server.log -w -t 30 -o \"-c " +
                         "listen_addresses='' -k " + Folder + " -p " + PostgresPort + "\" start > /dev/null 2>&1");
    return Started;
}

bool PostgresCluster::Stop() {
    Started = !RunCommand(RunAs + BinDir + "/pg_ctl -D " + Folder + "/data -m fast -w stop > /dev/null 2>&1");
    return !Started;
}

PostgresCluster::~PostgresCluster() {
    if (Started) RunCommand(RunAs + BinDir + "/pg_ctl -D " + Folder + "/data -m fast -w stop > /dev/null 2>&1");
    std::error_code ignored;
    if (!Folder.empty()) fs::remove_all(Folder, ignored);
}

PostgresCluster* PostgresCluster::Shared() {
    std::call_once(SharedOnce, [] {
        std::unique_ptr<PostgresCluster> cluster(new PostgresCluster);
        if (cluster->Create(SharedWhyNot)) SharedCluster = std::move(cluster);
    });
    return SharedCluster.get();
}

const std::string& PostgresCluster::WhyNot() { return SharedWhyNot; }

std::string PostgresCluster::FreshDatabase() {
    std::string common = "?host=" + Folder + "&port=" + PostgresPort + "&user=" + PostgresUser;
    PGconn* admin = PQconnectdb(("postgresql:///postgres" + common).c_str());
    for (const char* sql : {"DROP DATABASE IF EXISTS kestrovar_test WITH (FORCE)", "CREATE DATABASE kestrovar_test"})
        PQclear(PQexec(admin, sql));
    PQfinish(admin);
    return "postgresql:///kestrovar_test" + common;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::int64_t NowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string RandomNonce() {
    static std::mutex mutex;
    static std::mt19937_64 random(std::random_device{}());
    std::lock_guard lock(mutex);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(random()));
    return text;
}

std::string Signed(const std::string& query, const std::string& script, std::int64_t stamp, const std::string& nonce,
                   const std::string& key) {
    return ScoreServer::SignQuery(key.empty() ? ScoreServer::GameKey() : key, script, query, stamp, nonce);
}

std::string FreshLocation(const std::string& backend, const TempFolder& folder, std::string& skipReason) {
    if (backend == "sqlite") return folder.Path() + "/scores.sqlite";
    PostgresCluster* cluster = PostgresCluster::Shared();
    if (!cluster) {
        skipReason = "PostgreSQL unavailable: " + PostgresCluster::WhyNot();
        return "";
    }
    return cluster->FreshDatabase();
}

ServerProcess::ServerProcess(const std::string& database, const std::string& logFile,
                             const std::vector<std::string>& extra, const std::string& dataHome, bool patient,
                             const std::vector<std::string>& launcher)
    : LogFile(logFile) {
    std::vector<std::string> arguments = launcher;
    arguments.insert(arguments.end(), {KESTROVAR_SCORES_BINARY, "--port", "0"});
    if (patient) arguments.insert(arguments.end(), {"--verify-wait", TestVerifyWait});
    if (!database.empty()) arguments.insert(arguments.end(), {"--db", database});
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    Child = fork();
    if (Child == 0) {
        int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(log, STDERR_FILENO);
        dup2(log, STDOUT_FILENO);
        if (!dataHome.empty()) setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    const std::regex listening(R"(listening on [0-9.]+:([0-9]+))");
    for (int waited = 0; waited < StartWaitMs; waited += 10) {
        std::smatch match;
        std::string log = Log();
        if (std::regex_search(log, match, listening)) {
            BoundPort = std::stoi(match[1]);
            return;
        }
        int status = 0;
        if (waitpid(Child, &status, WNOHANG) == Child) {
            Child = -1;
            Ended = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

ServerProcess::~ServerProcess() {
    if (Child > 0) {
        kill(Child, SIGKILL);
        waitpid(Child, nullptr, 0);
    }
}

void ServerProcess::Signal(int signal) {
    if (Child > 0) kill(Child, signal);
}

int ServerProcess::Wait() {
    if (Child <= 0) return Ended;
    int status = 0;
    waitpid(Child, &status, 0);
    Child = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string ServerProcess::Log() const { return ReadAll(LogFile); }

bool Eventually(const std::function<bool()>& holds) {
    constexpr auto Bound = std::chrono::seconds(60);
    constexpr auto Every = std::chrono::milliseconds(20);
    for (auto giveUp = std::chrono::steady_clock::now() + Bound; !holds();) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::sleep_for(Every);
    }
    return true;
}

const TestGame& FirstGame() {
    static const TestGame game = [] {
        TestGame made;
        made.Script = ReadAll(std::string(KESTROVAR_SOURCE_DIR) + "/tests/replay/FirstGame.txt");
        made.Hash = ScoreServer::GameId(made.Script);
        made.Stored = ScoreServer::CanonicalScript(made.Script);
        made.Score = FirstGameScore;
        made.Level = FirstGameLevel;
        return made;
    }();
    return game;
}

const std::vector<TestGame>& CutGames(int count) {
    constexpr int FirstCut = 1200, CutStep = 40; // the first points come before frame 1200
    static std::vector<TestGame> games;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    while (static_cast<int>(games.size()) < count) {
        int end = FirstCut + CutStep * static_cast<int>(games.size());
        std::istringstream lines(FirstGame().Script);
        std::string line, cut;
        while (std::getline(lines, line)) {
            if (line.rfind("end ", 0) == 0) continue;
            if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0])) && std::stoi(line) > end) continue;
            cut += line + "\n";
        }
        cut += "end " + std::to_string(end) + "\n";
        // What the game comes to, from the real checker: the tests of the replay itself pin the games' figures.
        ScoreServer::ReplayVerdict verdict = ScoreServer::RunVerifier(RealVerifier(), cut);
        if (!verdict.Played || verdict.Ending != "script-ended")
            throw std::runtime_error("cut game: " + verdict.Refusal);
        games.push_back(
            {cut, ScoreServer::GameId(cut), verdict.Score, verdict.Level, ScoreServer::CanonicalScript(cut)});
    }
    return games;
}

std::string WithTicketLine(const std::string& script, const std::string& ticket) {
    std::size_t seed = script.rfind("seed ", 0) == 0 ? 0 : script.find("\nseed ");
    if (seed == std::string::npos) return "ticket " + ticket + "\n" + script;
    std::size_t end = script.find('\n', seed + 1);
    std::string ticketed = script;
    ticketed.insert(end == std::string::npos ? script.size() : end + 1, "ticket " + ticket + "\n");
    return ticketed;
}

TestGame Ticketed(ScoreServer::ScoreStore& store, const TestGame& game, std::int64_t issuedAt) {
    std::string secret = store.ServerSecret(ScoreServer::NewServerSecret());
    TestGame ticketed = game;
    ticketed.Script = WithTicketLine(
        game.Script, ScoreServer::MakeTicket(secret, ScoreServer::ScriptSeed(game.Script).value_or(0), issuedAt));
    return ticketed;
}

TestGame Ticketed(const std::string& location, const TestGame& game, std::int64_t issuedAt) {
    return Ticketed(*ScoreServer::OpenScoreStore(location), game, issuedAt);
}

ScoreServer::VerifierSettings RealVerifier() {
    ScoreServer::VerifierSettings settings;
    settings.WorkerPath = KESTROVAR_VERIFY_BINARY;
    return settings;
}

std::string FakeVerifier(const TempFolder& folder, const std::string& name, const std::string& shellLines) {
    std::string path = folder.Path() + "/" + name;
    // The server's probe at start is answered by the real checker: a stand-in stands in for checks only.
    std::ofstream(path) << "#!/bin/sh\n"
                        << "case \"$*\" in *--fence-probe*) exec " << KESTROVAR_VERIFY_BINARY << " \"$@\";; esac\n"
                        << shellLines << "\n";
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
    return path;
}

std::string UploadQuery(const std::string& name, std::int64_t level, std::int64_t score, const std::string& script,
                        const std::string& date) {
    return "option=addscore&user=" + name + "&level=" + std::to_string(level) + "&score=" + std::to_string(score) +
           "%20&date=" + date + "&difficulty=&game=" + ScoreServer::Sha256Hex(script);
}

HttpResult HttpPost(int port, const std::string& target, const std::string& body) {
    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(false);
    client.set_url_encode(false);
    client.set_read_timeout(ReplyWaitSeconds, 0);
    auto result = client.Post(target.c_str(), body, "text/plain");
    if (!result) return {};
    return {result->status, result->body};
}

HttpResult HttpGet(int port, const std::string& target) {
    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(false);
    client.set_url_encode(false); // the target goes on the wire exactly as it was signed
    client.set_read_timeout(ReplyWaitSeconds, 0);
    auto result = client.Get(target.c_str());
    if (!result) return {};
    return {result->status, result->body};
}

HttpResult HttpRequestFrom(const std::string& source, int port, const std::string& request, int timeoutMs) {
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto left = [&] {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - std::chrono::steady_clock::now());
        return static_cast<int>(std::max<std::int64_t>(0, ms.count()));
    };
    int connection = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in from{}, to{};
    from.sin_family = to.sin_family = AF_INET;
    inet_pton(AF_INET, source.c_str(), &from.sin_addr);
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    HttpResult result;
    std::string reply;
    pollfd waiting{connection, POLLOUT, 0};
    bool sent = bind(connection, reinterpret_cast<sockaddr*>(&from), sizeof from) == 0 &&
                (connect(connection, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 || errno == EINPROGRESS);
    for (std::size_t done = 0; sent && done < request.size();) {
        ssize_t wrote = poll(&waiting, 1, left()) == 1
                            ? send(connection, request.data() + done, request.size() - done, MSG_NOSIGNAL)
                            : -1;
        if (wrote <= 0) sent = false;
        done += static_cast<std::size_t>(std::max<ssize_t>(wrote, 0));
    }
    if (!sent) {
        close(connection);
        return result;
    }
    // The server closes the connection after its reply (Connection: close): read to the end.
    waiting.events = POLLIN;
    char buffer[4096];
    for (;;) {
        if (poll(&waiting, 1, left()) != 1) {
            close(connection);
            return result; // too slow
        }
        ssize_t got = recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        reply.append(buffer, static_cast<std::size_t>(got));
    }
    close(connection);
    std::size_t headersEnd = reply.find("\r\n\r\n");
    if (reply.rfind("HTTP/1.", 0) != 0 || reply.size() < 12 || headersEnd == std::string::npos) return result;
    result.Status = std::atoi(reply.c_str() + 9);
    result.Body = reply.substr(headersEnd + 4);
    return result;
}

HttpResult HttpGetFrom(const std::string& source, int port, const std::string& target, int timeoutMs) {
    return HttpRequestFrom(source, port, "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n",
                           timeoutMs);
}

HttpResult HttpPostFrom(const std::string& source, int port, const std::string& target, const std::string& body,
                        int timeoutMs) {
    return HttpRequestFrom(source, port,
                           "POST " + target +
                               " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Type: text/plain\r\n"
                               "Content-Length: " +
                               std::to_string(body.size()) + "\r\n\r\n" + body,
                           timeoutMs);
}

} // namespace ServerTests
