// The background starfield.
#pragma once

void CreateStars();
void DrawStars();
