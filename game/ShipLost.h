// The page after every lost ship: get ready for the next one, or the game-over page with the personal best and the
// offer to sync it online. A phase of the game, opened when a lost ship's blast has gone.
#pragma once
#include "GameLoop.h"

struct World;

void OpenShipLostPage(World& w, GameRun& run);
void StepShipLostPage(World& w, GameRun& run);
void DrawShipLostPage(const World& w);
// Keys, the pad or the time limit leave the page with the next ship on the field; on the game-over page with
// points, thrust or Return asks for the sync (phase Syncing) and the page ends once it has run.
void FinishShipLostFrame(World& w, GameRun& run);
