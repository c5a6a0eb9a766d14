// Name entry and key redefinition: what a player types, the key names shown, and the keys a held key assigns.
#include "frontend/NameEntry.h"
#include "FrontEndFixture.h"
#include "core/GameState.h"
#include "game/Pages.h"
#include "platform/Input.h"

using NameEntryTest = FrontEndFixture;
using RedefineKeysTest = FrontEndFixture;

namespace {
constexpr int KeyBackspace = 8, KeyEscape = 27, KeyReturn13 = 13, KeySpace = 32;
constexpr int KeyY = 89, KeyN = 78;
constexpr int KeyMinus = 189, KeyTilde = 192; // the table lists Tilde before Minus

} // namespace

TEST_F(NameEntryTest, KeepsTenCapitalsDigitsAndSpacesOneAFrame) {
    TheSettings.PlayerName = "";
    const int typed[] = {65, 49, KeySpace, 66, 67, 68, 69, 70, 71, 72, 73}; // "A1 BCDEFGHI": eleven
    int frame = Headless::FrameCount();
    for (int key : typed) Headless::PressKey(++frame, key);
    Headless::PressKey(++frame, KeyReturn13);
    ASSERT_TRUE(Returns(OpenNameEntry(), 40));
    EXPECT_EQ(TheSettings.PlayerName, "A1 BCDEFGH");
    EXPECT_EQ(Blips(), 10 + 1) << "a blip for each character kept and one for leaving; none for the eleventh";
    EXPECT_TRUE(Shown("set name"));
    EXPECT_TRUE(Shown("current player:"));
}

TEST_F(NameEntryTest, BackspaceOnAnEmptyNameOnlyBlipsAndAnEmptyNameLeavesAsNoname) {
    TheSettings.PlayerName = "A";
    int frame = Headless::FrameCount();
    Headless::PressKey(frame + 1, KeyBackspace);
    Headless::PressKey(frame + 3, KeyBackspace);
    Headless::PressKey(frame + 5, KeyEscape);
    ASSERT_TRUE(Returns(OpenNameEntry(), 20));
    EXPECT_EQ(TheSettings.PlayerName, "noname");
    EXPECT_EQ(Blips(), 3);
}

TEST_F(RedefineKeysTest, ShowsTheKeysByNameWithNaForACodeTheTableLacksAndLeavesOnN) {
    TheSettings.KeyTurnLeft = 37;
    TheSettings.KeyFire = 7;
    EXPECT_EQ(KeyName(13), "Return") << "the first row of a code";
    EXPECT_EQ(KeyName(255), "n/a");
    Headless::HoldKey(Headless::FrameCount() + 5, KeyN, 2);
    ASSERT_TRUE(Returns(OpenRedefineKeys(), 20));
    EXPECT_TRUE(Shown("Cursor (Left)"));
    EXPECT_TRUE(Shown("n/a"));
    EXPECT_TRUE(Shown("do you want to redefine (y/n)"));
    EXPECT_EQ(TheSettings.KeyTurnLeft, 37);
    EXPECT_EQ(TheSettings.KeyFire, 7);
}

TEST_F(RedefineKeysTest, YesAsksForAllFourKeysTakingTheFirstHeldInTableOrderAndAsksAgainUntilNo) {
    TheSettings.KeyTurnLeft = 37, TheSettings.KeyTurnRight = 39, TheSettings.KeyThrust = 164, TheSettings.KeyFire = 162;
    int frame = Headless::FrameCount();
    Headless::HoldKey(frame + 2, KeyY, 1);
    // Two held at once give the one the table lists first.
    Headless::HoldKey(frame + 8, KeyMinus, 2);
    Headless::HoldKey(frame + 8, KeyTilde, 2);
    Headless::HoldKey(frame + 12, 68, 1);
    Headless::HoldKey(frame + 16, 87, 1);
    Headless::HoldKey(frame + 20, KeySpace, 1);
    Headless::HoldKey(frame + 26, KeyEscape, 1);
    ASSERT_TRUE(Returns(OpenRedefineKeys(), 40));
    EXPECT_EQ(TheSettings.KeyTurnLeft, KeyTilde);
    EXPECT_EQ(TheSettings.KeyTurnRight, 68);
    EXPECT_EQ(TheSettings.KeyThrust, 87);
    EXPECT_EQ(TheSettings.KeyFire, KeySpace);
    EXPECT_EQ(TheControls.KeyPressed, KeySpace);
    EXPECT_TRUE(Shown("Space")) << "the question came back with the new keys";
    EXPECT_EQ(Blips(), 1 + 4 + 1) << "the yes, each key, the no";
}
