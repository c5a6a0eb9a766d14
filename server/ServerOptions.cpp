// Options take their value as "--name value" or "--name=value".
#include "server/ServerOptions.h"
#include "server/RequestSignature.h"
#include <charconv>
#include <cstdlib>
#include <filesystem>

namespace ScoreServer {

namespace {
constexpr std::size_t MaxVersionLength = 32;
constexpr std::size_t MaxPublicAddressLength = 200;
constexpr long long MaxTimeoutSeconds = 600;

std::optional<long long> WholeNumber(const std::string& text, long long low, long long high) {
    long long value = 0;
    auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
    return value;
}
} // namespace

// Beside this program in the build tree; where the install put it (a path from this program's folder) otherwise.
std::string DefaultVerifierPath() {
    std::error_code unknown;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", unknown);
    if (unknown) return "kestrovar-verify";
    std::filesystem::path beside = self.parent_path() / "kestrovar-verify";
#ifdef KESTROVAR_INSTALLED_CHECKER
    if (!std::filesystem::exists(beside, unknown))
        return (self.parent_path() / KESTROVAR_INSTALLED_CHECKER).lexically_normal().string();
#endif
    return beside.string();
}

std::string ServerHelpText() {
    return "Usage: kestrovar-scores [options]\n"
           "The Kestrovar score server: the online top ten and the version list the game asks for.\n"
           "\n"
           "  --host ADDRESS          address to listen on (default 127.0.0.1; 0.0.0.0 for every interface)\n"
           "  --port N                port to listen on (default 8642; 0 picks a free one, named in the log)\n"
           "  --db LOCATION           an SQLite file, or a PostgreSQL connection URI postgresql://...\n"
           "                          (default $XDG_DATA_HOME/kestrovar/scores.sqlite,\n"
           "                          else ~/.local/share/kestrovar/scores.sqlite)\n"
           "  --db-connections N      most PostgreSQL connections this server opens (default 8)\n"
           "  --key KEY               the key requests are signed with (default: the game's own)\n"
           "  --rate-limit N          requests, and new connections, per second per client address, 0 for no\n"
           "                          limit (default 10)\n"
           "  --rate-burst N          requests (and connections) a client may send at once before the limit\n"
           "                          bites (default 20)\n"
           "  --new-games N           new games (tickets) per minute per client network, IPv4 /24 or IPv6 /56\n"
           "                          (default 1; off when the rate limit is 0)\n"
           "  --new-games-burst N     new games a network may ask for at once (default 5)\n"
           "  --max-query-length N    longest query accepted, in bytes (default 1024)\n"
           "  --max-parameters N      most query parameters accepted (default 12)\n"
           "  --threads N             event loops serving the connections (default 4)\n"
           "  --workers N             threads answering what may wait on the database or a check (default 64)\n"
           "  --max-connections N     most connections open at once (default 1000)\n"
           "  --connections-per-address N  most connections open at once from one address (default 16)\n"
           "  --header-timeout N      seconds a request's headers may take, from the connection's start or its\n"
           "                          previous reply (default 5)\n"
           "  --body-timeout N        seconds a request's body may take (default 20)\n"
           "  --idle-timeout N        seconds a connection may sit idle or unread (default 5)\n"
           "  --game-version TEXT     the current game version, stored for the game's version check\n"
           "  --public-address URL    the web pages' public address (http://... or https://...), named in\n"
           "                          their link previews (default: the one a trusted proxy forwards)\n"
           "  --play-folder DIR       the browser build (tools/web.sh's build/web), served at play/: the game in\n"
           "                          the browser, and every game of the pages watched from its start\n"
           "  --verifier PATH         the replay checker (default: kestrovar-verify beside this program, else\n"
           "                          where the install put it)\n"
           "  --verifiers N           replays checked at once (default: one per processor core)\n"
           "  --verify-queue N        most uploads waiting for a check; more are refused busy (default 64)\n"
           "  --verify-per-address N  most uploads one client prefix (an IPv4 /24, an IPv6 /56) may have\n"
           "                          checked or waiting (default 4)\n"
           "  --verify-frames-per-minute N  frames of play a client prefix may have checked a minute; a\n"
           "                          longer game waits for a full bucket and leaves a debt (default " +
           std::to_string(ScoreProtocol::MostCheckedFrames) +
           ")\n"
           "  --verify-frames N       longest game checked, in frames (default " +
           std::to_string(ScoreProtocol::MostCheckedFrames) +
           ", an hour)\n"
           "  --trusted-proxy ADDRESS a proxy in front of the server (repeatable): from it the client is the\n"
           "                          one X-Forwarded-For or X-Real-IP names, and it has no per-address\n"
           "                          connection cap\n"
           "  --check-user NAME       the user the checks run as (default: nobody for a server started as\n"
           "                          root, else the server's own); a server that is another user needs\n"
           "                          CAP_SETUID and CAP_SETGID (the unit grants them) or does not start\n"
           "  --uploads-per-day N     games one client prefix may send to be checked a day, 0 for no quota\n"
           "                          (default 200)\n"
           "  --game-bytes-per-minute N  bytes of games (getgame, as sent) one client prefix may fetch a\n"
           "                          minute, 0 for no budget (default 4194304)\n"
           "  --board-rows N          rows each board keeps besides each name's best (default 10000)\n"
           "  --request-log N         1: a log line for each request (the default); 0: none\n"
           "  --verify-wait N         seconds an upload waits for its check before it is answered accepted\n"
           "                          (default 4; the game gives up after 10)\n"
           "  --help                  this text\n"
           "\n"
           "Logs one line per request to standard error. Stops on SIGINT or SIGTERM after finishing the\n"
           "requests in flight.\n";
}

std::optional<ServerOptions> ParseServerOptions(int argc, const char* const* argv, std::string& error) {
    ServerOptions options;
    options.Service.Key = GameKey();
    options.Service.Verifier.WorkerPath = DefaultVerifierPath();
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i], value;
        std::size_t equals = argument.find('=');
        bool inlineValue = equals != std::string::npos;
        std::string name = inlineValue ? argument.substr(0, equals) : argument;
        if (name == "--help" && !inlineValue) {
            options.Help = true;
            continue;
        }
        if (inlineValue) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            error = name + " needs a value";
            return std::nullopt;
        }
        std::optional<long long> number;
        auto numberIn = [&](long long low, long long high) {
            number = WholeNumber(value, low, high);
            if (!number)
                error = name + " wants a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                        ", not \"" + value + "\"";
            return number.has_value();
        };
        if (name == "--host") {
            options.Host = value;
        } else if (name == "--port") {
            if (!numberIn(0, 65535)) return std::nullopt;
            options.Port = static_cast<int>(*number);
        } else if (name == "--db") {
            options.Database = value;
        } else if (name == "--db-connections") {
            if (!numberIn(1, 1000)) return std::nullopt;
            options.DatabaseConnections = static_cast<int>(*number);
        } else if (name == "--key") {
            if (value.empty()) {
                error = "--key may not be empty";
                return std::nullopt;
            }
            options.Service.Key = value;
        } else if (name == "--rate-limit") {
            if (!numberIn(0, 1'000'000)) return std::nullopt;
            options.Service.RatePerSecond = options.Front.ConnectionsPerSecond = static_cast<double>(*number);
        } else if (name == "--rate-burst") {
            if (!numberIn(1, 1'000'000)) return std::nullopt;
            options.Service.RateBurst = options.Front.ConnectionBurst = static_cast<double>(*number);
        } else if (name == "--new-games") {
            if (!numberIn(1, 1'000'000)) return std::nullopt;
            options.Service.NewGamesPerMinute = static_cast<double>(*number);
        } else if (name == "--new-games-burst") {
            if (!numberIn(1, 1'000'000)) return std::nullopt;
            options.Service.NewGamesBurst = static_cast<double>(*number);
        } else if (name == "--max-query-length") {
            if (!numberIn(64, 8000)) return std::nullopt;
            options.Service.MaxQueryLength = static_cast<std::size_t>(*number);
        } else if (name == "--max-parameters") {
            if (!numberIn(1, 100)) return std::nullopt;
            options.Service.MaxParameters = static_cast<std::size_t>(*number);
        } else if (name == "--threads") {
            if (!numberIn(1, 64)) return std::nullopt;
            options.Front.Threads = static_cast<int>(*number);
        } else if (name == "--workers") {
            if (!numberIn(1, 256)) return std::nullopt;
            options.Front.Workers = static_cast<int>(*number);
        } else if (name == "--max-connections") {
            if (!numberIn(1, 100'000)) return std::nullopt;
            options.Front.MaxConnections = static_cast<unsigned>(*number);
        } else if (name == "--connections-per-address") {
            if (!numberIn(1, 100'000)) return std::nullopt;
            options.Front.ConnectionsPerAddress = static_cast<unsigned>(*number);
        } else if (name == "--header-timeout") {
            if (!numberIn(1, MaxTimeoutSeconds)) return std::nullopt;
            options.Front.HeaderSeconds = static_cast<int>(*number);
        } else if (name == "--body-timeout") {
            if (!numberIn(1, MaxTimeoutSeconds)) return std::nullopt;
            options.Front.BodySeconds = static_cast<int>(*number);
        } else if (name == "--idle-timeout") {
            if (!numberIn(1, MaxTimeoutSeconds)) return std::nullopt;
            options.Front.IdleSeconds = static_cast<int>(*number);
        } else if (name == "--game-version") {
            // It becomes a line of the version reply: short, printable, one line.
            bool printable = !value.empty() && value.size() <= MaxVersionLength;
            for (char c : value) printable = printable && c > ' ' && c < 127;
            if (!printable) {
                error = "--game-version wants 1 to " + std::to_string(MaxVersionLength) +
                        " printable characters without spaces";
                return std::nullopt;
            }
            options.GameVersion = value;
        } else if (name == "--public-address") {
            // Written into the pages' attributes: a plain http(s) address, ending with its folder's "/".
            bool plain = (value.rfind("http://", 0) == 0 || value.rfind("https://", 0) == 0) &&
                         value.size() <= MaxPublicAddressLength;
            for (char c : value) plain = plain && c > ' ' && c < 127 && c != '"' && c != '<' && c != '>' && c != '\'';
            if (!plain) {
                error = "--public-address wants an http:// or https:// address, not \"" + value + "\"";
                return std::nullopt;
            }
            options.Service.PublicAddress = value.back() == '/' ? value : value + "/";
        } else if (name == "--play-folder") {
            options.Service.PlayFolder = value;
        } else if (name == "--verifier") {
            options.Service.Verifier.WorkerPath = value;
        } else if (name == "--verifiers") {
            if (!numberIn(1, 256)) return std::nullopt;
            options.Service.Verifier.Workers = static_cast<int>(*number);
        } else if (name == "--verify-queue") {
            if (!numberIn(1, 100'000)) return std::nullopt;
            options.Service.Verifier.QueueLimit = static_cast<std::size_t>(*number);
        } else if (name == "--verify-per-address") {
            if (!numberIn(1, 100'000)) return std::nullopt;
            options.Service.Verifier.PerAddress = static_cast<std::size_t>(*number);
        } else if (name == "--verify-frames") {
            if (!numberIn(1, 2'160'000)) return std::nullopt;
            options.Service.Verifier.MaxFrames = static_cast<int>(*number);
        } else if (name == "--trusted-proxy") {
            if (!CanonicalAddress(value)) {
                error = "--trusted-proxy wants a numeric IPv4 or IPv6 address, not \"" + value + "\"";
                return std::nullopt;
            }
            options.Front.TrustedProxies.push_back(value);
        } else if (name == "--verify-frames-per-minute") {
            if (!numberIn(1, 100'000'000)) return std::nullopt;
            options.Service.Verifier.Cost.FramesPerMinute = options.Service.Verifier.Cost.BucketFrames =
                static_cast<double>(*number);
        } else if (name == "--uploads-per-day") {
            if (!numberIn(0, 1'000'000)) return std::nullopt;
            options.Service.UploadsPerDay = static_cast<double>(*number);
        } else if (name == "--game-bytes-per-minute") {
            if (!numberIn(0, 1'000'000'000)) return std::nullopt;
            options.Service.GameBytesPerMinute = static_cast<double>(*number);
        } else if (name == "--board-rows") {
            if (!numberIn(1, 100'000'000)) return std::nullopt;
            options.Service.BoardRows = static_cast<int>(*number);
        } else if (name == "--check-user") {
            if (value.empty()) {
                error = "--check-user may not be empty";
                return std::nullopt;
            }
            options.CheckUser = value;
        } else if (name == "--request-log") {
            if (!numberIn(0, 1)) return std::nullopt;
            options.Front.LogRequests = *number != 0;
        } else if (name == "--verify-wait") {
            if (!numberIn(0, MaxTimeoutSeconds)) return std::nullopt;
            options.Service.VerifyWaitSeconds = static_cast<double>(*number);
        } else {
            error = "unknown option " + name + " (see --help)";
            return std::nullopt;
        }
    }
    return options;
}

} // namespace ScoreServer
