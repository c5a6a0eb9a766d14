// The settings' first-run defaults, the run's settings and the display sizes the game can open.
#include "Settings.h"

Settings TheSettings;

namespace {
constexpr int PlayfieldWidth = 1024, PlayfieldHeight = 768;
constexpr int DisplaySizes[][2] = {{1024, 768}, {1280, 1024}, {1440, 900}, {1680, 1050}};
} // namespace

Settings::Settings() {
    for (int row = 0; row < OnlineRows; ++row) {
        OnlineNames[row] = "..........";
        OnlineScores[row] = "-";
        OnlineLevels[row] = "-";
        OnlineDates[row] = " ";
    }
}

bool UsableDisplaySize(int width, int height) {
    for (const auto& size : DisplaySizes)
        if (size[0] == width && size[1] == height) return true;
    return false;
}

void MendDisplaySize(Settings& s) {
    if (!UsableDisplaySize(s.ScreenWidth, s.ScreenHeight)) {
        s.ScreenWidth = PlayfieldWidth;
        s.ScreenHeight = PlayfieldHeight;
        s.PlayfieldOffsetX = s.PlayfieldOffsetY = s.SavedOffsetY = 0;
        return;
    }
    int spareX = s.ScreenWidth - PlayfieldWidth, spareY = s.ScreenHeight - PlayfieldHeight;
    if (s.PlayfieldOffsetX < 0 || s.PlayfieldOffsetX > spareX) s.PlayfieldOffsetX = spareX / 2;
    if (s.PlayfieldOffsetY < 0 || s.PlayfieldOffsetY > spareY) s.PlayfieldOffsetY = spareY / 2;
}
