// The settings file: its exact layout on a first run, loading back what was saved, the mends for damaged or odd
// files, the all-or-nothing save, and a seeded corpus of broken files the loader must survive.
#include "frontend/SettingsFile.h"
#include "GameFixture.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "frontend/DisplayMode.h"
#include "frontend/MainMenu.h"
#include "graphics/TPoly.h"
#include "platform/Streams.h"
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using SettingsFileTest = GameFixture;
using SettingsMendTest = GameFixture;
using SettingsSaveTest = GameFixture;
using SettingsFuzzTest = GameFixture;

namespace {
constexpr int KeyEscape = 27;
constexpr int KeyY = 89;
constexpr std::size_t HeadSize = 84;
constexpr int DefaultHead[21] = {0, 1, 0, 37, 39, 164, 162, 0, 0, 0, 0, 1024, 768, 0, 0, 0, 1, 1, 1, 0, 1};
const char* const ClosingText = "\r\n\r\n"
                                "Don't bother trying to changing any\r\n"
                                "of these values, because they're not\r\n"
                                "synced with the online server - only\r\n"
                                "the latest in-game score is synced.\r\n";

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PutFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Head(const std::vector<int>& values) {
    std::string bytes;
    for (int value : values) {
        auto bits = static_cast<std::uint32_t>(value);
        for (int b = 0; b < 4; ++b) bytes += static_cast<char>((bits >> (8 * b)) & 0xFF);
    }
    return bytes;
}

int HeadValue(const std::string& bytes, int index) {
    std::uint32_t bits = 0;
    for (int b = 3; b >= 0; --b) bits = (bits << 8) | static_cast<unsigned char>(bytes[index * 4 + b]);
    return static_cast<int>(bits);
}

std::string DefaultText() {
    std::string text = "unnamed\r\n \r\n";
    for (int row = 0; row < OnlineRows; ++row) text += "..........\r\n-\r\n-\r\n \r\n";
    return text + ClosingText;
}

std::vector<int> HeadOf(int width, int height, int offsetX, int offsetY, int savedY) {
    return {1, 0, 4321, 65, 68, 87, 32, 0, 0, 0, 0, width, height, offsetX, offsetY, savedY, 0, 1, 0, -2, 0};
}

// A complete file with the given head and an online table whose cells name their row.
std::string FileWith(const std::vector<int>& head, bool closingLines = true) {
    std::string text = "zephyr\r\nspare\r\n";
    for (int row = 0; row < OnlineRows; ++row) {
        std::string r = std::to_string(row);
        text += "name" + r + "\r\n" + r + "000\r\n" + r + "\r\n" + "2026-12-0" + r + "\r\n";
    }
    return Head(head) + text + (closingLines ? ClosingText : "");
}

std::vector<int> SettingsValues() {
    return {TheSettings.FullScreen,       TheSettings.UseBackground,    TheSettings.PersonalHighscore,
            TheSettings.KeyTurnLeft,      TheSettings.KeyTurnRight,     TheSettings.KeyThrust,
            TheSettings.KeyFire,          TheSettings.ScreenWidth,      TheSettings.ScreenHeight,
            TheSettings.PlayfieldOffsetX, TheSettings.PlayfieldOffsetY, TheSettings.SavedOffsetY,
            TheSettings.SoundFXOn,        TheSettings.MusicOn,          TheSettings.ColorsOn,
            TheSettings.GlowAmount,       TheSettings.NeonMode};
}

void ExpectDefaults() {
    EXPECT_EQ(Head({TheSettings.FullScreen,
                    TheSettings.UseBackground,
                    TheSettings.PersonalHighscore,
                    TheSettings.KeyTurnLeft,
                    TheSettings.KeyTurnRight,
                    TheSettings.KeyThrust,
                    TheSettings.KeyFire,
                    0,
                    0,
                    0,
                    0,
                    TheSettings.ScreenWidth,
                    TheSettings.ScreenHeight,
                    TheSettings.PlayfieldOffsetX,
                    TheSettings.PlayfieldOffsetY,
                    TheSettings.SavedOffsetY,
                    TheSettings.SoundFXOn,
                    TheSettings.MusicOn,
                    TheSettings.ColorsOn,
                    TheSettings.GlowAmount,
                    TheSettings.NeonMode}),
              Head(std::vector<int>(std::begin(DefaultHead), std::end(DefaultHead))));
    EXPECT_EQ(TheSettings.PlayerName, "unnamed");
    EXPECT_EQ(TheSettings.SettingsSpareLine, " ");
    for (int row = 0; row < OnlineRows; ++row) {
        EXPECT_EQ(TheSettings.OnlineNames[row], "..........");
        EXPECT_EQ(TheSettings.OnlineScores[row], "-");
        EXPECT_EQ(TheSettings.OnlineLevels[row], "-");
        EXPECT_EQ(TheSettings.OnlineDates[row], " ");
    }
}

void ExpectStoredTable() {
    EXPECT_EQ(TheSettings.PlayerName, "zephyr");
    EXPECT_EQ(TheSettings.SettingsSpareLine, "spare");
    for (int row = 0; row < OnlineRows; ++row) {
        std::string r = std::to_string(row);
        EXPECT_EQ(TheSettings.OnlineNames[row], "name" + r);
        EXPECT_EQ(TheSettings.OnlineScores[row], r + "000");
        EXPECT_EQ(TheSettings.OnlineLevels[row], r);
        EXPECT_EQ(TheSettings.OnlineDates[row], "2026-12-0" + r);
    }
}
} // namespace

TEST_F(SettingsFileTest, AFirstRunLeftThroughThePromptWritesTheExactDefaultFile) {
    ASSERT_FALSE(FileExists(TestSettingsPath.c_str()));
    Headless::PressKey(LevelPageShown + 3, KeyEscape);
    Headless::PressKey(LevelPageShown + 6, KeyY);
    ASSERT_EQ(RunProgramHeadless(1000), 0);
    EXPECT_EQ(Headless::DisplayWidth(), 1024);
    EXPECT_EQ(Headless::DisplayHeight(), 768);
    EXPECT_FALSE(Headless::DisplayIsFullScreen());

    std::string bytes = FileBytes(TestSettingsPath);
    ASSERT_GE(bytes.size(), HeadSize);
    for (int i = 0; i < 21; ++i) EXPECT_EQ(HeadValue(bytes, i), DefaultHead[i]) << "integer " << i + 1;
    std::string text = bytes.substr(HeadSize);
    EXPECT_EQ(text, DefaultText());
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
    EXPECT_EQ(lines, 48u);
    EXPECT_FALSE(FileExists((TestSettingsPath + ".new").c_str()));
}

TEST_F(SettingsFileTest, ClosingTheWindowSavesTheSettings) {
    Headless::CloseWindow(20);
    EXPECT_EQ(RunProgramHeadless(1000), 0);
    std::string bytes = FileBytes(TestSettingsPath);
    EXPECT_EQ(bytes, Head(std::vector<int>(std::begin(DefaultHead), std::end(DefaultHead))) + DefaultText());
}

TEST_F(SettingsFileTest, ASavedFileLoadsBackEverySettingAndAllTenRowsIntoTheSettingsGiven) {
    Settings saved;
    saved.FullScreen = 1;
    saved.UseBackground = 0;
    saved.PersonalHighscore = 987654;
    saved.KeyTurnLeft = 1;
    saved.KeyTurnRight = 254;
    saved.KeyThrust = 90;
    saved.KeyFire = 32;
    saved.ScreenWidth = 1680;
    saved.ScreenHeight = 1050;
    saved.PlayfieldOffsetX = 328;
    saved.PlayfieldOffsetY = 141;
    saved.SavedOffsetY = 141;
    saved.SoundFXOn = 0;
    saved.MusicOn = 0;
    saved.ColorsOn = 0;
    saved.GlowAmount = -3;
    saved.NeonMode = 0;
    saved.PlayerName = "kes\xA4tro";
    saved.SettingsSpareLine = "kept as it was";
    for (int row = 0; row < OnlineRows; ++row) {
        saved.OnlineNames[row] = "player" + std::to_string(row);
        saved.OnlineScores[row] = std::to_string(100000 - row);
        saved.OnlineLevels[row] = std::to_string(20 - row);
        saved.OnlineDates[row] = "1.12.2026 " + std::to_string(row);
    }
    SaveSettings(saved);
    GlowWidth1 = 0;
    Settings loaded;
    LoadSettings(loaded);
    EXPECT_EQ(Head({loaded.FullScreen, loaded.UseBackground, loaded.PersonalHighscore, loaded.KeyTurnLeft,
                    loaded.KeyTurnRight, loaded.KeyThrust, loaded.KeyFire, loaded.ScreenWidth, loaded.ScreenHeight,
                    loaded.PlayfieldOffsetX, loaded.PlayfieldOffsetY, loaded.SavedOffsetY, loaded.SoundFXOn,
                    loaded.MusicOn, loaded.ColorsOn, loaded.GlowAmount, loaded.NeonMode}),
              Head({1, 0, 987654, 1, 254, 90, 32, 1680, 1050, 328, 141, 141, 0, 0, 0, -3, 0}));
    EXPECT_EQ(loaded.PlayerName, "kes\xA4tro");
    EXPECT_EQ(loaded.SettingsSpareLine, "kept as it was");
    for (int row = 0; row < OnlineRows; ++row) {
        EXPECT_EQ(loaded.OnlineNames[row], "player" + std::to_string(row));
        EXPECT_EQ(loaded.OnlineScores[row], std::to_string(100000 - row));
        EXPECT_EQ(loaded.OnlineLevels[row], std::to_string(20 - row));
        EXPECT_EQ(loaded.OnlineDates[row], "1.12.2026 " + std::to_string(row));
    }
    EXPECT_EQ(GlowWidth1, 10 - 3);                // the glow follows the loaded amount
    EXPECT_EQ(TheSettings.PlayerName, "unnamed"); // the run's settings are not the ones loaded
}

TEST_F(SettingsFileTest, ReservedIntegersAreSkippedOnLoadAndWrittenAsZero) {
    std::vector<int> head = HeadOf(1440, 900, 208, 66, 66);
    for (int i = 7; i < 11; ++i) head[static_cast<std::size_t>(i)] = -1 - i * 1000;
    PutFile(TestSettingsPath, FileWith(head));
    LoadSettings(TheSettings);
    EXPECT_EQ(TheSettings.FullScreen, 1);
    EXPECT_EQ(TheSettings.KeyFire, 32);
    EXPECT_EQ(TheSettings.ScreenWidth, 1440);
    EXPECT_EQ(TheSettings.ScreenHeight, 900);
    EXPECT_EQ(TheSettings.PlayfieldOffsetX, 208);
    EXPECT_EQ(TheSettings.GlowAmount, -2);
    ExpectStoredTable();
    SaveSettings(TheSettings);
    std::string bytes = FileBytes(TestSettingsPath);
    for (int i = 7; i < 11; ++i) EXPECT_EQ(HeadValue(bytes, i), 0);
    EXPECT_EQ(HeadValue(bytes, 11), 1440);
    EXPECT_EQ(HeadValue(bytes, 6), 32);
}

TEST_F(SettingsFileTest, ClosingLinesMayBeDeletedAndMissingLinesReadEmpty) {
    std::vector<int> head = HeadOf(1280, 1024, 128, 128, 128);
    PutFile(TestSettingsPath, FileWith(head, false));
    LoadSettings(TheSettings);
    ExpectStoredTable();
    EXPECT_EQ(TheSettings.ScreenHeight, 1024);
    std::vector<int> withoutClosing = SettingsValues();
    PutFile(TestSettingsPath, FileWith(head, true));
    TheSettings = Settings{};
    LoadSettings(TheSettings);
    ExpectStoredTable();
    EXPECT_EQ(SettingsValues(), withoutClosing);

    // The head alone: every text reads empty.
    PutFile(TestSettingsPath, Head(head));
    LoadSettings(TheSettings);
    EXPECT_EQ(TheSettings.ScreenWidth, 1280);
    EXPECT_EQ(TheSettings.PlayerName, "");
    EXPECT_EQ(TheSettings.OnlineNames[0], "");
    EXPECT_EQ(TheSettings.OnlineDates[9], "");
}

TEST_F(SettingsFileTest, AMissingFileTakesTheDefaultsAndLeavesTheGlowAlone) {
    TheSettings.PersonalHighscore = 55;
    GlowWidth1 = 99;
    LoadSettings(TheSettings);
    ExpectDefaults();
    EXPECT_EQ(GlowWidth1, 99);
}

TEST_F(SettingsMendTest, AHeadCutShortTakesTheDefaultsAndKeepsTheDamagedBytesAside) {
    std::string good = FileWith(HeadOf(1280, 1024, 128, 128, 128));
    for (std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{50}, HeadSize - 1}) {
        std::string damaged = good.substr(0, length);
        PutFile(TestSettingsPath, damaged);
        DeleteFile((TestSettingsPath + ".bad").c_str());
        GlowWidth1 = 99;
        LoadSettings(TheSettings);
        ExpectDefaults();
        EXPECT_EQ(GlowWidth1, 99) << length;
        EXPECT_FALSE(FileExists((TestSettingsPath + ".bad").c_str())) << "nothing is written before the save";
        SaveSettings(TheSettings);
        EXPECT_EQ(FileBytes(TestSettingsPath + ".bad"), damaged) << length;
        EXPECT_EQ(FileBytes(TestSettingsPath),
                  Head(std::vector<int>(std::begin(DefaultHead), std::end(DefaultHead))) + DefaultText());
    }
    // A later save of a sound file leaves the kept bytes alone.
    PutFile(TestSettingsPath + ".bad", "earlier");
    LoadSettings(TheSettings);
    SaveSettings(TheSettings);
    EXPECT_EQ(FileBytes(TestSettingsPath + ".bad"), "earlier");
}

TEST_F(SettingsMendTest, ADisplaySizeTheGameCannotOpenFallsBackWithItsOffsets) {
    const int unusable[][2] = {{0, 0}, {1024, 1024}, {800, 600}, {1920, 1080}, {-1024, -768}, {1680, 1049}};
    for (const auto& size : unusable) {
        PutFile(TestSettingsPath, FileWith(HeadOf(size[0], size[1], 328, 141, 141)));
        LoadSettings(TheSettings);
        EXPECT_EQ(TheSettings.ScreenWidth, 1024) << size[0] << " x " << size[1];
        EXPECT_EQ(TheSettings.ScreenHeight, 768);
        EXPECT_EQ(TheSettings.PlayfieldOffsetX, 0);
        EXPECT_EQ(TheSettings.PlayfieldOffsetY, 0);
        EXPECT_EQ(TheSettings.SavedOffsetY, 0);
        EXPECT_EQ(TheSettings.FullScreen, 1); // the rest is kept as stored
        EXPECT_EQ(TheSettings.KeyTurnLeft, 65);
        ExpectStoredTable();
    }
    const int usable[][4] = {{1024, 768, 0, 0}, {1280, 1024, 128, 128}, {1440, 900, 208, 66}, {1680, 1050, 328, 141}};
    for (const auto& size : usable) {
        PutFile(TestSettingsPath, FileWith(HeadOf(size[0], size[1], size[2], size[3], 7)));
        LoadSettings(TheSettings);
        EXPECT_EQ(TheSettings.ScreenWidth, size[0]);
        EXPECT_EQ(TheSettings.ScreenHeight, size[1]);
        EXPECT_EQ(TheSettings.PlayfieldOffsetX, size[2]);
        EXPECT_EQ(TheSettings.PlayfieldOffsetY, size[3]);
        EXPECT_EQ(TheSettings.SavedOffsetY, 7);
    }
    // An offset that would push the playfield off a usable display centres it instead; one inside is kept.
    PutFile(TestSettingsPath, FileWith(HeadOf(1440, 900, 500, -1, 3)));
    LoadSettings(TheSettings);
    EXPECT_EQ(TheSettings.PlayfieldOffsetX, 208);
    EXPECT_EQ(TheSettings.PlayfieldOffsetY, 66);
    PutFile(TestSettingsPath, FileWith(HeadOf(1440, 900, 416, 0, 3)));
    LoadSettings(TheSettings);
    EXPECT_EQ(TheSettings.PlayfieldOffsetX, 416);
    EXPECT_EQ(TheSettings.PlayfieldOffsetY, 0);
}

TEST_F(SettingsMendTest, AStartWithAnUnusableStoredSizeOpensTheSmallestDisplay) {
    PutFile(TestSettingsPath, FileWith(HeadOf(1920, 1200, 448, 216, 216)));
    Headless::CloseWindow(5);
    EXPECT_EQ(RunProgramHeadless(1000), 0);
    EXPECT_EQ(Headless::DisplayWidth(), 1024);
    EXPECT_EQ(Headless::DisplayHeight(), 768);
    std::string bytes = FileBytes(TestSettingsPath);
    EXPECT_EQ(HeadValue(bytes, 11), 1024);
    EXPECT_EQ(HeadValue(bytes, 13), 0);
}

TEST_F(SettingsMendTest, KeyCodesOutsideOneTo254GlowOutsideMinus3To3AndStylesOtherThan0Or1FallBack) {
    struct Case {
        int Left, Right, Thrust, Fire, Glow;
        int WantLeft, WantRight, WantThrust, WantFire, WantGlow;
    };
    const Case cases[] = {
        {0, 255, -1, 1000, 4, 37, 39, 164, 162, 0},
        {1, 254, 2, 253, -3, 1, 254, 2, 253, -3},
        {-2147483647 - 1, 256, 37, 39, 3, 37, 39, 37, 39, 3},
        {100, 0, 0, 0, -4, 100, 39, 164, 162, 0},
    };
    for (const Case& c : cases) {
        std::vector<int> head = HeadOf(1024, 768, 0, 0, 0);
        head[3] = c.Left;
        head[4] = c.Right;
        head[5] = c.Thrust;
        head[6] = c.Fire;
        head[19] = c.Glow;
        PutFile(TestSettingsPath, FileWith(head));
        LoadSettings(TheSettings);
        EXPECT_EQ(TheSettings.KeyTurnLeft, c.WantLeft);
        EXPECT_EQ(TheSettings.KeyTurnRight, c.WantRight);
        EXPECT_EQ(TheSettings.KeyThrust, c.WantThrust);
        EXPECT_EQ(TheSettings.KeyFire, c.WantFire);
        EXPECT_EQ(TheSettings.GlowAmount, c.WantGlow);
        EXPECT_EQ(GlowWidth1, 10 + c.WantGlow);
        EXPECT_EQ(TheSettings.PersonalHighscore, 4321);
    }
    const std::pair<int, int> styles[] = {{2, 1}, {-1, 1}, {0, 0}, {1, 1}}; // stored, kept
    for (auto [stored, kept] : styles) {
        std::vector<int> head = HeadOf(1024, 768, 0, 0, 0);
        head[20] = stored;
        PutFile(TestSettingsPath, FileWith(head));
        LoadSettings(TheSettings);
        EXPECT_EQ(TheSettings.NeonMode, kept) << stored;
    }
}

TEST_F(SettingsMendTest, LongLinesAndOddBytesAreReadWithoutHarm) {
    std::string longName(100000, 'k');
    std::string odd = "a\x01\xff\xA4\t\x7f";
    std::string bytes = Head(HeadOf(1024, 768, 0, 0, 0)) + longName + "\r\n" + odd + "\r\nrow0\rname\r\n";
    PutFile(TestSettingsPath, bytes);
    LoadSettings(TheSettings);
    EXPECT_EQ(TheSettings.PlayerName, std::string(LongestSettingsLine, 'k'));
    EXPECT_EQ(TheSettings.SettingsSpareLine, odd);     // the line after the long one is still its own line
    EXPECT_EQ(TheSettings.OnlineNames[0], "row0name"); // a lone CR is dropped
    EXPECT_EQ(TheSettings.OnlineScores[0], "");

    // A NUL ends a line as a line feed does.
    PutFile(TestSettingsPath, Head(HeadOf(1024, 768, 0, 0, 0)) + std::string("ab\0cd\r\n", 7));
    LoadSettings(TheSettings);
    EXPECT_EQ(TheSettings.PlayerName, "ab");
    EXPECT_EQ(TheSettings.SettingsSpareLine, "cd");
}

TEST_F(SettingsSaveTest, TheSaveReplacesTheOldFileWholeAndLeavesNothingBeside) {
    PutFile(TestSettingsPath, "an old file that is longer than the new one will be, " + std::string(500, 'x'));
    SaveSettings(TheSettings);
    EXPECT_EQ(FileBytes(TestSettingsPath),
              Head(std::vector<int>(std::begin(DefaultHead), std::end(DefaultHead))) + DefaultText());
    EXPECT_FALSE(FileExists((TestSettingsPath + ".new").c_str()));
}

TEST_F(SettingsSaveTest, AFolderThatCannotBeWrittenKeepsTheOldFileAndSaysSoInOneLine) {
    namespace fs = std::filesystem;
    std::string old = FileWith(HeadOf(1280, 1024, 128, 128, 128));
    PutFile(TestSettingsPath, old);
    TheSettings.PlayerName = "changed";
    // The new file can't be made: its name is taken by a folder.
    std::string blocked = TestSettingsPath + ".new";
    fs::create_directory(blocked);
    ::testing::internal::CaptureStderr();
    SaveSettings(TheSettings);
    std::string message = ::testing::internal::GetCapturedStderr();
    fs::remove_all(blocked);
    EXPECT_EQ(FileBytes(TestSettingsPath), old);
    EXPECT_NE(message.find(TestSettingsPath), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;

    // A folder that does not exist.
    SetSettingsPath(std::string(KESTROVAR_TEST_DIR) + "no_such_kestrovar_folder/Kestrovar.dat");
    ::testing::internal::CaptureStderr();
    SaveSettings(TheSettings);
    message = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_FALSE(fs::exists(std::string(KESTROVAR_TEST_DIR) + "no_such_kestrovar_folder"));
}

TEST_F(SettingsSaveTest, ARenameThatFailsRemovesTheNewFileAndSaysSo) {
    namespace fs = std::filesystem;
    // The settings name is a folder with something in it: nothing can be renamed over it.
    std::string folder = TestSettingsPath;
    fs::create_directory(folder);
    PutFile(folder + "/inside", "keep");
    ::testing::internal::CaptureStderr();
    SaveSettings(TheSettings);
    std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(FileBytes(folder + "/inside"), "keep");
    EXPECT_FALSE(fs::exists(TestSettingsPath + ".new"));
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    fs::remove_all(folder);
}

namespace {
// A few frames of a new game with the settings as loaded, as start-up opens the display for them: the lines and glow
// strips the last one drew.
std::size_t LinesAndStripsOfAFewFrames() {
    constexpr int FewFrames = 3;
    Graphics(TheSettings.ScreenWidth, TheSettings.ScreenHeight, 0, 60);
    SetDrawingState();
    SetPalette();
    Headless::KeepFrames(1);
    Loop loop;
    loop.Open(OpenGameFromMenu());
    TurnToFrame(loop, Headless::FrameCount() + FewFrames);
    std::size_t drawn = 0;
    for (const Headless::DrawCall& call : Headless::Frames().back().Calls)
        drawn += call.Type == Headless::DrawCall::Line || call.Type == Headless::DrawCall::Strip;
    return drawn;
}
} // namespace

TEST_F(SettingsFuzzTest, ASeededCorpusOfBrokenFilesLoadsSafelyAndSavesStablyAndPlays) {
    SetUpProgram(StartupFor::Replay); // the tables and pictures a game draws with
    constexpr int Files = 400;
    constexpr unsigned Seed = 20261208;
    std::mt19937 random(Seed);
    auto below = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    std::string good = FileWith(HeadOf(1680, 1050, 328, 141, 141));
    for (int n = 0; n < Files; ++n) {
        std::string bytes;
        switch (n % 5) {
        case 0: bytes = good.substr(0, below(good.size() + 1)); break; // truncated
        case 1:                                                        // oversized
            bytes = good;
            for (std::size_t i = below(200000); i > 0; --i) bytes += static_cast<char>(random());
            break;
        case 2: // random bytes
            for (std::size_t i = below(600); i > 0; --i) bytes += static_cast<char>(random());
            break;
        case 3: // long lines after a random head
            for (int i = 0; i < 84; ++i) bytes += static_cast<char>(random());
            for (int line = 0; line < 3; ++line)
                bytes += std::string(below(20000), 'a' + static_cast<char>(line)) + "\r\n";
            break;
        default: // a good file with bytes flipped and NULs sprinkled in
            bytes = good;
            for (int i = 0; i < 12; ++i) bytes[below(bytes.size())] = (i % 2) ? '\0' : static_cast<char>(random());
            break;
        }
        PutFile(TestSettingsPath, bytes);
        TheSettings = Settings{};
        ASSERT_NO_THROW(LoadSettings(TheSettings)) << "file " << n;
        EXPECT_TRUE(UsableDisplaySize(TheSettings.ScreenWidth, TheSettings.ScreenHeight)) << n;
        EXPECT_TRUE(TheSettings.PlayfieldOffsetX >= 0 && TheSettings.PlayfieldOffsetX <= TheSettings.ScreenWidth - 1024)
            << n;
        EXPECT_TRUE(TheSettings.PlayfieldOffsetY >= 0 && TheSettings.PlayfieldOffsetY <= TheSettings.ScreenHeight - 768)
            << n;
        for (int key : {TheSettings.KeyTurnLeft, TheSettings.KeyTurnRight, TheSettings.KeyThrust, TheSettings.KeyFire})
            EXPECT_TRUE(key >= 1 && key <= 254) << n;
        EXPECT_TRUE(TheSettings.GlowAmount >= -3 && TheSettings.GlowAmount <= 3) << n;
        std::vector<std::string> texts = {TheSettings.PlayerName, TheSettings.SettingsSpareLine};
        for (int row = 0; row < OnlineRows; ++row)
            texts.insert(texts.end(), {TheSettings.OnlineNames[row], TheSettings.OnlineScores[row],
                                       TheSettings.OnlineLevels[row], TheSettings.OnlineDates[row]});
        for (const std::string& text : texts) {
            EXPECT_LE(text.size(), LongestSettingsLine) << n;
            EXPECT_EQ(text.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << n;
        }
        // What was loaded saves and loads back unchanged.
        std::vector<int> values = SettingsValues();
        SaveSettings(TheSettings);
        std::string saved = FileBytes(TestSettingsPath);
        TheSettings = Settings{};
        LoadSettings(TheSettings);
        EXPECT_EQ(SettingsValues(), values) << n;
        SaveSettings(TheSettings);
        EXPECT_EQ(FileBytes(TestSettingsPath), saved) << n;
        DeleteFile((TestSettingsPath + ".bad").c_str());
        EXPECT_GT(LinesAndStripsOfAFewFrames(), 0u) << "a game started with file " << n << "'s settings shows nothing";
    }
}
