// Start-up in its fixed order, on the top floor since it wires every floor below together: everything later screens
// take for granted is made here, before the intro runs.
#include "program/Startup.h"
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
#include "frontend/HighScores.h"
#include "frontend/Intro.h"
#include "frontend/KeptGames.h"
#include "frontend/MainMenu.h"
#include "frontend/Network.h"
#include "frontend/OnlineGames.h"
#include "frontend/SettingsFile.h"
#include "frontend/Tickets.h"
#include "game/GameLoop.h"
#include "game/PadRest.h"
#include "game/Pages.h"
#include "game/Ship.h"
#include "game/ShipLost.h"
#include "graphics/Images.h"
#include "graphics/Logo.h"
#include "graphics/Palette.h"
#include "graphics/Shapes.h"
#include "graphics/Stars.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"
#include "platform/Data.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Platform.h"
#include "platform/Random.h"
#include "platform/System.h"
#include "platform/Text.h"
#include "platform/Time.h"
#include "program/Program.h"
#include <memory>
#include <string>

namespace {
bool ProgramStarted = false;

// The window's close is a confirmed quit: the settings are saved, and a game in progress is kept.
void SaveOnClose() {
    KeepGameInProgress();
    SaveSettings(TheSettings);
}
} // namespace

void SetUpProgram(StartupFor purpose) {
    BootGameTables();
    // A replay plays the game as a fresh install has it: no network, no settings file read or written.
    if (purpose == StartupFor::Player) {
        Network::BindNetworkComponent();
        Network::ConfigureNetworkComponent();
    } else {
        Network::GoOffline();
    }
    BootGameMedia();
    if (purpose == StartupFor::Player) {
        LoadSettings(TheSettings);
        SetCloseHandler(SaveOnClose); // closing the window is a confirmed quit
        // The player's start opens with the intro, whose first frame plays this: decoded while the display opens.
        if (TheSettings.SoundFXOn == 1) Sound::DecodeSoon(IntroOpeningEffect);
    } else if (purpose == StartupFor::Watch) {
        LoadSettings(TheSettings);
    } else {
        TheSettings = Settings{};
    }
    // The first frame of every screen stands on the backdrop: decoded while the display opens.
    if (purpose != StartupFor::Replay && TheSettings.UseBackground == 1 && TheArt.BackdropImage != nullptr)
        DecodeImageAhead(*TheArt.BackdropImage);
    BootGameDisplay();
}

Loop StartProgram(World& world) {
    Loop loop;
    if (ProgramStarted) return loop;
    ProgramStarted = true;
    SetUpProgram(StartupFor::Player);
    BootMenuWorld(world);
    SetKeepPlayerGames(true);
    // After the intro, the menu with its music, until the player confirms leaving.
    loop.Open(OpenIntro([&world] {
        if (TheSettings.MusicOn == 1) Sound::Play("menu-loop", 1);
        return OpenMainMenu(world);
    }));
    return loop;
}

void FinishProgram() { SaveSettings(TheSettings); }

void ResetAllState() {
    ResetGameFloors();
    ResetSettings();
    ResetVersionNotice();
    ResetMainMenu();
    Network::ResetNetworkBinding();
    SetCloseHandler(nullptr);
    ProgramStarted = false;
    ResetKeptGames();
    ResetTickets();
    ResetSyncNote();
}
