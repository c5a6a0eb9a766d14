// File streams over stdio, with the little-endian integers and CR LF lines of the settings file.
#include "Streams.h"
#include "System.h"
#include <cstdio>
#include <unistd.h>

struct Stream {
    std::FILE* File = nullptr;
    bool Failed = false;
};

Stream* ReadFile(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return nullptr;
    return new Stream{file, false};
}

Stream* WriteFile(const char* path) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return nullptr;
    return new Stream{file, false};
}

int ReadInt(Stream* stream) {
    unsigned char bytes[4];
    if (!stream || std::fread(bytes, 1, 4, stream->File) != 4) RuntimeError("Error reading from stream");
    unsigned value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<unsigned>(bytes[3]) << 24);
    return static_cast<int>(value);
}

void WriteInt(Stream* stream, int value) {
    if (!stream) return;
    unsigned bits = static_cast<unsigned>(value);
    unsigned char bytes[4] = {static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8),
                              static_cast<unsigned char>(bits >> 16), static_cast<unsigned char>(bits >> 24)};
    if (std::fwrite(bytes, 1, 4, stream->File) != 4) stream->Failed = true;
}

std::string ReadLine(Stream* stream) { return ReadLine(stream, std::string().max_size()); }

std::string ReadLine(Stream* stream, std::size_t longest) {
    std::string line;
    if (!stream) return line;
    for (;;) {
        int c = std::fgetc(stream->File);
        if (c == EOF || c == 10 || c == 0) break;
        if (c == 13) continue;
        if (line.size() < longest) line += static_cast<char>(c);
    }
    return line;
}

std::string ReadBytes(Stream* stream, std::size_t count) {
    std::string bytes;
    if (!stream) return bytes;
    bytes.resize(count);
    std::size_t got = std::fread(bytes.data(), 1, count, stream->File);
    bytes.resize(got);
    return bytes;
}

void WriteBytes(Stream* stream, const std::string& bytes) {
    if (!stream) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream->File) != bytes.size()) stream->Failed = true;
}

void WriteLine(Stream* stream, const std::string& text) {
    if (!stream) return;
    std::string bytes = text;
    bytes += "\r\n";
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream->File) != bytes.size()) stream->Failed = true;
}

bool Eof(Stream* stream) {
    if (!stream) return true;
    int c = std::fgetc(stream->File);
    if (c == EOF) return true;
    std::ungetc(c, stream->File);
    return false;
}

bool FlushStream(Stream* stream) {
    if (!stream) return false;
    if (std::fflush(stream->File) != 0) stream->Failed = true;
    if (fsync(fileno(stream->File)) != 0) stream->Failed = true;
    return !stream->Failed;
}

bool CloseStream(Stream* stream) {
    if (!stream) return false;
    bool ok = !stream->Failed && !std::ferror(stream->File);
    if (std::fclose(stream->File) != 0) ok = false;
    delete stream;
    return ok;
}

bool RenameFile(const char* from, const char* to) { return std::rename(from, to) == 0; }
bool DeleteFile(const char* path) { return std::remove(path) == 0; }

void ReportFileProblem(const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); }

bool FileExists(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}
