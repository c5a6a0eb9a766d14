// The runtime facade on the headless back end: frame pacing, keys, the pad, streams, text and the data cursor.
#include "GameFixture.h"
#include "core/GameState.h"
#include "fortress/World.h"
#include "game/GameLoop.h"
#include "platform/Data.h"
#include "platform/FramePacing.h"
#include "platform/Input.h"
#include "platform/Streams.h"
#include "platform/Text.h"
#include "platform/Time.h"
#include <cstdio>
#include <fstream>
#include <iterator>

using FramePacingTest = GameFixture;
using KeyboardTest = GameFixture;
using PadTest = GameFixture;
using StreamTest = GameFixture;
using TextTest = GameFixture;
using DataCursorTest = GameFixture;

namespace {
std::vector<int> FlipTimes(int count) {
    std::vector<int> times;
    for (int i = 0; i < count; ++i) {
        Flip(-1);
        times.push_back(MilliSecs());
    }
    return times;
}
} // namespace

TEST_F(FramePacingTest, ExactlySixtyFlipsEachSecond) {
    Graphics(1024, 768, 0, 60);
    int start = MilliSecs();
    std::vector<int> times = FlipTimes(600);
    EXPECT_EQ(times[59] - start, 1000);
    EXPECT_EQ(times[599] - start, 10000);
    for (std::size_t i = 1; i < times.size(); ++i) {
        int gap = times[i] - times[i - 1];
        ASSERT_TRUE(gap == 16 || gap == 17) << gap;
    }
}

TEST_F(FramePacingTest, LateFrameDoesNotShortenTheNextOnes) {
    Graphics(1024, 768, 0, 60);
    FlipTimes(10);
    int before = MilliSecs();
    Headless::AdvanceClock(30); // a frame whose work took 30 ms
    Flip(-1);
    int late = MilliSecs();
    EXPECT_EQ(late, before + 30);
    std::vector<int> next = FlipTimes(2);
    EXPECT_GE(next[0] - late, 16);
    EXPECT_GE(next[1] - next[0], 16);
}

TEST_F(FramePacingTest, FullScreenWithoutTrustedVblankStillPacedByClock) {
    Graphics(1280, 1024, 1, 60);
    int start = MilliSecs();
    FlipTimes(60);
    EXPECT_EQ(MilliSecs() - start, 1000);
    EXPECT_EQ(Headless::PresentsWithVblank(), 0);
}

// The clock counts from the machine's start, so a long-running machine's readings pass the largest int: pacing and
// the frame-rate window measure across it.
TEST_F(FramePacingTest, PacingAndTheFrameRateHoldAcrossTheClocksWrap) {
    Headless::AdvanceClock(2147483647 - 500); // 500 ms before the readings turn negative
    Graphics(1024, 768, 0, 60);
    int start = MilliSecs();
    Fight.FpsTimer = start;
    Fight.FpsFrames = 40;
    FlipTimes(60);
    EXPECT_EQ(MilliSecs(), -2147483149); // start + 1000, wrapped past the largest int
    UpdateFrameRate(Fight);
    EXPECT_EQ(Fight.FpsTimer, start + 500);
    EXPECT_EQ(Fight.Fps, 82);
}

TEST_F(FramePacingTest, ATrustedSixtyHertzBlankPacesTheFullScreenAndOnlyIt) {
    Headless::SetVblankAt60Hz(true);
    Graphics(1280, 1024, 1, 60);
    int start = MilliSecs();
    FlipTimes(60);
    EXPECT_EQ(MilliSecs() - start, 1000);
    EXPECT_EQ(Headless::PresentsWithVblank(), 60);
    // A window is paced by the clock, whatever the monitor's blank.
    Graphics(1024, 768, 0, 60);
    FlipTimes(60);
    EXPECT_EQ(Headless::PresentsWithVblank(), 60);
}

TEST(VblankModeTest, TheBlankIsTrustedOnlyAtARateNearSixtyThatTheMonitorLists) {
    const std::vector<ListedMode> listed = {{1024, 768, 60}, {1280, 1024, 59}, {1920, 1080, 144}};
    EXPECT_TRUE(VblankKeepsSixty({1024, 768, 60}, listed));
    EXPECT_TRUE(VblankKeepsSixty({1280, 1024, 59}, listed));
    EXPECT_FALSE(VblankKeepsSixty({1920, 1080, 144}, listed)) << "too fast";
    EXPECT_FALSE(VblankKeepsSixty({1920, 1080, 60}, listed)) << "60 Hz filled in for a size listed at another rate";
    EXPECT_FALSE(VblankKeepsSixty({800, 600, 60}, listed)) << "a size not listed";
}

namespace {
// The first refresh, a screen refreshing every millisecond, that has a frame due, and how many.
std::pair<double, int> FirstFrameAfter(PageFrames& frames, double from) {
    for (double now = from + 1; now < from + 10000; ++now)
        if (int due = frames.Due(now); due > 0) return {now, due};
    return {-1, 0};
}
} // namespace

// A page cannot block: a frame's pause holds the frames after it, and the next comes a whole frame after the pause
// ends, when the desktop's frame clock makes it after a Delay.
TEST(PageFramesTest, APauseHoldsTheFramesAfterItAsTheDesktopsSleepDoes) {
    PageFrames frames;
    ASSERT_EQ(frames.Due(1000), 1);
    frames.Hold(1001, 150);
    EXPECT_EQ(FirstFrameAfter(frames, 1001), std::make_pair(1001.0 + 150 + 17, 1));
    // Pauses in one frame add up, as sleeps do.
    frames.Hold(1200, 100);
    frames.Hold(1201, 50);
    EXPECT_EQ(FirstFrameAfter(frames, 1201), std::make_pair(1200.0 + 150 + 17, 1));
    // A slow machine's frames behind stop at a pause and are not made at once after it.
    ASSERT_EQ(frames.Due(1490), 7);
    frames.Hold(1491, 150);
    EXPECT_TRUE(frames.Held);
    EXPECT_EQ(FirstFrameAfter(frames, 1491), std::make_pair(1491.0 + 150 + 17, 1));
}

TEST_F(FramePacingTest, DelayAdvancesVirtualClockAndIgnoresNegative) {
    int start = MilliSecs();
    Delay(100);
    EXPECT_EQ(MilliSecs() - start, 100);
    Delay(-5);
    EXPECT_EQ(MilliSecs() - start, 100);
}

TEST_F(KeyboardTest, HitCountsPressesAndClearsOnRead) {
    Graphics(1024, 768, 0, 60);
    Headless::PressKey(0, 32);
    EXPECT_EQ(KeyHit(32), 1);
    EXPECT_EQ(KeyHit(32), 0);
    Headless::PressKey(1, 65);
    Headless::PressKey(3, 65);
    Flip(-1);
    EXPECT_EQ(KeyDown(65), 1);
    Flip(-1);
    EXPECT_EQ(KeyDown(65), 0);
    Flip(-1);
    Flip(-1);
    EXPECT_EQ(KeyHit(65), 2); // a press during a pause is still seen
}

TEST_F(KeyboardTest, FlushClearsHitsAndDownFlags) {
    Headless::HoldKey(0, 37, 100);
    EXPECT_EQ(KeyDown(37), 1);
    FlushKeys();
    EXPECT_EQ(KeyDown(37), 0);
    EXPECT_EQ(KeyHit(37), 0);
}

TEST_F(KeyboardTest, OutOfRangeCodesReadAsNotPressed) {
    Headless::PressKey(0, 300);
    Headless::PressKey(0, -4);
    Headless::PressKey(0, 0);
    for (int code : {-1000000, -4, -1, 0, 256, 300, 2147483647}) {
        EXPECT_EQ(KeyHit(code), 0) << code;
        EXPECT_EQ(KeyDown(code), 0) << code;
    }
    // Nothing spilled into the real keys either.
    for (int code = 0; code < KeyCodeCount; ++code) ASSERT_EQ(KeyHit(code), 0) << code;
}

TEST_F(PadTest, ButtonHitsCountedPerSampleAndDeadZoneAtCentre) {
    Graphics(1024, 768, 0, 60);
    Headless::PlugPad(0, true);
    Headless::SetPad(0, 0.05f, -0.1f);
    EXPECT_EQ(JoyCount(), 1);
    EXPECT_EQ(JoyX(0), 0.0f);
    EXPECT_EQ(JoyY(0), 0.0f);
    Headless::SetPad(1, 0.8f, -1.0f);
    Headless::PressPadButton(1, 2);
    Flip(-1);
    EXPECT_FLOAT_EQ(JoyX(0), 0.8f);
    EXPECT_FLOAT_EQ(JoyY(0), -1.0f);
    EXPECT_EQ(JoyDown(2, 0), 1);
    EXPECT_EQ(JoyHit(2, 0), 1);
    EXPECT_EQ(JoyHit(2, 0), 0);
    Flip(-1);
    EXPECT_EQ(JoyDown(2, 0), 0);
}

TEST_F(PadTest, OutOfRangeButtonsAndPortsReadAsNotPressed) {
    Headless::PlugPad(0, true);
    Headless::PressPadButton(0, 3);
    for (int button : {-1, 16, 31, 1000}) {
        EXPECT_EQ(JoyHit(button, 0), 0);
        EXPECT_EQ(JoyDown(button, 0), 0);
    }
    for (int port : {-1, 16, 99}) {
        EXPECT_EQ(JoyHit(3, port), 0);
        EXPECT_EQ(JoyDown(3, port), 0);
        EXPECT_EQ(JoyX(port), 0.0f);
    }
    EXPECT_EQ(JoyHit(3, 0), 1);
    FlushJoy();
    EXPECT_EQ(JoyHit(3, 0), 0);
}

TEST_F(PadTest, NoPadReadsCentredAndUnpressed) {
    EXPECT_EQ(JoyCount(), 0);
    EXPECT_EQ(JoyX(0), 0.0f);
    EXPECT_EQ(JoyDown(0, 0), 0);
}

namespace {
std::string TempPath(const char* name) { return std::string(KESTROVAR_TEST_DIR) + name; }

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
} // namespace

TEST_F(StreamTest, IntegersRoundTripLittleEndian) {
    std::string path = TempPath("ints.bin");
    Stream* out = WriteFile(path.c_str());
    ASSERT_NE(out, nullptr);
    WriteInt(out, 0x01020304);
    WriteInt(out, -2);
    WriteInt(out, 2147483647);
    EXPECT_TRUE(CloseStream(out));
    EXPECT_EQ(FileBytes(path), std::string("\x04\x03\x02\x01\xFE\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 12));
    Stream* in = ReadFile(path.c_str());
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(ReadInt(in), 0x01020304);
    EXPECT_EQ(ReadInt(in), -2);
    EXPECT_EQ(ReadInt(in), 2147483647);
    EXPECT_TRUE(Eof(in));
    CloseStream(in);
}

TEST_F(StreamTest, LinesEndWithCrLfAndReadBackWithoutIt) {
    std::string path = TempPath("lines.txt");
    Stream* out = WriteFile(path.c_str());
    WriteLine(out, "");
    WriteLine(out, "abc");
    WriteLine(out, std::string("caf\xE9", 4));
    CloseStream(out);
    EXPECT_EQ(FileBytes(path), std::string("\r\nabc\r\ncaf\xE9\r\n"));
    Stream* in = ReadFile(path.c_str());
    EXPECT_EQ(ReadLine(in), "");
    EXPECT_EQ(ReadLine(in), "abc");
    EXPECT_EQ(ReadLine(in), std::string("caf\xE9", 4));
    EXPECT_EQ(ReadLine(in), ""); // at the end
    CloseStream(in);
}

TEST_F(StreamTest, ReadLineStopsAtZeroByteAndBareLineFeed) {
    std::string path = TempPath("zero.txt");
    {
        std::ofstream f(path, std::ios::binary);
        f << std::string("ab\0cd\nef", 8);
    }
    Stream* in = ReadFile(path.c_str());
    EXPECT_EQ(ReadLine(in), "ab");
    EXPECT_EQ(ReadLine(in), "cd");
    EXPECT_EQ(ReadLine(in), "ef");
    CloseStream(in);
}

TEST_F(StreamTest, MissingFileGivesNullStream) {
    EXPECT_EQ(ReadFile(TempPath("does-not-exist.dat").c_str()), nullptr);
    EXPECT_EQ(WriteFile("/nonexistent-dir/x.dat"), nullptr);
}

TEST_F(StreamTest, ReadingPastEndEndsProgramWithMessage) {
    std::string path = TempPath("short.bin");
    {
        std::ofstream f(path, std::ios::binary);
        f << "ab";
    }
    Stream* in = ReadFile(path.c_str());
    ::testing::internal::CaptureStderr();
    EXPECT_THROW(ReadInt(in), Headless::ProgramEnded);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error reading from stream\n");
    CloseStream(in);
}

TEST_F(TextTest, NumbersAsTheGameWritesThem) {
    EXPECT_EQ(IntToText(-42), "-42");
    EXPECT_EQ(FloatToText(7.5f), "7.50000000");
    EXPECT_EQ(FloatToText(1.0f), "1.00000000");
    EXPECT_EQ(FloatToText(0.1f), "0.100000001");
}

TEST_F(TextTest, DatesUseEnglishMonthsAndTwoDigitDays) {
    EXPECT_EQ(FormatDate(2026, 12, 8), "08 Dec 2026");
    EXPECT_EQ(FormatDate(1999, 5, 31), "31 May 1999");
    std::string today = CurrentDate();
    ASSERT_EQ(today.size(), 11u);
    EXPECT_EQ(today[2], ' ');
    EXPECT_EQ(today[6], ' ');
}

TEST_F(DataCursorTest, TypedValuesConvertOnRead) {
    RestoreData("KeyNames");
    EXPECT_EQ(ReadDataInt(), 8);
    EXPECT_EQ(ReadDataString(), "Backspace");
    EXPECT_EQ(ReadDataString(), "9"); // an integer read as text
    RestoreData("KeyNames");
    EXPECT_FLOAT_EQ(ReadDataFloat(), 8.0f);
}

TEST_F(DataCursorTest, ReadingPastTheLastValueEndsProgram) {
    RestoreData("KeyNames");
    // Run to the very end of all tables.
    ::testing::internal::CaptureStderr();
    EXPECT_THROW(for (;;) ReadDataString(), Headless::ProgramEnded);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Attempt to read beyond end of data\n");
}

// Numbers are read as the C library reads them, a float through the nearest double: a plus may lead, a point may
// start or end one, and a number a hair above halfway between two floats still rounds to the even one as the
// double does. A number with anything after it ends the program naming its line.
TEST_F(DataCursorTest, NumbersReadAsTheCLibraryReadsThem) {
    ReplaceDataTables("#Numbers\n+2, +1e3, -.25, 5., 1.00000005960464477539062501\n");
    RestoreData("Numbers");
    EXPECT_EQ(ReadDataInt(), 2);
    EXPECT_EQ(ReadDataFloat(), 1000.0f);
    EXPECT_EQ(ReadDataFloat(), -0.25f);
    EXPECT_EQ(ReadDataFloat(), 5.0f);
    EXPECT_EQ(ReadDataFloat(), 1.0f);
    ::testing::internal::CaptureStderr();
    EXPECT_THROW(ReplaceDataTables("#Bad\n1\n1.5e\n"), Headless::ProgramEnded);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Bad data table replacement line 3: bad number\n");
}

TEST_F(DataCursorTest, FloatsTruncateToIntegersAndLabelsPosition) {
    ReplaceDataTables("; a comment\n#First\n7.5, -7.5, \"12\", 0xFFFF4080\n#Second 3 \"say \"\"hi\"\"\" ; tail\n");
    RestoreData("First");
    EXPECT_EQ(ReadDataInt(), 7);
    EXPECT_EQ(ReadDataInt(), -7);
    EXPECT_EQ(ReadDataInt(), 12);
    EXPECT_EQ(static_cast<unsigned>(ReadDataInt()), 0xFFFF4080u);
    EXPECT_EQ(ReadDataInt(), 3); // runs on into the next label's values
    EXPECT_EQ(ReadDataString(), "say \"hi\"");
    RestoreData("Second");
    EXPECT_EQ(ReadDataString(), "3");
    RestoreData("First");
    EXPECT_EQ(ReadDataString(), "7.50000000");
}
