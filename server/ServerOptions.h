// kestrovar-scores' command line: every option with its default, and the help text that lists them.
#pragma once
#include "server/EventFront.h"
#include "server/ScoreService.h"
#include <optional>
#include <string>

namespace ScoreServer {

struct ServerOptions {
    std::string Host = "127.0.0.1";
    int Port = 8642;
    std::string Database; // empty: the default file in the user's data folder
    int DatabaseConnections = DefaultDatabaseConnections;
    std::string GameVersion; // empty: leave the version list as stored
    std::string CheckUser;   // who runs the checks; empty: nobody for a root server, else the server's own user
    ServiceSettings Service;
    FrontSettings Front;
    bool Help = false;
};

// Nothing, with the reason in `error`, for an unknown option or a value out of range.
std::optional<ServerOptions> ParseServerOptions(int argc, const char* const* argv, std::string& error);
std::string ServerHelpText();
// kestrovar-verify in the folder of the running program.
std::string DefaultVerifierPath();

} // namespace ScoreServer
