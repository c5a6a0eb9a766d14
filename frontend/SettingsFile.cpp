// The settings file that keeps the settings between runs: read at start-up, written whole or not at all.
#include "SettingsFile.h"
#include "graphics/TPoly.h"
#include "platform/Streams.h"

namespace {
constexpr int FirstKeyCode = 1, LastUsableKeyCode = 254;
constexpr int LeastGlow = -3, MostGlow = 3;
constexpr int HeadInts = 21;
constexpr std::size_t HeadBytes = HeadInts * 4;
constexpr int ReservedInts = 4;
const char* const DefaultSettingsPath = "Kestrovar.dat";
const char* const ClosingLines[] = {"Don't bother trying to changing any", "of these values, because they're not",
                                    "synced with the online server - only", "the latest in-game score is synced."};

std::string SettingsFile = DefaultSettingsPath;
// The bytes of a file whose head was cut short, written aside before the next save replaces it.
std::string DamagedBytes;
bool HaveDamagedBytes = false;

int HeadInt(const std::string& head, int index) {
    unsigned value = 0;
    for (int b = 3; b >= 0; --b) value = (value << 8) | static_cast<unsigned char>(head[index * 4 + b]);
    return static_cast<int>(value);
}

int UsableKey(int code, int fallback) { return code >= FirstKeyCode && code <= LastUsableKeyCode ? code : fallback; }

void MendStoredValues() {
    MendDisplaySize();
    KeyTurnLeft = UsableKey(KeyTurnLeft, DefaultKeyTurnLeft);
    KeyTurnRight = UsableKey(KeyTurnRight, DefaultKeyTurnRight);
    KeyThrust = UsableKey(KeyThrust, DefaultKeyThrust);
    KeyFire = UsableKey(KeyFire, DefaultKeyFire);
    if (GlowAmount < LeastGlow || GlowAmount > MostGlow) GlowAmount = 0;
    // Every drawing routine draws in one of the two styles; any other value would draw nothing at all.
    if (NeonMode != 0 && NeonMode != 1) NeonMode = 1;
}

// Keeps a damaged file's bytes beside it as "<name>.bad"; false when they could not be written.
bool KeepDamagedBytes() {
    std::string badPath = SettingsFile + ".bad";
    Stream* bad = WriteFile(badPath.c_str());
    if (!bad) return false;
    WriteBytes(bad, DamagedBytes);
    bool written = FlushStream(bad);
    return CloseStream(bad) && written;
}

void WriteSettings(Stream* stream) {
    WriteInt(stream, FullScreen);
    WriteInt(stream, UseBackground);
    WriteInt(stream, PersonalHighscore);
    WriteInt(stream, KeyTurnLeft);
    WriteInt(stream, KeyTurnRight);
    WriteInt(stream, KeyThrust);
    WriteInt(stream, KeyFire);
    for (int i = 0; i < ReservedInts; ++i) WriteInt(stream, 0);
    WriteInt(stream, ScreenWidth);
    WriteInt(stream, ScreenHeight);
    WriteInt(stream, PlayfieldOffsetX);
    WriteInt(stream, PlayfieldOffsetY);
    WriteInt(stream, SavedOffsetY);
    WriteInt(stream, SoundFXOn);
    WriteInt(stream, MusicOn);
    WriteInt(stream, ColorsOn);
    WriteInt(stream, GlowAmount);
    WriteInt(stream, NeonMode);
    WriteLine(stream, PlayerName);
    WriteLine(stream, SettingsSpareLine);
    for (int row = 0; row < OnlineRows; ++row) {
        WriteLine(stream, OnlineNames[row]);
        WriteLine(stream, OnlineScores[row]);
        WriteLine(stream, OnlineLevels[row]);
        WriteLine(stream, OnlineDates[row]);
    }
    WriteLine(stream, "\r\n");
    for (const char* line : ClosingLines) WriteLine(stream, line);
}

void SettingsNotSaved(const std::string& why) {
    ReportFileProblem("Kestrovar: settings not saved to " + SettingsFile + ": " + why + "; the old file is kept");
}
} // namespace

void LoadSettings() {
    Stream* stream = ReadFile(SettingsFile.c_str());
    if (!stream) {
        SetDefaultSettings();
        return;
    }
    std::string head = ReadBytes(stream, HeadBytes);
    if (head.size() < HeadBytes) {
        // A head cut short: the game starts from the defaults and the damaged bytes go aside at the next save.
        CloseStream(stream);
        SetDefaultSettings();
        DamagedBytes = head;
        HaveDamagedBytes = true;
        return;
    }
    int index = 0;
    FullScreen = HeadInt(head, index++);
    UseBackground = HeadInt(head, index++);
    PersonalHighscore = HeadInt(head, index++);
    KeyTurnLeft = HeadInt(head, index++);
    KeyTurnRight = HeadInt(head, index++);
    KeyThrust = HeadInt(head, index++);
    KeyFire = HeadInt(head, index++);
    index += ReservedInts;
    ScreenWidth = HeadInt(head, index++);
    ScreenHeight = HeadInt(head, index++);
    PlayfieldOffsetX = HeadInt(head, index++);
    PlayfieldOffsetY = HeadInt(head, index++);
    SavedOffsetY = HeadInt(head, index++);
    SoundFXOn = HeadInt(head, index++);
    MusicOn = HeadInt(head, index++);
    ColorsOn = HeadInt(head, index++);
    GlowAmount = HeadInt(head, index++);
    NeonMode = HeadInt(head, index++);
    PlayerName = ReadLine(stream, LongestSettingsLine);
    SettingsSpareLine = ReadLine(stream, LongestSettingsLine);
    for (int row = 0; row < OnlineRows; ++row) {
        OnlineNames[row] = ReadLine(stream, LongestSettingsLine);
        OnlineScores[row] = ReadLine(stream, LongestSettingsLine);
        OnlineLevels[row] = ReadLine(stream, LongestSettingsLine);
        OnlineDates[row] = ReadLine(stream, LongestSettingsLine);
    }
    CloseStream(stream);
    MendStoredValues();
    UpdateGlowWidths();
}

void SaveSettings() {
    if (HaveDamagedBytes) {
        if (!KeepDamagedBytes()) {
            SettingsNotSaved("the damaged file could not be kept aside as " + SettingsFile + ".bad");
            return;
        }
        HaveDamagedBytes = false;
        DamagedBytes.clear();
    }
    std::string newPath = SettingsFile + ".new";
    Stream* stream = WriteFile(newPath.c_str());
    if (!stream) {
        SettingsNotSaved("can't write " + newPath);
        return;
    }
    WriteSettings(stream);
    bool written = FlushStream(stream);
    if (!CloseStream(stream) || !written) {
        DeleteFile(newPath.c_str());
        SettingsNotSaved("writing " + newPath + " failed");
        return;
    }
    if (!RenameFile(newPath.c_str(), SettingsFile.c_str())) {
        DeleteFile(newPath.c_str());
        SettingsNotSaved("can't replace it with " + newPath);
    }
}

void SetSettingsPath(const std::string& path) { SettingsFile = path; }
const std::string& SettingsPath() { return SettingsFile; }

void ResetSettings() {
    SetDefaultSettings();
    SettingsFile = DefaultSettingsPath;
    DamagedBytes.clear();
    HaveDamagedBytes = false;
}
