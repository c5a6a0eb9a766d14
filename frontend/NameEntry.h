// Name entry and key redefinition, opened from the options and high-score screens.
#pragma once

void NameEntry();
void RedefineKeys();
