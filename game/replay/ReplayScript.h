// An input script: the seed a game starts from and the key and pad events that play it, by frame.
//
// The text format, one entry a line; ';' starts a comment that runs to the end of the line:
//   seed 20261208          the seed the random generator takes as the game starts (required)
//   rules 1                the rules version of the build that played it (default 1: every game kept before the
//                          line existed was played under rules 1)
//   controls keyboard      keyboard (the default), pad or pad-swapped: the pad as the options screen sets it up
//   keys 37 39 164 162     the keys for turning left and right, thrust and fire (default: these)
//   palette grey           colour (the default) or grey, as the options screen's colours setting
//   style wireframe        neon (the default) or wireframe, as the options screen's graphics mode
//   end 3300               the last frame played (default: the frame of the last event)
//   241 down 37            at frame 241, key 37 goes down (a Windows virtual-key code, 1 to 254)
//   244 up 37              ... and comes up again
//   300 pad -1 0           the pad's stick, each axis -1 to 1
//   310 button-down 0      a pad button (0 to 31) goes down; button-up lets it go
//   0 plug                 a pad is plugged in (unplug takes it away)
//   500 focus-lost         the window loses the input focus (the game pauses in its exit prompt)
// A frame number counts the flips since the game started: an event at frame F is what the game's input reads see
// after its F-th flip. Events of one frame arrive in the order they are listed.
#pragma once
#include "platform/Input.h"
#include <istream>
#include <string>
#include <vector>

// The rules the game plays by. A replay proves a score only under the rules that played it, so any change that
// plays a script differently (the golden replays change) raises this; tests/replay/Rules.txt pairs each version
// with the first game's final state hash, and the replay test fails when the game changed and the version did not.
constexpr int RulesVersion = 2;
// What a script with no rules line was played under.
constexpr int FirstRulesVersion = 1;

struct ReplayScript {
    enum class Controls { Keyboard, Pad, PadSwapped };
    int Seed = 0;
    int Rules = RulesVersion;
    Controls ControlSetup = Controls::Keyboard;
    bool GreyPalette = false;
    bool Wireframe = false;
    int Keys[4] = {37, 39, 164, 162}; // turn left, turn right, thrust, fire
    int EndFrame = 0;
    std::vector<InputEvent> Events; // frames count from the game's start
};

// The most frames and events one script may ask for: ten hours of play, and a few events a frame.
constexpr int ReplayMostFrames = 10 * 60 * 60 * 60;
constexpr std::size_t ReplayMostEvents = 4'000'000;

// Reads a script; on a fault returns false with the line number and what is wrong in `error`, and leaves `script`
// as it was.
bool ParseReplayScript(std::istream& in, ReplayScript& script, std::string& error);
// Empty when this build plays by the script's rules; otherwise what to tell whoever gave it, in the game's words:
// "played by rules 1; this build plays rules 2". A script is never played by rules other than its own.
std::string OtherRules(const ReplayScript& script);
// Writes a script in the same format, one event a line; parsing what it writes gives the same script back.
void WriteReplayScript(std::ostream& out, const ReplayScript& script);
