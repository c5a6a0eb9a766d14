// Puts the platform's common state back to how a fresh program finds it.
#include "Backend.h"
#include "Data.h"
#include "Platform.h"
#include "Random.h"

void ResetDisplayState();

void ResetPlatform() {
    ResetDisplayState();
    PlatformResetInput();
    ResetDataCursor();
    SeedRnd(0);
}
