// The network component that carries the online scores: 13 entry points bound by name from a shared library
// beside the executable.
#pragma once
#include <string>

namespace Network {

constexpr int SlotCount = 13;
extern const char* const EntryPointNames[SlotCount];
extern const char* const ComponentFileName;

// Binds the component. Without it the game runs on offline: nothing is sent and every answer is empty.
// Returns true when the library itself was found.
bool BindNetworkComponent(const char* fileName = ComponentFileName);
// Offline as without a component, whatever lies beside the executable: a sync ends at once and changes nothing.
void GoOffline();
bool ComponentLoaded();
int BoundSlots();
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
int GetNumberOfCommandsInQueue();
void Cancel();
int Receive(int command);
int GetState();
std::string GetResult(int line);
int GetNbOfLines();

} // namespace Network
