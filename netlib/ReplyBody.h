// A finished reply's body as the game reads it: numbered lines, within the size and line limits.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace Net {

// The score server's lists are a few hundred bytes; its longest reply is a game's script, which the server takes
// up to a megabyte (an hour of play is about half that). Anything bigger is not a reply of ours.
constexpr std::size_t MostReplyBytes = 1024 * 1024;
constexpr std::size_t MostReplyLines = 100000;

// Splits on LF and drops every CR, so a server that ends its lines with CR LF reads the same and no line can
// carry a line break into the settings file. A last line without its LF still counts; an empty body has no lines.
// False, with no lines, when the body is over either limit.
bool SplitReplyLines(const std::string& body, std::vector<std::string>& lines);

} // namespace Net
