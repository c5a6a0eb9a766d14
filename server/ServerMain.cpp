// kestrovar-scores: opens the database (migrating it), binds the address, and serves until SIGINT or SIGTERM.
#include "server/EventFront.h"
#include "server/PlayPages.h"
#include "server/ServerOptions.h"
#include "server/verify/Capabilities.h"
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <pwd.h>
#include <thread>
#include <unistd.h>

using namespace ScoreServer;

namespace {
constexpr int StopRetryMs = 20;
constexpr double BoardRenewSeconds = 1;

// The log names the database without a password a connection URI may carry.
std::string ShownLocation(const std::string& location) {
    if (!IsPostgresLocation(location)) return location;
    std::size_t scheme = location.find("://") + 3, at = location.find('@', scheme);
    if (at == std::string::npos) return location;
    return location.substr(0, scheme) + "...@" + location.substr(at + 1);
}
// Who runs the checks: a root server's are another user (root is held by no process limit), and a server told to
// check as a user it is not must be able to become that user in its workers. Otherwise it does not start (never a
// quiet fall back to checking as itself). The server then keeps no capability but the two its workers need to
// change user, and those only when they do. Returns why not, empty when settled.
std::string ChooseCheckUser(const std::string& named, VerifierSettings& checker) {
    bool root = geteuid() == 0;
    if (named.empty() && !root) {
        Capabilities::DropAll();
        return "";
    }
    std::string name = named.empty() ? "nobody" : named;
    const passwd* user = getpwnam(name.c_str());
    if (!user || user->pw_uid == 0)
        return "cannot run checks as " + name + " (" + (user ? "root itself" : "no such user") +
               "; --check-user names another)";
    if (root) {
        checker.UserId = user->pw_uid;
        checker.GroupId = user->pw_gid;
        return "";
    }
    if (user->pw_uid == geteuid()) {
        Capabilities::DropAll();
        return "";
    }
    if (!Capabilities::KeepOnlyForChecks())
        return "cannot run checks as " + name + ": running as uid " + std::to_string(geteuid()) +
               " without CAP_SETUID and CAP_SETGID (the unit grants them; or start it as " + name + ")";
    checker.UserId = user->pw_uid;
    checker.GroupId = user->pw_gid;
    return "";
}
} // namespace

int main(int argc, char** argv) {
    std::string error;
    auto options = ParseServerOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "kestrovar-scores: %s\n", error.c_str());
        return 2;
    }
    if (options->Help) {
        std::fputs(ServerHelpText().c_str(), stdout);
        return 0;
    }

    // The signals are taken by one waiting thread, never by a handler in the middle of a request; every thread
    // started from here on inherits the mask. A client that hangs up must not end the server either.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    // Other servers may share a PostgreSQL board: what they store shows here within a renewal.
    options->Service.RenewBoardsSeconds = BoardRenewSeconds;
    VerifierSettings& checker = options->Service.Verifier;
    // A server without its checker would refuse every upload while looking healthy: it does not start.
    if (access(checker.WorkerPath.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "kestrovar-scores: the replay checker %s cannot be run (--verifier names another)\n",
                     checker.WorkerPath.c_str());
        return 1;
    }
    // Nor does one told to serve a browser build it cannot find: every visitor would meet a 404.
    if (const std::string& play = options->Service.PlayFolder; !play.empty() && !MissingPlayFile(play).empty()) {
        std::fprintf(stderr, "kestrovar-scores: --play-folder: %s is missing (tools/web.sh builds it)\n",
                     MissingPlayFile(play).c_str());
        return 1;
    }
    if (std::string refused = ChooseCheckUser(options->CheckUser, checker); !refused.empty()) {
        std::fprintf(stderr, "kestrovar-scores: %s\n", refused.c_str());
        return 1;
    }
    // Every fence of a check is required: one that cannot be put up here is a refusal to check, said now.
    if (std::string unfenced = ProbeFence(checker); !unfenced.empty()) {
        std::fprintf(stderr, "kestrovar-scores: checks cannot be fenced in: %s\n", unfenced.c_str());
        return 1;
    }
    // The probe ran as every check runs, and said whom it ran as; it refuses to check with any capability left.
    long long checkUid = checker.UserId >= 0 ? checker.UserId : static_cast<long long>(getuid());
    const passwd* checkUser = getpwuid(static_cast<uid_t>(checkUid));
    std::fprintf(stderr, "kestrovar-scores: checks run as %s (uid %lld) with no capability\n",
                 checkUser ? checkUser->pw_name : "?", checkUid);

    std::string location = options->Database.empty() ? DefaultDatabasePath() : options->Database;
    std::unique_ptr<ScoreStore> store;
    try {
        store = OpenScoreStore(location, options->DatabaseConnections);
        if (!options->GameVersion.empty()) store->SetVersion("kestrovar", options->GameVersion);
    } catch (const StoreError& failure) {
        std::fprintf(stderr, "kestrovar-scores: %s\n", failure.what());
        return 1;
    }

    ScoreService service(*store, options->Service);
    EventFront front(service, options->Front, stderr);
    int port = front.Bind(options->Host, options->Port);
    if (port < 0) {
        std::fprintf(stderr, "kestrovar-scores: cannot listen on %s:%d\n", options->Host.c_str(), options->Port);
        return 1;
    }
    std::fprintf(stderr, "kestrovar-scores listening on %s:%d, database %s (schema %d)\n", options->Host.c_str(), port,
                 ShownLocation(location).c_str(), store->SchemaVersion());

    std::atomic<bool> finished = false;
    std::thread signalWaiter([&] {
        int received = 0;
        sigwait(&stopSignals, &received);
        if (received == SIGINT || received == SIGTERM)
            std::fprintf(stderr, "kestrovar-scores stopping (%s): finishing requests in flight\n",
                         received == SIGINT ? "SIGINT" : "SIGTERM");
        // A signal that comes before the server has begun to serve is repeated until it has stopped.
        while (!finished) {
            front.Stop();
            std::this_thread::sleep_for(std::chrono::milliseconds(StopRetryMs));
        }
    });
    bool served = front.Run();
    finished = true;
    if (!served) pthread_kill(signalWaiter.native_handle(), SIGTERM); // the waiter is still waiting: wake it
    signalWaiter.join();
    std::fprintf(stderr, "kestrovar-scores stopped\n");
    return served ? 0 : 1;
}
