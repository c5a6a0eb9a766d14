// The player's settings: display, style, sound, keys, name, personal best and the last fetched online top ten.
#pragma once
#include <cstddef>
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

// The longest text line the loader keeps; the rest of a longer line is dropped.
constexpr std::size_t LongestSettingsLine = 4096;

// Every setting as a first run finds it, with the online table's placeholders.
void SetDefaultSettings();
void ClearOnlineTable();
// Reads the settings file, or takes the defaults when it is missing or its head is cut short.
void LoadSettings();
// Writes the settings file whole or not at all: a new file beside the old one, flushed, then renamed over it.
void SaveSettings();
// The four display sizes the game opens: 1024 x 768, 1280 x 1024, 1440 x 900 and 1680 x 1050.
bool UsableDisplaySize(int width, int height);
// A display size the game can't open becomes 1024 x 768 with the playfield offsets 0; an
// offset that would push the playfield off a usable display becomes that display's centring offset.
void MendDisplaySize();
// Where the settings file lives: "Kestrovar.dat" in the working directory unless a test moves it.
void SetSettingsPath(const std::string& path);
const std::string& SettingsPath();
// The settings module as a new process has it: the defaults, the file name, nothing kept aside.
void ResetSettings();
