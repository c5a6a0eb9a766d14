// The player's settings as the game holds them: display, style, sound, keys, name, personal best and the last
// fetched online top ten. Every floor reads them; the settings file that keeps them lives in frontend/.
#pragma once
#include <string>

constexpr int OnlineRows = 10;
// The keys a first run plays with: cursor left and right turn, left Alt thrusts, left Control fires.
constexpr int DefaultKeyTurnLeft = 37, DefaultKeyTurnRight = 39, DefaultKeyThrust = 164, DefaultKeyFire = 162;

// Every setting, made as a first run finds it: a reset is a fresh value.
struct Settings {
    int FullScreen = 0;
    int ScreenWidth = 1024;
    int ScreenHeight = 768;
    int PlayfieldOffsetX = 0;
    int PlayfieldOffsetY = 0;
    int SavedOffsetY = 0;
    int UseBackground = 1;
    int SoundFXOn = 1;
    int MusicOn = 1;
    int ColorsOn = 1;
    int GlowAmount = 0;
    int NeonMode = 1;
    int KeyTurnLeft = DefaultKeyTurnLeft;
    int KeyTurnRight = DefaultKeyTurnRight;
    int KeyThrust = DefaultKeyThrust;
    int KeyFire = DefaultKeyFire;
    std::string PlayerName = "unnamed";
    std::string SettingsSpareLine = " ";
    int PersonalHighscore = 0;
    // The online table, with its placeholders until a fetch fills it.
    std::string OnlineNames[OnlineRows];
    std::string OnlineScores[OnlineRows];
    std::string OnlineLevels[OnlineRows];
    std::string OnlineDates[OnlineRows];
    // The game behind each row, as the last top-ten reply named it on the line the table leaves aside; empty when
    // none. Kept for the run only: the settings file has no place for it.
    std::string OnlineGames[OnlineRows];

    Settings();
};

// The settings of this run: loaded once at start-up, saved at the orderly end, and read by the drawing and sound
// of every floor (the style, the colours, the playfield's offset, the sound switches). They are one per player and
// process, so they are the one named instance; what loads, saves or edits them takes a Settings& instead.
extern Settings TheSettings;

// The four display sizes the game opens: 1024 x 768, 1280 x 1024, 1440 x 900 and 1680 x 1050.
bool UsableDisplaySize(int width, int height);
// A display size the game can't open becomes 1024 x 768 with the playfield offsets 0; an
// offset that would push the playfield off a usable display becomes that display's centring offset.
void MendDisplaySize(Settings& settings);
