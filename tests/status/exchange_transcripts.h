// Building blocks of the golden transcripts of the status exchanges.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "support/golden.h"

namespace talq::test {

inline std::string Hex(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    char cell[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(cell, sizeof cell, i == 0 ? "%02X" : " %02X", bytes[i]);
        out += cell;
    }
    return out;
}

// A text reply "_", text, 0x00 read one byte at a time.
inline std::vector<std::string> TextByteReads(const std::string& text) {
    std::vector<std::uint8_t> bytes{0x5F};
    for (char c : text) bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(0x00);
    std::vector<std::string> lines;
    for (auto b : bytes) lines.push_back("read 1 -> 1: " + Hex({b}));
    return lines;
}

inline const std::vector<std::string> kDrain = Repeat(5, Lines("pause 100\nread 1 -> 0"));

}  // namespace talq::test
