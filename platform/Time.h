// The millisecond clock and sleeping.
#pragma once

int MilliSecs();
void Delay(int ms);
