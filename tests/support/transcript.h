// The text record of what the program did on the virtual platform, one
// operation a line ("write 1B 40", "read 16 -> 3: 5F 4B 00", "pause 100"), so
// exchanges can be compared with golden transcripts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talq::test {

// "1B 40": upper-case hex, one space between bytes.
std::string HexBytes(const std::uint8_t* data, int count);

// Only the write, read and pause lines: what a printer exchange consists of.
std::vector<std::string> ExchangeLines(const std::vector<std::string>& transcript);

}  // namespace talq::test
