// What a page script saw, as it prints it: one "name: value" line each.
#pragma once
#include <sstream>
#include <string>

// The value of the first line named `name`, empty when there is none.
inline std::string Seen(const std::string& lines, const std::string& name) {
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(name + ": ", 0) == 0) return line.substr(name.size() + 2);
    return {};
}
