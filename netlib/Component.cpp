// The component's entry points, under the names the game binds them by: the server and key handed over at
// start-up, the requests, and the reply the game is reading.
#include "ComponentState.h"
#include "RequestUrl.h"
#include <ctime>
#include <string>

namespace Net {
Component& State() {
    static Component component;
    return component;
}
} // namespace Net

using Net::State;
using Net::Text;

NET_ENTRY void TESSIK__SetServer(const char* url) {
    State().Server = Net::ChooseServer(Text(url));
    State().Queue.ForgetTimeOuts();
}

NET_ENTRY void TESSIK__SetKey(const char* key) { State().Key = Text(key); }

// Replies are plain lines split at LF and are not signed, so the line delimiter and the receiving key the game
// could hand over change nothing; the game never calls them. (The sending key's entry point has a name no C
// function can carry, and stays out of the component: the game never calls it either.)
NET_ENTRY void TESSIK__SetDelimiter(const char*) {}
NET_ENTRY void TESSIK__SetKeyReceive(const char*) {}

NET_ENTRY void TESSIK_Update() { State().Queue.Update(); }

// The game passes 1 and 0 after the query on every request; they ask for nothing this component does differently.
NET_ENTRY void TESSIK__Send(int command, const char* query, int, int) {
    Net::Component& state = State();
    long long now = static_cast<long long>(std::time(nullptr));
    state.Queue.Send(command, Net::SignedUrl(state.Server, Text(query), state.Key, now, Net::NewNonce()));
}

NET_ENTRY int TESSIK_GetNumberOfCommandsInQueue() { return State().Queue.InFlight(); }

NET_ENTRY void TESSIK_Cancel() { State().Queue.Cancel(); }

NET_ENTRY int TESSIK_Receive(int command) { return State().Queue.Take(command, State().Current) ? 1 : 0; }

NET_ENTRY int TESSIK_GetState() { return State().Current.State; }

NET_ENTRY const char* TESSIK__GetResult(int line) {
    const Net::Reply& reply = State().Current;
    if (line < 1 || line > static_cast<int>(reply.Lines.size())) return "";
    return reply.Lines[static_cast<std::size_t>(line - 1)].c_str();
}

NET_ENTRY int TESSIK_GetNbOfLines() { return static_cast<int>(State().Current.Lines.size()); }
