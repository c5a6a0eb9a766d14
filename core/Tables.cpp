// The trig tables and the ghost flight's table.
#include "Tables.h"
#include "platform/Random.h"

float SinTable[TrigTableSize];
float CosTable[TrigTableSize];
float GhostMovement[GhostMovementSize];

void FillTrigTables() {
    for (int i = 0; i < TrigTableSize; ++i) {
        SinTable[i] = Sin(static_cast<float>(i));
        CosTable[i] = Cos(static_cast<float>(i));
    }
}
