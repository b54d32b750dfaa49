// What a test's fakes were told, one line per event, in order.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

struct Journal {
    std::vector<std::string> lines;
    void add(const std::string& line) { lines.push_back(line); }
    void clear() { lines.clear(); }
    // The lines that start with prefix.
    std::vector<std::string> with(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& l : lines)
            if (l.compare(0, prefix.size(), prefix) == 0) out.push_back(l);
        return out;
    }
};

} // namespace testsupport
