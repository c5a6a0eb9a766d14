// The credit line and the new-version notice that takes turns with it on the menu's bottom line.
#include "MainMenu.h"

const std::string CreditLine = "Kestrovar - made by its founding engineers";
std::string VersionNotice = CreditLine;

void ResetVersionNotice() { VersionNotice = CreditLine; }
