// The ports file: one mapping of a fixed port name to a device per line, "COM3=/dev/...";
// and the line settings a COM port's printer answers at, "COM3.line=9600 8 Even 1 Hardware"
// (baud, data bits, parity, stop bits and flow control in the connection dialog's words); blank
// lines and comments are kept for people and ignored here. A comment starts with '#' at
// the start of a line or after a space or tab ("COM4=/dev/ttyUSB1  # kitchen"). A UTF-8
// byte-order mark is read past, and CRLF line ends are kept in what is written back.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talq::platform {

inline constexpr int kComPortCount = 10;  // COM1..COM10
inline constexpr int kLptPortCount = 3;   // LPT1..LPT3
// A ports file holds a dozen lines; anything far larger is not one.
inline constexpr std::size_t kMaxPortsFileBytes = 64 * 1024;

// COM1..COM10 or LPT1..LPT3, exactly as the port lists spell them.
bool IsFixedPortName(std::string_view name);

struct PortsFileMapping {
    int line = 0;  // from 1
    std::string port;
    std::string device;
};

struct PortsFileLineSettings {
    int line = 0;  // from 1
    std::string port;
    // baud, data bits, parity, stop bits, flow: "9600", "8", "Even", "1", "Hardware"
    std::vector<std::string> words;
};

struct PortsFileProblem {
    int line = 0;
    std::string text;  // what is wrong with the line
};

struct PortsFileContents {
    std::vector<PortsFileMapping> mappings;           // the first line of each port only
    std::vector<PortsFileLineSettings> lineSettings;  // likewise
    std::vector<PortsFileProblem> problems;           // lines that map nothing
};

PortsFileContents ParsePortsFile(std::string_view text);

// Whether `device` may stand on the right of a mapping; the reason when not.
std::optional<std::string> ProblemWithDevice(std::string_view device);

// The text with `port` mapped to `device`: the port's first mapping line replaced, later ones
// dropped, or a line appended; every other line kept as it is.
std::string WithPortMapping(std::string_view text, const std::string& port,
                            const std::string& device);
// The text without the port's mapping lines; every other line kept as it is.
std::string WithoutPortMapping(std::string_view text, const std::string& port);

// The text with COM port `port`'s line settings set to `words` (five, as above): its first
// line-settings line replaced, later ones dropped, or a line appended.
std::string WithPortLineSettings(std::string_view text, const std::string& port,
                                 const std::vector<std::string>& words);
// The text without the port's line-settings lines; every other line kept as it is.
std::string WithoutPortLineSettings(std::string_view text, const std::string& port);

}  // namespace talq::platform
