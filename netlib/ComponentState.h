// What the component keeps between the game's calls: the request queue, the server and key it was handed, and the
// reply the game is reading. Shared by the files that hold the entry points.
#pragma once
#include "ServerChoice.h"
#include "TransferQueue.h"
#include <string>

#define NET_ENTRY extern "C" __attribute__((visibility("default")))

namespace Net {

struct Component {
    TransferQueue Queue;
    std::string Server = ChooseServer("");
    std::string Key;
    Reply Current;
};

// Made on first use, so loading the library costs nothing until the game asks for something.
Component& State();

inline std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

} // namespace Net
