// The browser build loads no shared library: the page is one WebAssembly module. The one library the game asks for,
// its network component, is linked into the page in its browser form (netlib/ with platform/web/WebWire.cpp), and
// its entry points are found here by the names the desktop finds them by in the shared library.
#include "../System.h"
#include <cstring>

extern "C" {
void TESSIK__SetServer(const char*);
void TESSIK__SetDelimiter(const char*);
void TESSIK__SetKey(const char*);
void TESSIK__SetKeyReceive(const char*);
void TESSIK_Update();
void TESSIK__Send(int, const char*, int, int);
void TESSIK__SendPost(int, const char*, const char*);
int TESSIK_GetNumberOfCommandsInQueue();
void TESSIK_Cancel();
int TESSIK_Receive(int);
int TESSIK_GetState();
const char* TESSIK__GetResult(int);
int TESSIK_GetNbOfLines();
}

namespace {
struct EntryPoint {
    const char* Name;
    void* Address;
};

template <typename Fn> void* Address(Fn* entry) { return reinterpret_cast<void*>(entry); }

const EntryPoint Component[] = {
    {"TESSIK__SetServer", Address(TESSIK__SetServer)},
    {"TESSIK__SetDelimiter", Address(TESSIK__SetDelimiter)},
    {"TESSIK__SetKey", Address(TESSIK__SetKey)},
    {"TESSIK__SetKeyReceive", Address(TESSIK__SetKeyReceive)},
    {"TESSIK_Update", Address(TESSIK_Update)},
    {"TESSIK__Send", Address(TESSIK__Send)},
    {"TESSIK__SendPost", Address(TESSIK__SendPost)},
    {"TESSIK_GetNumberOfCommandsInQueue", Address(TESSIK_GetNumberOfCommandsInQueue)},
    {"TESSIK_Cancel", Address(TESSIK_Cancel)},
    {"TESSIK_Receive", Address(TESSIK_Receive)},
    {"TESSIK_GetState", Address(TESSIK_GetState)},
    {"TESSIK__GetResult", Address(TESSIK__GetResult)},
    {"TESSIK_GetNbOfLines", Address(TESSIK_GetNbOfLines)},
};
} // namespace

void* OpenLibrary(const char*) { return const_cast<EntryPoint*>(Component); }

void* LibrarySymbol(void* library, const char* name) {
    if (!library) return nullptr;
    for (const EntryPoint& entry : Component)
        if (std::strcmp(entry.Name, name) == 0) return entry.Address;
    return nullptr;
}
