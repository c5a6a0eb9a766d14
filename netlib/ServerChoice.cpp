// Reading the player's own choice of score server.
#include "ServerChoice.h"
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace Net {

namespace {
std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool IsWebAddress(const std::string& url) { return url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0; }

std::string ConfigPath() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && *configHome) return std::string(configHome) + "/" + ServerConfigFile;
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.config/" + ServerConfigFile;
    return std::string();
}

// The value of the file's "server" line; '#' starts a comment line.
std::string ServerFromFile() {
    std::string path = ConfigPath();
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
    std::string fromFile = ServerFromFile();
    if (Usable(fromFile, ServerConfigFile)) return WithClosingSlash(fromFile);
    return WithClosingSlash(gameUrl);
}

} // namespace Net
