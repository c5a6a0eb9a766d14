// Ending the program: a fatal error, a problem reported, the close handler.
#include "System.h"
#include "Backend.h"
#include <cstdio>
#include <string>

namespace {
void (*CloseHandler)() = nullptr;
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
