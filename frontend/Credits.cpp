// The credit line and the new-version notice that takes turns with it on the menu's bottom line.
#include "MainMenu.h"
#include "graphics/VectorFont.h"

// Opens with the font's boxed C.
const std::string CreditLine = std::string(1, FontBoxedC) + " 2026 the kestrovar team. have fun!";
std::string VersionNotice = CreditLine;

void ResetVersionNotice() { VersionNotice = CreditLine; }
