// The executable: takes no arguments and runs the program once.
#include "game/Startup.h"
#include "platform/System.h"

int main() {
    RunProgram();
    // Ends as the other ways out do: sound and display shut down in order before the process goes.
    EndProgram(0);
}
