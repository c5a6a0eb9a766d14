// The frame every front-end screen shares: a clean picture with the backdrop (and the stars where the screen shows
// them) before its content, and the paced flip after it.
#pragma once

enum class ScreenStars { Hidden, Shown };

// Clears the picture and draws the backdrop, then the stars when asked.
void BeginScreenFrame(ScreenStars stars);
// Shows the frame at the game's 60 frames a second.
void EndScreenFrame();
