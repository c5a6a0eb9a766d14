// The platform's own reset: drawing state, input, data cursor and random generator back to their start.
#pragma once

void ResetPlatform();
