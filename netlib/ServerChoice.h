// Which score server the component talks to: the one the game names, unless the player has pointed the component
// elsewhere through its environment variable or its configuration file.
#pragma once
#include <string>

namespace Net {

constexpr const char* ServerVariable = "KESTROVAR_SCORE_SERVER";
// Under $XDG_CONFIG_HOME (or ~/.config): one line "server = http://host:port/path/".
constexpr const char* ServerConfigFile = "kestrovar/score-server.conf";

// The environment variable wins over the file, the file over the game's address. A choice that is not an
// http:// or https:// address is passed over. The result always ends with '/', so that the query follows the path.
std::string ChooseServer(const std::string& gameUrl);

} // namespace Net
