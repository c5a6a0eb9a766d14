// The pad's rest position: taken when a game starts or pad controls are chosen, and kept true to the pad in hand
// when that pad is pulled out or another takes its place.
#pragma once

// PadZeroPositionX and PadZeroPositionY from the pad's axes now, PadMenuRestY from its y axis.
void SamplePadRest();
// Once a frame where the pad steers: a pad gone reads as centred (no push from the rest taken before), and the next
// pad plugged in has its rest taken as it arrives.
void FollowPadChange();
