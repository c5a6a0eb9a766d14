// Input scripts: what the text format reads as, that writing a script and reading it back gives the same script,
// and that a damaged or hostile script is refused with its line named instead of playing another game.
#include "game/replay/ReplayScript.h"
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {
using Event = InputEvent;

bool Parse(const std::string& text, ReplayScript& script, std::string& error) {
    std::istringstream in(text);
    return ParseReplayScript(in, script, error);
}

void ExpectSameEvents(const ReplayScript& a, const ReplayScript& b) {
    ASSERT_EQ(a.Events.size(), b.Events.size());
    for (std::size_t i = 0; i < a.Events.size(); ++i) {
        EXPECT_EQ(a.Events[i].Type, b.Events[i].Type) << i;
        EXPECT_EQ(a.Events[i].Frame, b.Events[i].Frame) << i;
        EXPECT_EQ(a.Events[i].Code, b.Events[i].Code) << i;
        EXPECT_EQ(a.Events[i].X, b.Events[i].X) << i;
        EXPECT_EQ(a.Events[i].Y, b.Events[i].Y) << i;
    }
}
} // namespace

TEST(ReplayScriptTest, ReadsEveryKindOfLine) {
    const std::string text = "; a test game\r\n"
                             "seed 42   ; the seed\r\n"
                             "rules 7\n"
                             "ticket Ab-9_x.~   ; the server's, which changes nothing in the play\n"
                             "controls pad-swapped\n"
                             "palette grey\n"
                             "style wireframe\n"
                             "\n"
                             "10\tdown 39\n"
                             "5 plug\n"
                             "5 pad -0.25 1\n"
                             "10 up 39\n"
                             "7 button-down 31\n"
                             "8 button-up 0\n"
                             "9 unplug\n"
                             "end 400\n";
    ReplayScript script;
    std::string error;
    ASSERT_TRUE(Parse(text, script, error)) << error;
    EXPECT_EQ(script.Seed, 42);
    EXPECT_EQ(script.Rules, 7);
    EXPECT_EQ(script.Ticket, "Ab-9_x.~");
    EXPECT_EQ(script.ControlSetup, ReplayScript::Controls::PadSwapped);
    EXPECT_TRUE(script.GreyPalette);
    EXPECT_TRUE(script.Wireframe);
    EXPECT_EQ(script.EndFrame, 400);
    // In frame order; the two events of frame 10 (and of frame 5) keep the order they were listed in.
    ASSERT_EQ(script.Events.size(), 7u);
    const Event::Kind kinds[] = {Event::PadPlug,   Event::PadAxes, Event::PadButtonDown, Event::PadButtonUp,
                                 Event::PadUnplug, Event::KeyDown, Event::KeyUp};
    const int frames[] = {5, 5, 7, 8, 9, 10, 10};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(script.Events[i].Type, kinds[i]) << i;
        EXPECT_EQ(script.Events[i].Frame, frames[i]) << i;
    }
    EXPECT_EQ(script.Events[1].X, -0.25f);
    EXPECT_EQ(script.Events[1].Y, 1.0f);
    EXPECT_EQ(script.Events[2].Code, 31);
    EXPECT_EQ(script.Events[5].Code, 39);
}

TEST(ReplayScriptTest, WithoutAnEndLineTheScriptEndsAtItsLastEvent) {
    ReplayScript script;
    std::string error;
    ASSERT_TRUE(Parse("seed 1\n300 down 37\n120 up 37\n", script, error)) << error;
    EXPECT_EQ(script.EndFrame, 300);
    EXPECT_EQ(script.Rules, 1); // every game kept before the rules line was played under rules 1
    EXPECT_TRUE(script.Ticket.empty());
    EXPECT_EQ(script.ControlSetup, ReplayScript::Controls::Keyboard);
    EXPECT_FALSE(script.GreyPalette);
    EXPECT_FALSE(script.Wireframe);
    ASSERT_TRUE(Parse("seed 1\n", script, error)) << error;
    EXPECT_EQ(script.EndFrame, 1);
    EXPECT_TRUE(script.Events.empty());
}

TEST(ReplayScriptTest, SeedsCoverEveryThirtyTwoBitValue) {
    ReplayScript script;
    std::string error;
    ASSERT_TRUE(Parse("seed 4294967295\n", script, error)) << error;
    EXPECT_EQ(static_cast<unsigned int>(script.Seed), 4294967295u);
    ASSERT_TRUE(Parse("seed -2147483648\n", script, error)) << error;
    EXPECT_EQ(script.Seed, -2147483647 - 1);
}

TEST(ReplayScriptTest, WritingAndReadingBackGivesTheSameScript) {
    ReplayScript script;
    script.Seed = -7;
    script.Rules = 3;
    script.Ticket = "t0Ken_-";
    script.ControlSetup = ReplayScript::Controls::Pad;
    script.Wireframe = true;
    script.EndFrame = 900;
    script.Events = {{Event::PadPlug, 0, 0, 0, 0},     {Event::PadAxes, 3, 0, 0.333333343f, -0.1f},
                     {Event::KeyDown, 3, 164, 0, 0},   {Event::PadButtonDown, 4, 2, 0, 0},
                     {Event::PadButtonUp, 5, 2, 0, 0}, {Event::KeyUp, 700, 164, 0, 0},
                     {Event::PadUnplug, 800, 0, 0, 0}};
    std::ostringstream out;
    WriteReplayScript(out, script);
    // A game played without the server's seed says nothing of a ticket.
    std::ostringstream unticketed;
    WriteReplayScript(unticketed, ReplayScript{});
    EXPECT_EQ(unticketed.str().find("ticket"), std::string::npos);
    ReplayScript read;
    std::string error;
    ASSERT_TRUE(Parse(out.str(), read, error)) << error << "\n" << out.str();
    EXPECT_EQ(read.Seed, script.Seed);
    EXPECT_EQ(read.Rules, 3);
    EXPECT_EQ(read.Ticket, script.Ticket);
    EXPECT_EQ(read.ControlSetup, script.ControlSetup);
    EXPECT_EQ(read.GreyPalette, script.GreyPalette);
    EXPECT_EQ(read.Wireframe, script.Wireframe);
    EXPECT_EQ(read.EndFrame, script.EndFrame);
    ExpectSameEvents(read, script);
}

TEST(ReplayScriptTest, AFaultNamesItsLineAndLeavesTheScriptAsItWas) {
    const struct {
        std::string Text;
        const char* Error;
    } faults[] = {
        {"seed 1\n5 down 0\n", "line 2: one key code from 1 to 254 expected"},
        {"seed 1\n5 down 255\n", "line 2: one key code from 1 to 254 expected"},
        {"seed 1\n5 down 37 38\n", "line 2: one key code"},
        {"seed 1\n5 down\n", "line 2: one key code"},
        {"seed 1\n5 down 3x\n", "line 2: one key code"},
        {"seed 1\n\n5 jump 3\n", "line 3: unknown event \"jump\""},
        {"seed 1\nx down 37\n", "line 2: a frame from 0 to 2160000 expected"},
        {"seed 1\n-1 down 37\n", "line 2: a frame"},
        {"seed 1\n2160001 down 37\n", "line 2: a frame"},
        {"seed 1\n99999999999999999999 down 37\n", "line 2: a frame"},
        {"seed 1\n5\n", "line 2: an event expected after the frame"},
        {"seed 1\n5 pad 1.5 0\n", "line 2: two axis values from -1 to 1 expected"},
        {"seed 1\n5 pad nan 0\n", "line 2: two axis values"},
        {"seed 1\n5 pad 0\n", "line 2: two axis values"},
        {"seed 1\n5 button-down 32\n", "line 2: one pad button from 0 to 31 expected"},
        {"seed 1\n5 plug 1\n", "line 2: nothing expected after plug"},
        {"seed 1\nseed 2\n", "line 2: a second seed"},
        {"seed x\n", "line 1: one seed"},
        {"seed 4294967296\n", "line 1: one seed"},
        {"seed\n", "line 1: one seed"},
        {"seed 1\ncontrols joystick\n", "line 2: keyboard, pad or pad-swapped expected"},
        {"seed 1\npalette gray\n", "line 2: colour or grey expected"},
        {"seed 1\nstyle\n", "line 2: neon or wireframe expected"},
        {"seed 1\nend 0\n", "line 2: one end frame from 1 to 2160000 expected"},
        {"seed 1\nrules 0\n", "line 2: one rules version from 1 to 1000000000 expected"},
        {"seed 1\nrules 1\nrules 2\n", "line 3: a second rules line"},
        {"seed 1\nticket a/b\n", "line 2: one ticket of letters, digits"},
        {"seed 1\nticket a b\n", "line 2: one ticket"},
        {"seed 1\nticket " + std::string(LongestTicket + 1, 'a') + "\n", "line 2: one ticket"},
        {"seed 1\nticket a\nticket a\n", "line 3: a second ticket"},
        {"5 down 37\n", "no seed line"},
        {"seed 1\n500 down 37\nend 400\n", "an event at frame 500 comes after the end frame 400"},
        {"seed 1\n;" + std::string(5000, 'x'), "line 2: line too long"},
    };
    for (const auto& fault : faults) {
        ReplayScript script;
        script.Seed = 99;
        script.EndFrame = 77;
        std::string error;
        EXPECT_FALSE(Parse(fault.Text, script, error)) << fault.Text;
        EXPECT_NE(error.find(fault.Error), std::string::npos) << fault.Text << " gave: " << error;
        EXPECT_EQ(script.Seed, 99);
        EXPECT_EQ(script.EndFrame, 77);
        EXPECT_TRUE(script.Events.empty());
    }
}
