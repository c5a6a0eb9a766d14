// Scripted games from start-up: the ship turned toward the fortress and firing shoots sections away and scores,
// and the same script and seed always play out the same.
#include "GameFixture.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "fortress/Sections.h"
#include "game/Ship.h"
#include "game/TheWorld.h"
#include "platform/Random.h"

using PlayTest = GameFixture;

namespace {
struct Outcome {
    int Score;
    std::size_t Sections;
    float ShipX, ShipY, ShipAngle;
    double NextDraw;
};

// The ship turns a little toward the fortress and fires every sixth frame of play.
Outcome PlayShootingGame(int frames) {
    Headless::HoldKey(LevelPageShown, TheSettings.KeyTurnLeft, 3);
    for (int f = 61; f < frames; f += 6) Headless::PressKey(LevelPageShown + f, TheSettings.KeyFire);
    EXPECT_EQ(RunGameHeadless(LevelPageShown + frames), -1);
    return {TheWorld.Score, TheWorld.SectionsList.Count(), TheWorld.ShipX, TheWorld.ShipY, TheWorld.ShipAngle,
            RndDraw()};
}
} // namespace

TEST_F(PlayTest, FiringAtTheFortressShootsSectionsAwayAndScoresTheirPoints) {
    Outcome played = PlayShootingGame(300);
    EXPECT_GT(played.Score, 0);
    EXPECT_EQ(played.Score % 10, 0);
    EXPECT_EQ(TheWorld.BonusCounter, played.Score);
    // Every section destroyed is gone from the list, unless a ring was regrown.
    EXPECT_LT(played.Sections, 36u);
    EXPECT_EQ(TheWorld.DemoMode, 0);
    EXPECT_EQ(TheWorld.GameState, 0);
}

TEST_F(PlayTest, TheSameScriptPlaysTheSameGame) {
    Outcome first = PlayShootingGame(400);
    Headless::Reset();
    ResetAllState();
    Outcome second = PlayShootingGame(400);
    EXPECT_EQ(first.Score, second.Score);
    EXPECT_EQ(first.Sections, second.Sections);
    EXPECT_EQ(first.ShipX, second.ShipX);
    EXPECT_EQ(first.ShipY, second.ShipY);
    EXPECT_EQ(first.ShipAngle, second.ShipAngle);
    EXPECT_EQ(first.NextDraw, second.NextDraw);
}
