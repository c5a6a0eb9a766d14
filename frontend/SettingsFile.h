// The settings file: the player's settings kept between runs, read at start-up and written whole or not at all
// at the orderly end.
#pragma once
#include "core/Settings.h"
#include <cstddef>
#include <string>

// The longest text line the loader keeps; the rest of a longer line is dropped.
constexpr std::size_t LongestSettingsLine = 4096;

// Reads the settings file into settings, or gives them the defaults when it is missing or its head is cut short; the
// glow widths follow the loaded glow.
void LoadSettings(Settings& settings);
// Writes the settings file whole or not at all: a new file beside the old one, flushed, then renamed over it.
void SaveSettings(const Settings& settings);
// Where the settings file lives: "Kestrovar.dat" in the working directory unless a test moves it.
void SetSettingsPath(const std::string& path);
const std::string& SettingsPath();
// The settings module as a new process has it: the run's settings the defaults, the file name, nothing kept aside.
void ResetSettings();
