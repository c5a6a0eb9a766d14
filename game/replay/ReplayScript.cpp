// Reading and writing input scripts. A script may come from anywhere (later, from a player's upload), so every
// number is range-checked and a fault names its line instead of playing a different game.
#include "ReplayScript.h"
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iomanip>
#include <iterator>
#include <ostream>

namespace {
constexpr int LowestKey = 1, HighestKey = 254;
constexpr int HighestPadButton = 31;
constexpr std::size_t LongestLine = 4096;
constexpr long HighestRules = 1'000'000'000; // any version a later build may name, read so it can be refused by name

bool ReadInt(const std::string& word, long lowest, long highest, int& value) {
    if (word.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long parsed = std::strtol(word.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < lowest || parsed > highest) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ReadAxis(const std::string& word, float& value) {
    if (word.empty()) return false;
    char* end = nullptr;
    float parsed = std::strtof(word.c_str(), &end);
    if (*end != '\0' || !std::isfinite(parsed) || parsed < -1 || parsed > 1) return false;
    value = parsed;
    return true;
}

// The words of a line before its comment, split at white space as a stream reading words splits them in the C
// locale (a checker reads thousands of lines a script: a stream a line cost more than the rest of the reading).
std::vector<std::string> Words(const std::string& line) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; };
    std::vector<std::string> words;
    std::size_t end = std::min(line.find(';'), line.size());
    for (std::size_t i = 0; i < end;) {
        while (i < end && blank(line[i])) ++i;
        std::size_t start = i;
        while (i < end && !blank(line[i])) ++i;
        if (i > start) words.emplace_back(line, start, i - start);
    }
    return words;
}

const char* ControlsName(ReplayScript::Controls controls) {
    switch (controls) {
    case ReplayScript::Controls::Pad: return "pad";
    case ReplayScript::Controls::PadSwapped: return "pad-swapped";
    case ReplayScript::Controls::Keyboard: break;
    }
    return "keyboard";
}

// One event line: "<frame> <kind> [values]". Returns what is wrong, or an empty text.
std::string ReadEvent(const std::vector<std::string>& words, InputEvent& event) {
    using Event = InputEvent;
    if (!ReadInt(words[0], 0, ReplayMostFrames, event.Frame)) return "a frame from 0 to 2160000 expected";
    if (words.size() < 2) return "an event expected after the frame";
    const std::string& kind = words[1];
    std::size_t values = words.size() - 2;
    if (kind == "down" || kind == "up") {
        event.Type = kind == "down" ? Event::KeyDown : Event::KeyUp;
        if (values != 1 || !ReadInt(words[2], LowestKey, HighestKey, event.Code))
            return "one key code from 1 to 254 expected";
    } else if (kind == "button-down" || kind == "button-up") {
        event.Type = kind == "button-down" ? Event::PadButtonDown : Event::PadButtonUp;
        if (values != 1 || !ReadInt(words[2], 0, HighestPadButton, event.Code))
            return "one pad button from 0 to 31 expected";
    } else if (kind == "pad") {
        event.Type = Event::PadAxes;
        if (values != 2 || !ReadAxis(words[2], event.X) || !ReadAxis(words[3], event.Y))
            return "two axis values from -1 to 1 expected";
    } else if (kind == "plug" || kind == "unplug") {
        event.Type = kind == "plug" ? Event::PadPlug : Event::PadUnplug;
        if (values != 0) return "nothing expected after " + kind;
    } else if (kind == "focus-lost") {
        event.Type = Event::FocusLost;
        if (values != 0) return "nothing expected after " + kind;
    } else {
        return "unknown event \"" + kind + "\"";
    }
    return "";
}
} // namespace

bool ParseSeedText(const std::string& text, int& seed) {
    // Any 32-bit value: the generator keeps the low 31 bits, as it does for a clock reading.
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < -2147483648LL || value > 4294967295LL) return false;
    seed = static_cast<int>(static_cast<std::uint32_t>(value));
    return true;
}

bool IsTicketText(const std::string& text) {
    if (text.empty() || text.size() > LongestTicket) return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
               c == '_' || c == '~';
    });
}

std::string OtherRules(const ReplayScript& script) {
    if (script.Rules == RulesVersion) return "";
    return "played by rules " + std::to_string(script.Rules) + "; this build plays rules " +
           std::to_string(RulesVersion);
}

bool ParseReplayScript(std::istream& in, ReplayScript& script, std::string& error) {
    ReplayScript read;
    read.Rules = FirstRulesVersion;
    bool haveSeed = false, haveEnd = false, haveRules = false;
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(number) + ": " + what;
        return false;
    };
    while (std::getline(in, line)) {
        number += 1;
        if (line.size() > LongestLine) return fail("line too long");
        std::vector<std::string> words = Words(line);
        if (words.empty()) continue;
        if (words[0] == "seed") {
            if (words.size() != 2 || !ParseSeedText(words[1], read.Seed))
                return fail("one seed from -2147483648 to 4294967295 expected");
            if (haveSeed) return fail("a second seed");
            haveSeed = true;
        } else if (words[0] == "ticket") {
            if (words.size() != 2 || !IsTicketText(words[1]))
                return fail("one ticket of letters, digits, '-', '.', '_' or '~' expected");
            if (!read.Ticket.empty()) return fail("a second ticket");
            read.Ticket = words[1];
        } else if (words[0] == "rules") {
            if (words.size() != 2 || !ReadInt(words[1], 1, HighestRules, read.Rules))
                return fail("one rules version from 1 to 1000000000 expected");
            if (haveRules) return fail("a second rules line");
            haveRules = true;
        } else if (words[0] == "controls") {
            if (words.size() != 2) return fail("keyboard, pad or pad-swapped expected");
            if (words[1] == "keyboard")
                read.ControlSetup = ReplayScript::Controls::Keyboard;
            else if (words[1] == "pad")
                read.ControlSetup = ReplayScript::Controls::Pad;
            else if (words[1] == "pad-swapped")
                read.ControlSetup = ReplayScript::Controls::PadSwapped;
            else
                return fail("keyboard, pad or pad-swapped expected");
        } else if (words[0] == "keys") {
            bool good = words.size() == 5;
            for (int k = 0; good && k < 4; ++k)
                good = ReadInt(words[static_cast<std::size_t>(k) + 1], LowestKey, HighestKey, read.Keys[k]);
            if (!good) return fail("four key codes from 1 to 254 expected");
        } else if (words[0] == "palette") {
            if (words.size() != 2 || (words[1] != "colour" && words[1] != "grey"))
                return fail("colour or grey expected");
            read.GreyPalette = words[1] == "grey";
        } else if (words[0] == "style") {
            if (words.size() != 2 || (words[1] != "neon" && words[1] != "wireframe"))
                return fail("neon or wireframe expected");
            read.Wireframe = words[1] == "wireframe";
        } else if (words[0] == "end") {
            if (words.size() != 2 || !ReadInt(words[1], 1, ReplayMostFrames, read.EndFrame))
                return fail("one end frame from 1 to 2160000 expected");
            haveEnd = true;
        } else {
            InputEvent event;
            std::string wrong = ReadEvent(words, event);
            if (!wrong.empty()) return fail(wrong);
            if (read.Events.size() >= ReplayMostEvents) return fail("too many events");
            read.Events.push_back(event);
        }
    }
    if (in.bad()) return fail("the script could not be read");
    if (!haveSeed) {
        error = "no seed line";
        return false;
    }
    // Events come in frame order; within a frame, in the order they are listed.
    std::stable_sort(read.Events.begin(), read.Events.end(),
                     [](const InputEvent& a, const InputEvent& b) { return a.Frame < b.Frame; });
    int lastEvent = read.Events.empty() ? 0 : read.Events.back().Frame;
    if (!haveEnd) read.EndFrame = std::max(lastEvent, 1);
    if (read.EndFrame < lastEvent) {
        error = "an event at frame " + std::to_string(lastEvent) + " comes after the end frame " +
                std::to_string(read.EndFrame);
        return false;
    }
    script = std::move(read);
    return true;
}

void WriteReplayScript(std::ostream& out, const ReplayScript& script) {
    using Event = InputEvent;
    out << "seed " << script.Seed << "\n";
    if (!script.Ticket.empty()) out << "ticket " << script.Ticket << "\n";
    out << "rules " << script.Rules << "\n";
    if (script.ControlSetup != ReplayScript::Controls::Keyboard)
        out << "controls " << ControlsName(script.ControlSetup) << "\n";
    const ReplayScript defaults;
    if (!std::equal(std::begin(script.Keys), std::end(script.Keys), std::begin(defaults.Keys)))
        out << "keys " << script.Keys[0] << ' ' << script.Keys[1] << ' ' << script.Keys[2] << ' ' << script.Keys[3]
            << "\n";
    if (script.GreyPalette) out << "palette grey\n";
    if (script.Wireframe) out << "style wireframe\n";
    out << std::setprecision(9); // axis values come back exactly
    for (const Event& event : script.Events) {
        if (event.Type == Event::Close) continue; // scripts have no window to close
        out << event.Frame << ' ';
        switch (event.Type) {
        case Event::KeyDown: out << "down " << event.Code; break;
        case Event::KeyUp: out << "up " << event.Code; break;
        case Event::PadButtonDown: out << "button-down " << event.Code; break;
        case Event::PadButtonUp: out << "button-up " << event.Code; break;
        case Event::PadAxes: out << "pad " << event.X << ' ' << event.Y; break;
        case Event::PadPlug: out << "plug"; break;
        case Event::PadUnplug: out << "unplug"; break;
        case Event::FocusLost: out << "focus-lost"; break;
        case Event::Close: break;
        }
        out << "\n";
    }
    out << "end " << script.EndFrame << "\n";
}
