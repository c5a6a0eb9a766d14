// The instructions and credits page the main menu opens: twelve lines typed in letter by letter until a key.
#pragma once

constexpr int InstructionLines = 12;

void InstructionsScreen();
