// The pages between plays: the level page, the ship-lost page and the game-over page with its personal best and
// sync offer, the any-key scan, and the page tables.
#include "game/Pages.h"
#include "NeonFixture.h"
#include "core/GameState.h"
#include "fortress/Effects.h"
#include "fortress/Fortress.h"
#include "fortress/Sections.h"
#include "fortress/World.h"
#include "frontend/MainMenu.h"
#include "frontend/Network.h"
#include "game/GameLoop.h"
#include "game/Levels.h"
#include "game/Ship.h"
#include "game/ShipLost.h"
#include "platform/Data.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include <algorithm>
#include <memory>
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

// A phase of the game opened with `open` as a screen of the one loop, its checks after each flip made as the game's
// own screen makes them: the game-over page's sync opens over it, and it closes once play would go on or the game
// ends.
class PhaseScreen : public Screen {
  public:
    PhaseScreen(World& w, void (*open)(World&, GameRun&)) : Fight(w), OpenPhase(open) {}
    void Step(Loop& loop) override {
        if (OpenPhase) {
            OpenPhase(Fight, Run);
            OpenPhase = nullptr;
        } else {
            FinishGameFrame(Fight, Run);
        }
        GoOn(loop);
    }
    void Resume(Loop& loop) override {
        FinishGameFrame(Fight, Run);
        GoOn(loop);
    }
    void Draw() const override { DrawGame(Fight, Run); }

  private:
    void GoOn(Loop& loop) {
        if (Run.Phase == GamePhase::Syncing)
            loop.Open(OpenGameOverSync(Fight));
        else if (Run.Phase == GamePhase::Playing || Run.Phase == GamePhase::Over)
            loop.Close();
        else
            StepGame(Fight, Run);
    }
    World& Fight;
    void (*OpenPhase)(World&, GameRun&);
    GameRun Run;
};

// The frames a phase opened with `open` shows until play would go on or the game ends.
int FramesOf(World& w, void (*open)(World&, GameRun&)) {
    int before = Headless::FrameCount();
    Loop loop;
    loop.Open(std::make_unique<PhaseScreen>(w, open));
    TurnToFrame(loop, -1);
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
    Fight.Level = 9;
    Fight.ShipsLeft = 2;
    EXPECT_EQ(FramesOf(Fight, StartLevel), 241);
    EXPECT_TRUE(Shown("level 09"));
    EXPECT_TRUE(Shown("get ready player..."));
    EXPECT_TRUE(Shown("2 ships left"));
    EXPECT_TRUE(Shown("00000000"));
    EXPECT_EQ(Fight.SectionsList.Count(), 36u);
    EXPECT_EQ(Fight.ShipX, 900.0f);
    EXPECT_EQ(Fight.SpawnGrace, 60);

    Fight.Level = 10;
    Fight.ShipsLeft = 0;
    Headless::PressKey(Headless::FrameCount() + 3, KeyReturnCode);
    EXPECT_EQ(FramesOf(Fight, StartLevel), 3);
    EXPECT_TRUE(Shown("level 10"));
    EXPECT_TRUE(Shown("final ship"));
}

TEST_F(LevelPageTest, AnyKeyOfTheTableOrAHeldPadButtonClosesIt) {
    Headless::PressKey(Headless::FrameCount() + 5, KeyA);
    EXPECT_EQ(FramesOf(Fight, StartLevel), 5);
    TheControls.ControlMode = 1;
    Headless::PlugPad(Headless::FrameCount(), true);
    Headless::Schedule({Headless::InputEvent::PadButtonDown, Headless::FrameCount() + 7, TheControls.PadThrustButton});
    EXPECT_EQ(FramesOf(Fight, StartLevel), 7);
}

TEST_F(ShipLostPageTest, LosingAShipOnLevelThreeWithTwoLeftNamesTheLevelAndTheShips) {
    Fight.Level = 3;
    Fight.ShipsLeft = 2;
    Fight.Score = 1234;
    Fight.ShipX = 10;
    EXPECT_EQ(FramesOf(Fight, OpenShipLostPage), 241);
    EXPECT_TRUE(Shown("you died on level 03"));
    EXPECT_TRUE(Shown("you still have 2 ships left"));
    EXPECT_TRUE(Shown("get ready player..."));
    EXPECT_TRUE(Shown("00001234"));
    EXPECT_EQ(Fight.ShipX, 900.0f); // the next ship is on the field
    EXPECT_EQ(Fight.SpawnGrace, 60);

    Fight.ShipsLeft = 1;
    Headless::PressKey(Headless::FrameCount() + 2, TheSettings.KeyFire);
    EXPECT_EQ(FramesOf(Fight, OpenShipLostPage), 2);
    EXPECT_TRUE(Shown("you have 1 ship left"));
}

TEST_F(GameOverPageTest, NoPointsShowsTheTauntWithThePlayersNameAndThrustDoesNotSync) {
    Fight.ShipsLeft = -1;
    Fight.Score = 0;
    TheSettings.PlayerName = "rowan";
    Headless::PressKey(Headless::FrameCount() + 400, TheSettings.KeyThrust);
    EXPECT_EQ(FramesOf(Fight, OpenShipLostPage), 400); // it never closes by itself
    EXPECT_TRUE(Shown(" game over"));
    EXPECT_TRUE(Shown("00000000"));
    EXPECT_TRUE(Shown("seriously rowan..."));
    EXPECT_TRUE(Shown("0 points?"));
    EXPECT_TRUE(Shown("...is that the best you can do?"));
    EXPECT_TRUE(ShownPadded(" press any key to go back to mainmenu."));
    EXPECT_EQ(Fight.GameState, 3);
    EXPECT_EQ(TheSettings.OnlineLevels[0], "-"); // no sync
}

TEST_F(GameOverPageTest, OnlyAScoreAboveThePersonalBestIsANewBest) {
    Fight.ShipsLeft = -1;
    Fight.Score = 500;
    TheSettings.PersonalHighscore = 500;
    Headless::PressKey(Headless::FrameCount() + 2, KeyA);
    FramesOf(Fight, OpenShipLostPage);
    EXPECT_EQ(Fight.NewPersonalBest, 0);
    EXPECT_FALSE(Shown("you have beaten your own score."));
    EXPECT_FALSE(Shown("seriously unnamed..."));

    Fight.Score = 501;
    Headless::PressKey(Headless::FrameCount() + 2, KeyA);
    FramesOf(Fight, OpenShipLostPage);
    EXPECT_EQ(Fight.NewPersonalBest, 1);
    EXPECT_EQ(TheSettings.PersonalHighscore, 501);
    EXPECT_TRUE(Shown("you have beaten your own score."));
    EXPECT_TRUE(Shown("press thrust to sync your highscore"));
}

TEST_F(GameOverPageTest, ReturnWithPointsStartsTheSync) {
    Fight.ShipsLeft = -1;
    Fight.Score = 120;
    TheSettings.PersonalHighscore = 1000;
    TheSettings.OnlineNames[0] = "ace";
    TheSettings.OnlineLevels[0] = "3";
    TheSettings.OnlineScores[0] = "900";
    Network::GoOffline();
    Headless::PressKey(Headless::FrameCount() + 3, KeyReturnCode);
    Headless::PressKey(Headless::FrameCount() + 6, KeyEscapeCode);
    // Three frames of the page, the sync's wait screen, then the high-score screen until Escape.
    EXPECT_EQ(FramesOf(Fight, OpenShipLostPage), 6);
    EXPECT_TRUE(Shown("    the game is now attempting to sync"));
    EXPECT_TRUE(Shown("playername     level     topscore"));
    // Offline, the sync fetches nothing: the table stays as it was, and the screen says why.
    EXPECT_EQ(TheSettings.OnlineNames[0], "ace");
    EXPECT_EQ(TheSettings.OnlineScores[0], "900");
    EXPECT_TRUE(ShownPadded("the server did not answer - try again later"));
    EXPECT_EQ(Fight.GameState, 3);
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
    Fight.Level = 3;
    Fight.ShipsLeft = 2;
    Fight.PlayerDead = 1;
    CreateSections(Fight, 24, 64.0f, RingColor0, -1.0f, 0);
    CreateSections(Fight, 30, 88.0f, RingColor1, 1.2f, 1);
    CreateSections(Fight, 36, 112.0f, RingColor2, -1.5f, 2);
    Fight.SectionsList.Walk([this](Sections& s) {
        if (s.Ring == 2) Fight.SectionsList.Remove(s);
        if (s.Ring == 1) s.Life = 1;
    });
    // The blast lasts until its last piece has gone, past the second blast at frame 40 that throws the
    // fragments; then the ship-lost page stays its 241 frames.
    int blast = FramesOf(Fight, AfterAFrameOfPlay) - 241;
    EXPECT_GT(blast, 40);
    EXPECT_EQ(Fight.FragsList.Count(), 3u);
    EXPECT_EQ(Fight.ExplosionsActive, 0);
    EXPECT_EQ(Fight.ShipsLeft, 1);
    EXPECT_EQ(Fight.PlayerDead, 0);
    EXPECT_EQ(Fight.GameState, 2);
    // The rings keep their damage: the emptied outer ring regrew as a shift, the hit sections stay hit.
    int hit = 0;
    Fight.SectionsList.Each([&](const Sections& s) { hit += s.Life == 1 ? 1 : 0; });
    EXPECT_EQ(hit, 12);
    EXPECT_EQ(Fight.SectionsList.Count(), 36u);
    EXPECT_TRUE(Shown("you died on level 03"));
    Fight.PlayerDead = 0;
    EXPECT_EQ(FramesOf(Fight, AfterAFrameOfPlay), 0);
}

TEST_F(SequenceTest, ADestroyedCannonRaisesTheLevelAndRebuildsTheFortress) {
    Fight.Level = 4;
    Fight.CannonDestroyed = 1;
    // The fortress blows up until the last piece has gone (the shock wave comes at frame 40), then the page.
    EXPECT_GT(FramesOf(Fight, AfterAFrameOfPlay) - 241, 40);
    EXPECT_EQ(Fight.ExplosionsActive, 0);
    EXPECT_EQ(Fight.Level, 5);
    EXPECT_EQ(Fight.CannonDestroyed, 0);
    EXPECT_EQ(Fight.SectionsList.Count(), 36u);
    EXPECT_TRUE(Shown("level 05"));
    EXPECT_EQ(FramesOf(Fight, AfterAFrameOfPlay), 0);
}
