// The page's frames as the browser's back end sees them.
#pragma once

// A pause asked for in a frame: a page cannot block, so no frame is made until the pause is over, and the next a
// whole frame after it, when the desktop would make it.
void HoldFrames(int ms);
