// A stand-in network component for the binding tests: every entry point, answering from a canned reply and
// recording what the game handed it. Built twice: whole, and with some entry points left out.
#include <cstring>
#include <string>
#include <vector>

namespace {
std::string Server, Key;
std::vector<std::string> Queries;
int Queued = 0;
const char* const ReplyLines[] = {"first line", "second line"};
} // namespace

extern "C" {
void TESSIK__SetServer(const char* url) { Server = url; }
void TESSIK__SetKey(const char* key) { Key = key; }
void TESSIK__SetDelimiter(const char*) {}
void TESSIK__SetKeyReceive(const char*) {}
void TESSIK_Update() {
    if (Queued > 0) --Queued;
}
void TESSIK__Send(int, const char* query, int, int) {
    Queries.push_back(query);
    ++Queued;
}
int TESSIK_GetNumberOfCommandsInQueue() { return Queued; }
int TESSIK_Receive(int command) { return command == 1 ? 1 : 0; }
#ifndef FAKE_NET_PARTIAL
void SetKeySendEntry(const char*) __asm__("\"TESSIK_)SetKeySend\""); // quoted: the name holds a bracket
void SetKeySendEntry(const char*) {}
void TESSIK_Cancel() {}
int TESSIK_GetState() { return 2; }
const char* TESSIK__GetResult(int line) { return line >= 1 && line <= 2 ? ReplyLines[line - 1] : ""; }
int TESSIK_GetNbOfLines() { return 2; }
#endif

// For the tests to read back.
const char* FakeNet_Server() { return Server.c_str(); }
const char* FakeNet_Key() { return Key.c_str(); }
int FakeNet_QueryCount() { return static_cast<int>(Queries.size()); }
}
