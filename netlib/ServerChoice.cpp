// Reading the player's own choice of score server.
#include "ServerChoice.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace Net {

namespace {
std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool IsWebAddress(const std::string& url) { return url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0; }

std::string PlayerConfigPath() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && *configHome) return std::string(configHome) + "/" + ServerConfigFile;
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.config/" + ServerConfigFile;
    return std::string();
}

// The system's folders, most important first: the first file that names a usable server is the machine's choice.
std::vector<std::string> SystemConfigPaths() {
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    std::string list = dirs && *dirs ? dirs : "/etc/xdg";
    std::vector<std::string> paths;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t colon = std::min(list.find(':', start), list.size());
        if (colon > start) paths.push_back(list.substr(start, colon - start) + "/" + ServerConfigFile);
        start = colon + 1;
    }
    return paths;
}

// The value of the file's "server" line; '#' starts a comment line.
std::string ServerFromFile(const std::string& path) {
    if (path.empty()) return std::string();
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        line = Trimmed(line);
        if (line.empty() || line[0] == '#') continue;
        std::size_t equals = line.find('=');
        if (equals != std::string::npos && Trimmed(line.substr(0, equals)) == "server")
            return Trimmed(line.substr(equals + 1));
    }
    return std::string();
}

// A player's choice that cannot be used is said once on the console rather than silently dropped.
bool Usable(const std::string& url, const char* from) {
    if (url.empty()) return false;
    if (IsWebAddress(url)) return true;
    std::fprintf(stderr, "kestrovar_net: %s names \"%s\", not an http:// or https:// address; not used\n", from,
                 url.c_str());
    return false;
}

std::string WithClosingSlash(std::string url) {
    if (url.empty() || url.back() != '/') url += '/';
    return url;
}
} // namespace

std::string ChooseServer(const std::string& gameUrl) {
    const char* variable = std::getenv(ServerVariable);
    std::string fromVariable = variable ? Trimmed(variable) : std::string();
    if (Usable(fromVariable, ServerVariable)) return WithClosingSlash(fromVariable);
    std::string fromFile = ServerFromFile(PlayerConfigPath());
    if (Usable(fromFile, ServerConfigFile)) return WithClosingSlash(fromFile);
    for (const std::string& path : SystemConfigPaths()) {
        std::string fromSystem = ServerFromFile(path);
        if (Usable(fromSystem, path.c_str())) return WithClosingSlash(fromSystem);
    }
    return WithClosingSlash(gameUrl);
}

} // namespace Net
