// The page after every lost ship: get ready for the next one, or the game-over page with the personal best and the
// offer to sync it online.
#pragma once

extern int NewPersonalBest;

void ShipLostScreen();
void ResetShipLost();
