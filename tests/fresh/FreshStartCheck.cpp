// A fresh process must play the game exactly as a test does after resetting every module: the program's own
// initial values and the reset routines agree. Plays the first frames of a recorded game once straight from process
// start, once after ResetAllState and once after another game left mid-turn in the same run, and compares the state
// hash and the drawing of every frame (and the sounds of the first two).
#include "../Turning.h"
#include "frontend/MainMenu.h"
#include "game/StateHash.h"
#include "game/TheWorld.h"
#include "game/replay/ReplayScript.h"
#include "platform/Random.h"
#include "platform/headless/Headless.h"
#include "platform/headless/HeadlessAudio.h"
#include "program/Startup.h"
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {
// The level page and some hundreds of frames of play after it: rings shot at, the cannon firing, missiles out.
constexpr int FramesCompared = 900;

struct Played {
    std::vector<std::uint64_t> Hashes;   // one a frame
    std::vector<std::uint64_t> Drawings; // a digest of each frame's draw calls
    std::vector<HeadlessAudio::AudioEvent> Sounds;
};
Played* Recording = nullptr;

// FNV-1a over the values of every draw call of the frame just shown.
std::uint64_t DrawingDigest() {
    std::uint64_t digest = 14695981039346656037ull;
    auto add = [&digest](double value) {
        digest ^= static_cast<std::uint64_t>(static_cast<std::int64_t>(value * 1024.0));
        digest *= 1099511628211ull;
    };
    for (const Headless::DrawCall& call : Headless::Frames().back().Calls) {
        for (double value :
             {double(call.Type), double(call.Red), double(call.Green), double(call.Blue), double(call.Blend),
              double(call.ViewX), double(call.ViewY), double(call.ViewWidth), double(call.ViewHeight), double(call.X1),
              double(call.Y1), double(call.X2), double(call.Y2), double(call.Frame)})
            add(value);
        for (const StripVertex& vertex : call.Vertices)
            for (double value :
                 {double(vertex.X), double(vertex.Y), double(vertex.U), double(vertex.V), double(vertex.Argb)})
                add(value);
    }
    return digest;
}

void RecordFrame() {
    Recording->Hashes.push_back(GameStateHash(TheWorld));
    Recording->Drawings.push_back(DrawingDigest());
}

constexpr int KeyTurnLeftCode = 37, KeyEscapeCode = 27, KeyYCode = 89;
// The game before: the script's first frames, then a turn held as the player leaves through the exit prompt, so that
// the ship is still turning, its bullets and the debris still in the air, when that game ends.
constexpr int FramesBefore = 600;

// False when the game never came back.
bool PlayAGameBefore(const ReplayScript& script) {
    int startFlips = Headless::FrameCount();
    for (InputEvent event : script.Events)
        if (event.Frame < FramesBefore) {
            event.Frame += startFlips;
            Headless::Schedule(event);
        }
    Headless::HoldKey(startFlips + FramesBefore, KeyTurnLeftCode, 15);
    Headless::PressKey(startFlips + FramesBefore + 10, KeyEscapeCode);
    Headless::PressKey(startFlips + FramesBefore + 20, KeyYCode);
    SeedRnd(script.Seed);
    Loop loop;
    loop.Open(OpenGameFromMenu());
    if (!TurnToFrame(loop, startFlips + 4 * FramesBefore)) return false;
    FinishGameFromMenu();
    return true;
}

// As the replay engine plays a script, but without its reset first: the first run sees the process's own state.
// With afterAnotherGame, another game is played and left first in the same run.
Played Play(const ReplayScript& script, bool afterAnotherGame = false) {
    Played played;
    Recording = &played;
    Headless::KeepFrames(1);
    try {
        SetUpProgram(StartupFor::Replay);
        // A game before that never came back leaves no frames to compare, and the check finds too few.
        if (!afterAnotherGame || PlayAGameBefore(script)) {
            int startFlips = Headless::FrameCount();
            for (InputEvent event : script.Events) {
                event.Frame += startFlips;
                Headless::Schedule(event);
            }
            SeedRnd(script.Seed);
            Loop loop;
            loop.Open(OpenGameFromMenu());
            bool ended = TurnUntil(loop, [startFlips] {
                RecordFrame();
                return Headless::FrameCount() >= startFlips + FramesCompared;
            });
            if (ended) FinishGameFromMenu();
        }
    } catch (const Headless::ProgramEnded& ended) {
        std::fprintf(stderr, "the game ended at once with status %d\n", ended.Status);
    }
    played.Sounds = HeadlessAudio::Events();
    Recording = nullptr;
    return played;
}

bool SameSound(const HeadlessAudio::AudioEvent& a, const HeadlessAudio::AudioEvent& b) {
    return a.Type == b.Type && a.Frame == b.Frame && a.Channel == b.Channel && a.Sound == b.Sound && a.Loop == b.Loop &&
           a.Volume == b.Volume;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrovar_fresh_start_check SCRIPT.txt\n");
        return 2;
    }
    ReplayScript script;
    std::ifstream file(argv[1]);
    std::string error;
    if (!ParseReplayScript(file, script, error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 2;
    }
    Headless::Reset();
    Played fresh = Play(script);
    Headless::Reset();
    ResetAllState();
    Played reset = Play(script);
    if (reset.Hashes.size() != static_cast<std::size_t>(FramesCompared) || fresh.Hashes.size() != reset.Hashes.size()) {
        std::fprintf(stderr, "a fresh start played %zu frames, a reset %zu, of %d\n", fresh.Hashes.size(),
                     reset.Hashes.size(), FramesCompared);
        return 1;
    }
    // A game started after another one in the same run starts from the same state and draws the same.
    Headless::Reset();
    ResetAllState();
    Played after = Play(script, true);
    for (const auto& [other, name] : {std::pair{&reset, "a reset"}, std::pair{&after, "another game"}}) {
        if (other->Hashes.size() != fresh.Hashes.size()) {
            std::fprintf(stderr, "after %s the game played %zu frames, a fresh start %zu\n", name, other->Hashes.size(),
                         fresh.Hashes.size());
            return 1;
        }
        for (std::size_t frame = 0; frame < fresh.Hashes.size(); ++frame) {
            if (fresh.Hashes[frame] != other->Hashes[frame]) {
                std::fprintf(stderr, "frame %zu's state differs between a fresh start and %s\n", frame + 1, name);
                return 1;
            }
            if (fresh.Drawings[frame] != other->Drawings[frame]) {
                std::fprintf(stderr, "frame %zu's drawing differs between a fresh start and %s\n", frame + 1, name);
                return 1;
            }
        }
    }
    if (fresh.Sounds.size() != reset.Sounds.size()) {
        std::fprintf(stderr, "a fresh start made %zu sound events, a reset %zu\n", fresh.Sounds.size(),
                     reset.Sounds.size());
        return 1;
    }
    for (std::size_t i = 0; i < fresh.Sounds.size(); ++i) {
        if (!SameSound(fresh.Sounds[i], reset.Sounds[i])) {
            std::fprintf(stderr, "sound event %zu (frame %d) differs between a fresh start and a reset\n", i,
                         reset.Sounds[i].Frame);
            return 1;
        }
    }
    std::printf("fresh start, reset and a game after another agree on %d frames; fresh and reset on %zu sound events\n",
                FramesCompared, fresh.Sounds.size());
    return 0;
}
