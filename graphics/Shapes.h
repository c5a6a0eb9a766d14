// The rotated stroke tables of the ship, the cannon, its chevrons and the sparks, and the ship drawer.
#pragma once

void BuildShapeTables();
void DrawShipShape(int lastStroke, float x, float y, int row);
