// A replay script in its canonical form, the one the board stores and names a game by: what the checker reads and
// nothing else (no comments, no blank lines, words one space apart, each line ended by one "\n"). Padding a script
// with comments or spaces changes neither what it plays nor what it costs to keep.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace ScoreServer {

std::string CanonicalScript(std::string_view script);
// The frames a check of the script may play, before it is played: its end line, else its last event's frame (at
// least 1, at most `most`); what a check is charged.
std::int64_t ScriptFrames(std::string_view script, std::int64_t most);

} // namespace ScoreServer
