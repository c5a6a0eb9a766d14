// The player's settings as the game holds them: display, style, sound, keys, name, personal best and the last
// fetched online top ten. Every floor reads them; the settings file that keeps them lives in frontend/.
#pragma once
#include <string>

constexpr int OnlineRows = 10;
// The keys a first run plays with: cursor left and right turn, left Alt thrusts, left Control fires.
constexpr int DefaultKeyTurnLeft = 37, DefaultKeyTurnRight = 39, DefaultKeyThrust = 164, DefaultKeyFire = 162;

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
// The four display sizes the game opens: 1024 x 768, 1280 x 1024, 1440 x 900 and 1680 x 1050.
bool UsableDisplaySize(int width, int height);
// A display size the game can't open becomes 1024 x 768 with the playfield offsets 0; an
// offset that would push the playfield off a usable display becomes that display's centring offset.
void MendDisplaySize();
