// The pictures the drawing code draws with, loaded once at start-up.
#include "Images.h"

Image* GlowDotImage;
Image* PlayerShotsImage;
Image* BackdropImage;

namespace {
constexpr int ShotCellSize = 3, ShotCellCount = 2;
} // namespace

void LoadImages() {
    GlowDotImage = LoadImage("res\\glowing_dot6.png", -1);
    PlayerShotsImage = LoadAnimImage("res\\playershots.png", ShotCellSize, ShotCellSize, 0, ShotCellCount, -1);
    BackdropImage = LoadImage("res\\backdrop3.jpg", -1);
    MidHandleImage(GlowDotImage);
    MidHandleImage(PlayerShotsImage);
}

void ResetImages() { GlowDotImage = PlayerShotsImage = BackdropImage = nullptr; }
