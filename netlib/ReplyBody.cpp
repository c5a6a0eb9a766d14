// Splitting a reply body into its lines, within the limits.
#include "ReplyBody.h"

namespace Net {

bool SplitReplyLines(const std::string& body, std::vector<std::string>& lines) {
    lines.clear();
    if (body.size() > MostReplyBytes) return false;
    std::string line;
    for (char c : body) {
        if (c == '\r') continue;
        if (c != '\n') {
            line += c;
            continue;
        }
        lines.push_back(std::move(line));
        line.clear();
        if (lines.size() > MostReplyLines) break;
    }
    if (!line.empty()) lines.push_back(std::move(line));
    if (lines.size() > MostReplyLines) {
        lines.clear();
        return false;
    }
    return true;
}

} // namespace Net
