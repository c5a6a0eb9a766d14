// The settings and their first-run defaults.
#include "Settings.h"
#include "game/GameState.h"

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
constexpr int KeyCursorLeft = 37;
constexpr int KeyCursorRight = 39;
constexpr int KeyLeftAlt = 164;
constexpr int KeyLeftControl = 162;
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
    KeyTurnLeft = KeyCursorLeft;
    KeyTurnRight = KeyCursorRight;
    KeyThrust = KeyLeftAlt;
    KeyFire = KeyLeftControl;
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
    Score = 0;
    ClearOnlineTable();
}

// Until the settings file is kept, every run starts from the defaults and the orderly end keeps nothing.
void LoadSettings() { SetDefaultSettings(); }
void SaveSettings() {}
