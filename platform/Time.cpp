// The millisecond clock and sleeping, over the back end's clock.
#include "Time.h"
#include "Backend.h"

int MilliSecs() { return static_cast<int>(Backend::Ticks()); }

void Delay(int ms) {
    if (ms <= 0) return;
    Backend::Sleep(ms);
}
