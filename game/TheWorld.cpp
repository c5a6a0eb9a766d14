// The one world of this process.
#include "TheWorld.h"

World TheWorld;
