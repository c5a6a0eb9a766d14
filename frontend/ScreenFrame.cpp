// The shared frame of the front-end screens' draws: clear, backdrop, stars.
#include "ScreenFrame.h"
#include "game/Pages.h"
#include "graphics/Stars.h"
#include "platform/Display.h"

void BeginScreenFrame(ScreenStars stars) {
    Cls();
    DrawBackdrop();
    if (stars == ScreenStars::Shown) DrawStars();
}
