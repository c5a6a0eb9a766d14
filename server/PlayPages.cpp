// The browser build's files at play/, from memory.
#include "server/PlayPages.h"
#include "server/GameArchive.h"
#include <fstream>
#include <iterator>

namespace ScoreServer {

namespace {
constexpr std::string_view PlayFolder = "play";
constexpr std::string_view PageFile = "kestrovar.html";
struct BuildFile {
    std::string_view Name;
    const char* ContentType;
};
constexpr BuildFile BuildFiles[] = {{PageFile, "text/html; charset=utf-8"},
                                    {"kestrovar.js", "text/javascript; charset=utf-8"},
                                    {"kestrovar.wasm", "application/wasm"}};
} // namespace

std::string MissingPlayFile(const std::string& folder) {
    for (const BuildFile& file : BuildFiles) {
        std::string path = folder + "/" + std::string(file.Name);
        if (!std::ifstream(path)) return path;
    }
    return {};
}

bool PlayPages::Load(const std::string& folder, std::string& error) {
    Files.clear();
    for (const BuildFile& file : BuildFiles) {
        std::string path = folder + "/" + std::string(file.Name);
        std::ifstream in(path, std::ios::binary);
        std::string body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) body.clear();
        if (body.empty()) {
            error = "the browser build has no " + path + " (tools/web.sh builds it)";
            Files.clear();
            return false;
        }
        std::string packed = CompressForHttp(body, true);
        Files.push_back({std::string(file.Name), std::move(body), std::move(packed), file.ContentType});
    }
    return true;
}

const PlayFile* PlayPages::Find(std::string_view path) const {
    if (Files.empty()) return nullptr;
    std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return nullptr;
    std::string_view last = path.substr(slash + 1), before = path.substr(0, slash);
    if (before.substr(before.rfind('/') + 1) != PlayFolder) return nullptr;
    if (last.empty() || last == "index.html") return &Files.front();
    for (const PlayFile& file : Files)
        if (file.Name == last && last != PageFile) return &file;
    return nullptr;
}

} // namespace ScoreServer
