// Golden transcripts written as one line per operation in a raw string.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace talq::test {

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const auto start = line.find_first_not_of(' ');
        if (start != std::string::npos) lines.push_back(line.substr(start));
    }
    return lines;
}

// n copies of `line`, for the long runs of identical reads.
inline std::vector<std::string> Repeat(int n, const std::vector<std::string>& block) {
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) out.insert(out.end(), block.begin(), block.end());
    return out;
}

inline std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace talq::test
