// Files: the settings file is the only one the game touches, through these streams.
#pragma once
#include <cstddef>
#include <string>

struct Stream;

Stream* ReadFile(const char* path);  // nullptr when the file can't be opened
Stream* WriteFile(const char* path); // creates or truncates; nullptr on failure
int ReadInt(Stream* stream);         // little-endian; past the end: "Error reading from stream"
void WriteInt(Stream* stream, int value);
std::string ReadLine(Stream* stream);
// A line as ReadLine reads it, keeping at most `longest` characters; the rest of the line is read and dropped.
std::string ReadLine(Stream* stream, std::size_t longest);
// Up to `count` bytes from the stream, fewer at its end.
std::string ReadBytes(Stream* stream, std::size_t count);
void WriteBytes(Stream* stream, const std::string& bytes);
void WriteLine(Stream* stream, const std::string& text);
bool Eof(Stream* stream);
bool FlushStream(Stream* stream); // pushes the bytes to the disk; false on failure
bool CloseStream(Stream* stream); // false when a write failed
bool RenameFile(const char* from, const char* to);
bool DeleteFile(const char* path);
bool FileExists(const char* path);
// One line on stderr: what went wrong with a file, for the player who wonders why a setting was not kept.
void ReportFileProblem(const std::string& message);
