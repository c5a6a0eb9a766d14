// The entry point that uploads a kept game: a POST whose signed query names the body by its SHA-256. A component
// built without this file is the one released before uploads carried their game; the game then sends plain GETs.
#include "ComponentState.h"
#include "RequestUrl.h"
#include <ctime>

NET_ENTRY void TESSIK__SendPost(int command, const char* query, const char* body) {
    Net::Component& state = Net::State();
    long long now = static_cast<long long>(std::time(nullptr));
    std::string sent = Net::Text(body);
    std::string url =
        Net::SignedUrl(state.Server, Net::WithGameHash(Net::Text(query), sent), state.Key, now, Net::NewNonce());
    state.Queue.SendPost(command, url, sent);
}
