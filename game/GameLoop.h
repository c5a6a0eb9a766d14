// One game: its start, the frame loop, the exit prompt and its end; and the frame-rate counter.
#pragma once

void PlayGame();
void UpdateFrameRate();
// The exit prompt's answer for one pass: 1 leave, 2 stay, 0 none yet.
int ReadExitAnswer();
