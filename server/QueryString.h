// Reading a request's raw query text: split at '&' and '=', percent escapes and '+' decoded, strictly.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ScoreServer {

struct QueryParameter {
    std::string Name;
    std::string Value;
};

// Nothing for a malformed query: an empty parameter ("a=1&&b=2"), a name without '=', or a '%' not followed by
// two hex digits. Decoded values may hold any byte; the request rules decide what they accept.
std::optional<std::vector<QueryParameter>> ParseQuery(std::string_view raw);

} // namespace ScoreServer
