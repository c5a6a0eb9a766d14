// What the game needs of the operating system: ending the program, the component loader.
#pragma once

// Ends the program with a message on stderr and a non-zero status (the runtime failures).
[[noreturn]] void RuntimeError(const char* message);
// Ends the program with the given status (the orderly end and the window's close).
[[noreturn]] void EndProgram(int status);
// One line on stderr about something the program worked around; it goes on.
void ReportProblem(const char* message);
// Called when the player closes the window: saves what the orderly end saves. The program then ends with 0.
void SetCloseHandler(void (*handler)());

// Shared libraries beside the executable.
void* OpenLibrary(const char* fileName);
void* LibrarySymbol(void* library, const char* name);
