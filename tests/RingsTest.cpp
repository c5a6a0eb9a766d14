// The fortress's rings: a fresh fortress, turning and growth, the shift when a ring is shot empty, the level
// speeds and the collapse.
#include "GameFixture.h"
#include "NeonFixture.h"
#include "core/GameState.h"
#include "fortress/Fortress.h"
#include "fortress/Sections.h"
#include "game/Levels.h"
#include "game/TheWorld.h"
#include "graphics/Stars.h"
#include "platform/Random.h"
#include <vector>

using RingsTest = NeonFixture;
using RingSpeedTest = NeonFixture;
using StarsTest = NeonFixture;

namespace {
std::vector<const Sections*> RingOf(int ring) {
    std::vector<const Sections*> found;
    TheWorld.SectionsList.Each([&](const Sections& s) {
        if (s.Ring == ring) found.push_back(&s);
    });
    return found;
}

void BuildMenuFortress() {
    SetPalette();
    CreateSections(TheWorld, 24, 64.0f, RingColor0, -1.0f, 0);
    CreateSections(TheWorld, 30, 88.0f, RingColor1, 1.2f, 1);
    CreateSections(TheWorld, 36, 112.0f, RingColor2, -1.5f, 2);
}

std::vector<float> RingSpeedsAtLevel(int level) {
    SetPalette();
    TheWorld.Level = level;
    SetUpLevel(TheWorld);
    return {RingOf(0).front()->speed, RingOf(1).front()->speed, RingOf(2).front()->speed};
}
} // namespace

TEST_F(RingsTest, AFreshFortressHasTwelveSectionsARingStartingNearTheCentre) {
    BuildMenuFortress();
    ASSERT_EQ(TheWorld.SectionsList.Count(), 36u);
    const int starts[3] = {24, 30, 36};
    const int scores[3] = {30, 20, 10};
    for (int ring = 0; ring < 3; ++ring) {
        std::vector<const Sections*> sections = RingOf(ring);
        ASSERT_EQ(sections.size(), 12u);
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(sections[i]->Angle1, static_cast<float>((starts[ring] + 30 * i) % 360));
            EXPECT_EQ(sections[i]->Angle2, static_cast<float>((starts[ring] + 30 * (i + 1)) % 360));
            EXPECT_EQ(sections[i]->Radius, 12.0f + 6 * ring);
            EXPECT_EQ(sections[i]->Life, 2);
            EXPECT_EQ(sections[i]->Score, scores[ring]);
        }
    }
    EXPECT_EQ(RingOf(1).back()->Angle1, 0.0f);
}

TEST_F(RingsTest, AnglesStayWithinATurnAndRingsGrowToTheirTargets) {
    BuildMenuFortress();
    Sections& s = const_cast<Sections&>(*RingOf(0).front());
    s.Angle0 = 359.5f + 1.0f; // with speed -1: 359.5 stays
    s.Angle1 = 361.7f;        // 360.7 becomes 0.7
    s.Angle2 = 0.6f;          // -0.4 becomes 359.6
    MoveSections(TheWorld);
    EXPECT_FLOAT_EQ(s.Angle0, 359.5f);
    EXPECT_NEAR(s.Angle1, 0.7f, 1e-4f);
    EXPECT_NEAR(s.Angle2, 359.6f, 1e-4f);
    EXPECT_NEAR(Midpoint(s).X, 512 + Sin(359.5f) * 12, 1e-3f);
    EXPECT_NEAR(Midpoint(s).Y, 384 - Cos(359.5f) * 12, 1e-3f);
    for (int i = 0; i < 34; ++i) UpdateSections(TheWorld);
    EXPECT_LT(s.Radius, 64.0f);
    UpdateSections(TheWorld);
    EXPECT_FLOAT_EQ(s.Radius, 64.5f);
    UpdateSections(TheWorld);
    EXPECT_FLOAT_EQ(s.Radius, 64.5f);
}

TEST_F(RingsTest, EmptyingTheMiddleRingShiftsTheInnerOutDiscardsTheOuterAndGrowsAnOpposingInner) {
    BuildMenuFortress();
    TheWorld.SectionsList.Walk([](Sections& s) {
        if (s.Ring == 1) TheWorld.SectionsList.Remove(s);
    });
    UpdateSections(TheWorld);
    std::vector<const Sections*> inner = RingOf(0), middle = RingOf(1), outer = RingOf(2);
    EXPECT_EQ(middle.size(), 12u);
    EXPECT_EQ(outer.size(), 0u);
    ASSERT_EQ(inner.size(), 12u);
    EXPECT_EQ(TheWorld.SectionsList.Count(), 24u);
    EXPECT_FLOAT_EQ(middle.front()->speed, -1.1f);
    EXPECT_EQ(middle.front()->Score, 20);
    EXPECT_EQ(middle.front()->GrowToThisSize, 88);
    EXPECT_EQ(middle.front()->Color, RingColor1);
    EXPECT_FLOAT_EQ(inner.front()->speed, 1.1f); // turning against the ring just outside it
    EXPECT_EQ(inner.front()->Radius, 12.0f);
    // The next call finds the outer ring empty and shifts again: the outer ring now scores 30.
    UpdateSections(TheWorld);
    ASSERT_EQ(RingOf(2).size(), 12u);
    EXPECT_EQ(RingOf(2).front()->Score, 30);
    EXPECT_EQ(RingOf(2).front()->GrowToThisSize, 112);
}

TEST_F(RingsTest, AnEmptyListIsRebuiltOneRingACall) {
    for (std::size_t call = 1; call <= 3; ++call) {
        UpdateSections(TheWorld);
        EXPECT_EQ(TheWorld.SectionsList.Count(), 12 * call);
    }
    UpdateSections(TheWorld);
    EXPECT_EQ(TheWorld.SectionsList.Count(), 36u);
}

TEST_F(RingsTest, SpeedUpClampsAtTheLimitAndLeavesAStillRingStill) {
    Sections& fast = TheWorld.SectionsList.Add();
    fast.speed = -3.35f;
    Sections& limit = TheWorld.SectionsList.Add();
    limit.speed = 3.4f;
    Sections& still = TheWorld.SectionsList.Add();
    SpeedUpRings(TheWorld);
    EXPECT_FLOAT_EQ(fast.speed, -3.4f);
    EXPECT_FLOAT_EQ(limit.speed, 3.4f);
    EXPECT_EQ(still.speed, 0.0f);
}

TEST_F(RingsTest, CollapseShrinksEverySectionAndEndsTheBlastOnceNoneIsLeft) {
    Sections& s = TheWorld.SectionsList.Add();
    s.Radius = 3;
    TheWorld.CannonDestroyed = 1;
    CollapseRings(TheWorld);
    EXPECT_FLOAT_EQ(s.Radius, 1.5f);
    CollapseRings(TheWorld);
    CollapseRings(TheWorld); // radius 0: removed, and nothing is left
    EXPECT_EQ(TheWorld.SectionsList.Count(), 0u);
    EXPECT_EQ(TheWorld.CannonDestroyed, 0);
}

TEST_F(RingSpeedTest, RingsTurnFasterEachLevelUpToTheLimit) {
    std::vector<float> one = RingSpeedsAtLevel(1);
    EXPECT_FLOAT_EQ(one[0], -1.0f);
    EXPECT_FLOAT_EQ(one[1], 1.5f);
    EXPECT_FLOAT_EQ(one[2], -1.5f);
    std::vector<float> twenty = RingSpeedsAtLevel(20);
    // Twenty single-precision steps of 0.1 land a hair short of the limit, as the game has always had them.
    EXPECT_NEAR(twenty[0], -2.9f, 1e-4f);
    EXPECT_NEAR(twenty[1], 3.4f, 1e-4f);
    EXPECT_NEAR(twenty[2], -3.4f, 1e-4f);
    std::vector<float> twentyFour = RingSpeedsAtLevel(24);
    EXPECT_NEAR(twentyFour[0], -3.3f, 1e-4f);
    EXPECT_FLOAT_EQ(twentyFour[1], 3.4f); // clamped
    std::vector<float> twentyFive = RingSpeedsAtLevel(25);
    EXPECT_NEAR(twentyFive[0], -3.4f, 1e-4f);
    EXPECT_FLOAT_EQ(twentyFive[1], 3.4f);
    EXPECT_FLOAT_EQ(twentyFive[2], -3.4f);
    std::vector<float> forty = RingSpeedsAtLevel(40);
    for (float speed : forty) EXPECT_FLOAT_EQ(std::fabs(speed), 3.4f);
}

TEST_F(StarsTest, TwentyFourStarsOnWholeUnitsFromFortyEightDraws) {
    SeedRnd(1234);
    CreateStars();
    double next = RndDraw();
    ASSERT_EQ(StarsList.Count(), 24u);
    StarsList.Each([](const Stars& star) {
        EXPECT_EQ(star.x, static_cast<float>(static_cast<int>(star.x)));
        EXPECT_GE(star.x, 32.0f);
        EXPECT_LE(star.x, 992.0f);
        EXPECT_GE(star.y, 32.0f);
        EXPECT_LE(star.y, 736.0f);
    });
    SeedRnd(1234);
    int firstX = Rand(32, 992);
    for (int i = 1; i < 48; ++i) RndDraw();
    EXPECT_EQ(RndDraw(), next);
    float firstStarX = 0;
    bool first = true;
    StarsList.Each([&](const Stars& star) {
        if (first) firstStarX = star.x;
        first = false;
    });
    EXPECT_EQ(firstStarX, static_cast<float>(firstX));
    CreateStars();
    EXPECT_EQ(StarsList.Count(), 24u);
    ForgetCalls();
    DrawStars();
    EXPECT_EQ(Strips().size(), 24u);
}
