// Which score server the component talks to: the one the game names, unless the player has pointed the component
// elsewhere through its environment variable or its configuration file.
#pragma once
#include <string>

namespace Net {

constexpr const char* ServerVariable = "KESTROVAR_SCORE_SERVER";
// Under $XDG_CONFIG_HOME (or ~/.config): one line "server = http://host:port/path/". The same file under the
// system's configuration folders ($XDG_CONFIG_DIRS, or /etc/xdg) is the machine's choice, which the installed
// package ships.
constexpr const char* ServerConfigFile = "kestrovar/score-server.conf";

// The environment variable wins over the player's file, the player's file over the system-wide one, and that one
// over the game's address. A choice that is not an http:// or https:// address is passed over. The result always
// ends with '/', so that the query follows the path.
std::string ChooseServer(const std::string& gameUrl);

} // namespace Net
