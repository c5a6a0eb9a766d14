// The instructions page: its twelve lines from the instructions table, and every way of leaving it.
#include "game/Instructions.h"
#include "NeonFixture.h"
#include "Turning.h"
#include "core/GameState.h"
#include "platform/Input.h"
#include <algorithm>
#include <map>
#include <string>

using InstructionsTest = NeonFixture;

namespace {
constexpr int KeyA = 65;
constexpr int KeyReturnCode = 13;
constexpr int KeyEscapeCode = 27;
constexpr int KeyNotInTheTable = 7;      // a fire key the any-key scan never looks at
constexpr int KeyAlsoNotInTheTable = 10; // a key nothing on the page listens to
constexpr int PadFire = 0, PadThrust = 1, PadOtherButton = 5;

struct ExpectedLine {
    int Column, Row;
    std::string Text;
    std::uint32_t Argb;
    int Red, Green, Blue;
};

const ExpectedLine ExpectedLines[InstructionLines] = {
    {7, 3, " In this game the objective is to", 0xFFFF0000, 255, 0, 0},
    {7, 5, " destroy the enemy cannon that is", 0xFFFF0000, 255, 0, 0},
    {7, 7, "placed in the center of the screen.", 0xFFFF0000, 255, 0, 0},
    {7, 10, "Shoot the rings to be able to shoot", 0xFFFF4080, 255, 64, 128},
    {7, 12, " it, but if a ring is completely", 0xFFFF4080, 255, 64, 128},
    {9, 14, "destroyed it will regenerate.", 0xFFFF4080, 255, 64, 128},
    {7, 17, "You should also avoid its missiles.", 0xFFFF40FF, 255, 64, 255},
    {9, 20, "Bonus life every 10.000 points.", 0xFF00FF80, 0, 255, 128},
    {12, 25, "Credits:", 0xFF4043FF, 64, 67, 255},
    {12, 27, "game by the Kestrovar team", 0xFF4090FF, 64, 140, 255},
    {12, 29, "neon, sound and music our own", 0xFF4090FF, 64, 140, 255},
    {5, 35, " press any key to go back to mainmenu.", 0xFFFFFF00, 255, 255, 0},
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

// Runs the page; the number of frames it stayed, or -1 when it was still up at the stop frame.
int FramesShown(int stopAfter = -1) {
    int before = Headless::FrameCount();
    Loop loop;
    loop.Open(OpenInstructions());
    if (!TurnToFrame(loop, stopAfter < 0 ? -1 : before + stopAfter)) return -1;
    return Headless::FrameCount() - before;
}
} // namespace

TEST_F(InstructionsTest, QueuesItsTwelveLinesAtTheirCellsInTheirColoursAndClearsThemOnLeaving) {
    TheSettings.UseBackground = 0;
    ASSERT_EQ(FramesShown(40), -1); // no time limit: it is still up
    for (const ExpectedLine& line : ExpectedLines)
        EXPECT_NE(std::find(RecentTexts().begin(), RecentTexts().end(), line.Text), RecentTexts().end()) << line.Text;

    std::map<int, std::string> rowText;
    std::map<int, int> rowFirstColumn;
    std::size_t total = 0;
    CharsList.Each([&](const chars& c) {
        if (!rowText.count(c.y)) rowFirstColumn[c.y] = c.x;
        rowText[c.y] += c.Char;
        EXPECT_EQ(c.xscale, 0.75f);
        EXPECT_EQ(c.yscale, 0.75f);
        for (const ExpectedLine& line : ExpectedLines) {
            if (line.Row != c.y) continue;
            EXPECT_EQ(c.color, line.Argb) << line.Text;
            EXPECT_EQ(c.rcol, line.Red);
            EXPECT_EQ(c.gcol, line.Green);
            EXPECT_EQ(c.bcol, line.Blue);
        }
    });
    ASSERT_EQ(rowText.size(), static_cast<std::size_t>(InstructionLines));
    for (const ExpectedLine& line : ExpectedLines) {
        EXPECT_EQ(rowText[line.Row], Lower(line.Text));
        EXPECT_EQ(rowFirstColumn[line.Row], line.Column) << line.Text; // a stored 7.5 is read as column 7
        total += line.Text.size();
    }
    EXPECT_EQ(static_cast<std::size_t>(TextCharCount), total);
    // The credit lines fit the playfield at their scale.
    for (int row : {27, 29}) EXPECT_LE((rowFirstColumn[row] + rowText[row].size() * 0.75f) * TextCell, 1024.0f);

    Headless::PressKey(Headless::FrameCount() + 1, KeyEscapeCode);
    EXPECT_EQ(FramesShown(), 1);
    EXPECT_EQ(CharsList.Count(), 0u);
}

TEST_F(InstructionsTest, LeavesOnAListedKeyReturnFireOrEscape) {
    TheSettings.KeyFire = KeyNotInTheTable;
    for (int key : {KeyA, KeyReturnCode, KeyNotInTheTable, KeyEscapeCode}) {
        Headless::PressKey(Headless::FrameCount() + 4, key);
        EXPECT_EQ(FramesShown(100), 4) << "key " << key;
    }
    // Any other key does not close it.
    Headless::PressKey(Headless::FrameCount() + 4, KeyAlsoNotInTheTable);
    EXPECT_EQ(FramesShown(30), -1);
}

TEST_F(InstructionsTest, ThePadsButtonsLeaveOnlyWhileThePadIsActive) {
    Headless::PlugPad(Headless::FrameCount(), true);
    TheControls.PadActive = 0;
    Headless::PressPadButton(Headless::FrameCount() + 3, PadFire);
    EXPECT_EQ(FramesShown(30), -1);
    FlushJoy();

    TheControls.PadActive = 1;
    Headless::PressPadButton(Headless::FrameCount() + 3, PadOtherButton);
    EXPECT_EQ(FramesShown(30), -1);
    for (int button : {PadFire, PadThrust}) {
        Headless::PressPadButton(Headless::FrameCount() + 5, button);
        EXPECT_EQ(FramesShown(100), 5) << "button " << button;
    }
}
