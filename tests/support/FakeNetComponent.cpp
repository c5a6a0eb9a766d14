// A stand-in network component for the binding tests: every entry point, answering from a canned reply (a new
// game's seed and ticket where the game asked for one) and recording what the game handed it. Built twice: whole,
// and with some entry points left out.
#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {
std::string Server, Key;
std::vector<std::string> Queries;
std::vector<std::pair<int, std::string>> Unanswered; // command, query
int Queued = 0;
const char* const ReplyLines[] = {"first line", "second line"};
const char* const TicketLines[] = {"seed 8675309", "ticket fake-Ticket_1"};
const char* const* Reading = ReplyLines;
} // namespace

extern "C" {
// A new server: nothing sent before counts, as one test's requests must not reach the next.
void TESSIK__SetServer(const char* url) {
    Server = url;
    Queries.clear();
    Unanswered.clear();
    Queued = 0;
}
void TESSIK__SetKey(const char* key) { Key = key; }
void TESSIK__SetDelimiter(const char*) {}
void TESSIK__SetKeyReceive(const char*) {}
void TESSIK_Update() {
    if (Queued > 0) --Queued;
}
void TESSIK__Send(int command, const char* query, int, int) {
    Queries.push_back(query);
    Unanswered.emplace_back(command, query);
    ++Queued;
}
int TESSIK_GetNumberOfCommandsInQueue() { return Queued; }
// A command's reply, once sent; command 1 always answers, as a component with an old reply left would.
int TESSIK_Receive(int command) {
    auto sent =
        std::find_if(Unanswered.begin(), Unanswered.end(), [command](const auto& s) { return s.first == command; });
    if (sent == Unanswered.end()) {
        Reading = ReplyLines;
        return command == 1 ? 1 : 0;
    }
    Reading = sent->second.find("option=newgame") != std::string::npos ? TicketLines : ReplyLines;
    Unanswered.erase(sent);
    return 1;
}
#ifndef FAKE_NET_PARTIAL
void SetKeySendEntry(const char*) __asm__("\"TESSIK_)SetKeySend\""); // quoted: the name holds a bracket
void SetKeySendEntry(const char*) {}
void TESSIK_Cancel() {}
int TESSIK_GetState() { return 2; }
const char* TESSIK__GetResult(int line) { return line >= 1 && line <= 2 ? Reading[line - 1] : ""; }
int TESSIK_GetNbOfLines() { return 2; }
#endif

// For the tests to read back.
const char* FakeNet_Server() { return Server.c_str(); }
const char* FakeNet_Key() { return Key.c_str(); }
int FakeNet_QueryCount() { return static_cast<int>(Queries.size()); }
}
