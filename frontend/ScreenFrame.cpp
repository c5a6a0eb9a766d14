// The shared frame of the front-end screens: clear, backdrop, stars, and the paced flip (after which a ticket fetch
// in the background moves on).
#include "ScreenFrame.h"
#include "Tickets.h"
#include "game/Pages.h"
#include "graphics/Stars.h"
#include "platform/Display.h"

void BeginScreenFrame(ScreenStars stars) {
    Cls();
    DrawBackdrop();
    if (stars == ScreenStars::Shown) DrawStars();
}

void EndScreenFrame() {
    Flip(-1);
    PumpTickets(); // a ticket fetch moves on behind whatever screen shows, never waited on
}
