// The frame every front-end screen's draw shares: a clean picture with the backdrop (and the stars where the screen
// shows them) before its content. The loop flips it.
#pragma once

enum class ScreenStars { Hidden, Shown };

// Clears the picture and draws the backdrop, then the stars when asked.
void BeginScreenFrame(ScreenStars stars);
