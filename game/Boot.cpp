// The game's boot in start-up's order, and the reset of every game floor: what a replay needs of start-up, on the
// floor of the game it starts.
#include "Boot.h"
#include "GameLoop.h"
#include "PadRest.h"
#include "Pages.h"
#include "Ship.h"
#include "ShipLost.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "core/Tables.h"
#include "core/Version.h"
#include "fortress/Cannon.h"
#include "fortress/Effects.h"
#include "fortress/Fortress.h"
#include "fortress/Missiles.h"
#include "fortress/World.h"
#include "graphics/Images.h"
#include "graphics/Logo.h"
#include "graphics/Palette.h"
#include "graphics/Shapes.h"
#include "graphics/Stars.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"
#include "platform/Data.h"
#include "platform/Display.h"
#include "platform/Platform.h"
#include "platform/Random.h"
#include "platform/System.h"
#include "platform/Text.h"
#include "platform/Time.h"
#include <string>

const char* const WindowTitle = "Kestrovar v" KESTROVAR_VERSION;

const char* const SoundResources[15] = {
    "res\\BlipSND.ogg",        "res\\SwooshSND.ogg",   "res\\EnemyDieSND1.ogg",  "res\\EnemyDieSND2.ogg",
    "res\\PlayerShootSND.ogg", "res\\WoorpSND.ogg",    "res\\BonusShip.ogg",     "res\\SectionHit.ogg",
    "res\\GrowRings.ogg",      "res\\MissileHit.ogg",  "res\\RemoveRings.ogg",   "res\\ThrustSND.ogg",
    "res\\BounceSND.ogg",      "music\\menu-loop.ogg", "music\\ingame-loop.ogg",
};

namespace {
constexpr int AudioChannels = 100;

void LoadSounds() {
    for (const char* resource : SoundResources) Sound::Load(resource, 1);
    Sound::ChannelVolume("menu-loop", 65.0f);
    Sound::ChannelVolume("ingame-loop", 50.0f);
}

void OpenDisplay() {
    // A size the game can't open (set in memory after the load) gets 1024 x 768, as the loader mends a stored one.
    MendDisplaySize(TheSettings);
    std::string why;
    if (TheSettings.FullScreen == 1 && !TryGraphics(TheSettings.ScreenWidth, TheSettings.ScreenHeight, 1, 60, why)) {
        // A stored full screen the monitor won't switch to would end every start: a window of that size instead.
        std::string message = "Kestrovar: can't open " + IntToText(TheSettings.ScreenWidth) + "x" +
                              IntToText(TheSettings.ScreenHeight) + " full screen (" + why +
                              "); opening a window instead";
        ReportProblem(message.c_str());
        TheSettings.FullScreen = 0;
    }
    if (TheSettings.FullScreen != 1) Graphics(TheSettings.ScreenWidth, TheSettings.ScreenHeight, 0, 60);
    SetViewport(TheSettings.PlayfieldOffsetX, TheSettings.PlayfieldOffsetY, 1024, 768);
}

void SelectBlendForStyle() {
    if (TheSettings.NeonMode == 0) SetBlend(SOLIDBLEND);
    if (TheSettings.NeonMode == 1) {
        SetBlend(LIGHTBLEND);
        TPoly::Initialise();
    }
}

void ReadGhostMovement() {
    RestoreData("GhostMovement");
    for (int i = 0; i < GhostMovementValues; ++i) GhostMovement[i] = ReadDataFloat();
}

} // namespace

void BootGameTables() {
    // The resources are built in and found by name; the audio system comes first.
    Sound::StartAudio(AudioChannels);
    BuildShapeTables();
    LoadZoomTable();
    SetWindowTitle(WindowTitle);
}

void BootGameMedia() {
    LoadImages();
    LoadSounds();
    SeedRnd(MilliSecs());
}

void BootGameDisplay(World& w) {
    OpenDisplay();
    SelectBlendForStyle();
    LoadFontGlyphs();
    HideMouse();
    SetShipTuning(w);
    FillTrigTables();
    ApplyDisplayStyle();
    ReadLogo();
    ReadGhostMovement();
    SetPalette();
    BuildMenuRings(w);
}

void BootGameForReplay(World& w) {
    BootGameTables();
    BootGameMedia();
    TheSettings = Settings{};
    BootGameDisplay(w);
}

void ResetGameFloors(World& w) {
    ResetPlatform();
    TheControls = PlayerControls{};
    TheSettings = Settings{};
    ResetGlowWidths();
    ResetShapeTables();
    ResetVectorText();
    w = World{};
    Sound::ResetSounds();
    ResetImages();
    ResetLogo();
    ResetStars();
}
