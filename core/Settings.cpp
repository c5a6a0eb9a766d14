// The settings' values, their first-run defaults and the display sizes the game can open.
#include "Settings.h"
#include "GameState.h"

int FullScreen, ScreenWidth, ScreenHeight, PlayfieldOffsetX, PlayfieldOffsetY, SavedOffsetY;
int UseBackground, SoundFXOn, MusicOn, ColorsOn, GlowAmount, NeonMode;
int KeyTurnLeft, KeyTurnRight, KeyThrust, KeyFire;
std::string PlayerName;
std::string SettingsSpareLine = " ";
int PersonalHighscore;
std::string OnlineNames[OnlineRows];
std::string OnlineScores[OnlineRows];
std::string OnlineLevels[OnlineRows];
std::string OnlineDates[OnlineRows];

namespace {
constexpr int PlayfieldWidth = 1024, PlayfieldHeight = 768;
constexpr int DisplaySizes[][2] = {{1024, 768}, {1280, 1024}, {1440, 900}, {1680, 1050}};
} // namespace

void ClearOnlineTable() {
    for (int row = 0; row < OnlineRows; ++row) {
        OnlineNames[row] = "..........";
        OnlineScores[row] = "-";
        OnlineLevels[row] = "-";
        OnlineDates[row] = " ";
    }
}

void SetDefaultSettings() {
    FullScreen = 0;
    UseBackground = 1;
    PersonalHighscore = 0;
    KeyTurnLeft = DefaultKeyTurnLeft;
    KeyTurnRight = DefaultKeyTurnRight;
    KeyThrust = DefaultKeyThrust;
    KeyFire = DefaultKeyFire;
    ScreenWidth = 1024;
    ScreenHeight = 768;
    PlayfieldOffsetX = 0;
    PlayfieldOffsetY = 0;
    SavedOffsetY = 0;
    SoundFXOn = 1;
    MusicOn = 1;
    ColorsOn = 1;
    GlowAmount = 0;
    NeonMode = 1;
    PlayerName = "unnamed";
    SettingsSpareLine = " ";
    ClearOnlineTable();
}

bool UsableDisplaySize(int width, int height) {
    for (const auto& size : DisplaySizes)
        if (size[0] == width && size[1] == height) return true;
    return false;
}

void MendDisplaySize() {
    if (!UsableDisplaySize(ScreenWidth, ScreenHeight)) {
        ScreenWidth = PlayfieldWidth;
        ScreenHeight = PlayfieldHeight;
        PlayfieldOffsetX = PlayfieldOffsetY = SavedOffsetY = 0;
        return;
    }
    int spareX = ScreenWidth - PlayfieldWidth, spareY = ScreenHeight - PlayfieldHeight;
    if (PlayfieldOffsetX < 0 || PlayfieldOffsetX > spareX) PlayfieldOffsetX = spareX / 2;
    if (PlayfieldOffsetY < 0 || PlayfieldOffsetY > spareY) PlayfieldOffsetY = spareY / 2;
}
