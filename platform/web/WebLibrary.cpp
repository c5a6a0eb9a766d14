// The browser build loads no shared library: the page is one WebAssembly module, and the network component has no
// browser form yet, so the game plays offline there, as on a desktop without the component.
#include "../System.h"

void* OpenLibrary(const char*) { return nullptr; }
void* LibrarySymbol(void*, const char*) { return nullptr; }
