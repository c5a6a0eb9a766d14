// The intro: its three phases and their lengths, Escape, the white wireframe in grey, the flashing spark and the
// emblem's table.
#include "frontend/Intro.h"
#include "GameFixture.h"
#include "graphics/TPoly.h"
#include "platform/Data.h"
#include "platform/Input.h"
#include "platform/headless/HeadlessAudio.h"
#include <cmath>
#include <set>
#include <string>

namespace {
constexpr int KeyEscape = 27;
constexpr int EmblemTableValues = 1 + 8 * IntroEmblemSegments;

// The emblem's segments of a frame: the last lines (wireframe) or strips (neon) it drew, one per segment.
std::vector<const Headless::DrawCall*> EmblemCalls(const Headless::FrameRecord& frame, Headless::DrawCall::Kind kind) {
    std::vector<const Headless::DrawCall*> calls;
    for (const Headless::DrawCall& call : frame.Calls)
        if (call.Type == kind) calls.push_back(&call);
    if (calls.size() < static_cast<std::size_t>(IntroEmblemSegments)) return {};
    return {calls.end() - IntroEmblemSegments, calls.end()};
}

int LineCount(const Headless::FrameRecord& frame) {
    int lines = 0;
    for (const Headless::DrawCall& call : frame.Calls) lines += call.Type == Headless::DrawCall::Line ? 1 : 0;
    return lines;
}

// The program's set-up, then the intro alone, every frame kept.
void RunIntro(int neon, int colours) {
    SetUpProgram(StartupFor::Replay);
    TheSettings.NeonMode = neon;
    TheSettings.ColorsOn = colours;
    ApplyDisplayStyle();
    Headless::KeepFrames(-1);
    int before = Headless::FrameCount();
    TurnScreen(OpenIntro());
    ASSERT_EQ(static_cast<int>(Headless::Frames().size()), Headless::FrameCount() - before);
}

// The phases of a wireframe intro by frame: 'z' growing (no credits), 's' spinning, 'h' holding upright, 'b' blank.
std::string Phases() {
    std::string phases;
    RestoreData("EmblemData");
    ReadDataInt();
    ReadDataInt();
    float upX = 512 + static_cast<float>(ReadDataInt()), upY = 386 + static_cast<float>(ReadDataInt());
    int plain = LineCount(Headless::Frames().front());
    for (const Headless::FrameRecord& frame : Headless::Frames()) {
        auto emblem = EmblemCalls(frame, Headless::DrawCall::Line);
        if (emblem.empty())
            phases += 'b';
        else if (LineCount(frame) == plain)
            phases += 'z';
        else
            phases += emblem[0]->X1 == upX && emblem[0]->Y1 == upY ? 'h' : 's';
    }
    return phases;
}
} // namespace

using IntroTest = GameFixture;

TEST_F(IntroTest, GrowsSpinsAndHoldsForItsFrameCountsUnlessEscapeCutsEachPhaseLeftToOneFrame) {
    RunIntro(0, 1);
    EXPECT_EQ(Phases(), std::string(101, 'z') + std::string(78, 's') + std::string(221, 'h') + "b");
    EXPECT_EQ(HeadlessAudio::PlayCount("res\\WoorpSND.ogg"), 1);

    Headless::Reset();
    ResetAllState();
    Headless::PressKey(10, KeyEscape);
    RunIntro(0, 1);
    EXPECT_EQ(Phases(), std::string(10, 'z') + "shb");
    EXPECT_EQ(KeyHit(KeyEscape), 0); // the press is not left for the menu
}

TEST_F(IntroTest, WireframeInGreyDrawsEveryStarAndEmblemSegmentWhite) {
    RunIntro(0, 0);
    int points = 0;
    for (const Headless::FrameRecord& frame : Headless::Frames()) {
        for (const Headless::DrawCall& call : frame.Calls) {
            if (call.Type != Headless::DrawCall::Point) continue;
            ++points;
            ASSERT_TRUE(call.Red == 255 && call.Green == 255 && call.Blue == 255) << "star in frame " << frame.Number;
        }
        for (const Headless::DrawCall* call : EmblemCalls(frame, Headless::DrawCall::Line))
            ASSERT_TRUE(call->Red == 255 && call->Green == 255 && call->Blue == 255) << "emblem in " << frame.Number;
    }
    EXPECT_EQ(points, 2 * 50 * 400); // both dots of all fifty stars, every frame but the blank one
}

TEST_F(IntroTest, SparkSegmentsFlashInAColourDrawnEveryHundredAndOneSegmentsTheRestKeepTheirOwn) {
    RunIntro(1, 1);
    RestoreData("EmblemData");
    ReadDataInt();
    std::vector<std::uint32_t> colours;
    for (int k = 0; k < IntroEmblemSegments; ++k) {
        colours.push_back(static_cast<std::uint32_t>(ReadDataInt()));
        for (int v = 0; v < 7; ++v) ReadDataInt();
    }
    std::set<std::uint32_t> flashes;
    int flashing = 0;
    for (const Headless::FrameRecord& frame : Headless::Frames()) {
        auto emblem = EmblemCalls(frame, Headless::DrawCall::Strip);
        for (std::size_t k = 0; k < emblem.size(); ++k) {
            std::uint32_t drawn = emblem[k]->Vertices.front().Argb;
            if (colours[k] == EmblemFlashColour) {
                ++flashing;
                flashes.insert(drawn);
                ASSERT_NE(drawn, EmblemFlashColour);
            } else {
                ASSERT_EQ(drawn, colours[k]) << "segment " << k << " of frame " << frame.Number;
            }
        }
    }
    EXPECT_GT(flashing, 0);
    // 400 frames of 115 segments change the colour every 101 segments: hundreds of colours, nearly all different.
    EXPECT_GT(flashes.size(), 300u);
}

TEST_F(IntroTest, EmblemTableHolds115SegmentsThatStayBetweenTheCreditLinesAtAnyTurn) {
    ASSERT_EQ(DataTableLength("EmblemData"), EmblemTableValues);
    RestoreData("EmblemData");
    ASSERT_EQ(ReadDataInt(), IntroEmblemSegments);
    int flashing = 0;
    for (int k = 0; k < IntroEmblemSegments; ++k) {
        std::uint32_t colour = static_cast<std::uint32_t>(ReadDataInt());
        flashing += colour == EmblemFlashColour ? 1 : 0;
        for (int end = 0; end < 2; ++end) {
            int x = ReadDataInt(), y = ReadDataInt();
            // The presenter line's row ends above y 386 - 230 and the maker line starts below 386 + 230.
            EXPECT_LE(std::hypot(x, y), 230.0) << "segment " << k;
        }
        int red = ReadDataInt(), green = ReadDataInt(), blue = ReadDataInt();
        EXPECT_EQ(colour, 0xFF000000u | static_cast<std::uint32_t>(red << 16 | green << 8 | blue)) << "segment " << k;
    }
    EXPECT_GT(flashing, 0);
    EXPECT_LT(flashing, IntroEmblemSegments / 4);
}
