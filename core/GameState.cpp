// The run's controls.
#include "GameState.h"

PlayerControls TheControls;
