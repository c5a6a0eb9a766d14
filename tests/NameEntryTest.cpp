// Name entry and key redefinition: what a player types, the key names shown, and the keys a held key assigns.
#include "frontend/NameEntry.h"
#include "FrontEndFixture.h"
#include "core/GameState.h"
#include "game/Pages.h"
#include "platform/Input.h"
#include <deque>

using NameEntryTest = FrontEndFixture;
using RedefineKeysTest = FrontEndFixture;

namespace {
constexpr int KeyBackspace = 8, KeyEscape = 27, KeyReturn13 = 13, KeySpace = 32;
constexpr int KeyY = 89, KeyN = 78;
constexpr int KeyMinus = 189, KeyTilde = 192; // the table lists Tilde before Minus

// Keys the player holds while the game waits for one: each time the wait looks again after a pause of a
// millisecond, the next key goes down.
std::deque<std::deque<int>> HeldWhileWaiting;
void HoldNextWhileWaiting(int ms) {
    if (ms != 1 || HeldWhileWaiting.empty()) return;
    for (int key : HeldWhileWaiting.front()) Headless::HoldKey(Headless::FrameCount(), key, 1);
    HeldWhileWaiting.pop_front();
}
} // namespace

TEST_F(NameEntryTest, KeepsTenCapitalsDigitsAndSpacesOneAFrame) {
    PlayerName = "";
    const int typed[] = {65, 49, KeySpace, 66, 67, 68, 69, 70, 71, 72, 73}; // "A1 BCDEFGHI": eleven
    int frame = Headless::FrameCount();
    for (int key : typed) Headless::PressKey(++frame, key);
    Headless::PressKey(++frame, KeyReturn13);
    ASSERT_TRUE(Returns(OpenNameEntry(), 40));
    EXPECT_EQ(PlayerName, "A1 BCDEFGH");
    EXPECT_EQ(Blips(), 10 + 1) << "a blip for each character kept and one for leaving; none for the eleventh";
    EXPECT_TRUE(Shown("set name"));
    EXPECT_TRUE(Shown("current player:"));
}

TEST_F(NameEntryTest, BackspaceOnAnEmptyNameOnlyBlipsAndAnEmptyNameLeavesAsNoname) {
    PlayerName = "A";
    int frame = Headless::FrameCount();
    Headless::PressKey(frame + 1, KeyBackspace);
    Headless::PressKey(frame + 3, KeyBackspace);
    Headless::PressKey(frame + 5, KeyEscape);
    ASSERT_TRUE(Returns(OpenNameEntry(), 20));
    EXPECT_EQ(PlayerName, "noname");
    EXPECT_EQ(Blips(), 3);
}

TEST_F(RedefineKeysTest, ShowsTheKeysByNameWithNaForACodeTheTableLacksAndLeavesOnN) {
    KeyTurnLeft = 37;
    KeyFire = 7;
    EXPECT_EQ(KeyName(13), "Return") << "the first row of a code";
    EXPECT_EQ(KeyName(255), "n/a");
    Headless::HoldKey(Headless::FrameCount() + 5, KeyN, 2);
    ASSERT_TRUE(Returns(RedefineKeys, 20));
    EXPECT_TRUE(Shown("Cursor (Left)"));
    EXPECT_TRUE(Shown("n/a"));
    EXPECT_TRUE(Shown("do you want to redefine (y/n)"));
    EXPECT_EQ(KeyTurnLeft, 37);
    EXPECT_EQ(KeyFire, 7);
}

TEST_F(RedefineKeysTest, TwoKeysHeldWhileWaitingAssignTheOneFirstInTheTable) {
    HeldWhileWaiting = {{KeyMinus, KeyTilde}};
    Headless::SetSleepHook(HoldNextWhileWaiting);
    WaitForKey();
    Headless::SetSleepHook(nullptr);
    EXPECT_EQ(TheControls.KeyPressed, KeyTilde);
    EXPECT_EQ(Blips(), 1);
}

TEST_F(RedefineKeysTest, YesAsksForAllFourKeysAndAsksAgainUntilNo) {
    KeyTurnLeft = 37, KeyTurnRight = 39, KeyThrust = 164, KeyFire = 162;
    int frame = Headless::FrameCount();
    Headless::HoldKey(frame + 1, KeyY, 1);
    HeldWhileWaiting = {{65}, {68}, {87}, {KeySpace}};
    Headless::SetSleepHook(HoldNextWhileWaiting);
    Headless::HoldKey(frame + 12, KeyEscape, 1);
    bool returned = Returns(RedefineKeys, 30);
    Headless::SetSleepHook(nullptr);
    ASSERT_TRUE(returned);
    EXPECT_TRUE(HeldWhileWaiting.empty());
    EXPECT_EQ(KeyTurnLeft, 65);
    EXPECT_EQ(KeyTurnRight, 68);
    EXPECT_EQ(KeyThrust, 87);
    EXPECT_EQ(KeyFire, KeySpace);
    EXPECT_TRUE(Shown("Space")) << "the question came back with the new keys";
    EXPECT_EQ(Blips(), 1 + 4 + 1) << "the yes, each key, the no";
}
