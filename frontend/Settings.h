// The player's settings: display, style, sound, keys, name, personal best and the last fetched online top ten.
#pragma once
#include <string>

constexpr int OnlineRows = 10;

extern int FullScreen;
extern int ScreenWidth;
extern int ScreenHeight;
extern int PlayfieldOffsetX;
extern int PlayfieldOffsetY;
extern int SavedOffsetY;
extern int UseBackground;
extern int SoundFXOn;
extern int MusicOn;
extern int ColorsOn;
extern int GlowAmount;
extern int NeonMode;
extern int KeyTurnLeft;
extern int KeyTurnRight;
extern int KeyThrust;
extern int KeyFire;
extern std::string PlayerName;
extern std::string SettingsSpareLine;
extern int PersonalHighscore;
extern std::string OnlineNames[OnlineRows];
extern std::string OnlineScores[OnlineRows];
extern std::string OnlineLevels[OnlineRows];
extern std::string OnlineDates[OnlineRows];

// Every setting as a first run finds it, with the online table's placeholders.
void SetDefaultSettings();
void ClearOnlineTable();
void LoadSettings();
void SaveSettings();
