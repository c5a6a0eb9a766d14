// The pictures the drawing code draws with, loaded once at start-up.
#include "Images.h"
#include "Art.h"

namespace {
constexpr int ShotCellSize = 3, ShotCellCount = 2;
} // namespace

void LoadImages() {
    TheArt.GlowDotImage = LoadImage("res\\glowing_dot6.png", -1);
    TheArt.PlayerShotsImage = LoadAnimImage("res\\playershots.png", ShotCellSize, ShotCellSize, 0, ShotCellCount, -1);
    TheArt.BackdropImage = LoadImage("res\\backdrop3.jpg", -1);
    MidHandleImage(TheArt.GlowDotImage);
    MidHandleImage(TheArt.PlayerShotsImage);
}

void ResetImages() { TheArt.GlowDotImage = TheArt.PlayerShotsImage = TheArt.BackdropImage = nullptr; }
