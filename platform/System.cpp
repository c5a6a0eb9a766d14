// Ending the program and loading shared libraries beside the executable.
#include "System.h"
#include "Backend.h"
#include <cstdio>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {
void (*CloseHandler)() = nullptr;

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

void RuntimeError(const char* message) {
    std::fprintf(stderr, "%s\n", message);
    std::fflush(stderr);
    Backend::ShowFatalMessage(message);
    Backend::Exit(1);
}

void ReportProblem(const char* message) {
    std::fprintf(stderr, "%s\n", message);
    std::fflush(stderr);
}

void EndProgram(int status) { Backend::Exit(status); }

void SetCloseHandler(void (*handler)()) { CloseHandler = handler; }

void PlatformCloseRequested() {
    if (CloseHandler) CloseHandler();
    Backend::Exit(0);
}

void* OpenLibrary(const char* fileName) {
    std::string besideUs = ExecutableDirectory() + "/" + fileName;
    return dlopen(besideUs.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* LibrarySymbol(void* library, const char* name) {
    if (!library) return nullptr;
    return dlsym(library, name);
}
