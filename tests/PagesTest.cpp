// The pages between plays: the level page, the ship-lost page and the game-over page with its personal best and
// sync offer, the any-key scan, and the page tables.
#include "game/Pages.h"
#include "NeonFixture.h"
#include "core/GameState.h"
#include "fortress/Effects.h"
#include "fortress/Fortress.h"
#include "fortress/Sections.h"
#include "frontend/MainMenu.h"
#include "frontend/Network.h"
#include "game/GameLoop.h"
#include "game/Levels.h"
#include "game/Ship.h"
#include "game/ShipLost.h"
#include "game/TheWorld.h"
#include "platform/Data.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include <algorithm>
#include <string>

using LevelPageTest = NeonFixture;
using ShipLostPageTest = NeonFixture;
using GameOverPageTest = NeonFixture;
using KeyScanTest = GameFixture;
using PageTableTest = GameFixture;

namespace {
constexpr int KeyA = 65;
constexpr int KeyReturnCode = 13;
constexpr int KeyEscapeCode = 27;

bool Shown(const std::string& text) {
    const std::deque<std::string>& texts = RecentTexts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

bool ShownPadded(const std::string& text) {
    for (const std::string& t : RecentTexts())
        if (t.find(text) != std::string::npos) return true;
    return false;
}

// Opens a phase of the game with `open`, then runs the game's loop until play would go on or the game ends: the
// frames that took.
int FramesOf(void (*open)(World&, GameRun&)) {
    GameRun run;
    open(TheWorld, run);
    int before = Headless::FrameCount();
    while (run.Phase != GamePhase::Playing && run.Phase != GamePhase::Over) {
        StepGame(TheWorld, run);
        DrawGame(TheWorld, run);
        Flip(-1);
        FinishGameFrame(TheWorld, run);
        while (run.Phase == GamePhase::Syncing) {
            RunScreen(OpenGameOverSync());
            FinishGameFrame(TheWorld, run);
        }
    }
    return Headless::FrameCount() - before;
}

void StartLevel(World& w, GameRun& run) { OpenLevelPage(w, run, false); }
// The checks after a frame of play: a destroyed cannon ends the level, a dead ship starts its blast.
void AfterAFrameOfPlay(World& w, GameRun& run) {
    run.Phase = GamePhase::Playing;
    FinishGameFrame(w, run);
}
} // namespace

TEST_F(LevelPageTest, ClosesByItselfAfter241FramesAndShowsTheLevelWithTwoDigits) {
    TheWorld.Level = 9;
    TheWorld.ShipsLeft = 2;
    EXPECT_EQ(FramesOf(StartLevel), 241);
    EXPECT_TRUE(Shown("level 09"));
    EXPECT_TRUE(Shown("get ready player..."));
    EXPECT_TRUE(Shown("2 ships left"));
    EXPECT_TRUE(Shown("00000000"));
    EXPECT_EQ(TheWorld.SectionsList.Count(), 36u);
    EXPECT_EQ(TheWorld.ShipX, 900.0f);
    EXPECT_EQ(TheWorld.SpawnGrace, 60);

    TheWorld.Level = 10;
    TheWorld.ShipsLeft = 0;
    Headless::PressKey(Headless::FrameCount() + 3, KeyReturnCode);
    EXPECT_EQ(FramesOf(StartLevel), 3);
    EXPECT_TRUE(Shown("level 10"));
    EXPECT_TRUE(Shown("final ship"));
}

TEST_F(LevelPageTest, AnyKeyOfTheTableOrAHeldPadButtonClosesIt) {
    Headless::PressKey(Headless::FrameCount() + 5, KeyA);
    EXPECT_EQ(FramesOf(StartLevel), 5);
    TheControls.ControlMode = 1;
    Headless::PlugPad(Headless::FrameCount(), true);
    Headless::Schedule({Headless::InputEvent::PadButtonDown, Headless::FrameCount() + 7, TheControls.PadThrustButton});
    EXPECT_EQ(FramesOf(StartLevel), 7);
}

TEST_F(ShipLostPageTest, LosingAShipOnLevelThreeWithTwoLeftNamesTheLevelAndTheShips) {
    TheWorld.Level = 3;
    TheWorld.ShipsLeft = 2;
    TheWorld.Score = 1234;
    TheWorld.ShipX = 10;
    EXPECT_EQ(FramesOf(OpenShipLostPage), 241);
    EXPECT_TRUE(Shown("you died on level 03"));
    EXPECT_TRUE(Shown("you still have 2 ships left"));
    EXPECT_TRUE(Shown("get ready player..."));
    EXPECT_TRUE(Shown("00001234"));
    EXPECT_EQ(TheWorld.ShipX, 900.0f); // the next ship is on the field
    EXPECT_EQ(TheWorld.SpawnGrace, 60);

    TheWorld.ShipsLeft = 1;
    Headless::PressKey(Headless::FrameCount() + 2, TheSettings.KeyFire);
    EXPECT_EQ(FramesOf(OpenShipLostPage), 2);
    EXPECT_TRUE(Shown("you have 1 ship left"));
}

TEST_F(GameOverPageTest, NoPointsShowsTheTauntWithThePlayersNameAndThrustDoesNotSync) {
    TheWorld.ShipsLeft = -1;
    TheWorld.Score = 0;
    TheSettings.PlayerName = "rowan";
    Headless::PressKey(Headless::FrameCount() + 400, TheSettings.KeyThrust);
    EXPECT_EQ(FramesOf(OpenShipLostPage), 400); // it never closes by itself
    EXPECT_TRUE(Shown(" game over"));
    EXPECT_TRUE(Shown("00000000"));
    EXPECT_TRUE(Shown("seriously rowan..."));
    EXPECT_TRUE(Shown("0 points?"));
    EXPECT_TRUE(Shown("...is that the best you can do?"));
    EXPECT_TRUE(ShownPadded(" press any key to go back to mainmenu."));
    EXPECT_EQ(TheWorld.GameState, 3);
    EXPECT_EQ(TheSettings.OnlineLevels[0], "-"); // no sync
}

TEST_F(GameOverPageTest, OnlyAScoreAboveThePersonalBestIsANewBest) {
    TheWorld.ShipsLeft = -1;
    TheWorld.Score = 500;
    TheSettings.PersonalHighscore = 500;
    Headless::PressKey(Headless::FrameCount() + 2, KeyA);
    FramesOf(OpenShipLostPage);
    EXPECT_EQ(TheWorld.NewPersonalBest, 0);
    EXPECT_FALSE(Shown("you have beaten your own score."));
    EXPECT_FALSE(Shown("seriously unnamed..."));

    TheWorld.Score = 501;
    Headless::PressKey(Headless::FrameCount() + 2, KeyA);
    FramesOf(OpenShipLostPage);
    EXPECT_EQ(TheWorld.NewPersonalBest, 1);
    EXPECT_EQ(TheSettings.PersonalHighscore, 501);
    EXPECT_TRUE(Shown("you have beaten your own score."));
    EXPECT_TRUE(Shown("press thrust to sync your highscore"));
}

TEST_F(GameOverPageTest, ReturnWithPointsStartsTheSync) {
    TheWorld.ShipsLeft = -1;
    TheWorld.Score = 120;
    TheSettings.PersonalHighscore = 1000;
    TheSettings.OnlineNames[0] = "ace";
    TheSettings.OnlineLevels[0] = "3";
    TheSettings.OnlineScores[0] = "900";
    Network::GoOffline();
    Headless::PressKey(Headless::FrameCount() + 3, KeyReturnCode);
    Headless::PressKey(Headless::FrameCount() + 6, KeyEscapeCode);
    // Three frames of the page, the sync's wait screen, then the high-score screen until Escape.
    EXPECT_EQ(FramesOf(OpenShipLostPage), 6);
    EXPECT_TRUE(Shown("    the game is now attempting to sync"));
    EXPECT_TRUE(Shown("playername     level     topscore"));
    // Offline, the sync fetches nothing: the table stays as it was, and the screen says why.
    EXPECT_EQ(TheSettings.OnlineNames[0], "ace");
    EXPECT_EQ(TheSettings.OnlineScores[0], "900");
    EXPECT_TRUE(ShownPadded("the server did not answer - try again later"));
    EXPECT_EQ(TheWorld.GameState, 3);
}

TEST_F(GameOverPageTest, ScoresOfMoreThanEightDigitsShowEveryDigit) {
    EXPECT_EQ(ScoreText(42), "00000042");
    EXPECT_EQ(ScoreText(12345678), "12345678");
    EXPECT_EQ(ScoreText(1234567890), "1234567890");
    EXPECT_EQ(LevelText(7), "07");
    EXPECT_EQ(LevelText(123), "123");
}

TEST_F(KeyScanTest, FindsTheFirstPressedKeyInTableOrder) {
    ScanKeys();
    EXPECT_EQ(TheControls.KeyPressed, 0);
    Headless::PressKey(Headless::FrameCount(), KeyA);
    Headless::PressKey(Headless::FrameCount(), 32);
    ScanKeys();
    EXPECT_EQ(TheControls.KeyPressed, 32); // Space comes before A in the table
    ScanKeys();
    EXPECT_EQ(TheControls.KeyPressed, KeyA); // A's press is still waiting: the scan stopped at Space
}

TEST_F(PageTableTest, EachHeadlineTableHoldsOneEntryOfFiveValues) {
    for (const char* label : {"LevelPageText", "ShipLostText", "GameOverText"}) {
        EXPECT_EQ(DataTableLength(label), 5) << label;
    }
    RestoreData("GameOverText");
    EXPECT_EQ(ReadDataInt(), 5); // stored as 5.5
}

using SequenceTest = PlayerGameFixture;

TEST_F(SequenceTest, ALostShipCostsASpareAndTheNextOneStartsWithTheRingsAsTheyWere) {
    TheWorld.Level = 3;
    TheWorld.ShipsLeft = 2;
    TheWorld.PlayerDead = 1;
    CreateSections(TheWorld, 24, 64.0f, RingColor0, -1.0f, 0);
    CreateSections(TheWorld, 30, 88.0f, RingColor1, 1.2f, 1);
    CreateSections(TheWorld, 36, 112.0f, RingColor2, -1.5f, 2);
    TheWorld.SectionsList.Walk([](Sections& s) {
        if (s.Ring == 2) TheWorld.SectionsList.Remove(s);
        if (s.Ring == 1) s.Life = 1;
    });
    // The blast lasts until its last piece has gone, past the second blast at frame 40 that throws the
    // fragments; then the ship-lost page stays its 241 frames.
    int blast = FramesOf(AfterAFrameOfPlay) - 241;
    EXPECT_GT(blast, 40);
    EXPECT_EQ(TheWorld.FragsList.Count(), 3u);
    EXPECT_EQ(TheWorld.ExplosionsActive, 0);
    EXPECT_EQ(TheWorld.ShipsLeft, 1);
    EXPECT_EQ(TheWorld.PlayerDead, 0);
    EXPECT_EQ(TheWorld.GameState, 2);
    // The rings keep their damage: the emptied outer ring regrew as a shift, the hit sections stay hit.
    int hit = 0;
    TheWorld.SectionsList.Each([&](const Sections& s) { hit += s.Life == 1 ? 1 : 0; });
    EXPECT_EQ(hit, 12);
    EXPECT_EQ(TheWorld.SectionsList.Count(), 36u);
    EXPECT_TRUE(Shown("you died on level 03"));
    TheWorld.PlayerDead = 0;
    EXPECT_EQ(FramesOf(AfterAFrameOfPlay), 0);
}

TEST_F(SequenceTest, ADestroyedCannonRaisesTheLevelAndRebuildsTheFortress) {
    TheWorld.Level = 4;
    TheWorld.CannonDestroyed = 1;
    // The fortress blows up until the last piece has gone (the shock wave comes at frame 40), then the page.
    EXPECT_GT(FramesOf(AfterAFrameOfPlay) - 241, 40);
    EXPECT_EQ(TheWorld.ExplosionsActive, 0);
    EXPECT_EQ(TheWorld.Level, 5);
    EXPECT_EQ(TheWorld.CannonDestroyed, 0);
    EXPECT_EQ(TheWorld.SectionsList.Count(), 36u);
    EXPECT_TRUE(Shown("level 05"));
    EXPECT_EQ(FramesOf(AfterAFrameOfPlay), 0);
}
