// A game played with the pad pulled out and another plugged in, and a game whose window loses the focus.
#include "GameFixture.h"
#include "core/GameState.h"
#include "frontend/MainMenu.h"
#include "game/Ship.h"
#include "game/TheWorld.h"
#include <algorithm>
#include <map>

using PadInPlayTest = GameFixture;
using FocusLossTest = GameFixture;
using PadInMenuTest = GameFixture;

namespace {
constexpr int KeyN = 78;
constexpr int PlayStart = LevelPageShown; // the first frame of play

struct Seen {
    float ShipX, ShipAngle;
    int PromptShown;
};
std::map<int, Seen> SeenAt;
bool Watch(int frame) {
    SeenAt[frame] = {TheWorld.ShipX, TheWorld.ShipAngle, TheWorld.ExitPromptShown};
    return false;
}
int MostItem = 0;
bool WatchItem(int) {
    MostItem = std::max(MostItem, TheMenu.MenuItem);
    return false;
}
} // namespace

TEST_F(PadInPlayTest, APadPulledOutReadsAsCentredAndTheNextOneTakesOver) {
    // The stick rests a little to the right when the game starts, so that is its rest.
    Headless::PlugPad(0, true);
    Headless::SetPad(0, 0.5f, 0);
    TheControls.ControlMode = 1;
    TheControls.PadActive = 1;
    SeenAt.clear();
    Headless::PlugPad(PlayStart + 20, false);
    Headless::PlugPad(PlayStart + 40, true); // another pad, its stick at the centre
    Headless::SetPad(PlayStart + 60, 1, 0);
    EXPECT_EQ(RunGameHeadless(PlayStart + 80, Watch), -1);
    EXPECT_EQ(SeenAt[PlayStart + 19].ShipAngle, 270.0f) << "at rest the ship doesn't turn";
    EXPECT_EQ(SeenAt[PlayStart + 39].ShipAngle, 270.0f) << "no pad: no turn";
    EXPECT_EQ(SeenAt[PlayStart + 59].ShipAngle, 270.0f) << "the new pad at rest: no turn";
    EXPECT_GT(SeenAt[PlayStart + 79].ShipAngle, 270.0f) << "the new pad pushed right turns the ship right";
}

TEST_F(FocusLossTest, LosingTheFocusInPlayOpensThePromptAndNoResumesWhereTheGameStood) {
    SeenAt.clear();
    Headless::HoldKey(PlayStart + 1, TheSettings.KeyThrust, 10);
    Headless::LoseFocus(PlayStart + 15);
    Headless::PressKey(PlayStart + 35, KeyN);
    EXPECT_EQ(RunGameHeadless(PlayStart + 50, Watch), -1);
    EXPECT_EQ(SeenAt[PlayStart + 20].PromptShown, 1);
    EXPECT_EQ(SeenAt[PlayStart + 20].ShipX, SeenAt[PlayStart + 34].ShipX) << "the ship stood still behind the prompt";
    EXPECT_EQ(SeenAt[PlayStart + 45].PromptShown, 0);
    EXPECT_LT(SeenAt[PlayStart + 45].ShipX, SeenAt[PlayStart + 34].ShipX) << "and drifts on after it";
    EXPECT_EQ(TheWorld.ShipsLeft, 3);
    EXPECT_EQ(TheWorld.GameState, 0);
}

TEST_F(PadInMenuTest, APadPluggedInOffCentreAndPulledOutNeverRunsTheCarousel) {
    TheControls.ControlMode = 1;
    TheControls.PadActive = 1;
    MostItem = 0;
    Headless::PlugPad(IntroShown + 10, true);
    Headless::SetPad(IntroShown + 10, 0.5f, 0); // it arrives pushed a little: that is where it rests
    Headless::PlugPad(IntroShown + 40, false);
    EXPECT_EQ(RunProgramHeadless(IntroShown + 80, WatchItem), -1);
    EXPECT_EQ(MostItem, 0);
}
