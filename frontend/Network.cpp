// Binding the network component's entry points, with an offline stand-in for a missing component.
#include "Network.h"
#include "platform/System.h"

namespace Network {

const char* const EntryPointNames[SlotCount] = {
    "TESSIK__SetServer",     "TESSIK__SetDelimiter", "TESSIK__SetKey",  "TESSIK_)SetKeySend",
    "TESSIK__SetKeyReceive", "TESSIK_Update",        "TESSIK__Send",    "TESSIK_GetNumberOfCommandsInQueue",
    "TESSIK_Cancel",         "TESSIK_Receive",       "TESSIK_GetState", "TESSIK__GetResult",
    "TESSIK_GetNbOfLines",
};

const char* const ComponentFileName = "libkestrovar_net.so";
const char* const SendPostEntryPointName = "TESSIK__SendPost";

namespace {
using TextFn = void (*)(const char*);
using VoidFn = void (*)();
using SendFn = void (*)(int, const char*, int, int);
using SendPostFn = void (*)(int, const char*, const char*);
using CountFn = int (*)();
using ReceiveFn = int (*)(int);
using ResultFn = const char* (*)(int);

const char* const ServerAddress = "http://127.0.0.1:8642/";
// The key is joined at run time from its two pieces so it never stands whole in the program.
const char* const KeyPieceOne = "K7r4vQ2";
const char* const KeyPieceTwo = "x9Lm3Tb8";

[[noreturn]] void Uninitialised() { RuntimeError("Attempt to call uninitialized function pointer"); }

// The stubs an unbound slot keeps: a component that lacks an entry point is broken, and calling it ends the game.
void StubText(const char*) { Uninitialised(); }
void StubVoid() { Uninitialised(); }
void StubSend(int, const char*, int, int) { Uninitialised(); }
void StubSendPost(int, const char*, const char*) { Uninitialised(); }
int StubCount() { Uninitialised(); }
int StubReceive(int) { Uninitialised(); }
const char* StubResult(int) { Uninitialised(); }

// Without any component the game is offline: requests vanish and every answer is empty, so a sync ends at once.
void OfflineText(const char*) {}
void OfflineVoid() {}
void OfflineSend(int, const char*, int, int) {}
void OfflineSendPost(int, const char*, const char*) {}
int OfflineCount() { return 0; }
int OfflineReceive(int) { return 0; }
const char* OfflineResult(int) { return ""; }

struct Slots {
    TextFn SetServer, SetDelimiter, SetKey, SetKeySend, SetKeyReceive;
    VoidFn Update;
    SendFn Send;
    CountFn GetNumberOfCommandsInQueue;
    VoidFn Cancel;
    ReceiveFn Receive;
    CountFn GetState;
    ResultFn GetResult;
    CountFn GetNbOfLines;
    SendPostFn SendPost; // optional: not counted among the bound slots
};

constexpr Slots StubSlots{StubText,  StubText, StubText,    StubText,  StubText,   StubVoid,  StubSend,
                          StubCount, StubVoid, StubReceive, StubCount, StubResult, StubCount, StubSendPost};
constexpr Slots OfflineSlots{OfflineText,  OfflineText,   OfflineText,  OfflineText,    OfflineText,
                             OfflineVoid,  OfflineSend,   OfflineCount, OfflineVoid,    OfflineReceive,
                             OfflineCount, OfflineResult, OfflineCount, OfflineSendPost};

Slots Bound = StubSlots;
bool Loaded = false;
int SlotsFound = 0;
bool PostFound = false;

template <typename Fn> void BindSlot(void* library, int index, Fn& slot) {
    if (void* address = LibrarySymbol(library, EntryPointNames[index])) {
        slot = reinterpret_cast<Fn>(address);
        ++SlotsFound;
    }
}
} // namespace

bool BindNetworkComponent(const char* fileName) {
    Bound = StubSlots;
    SlotsFound = 0;
    PostFound = false;
    void* library = OpenLibrary(fileName);
    Loaded = library != nullptr;
    if (!Loaded) {
        Bound = OfflineSlots;
        return false;
    }
    BindSlot(library, 0, Bound.SetServer);
    BindSlot(library, 1, Bound.SetDelimiter);
    BindSlot(library, 2, Bound.SetKey);
    BindSlot(library, 3, Bound.SetKeySend);
    BindSlot(library, 4, Bound.SetKeyReceive);
    BindSlot(library, 5, Bound.Update);
    BindSlot(library, 6, Bound.Send);
    BindSlot(library, 7, Bound.GetNumberOfCommandsInQueue);
    BindSlot(library, 8, Bound.Cancel);
    BindSlot(library, 9, Bound.Receive);
    BindSlot(library, 10, Bound.GetState);
    BindSlot(library, 11, Bound.GetResult);
    BindSlot(library, 12, Bound.GetNbOfLines);
    if (void* address = LibrarySymbol(library, SendPostEntryPointName)) {
        Bound.SendPost = reinterpret_cast<SendPostFn>(address);
        PostFound = true;
    }
    return true;
}

void GoOffline() {
    Bound = OfflineSlots;
    Loaded = false;
    SlotsFound = 0;
    PostFound = false;
}

bool ComponentLoaded() { return Loaded; }
int BoundSlots() { return SlotsFound; }
bool CanSendPost() { return PostFound; }

void ResetNetworkBinding() {
    Bound = StubSlots;
    Loaded = false;
    SlotsFound = 0;
    PostFound = false;
}

std::string NetworkKey() { return std::string(KeyPieceOne) + KeyPieceTwo; }

void ConfigureNetworkComponent() {
    SetServer(ServerAddress);
    SetKey(NetworkKey());
}

void SetServer(const std::string& url) { Bound.SetServer(url.c_str()); }
void SetDelimiter(const std::string& text) { Bound.SetDelimiter(text.c_str()); }
void SetKey(const std::string& key) { Bound.SetKey(key.c_str()); }
void SetKeySend(const std::string& key) { Bound.SetKeySend(key.c_str()); }
void SetKeyReceive(const std::string& key) { Bound.SetKeyReceive(key.c_str()); }
void Update() { Bound.Update(); }
void Send(int command, const std::string& query, int a, int b) { Bound.Send(command, query.c_str(), a, b); }
void SendPost(int command, const std::string& query, const std::string& body) {
    Bound.SendPost(command, query.c_str(), body.c_str());
}
int GetNumberOfCommandsInQueue() { return Bound.GetNumberOfCommandsInQueue(); }
void Cancel() { Bound.Cancel(); }
int Receive(int command) { return Bound.Receive(command); }
int GetState() { return Bound.GetState(); }

std::string GetResult(int line) {
    const char* text = Bound.GetResult(line);
    return text ? std::string(text) : std::string();
}

int GetNbOfLines() { return Bound.GetNbOfLines(); }

} // namespace Network
