// The intro before the main menu.
#pragma once

void RunIntro();
