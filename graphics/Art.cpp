// The one set of art the game draws with, zero until the boot makes it.
#include "Art.h"

Art TheArt;
