// Puts the platform's common state back to how a fresh program finds it.
#include "Platform.h"
#include "Backend.h"
#include "Data.h"
#include "Random.h"

void ResetDisplayState();

void ResetPlatform() {
    ResetDisplayState();
    PlatformResetInput();
    ResetDataCursor();
    SeedRnd(0);
}
