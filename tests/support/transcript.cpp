#include "support/transcript.h"

#include <cstdio>

namespace talq::test {

std::string HexBytes(const std::uint8_t* data, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", data[i]);
        if (i > 0) text += ' ';
        text += hex;
    }
    return text;
}

std::vector<std::string> ExchangeLines(const std::vector<std::string>& transcript) {
    std::vector<std::string> lines;
    for (const std::string& line : transcript) {
        if (line.starts_with("write") || line.starts_with("read ") || line.starts_with("pause ")) {
            lines.push_back(line);
        }
    }
    return lines;
}

}  // namespace talq::test
