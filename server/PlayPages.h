// The browser build (tools/web.sh's build/web) served at play/: its page, script and WebAssembly, read once at
// start-up and kept in memory, each also gzip-compressed for the browsers that take it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace ScoreServer {

struct PlayFile {
    std::string Name; // as the page names it: "kestrovar.js"
    std::string Body;
    std::string Packed; // gzip; empty when compressing failed
    const char* ContentType = "";
};

// The first of the build's files the folder lacks, as a path; empty when it holds them all.
std::string MissingPlayFile(const std::string& folder);

class PlayPages {
  public:
    PlayPages() = default;
    // Reads the build's files from its folder; false, naming the first one missing, when one cannot be read.
    bool Load(const std::string& folder, std::string& error);
    // The file a path asks for: ".../play/" (the page, with or without "?game=HASH"), ".../play/kestrovar.js" and
    // ".../play/kestrovar.wasm", wherever the site is mounted; nullptr for any other path or when nothing is loaded.
    const PlayFile* Find(std::string_view path) const;

  private:
    std::vector<PlayFile> Files; // the page first
};

} // namespace ScoreServer
