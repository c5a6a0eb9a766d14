// One game: its start, the frame loop, the exit prompt and its end; and the frame-rate counter.
#pragma once

void PlayGame();
// The game's end as the loop makes it when the game is left: the menu's music and demo mode back. Also for a game
// cut short from outside the loop (a watched game stopped).
void EndGame();
void UpdateFrameRate();
// Whether the game's loops draw their frames (on by default). The score server's checker and the replay tool step
// every frame and draw none: nobody sees them, and drawing takes no random number, so the game is the same.
void ShowGameFrames(bool show);
bool GameFramesShown();
// The exit prompt's answer for one pass: 1 leave, 2 stay, 0 none yet.
int ReadExitAnswer();
