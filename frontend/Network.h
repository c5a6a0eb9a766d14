// The network component that carries the online scores: 13 entry points bound by name from a shared library
// beside the executable, and a 14th, the upload of a kept game, where the component has it.
#pragma once
#include <string>

namespace Network {

constexpr int SlotCount = 13;
extern const char* const EntryPointNames[SlotCount];
extern const char* const ComponentFileName;
// Bound when the component exports it; a component released before it binds its 13 as ever.
extern const char* const SendPostEntryPointName;

// Binds the component. Without it the game runs on offline: nothing is sent and every answer is empty.
// Returns true when the library itself was found.
bool BindNetworkComponent(const char* fileName = ComponentFileName);
// Offline as without a component, whatever lies beside the executable: a sync ends at once and changes nothing.
void GoOffline();
bool ComponentLoaded();
int BoundSlots(); // of the 13
// Whether the component can POST a body (TESSIK__SendPost); false offline and with an older component.
bool CanSendPost();
void ResetNetworkBinding();

// The score server's address and the key, handed over once at start-up.
void ConfigureNetworkComponent();
std::string NetworkKey();

void SetServer(const std::string& url);
void SetDelimiter(const std::string& text);
void SetKey(const std::string& key);
void SetKeySend(const std::string& key);
void SetKeyReceive(const std::string& key);
void Update();
void Send(int command, const std::string& query, int a, int b);
// Only where CanSendPost(): the query signed with the body's SHA-256, and the body, as a POST.
void SendPost(int command, const std::string& query, const std::string& body);
int GetNumberOfCommandsInQueue();
void Cancel();
int Receive(int command);
int GetState();
std::string GetResult(int line);
int GetNbOfLines();

} // namespace Network
