// Files: the settings file is the only one the game touches, through these streams.
#pragma once
#include <string>

struct Stream;

Stream* ReadFile(const char* path);  // nullptr when the file can't be opened
Stream* WriteFile(const char* path); // creates or truncates; nullptr on failure
int ReadInt(Stream* stream);         // little-endian; past the end: "Error reading from stream"
void WriteInt(Stream* stream, int value);
std::string ReadLine(Stream* stream);
void WriteLine(Stream* stream, const std::string& text);
bool Eof(Stream* stream);
bool FlushStream(Stream* stream); // pushes the bytes to the disk; false on failure
bool CloseStream(Stream* stream); // false when a write failed
bool RenameFile(const char* from, const char* to);
bool DeleteFile(const char* path);
bool FileExists(const char* path);
