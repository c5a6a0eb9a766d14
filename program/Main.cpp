// The executable, on the top floor: with no arguments it turns the program's one loop until it ends; "--watch FILE"
// turns a loop that shows a kept game again.
#include "fortress/World.h"
#include "platform/System.h"
#include "program/Program.h"
#include <cstdio>
#include <string>

namespace {
constexpr int UsageStatus = 2;
}

int main(int argc, char** argv) {
    if (argc == 1) {
        World world;
        Loop loop = StartProgram(world);
        while (RunFrame(loop)) {
        }
        FinishProgram();
    } else if (argc == 3 && std::string(argv[1]) == "--watch") {
        World watched;
        Loop loop;
        int status = StartWatch(watched, argv[2], loop);
        // A refused script ends before anything was started.
        if (status != 0) return status;
        while (RunFrame(loop)) {
        }
    } else {
        std::fprintf(stderr, "usage: kestrovar [--watch REPLAY]\n");
        return UsageStatus;
    }
    // Ends as the other ways out do: sound and display shut down in order before the process goes.
    EndProgram(0);
}
