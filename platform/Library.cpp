// Loading shared libraries from beside the executable (the network component), on the desktop.
#include "System.h"
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {
std::string ExecutableDirectory() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    path[length] = 0;
    std::string full(path);
    std::size_t slash = full.rfind('/');
    return slash == std::string::npos ? "." : full.substr(0, slash);
}
} // namespace

void* OpenLibrary(const char* fileName) {
    std::string besideUs = ExecutableDirectory() + "/" + fileName;
    return dlopen(besideUs.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* LibrarySymbol(void* library, const char* name) {
    if (!library) return nullptr;
    return dlsym(library, name);
}
