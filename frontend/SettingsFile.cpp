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

void MendStoredValues(Settings& s) {
    MendDisplaySize(s);
    s.KeyTurnLeft = UsableKey(s.KeyTurnLeft, DefaultKeyTurnLeft);
    s.KeyTurnRight = UsableKey(s.KeyTurnRight, DefaultKeyTurnRight);
    s.KeyThrust = UsableKey(s.KeyThrust, DefaultKeyThrust);
    s.KeyFire = UsableKey(s.KeyFire, DefaultKeyFire);
    if (s.GlowAmount < LeastGlow || s.GlowAmount > MostGlow) s.GlowAmount = 0;
    // Every drawing routine draws in one of the two styles; any other value would draw nothing at all.
    if (s.NeonMode != 0 && s.NeonMode != 1) s.NeonMode = 1;
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

void WriteSettings(Stream* stream, const Settings& s) {
    WriteInt(stream, s.FullScreen);
    WriteInt(stream, s.UseBackground);
    WriteInt(stream, s.PersonalHighscore);
    WriteInt(stream, s.KeyTurnLeft);
    WriteInt(stream, s.KeyTurnRight);
    WriteInt(stream, s.KeyThrust);
    WriteInt(stream, s.KeyFire);
    for (int i = 0; i < ReservedInts; ++i) WriteInt(stream, 0);
    WriteInt(stream, s.ScreenWidth);
    WriteInt(stream, s.ScreenHeight);
    WriteInt(stream, s.PlayfieldOffsetX);
    WriteInt(stream, s.PlayfieldOffsetY);
    WriteInt(stream, s.SavedOffsetY);
    WriteInt(stream, s.SoundFXOn);
    WriteInt(stream, s.MusicOn);
    WriteInt(stream, s.ColorsOn);
    WriteInt(stream, s.GlowAmount);
    WriteInt(stream, s.NeonMode);
    WriteLine(stream, s.PlayerName);
    WriteLine(stream, s.SettingsSpareLine);
    for (int row = 0; row < OnlineRows; ++row) {
        WriteLine(stream, s.OnlineNames[row]);
        WriteLine(stream, s.OnlineScores[row]);
        WriteLine(stream, s.OnlineLevels[row]);
        WriteLine(stream, s.OnlineDates[row]);
    }
    WriteLine(stream, "\r\n");
    for (const char* line : ClosingLines) WriteLine(stream, line);
}

void SettingsNotSaved(const std::string& why) {
    ReportFileProblem("Kestrovar: settings not saved to " + SettingsFile + ": " + why + "; the old file is kept");
}
} // namespace

void LoadSettings(Settings& s) {
    Stream* stream = ReadFile(SettingsFile.c_str());
    if (!stream) {
        s = Settings{};
        return;
    }
    std::string head = ReadBytes(stream, HeadBytes);
    if (head.size() < HeadBytes) {
        // A head cut short: the game starts from the defaults and the damaged bytes go aside at the next save.
        CloseStream(stream);
        s = Settings{};
        DamagedBytes = head;
        HaveDamagedBytes = true;
        return;
    }
    int index = 0;
    s.FullScreen = HeadInt(head, index++);
    s.UseBackground = HeadInt(head, index++);
    s.PersonalHighscore = HeadInt(head, index++);
    s.KeyTurnLeft = HeadInt(head, index++);
    s.KeyTurnRight = HeadInt(head, index++);
    s.KeyThrust = HeadInt(head, index++);
    s.KeyFire = HeadInt(head, index++);
    index += ReservedInts;
    s.ScreenWidth = HeadInt(head, index++);
    s.ScreenHeight = HeadInt(head, index++);
    s.PlayfieldOffsetX = HeadInt(head, index++);
    s.PlayfieldOffsetY = HeadInt(head, index++);
    s.SavedOffsetY = HeadInt(head, index++);
    s.SoundFXOn = HeadInt(head, index++);
    s.MusicOn = HeadInt(head, index++);
    s.ColorsOn = HeadInt(head, index++);
    s.GlowAmount = HeadInt(head, index++);
    s.NeonMode = HeadInt(head, index++);
    s.PlayerName = ReadLine(stream, LongestSettingsLine);
    s.SettingsSpareLine = ReadLine(stream, LongestSettingsLine);
    for (int row = 0; row < OnlineRows; ++row) {
        s.OnlineNames[row] = ReadLine(stream, LongestSettingsLine);
        s.OnlineScores[row] = ReadLine(stream, LongestSettingsLine);
        s.OnlineLevels[row] = ReadLine(stream, LongestSettingsLine);
        s.OnlineDates[row] = ReadLine(stream, LongestSettingsLine);
    }
    CloseStream(stream);
    MendStoredValues(s);
    UpdateGlowWidths(s.GlowAmount);
}

void SaveSettings(const Settings& s) {
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
    WriteSettings(stream, s);
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
    TheSettings = Settings{};
    SettingsFile = DefaultSettingsPath;
    DamagedBytes.clear();
    HaveDamagedBytes = false;
}
