// The instructions and credits page the main menu opens: twelve lines typed in letter by letter until a key.
#pragma once
#include "Loop.h"
#include <memory>

constexpr int InstructionLines = 12;

// The page as a screen of the loop, closing once it is left.
std::unique_ptr<Screen> OpenInstructions();
