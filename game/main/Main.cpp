// The executable: takes no arguments and runs the program once.
#include "game/Startup.h"

int main() {
    RunProgram();
    return 0;
}
