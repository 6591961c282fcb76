#include "platform/ports_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/network_address.h"
#include "platform/port_devices.h"
#include "platform/usb_identity.h"
#include "platform/utf8_names.h"
#include "platform/utf8_text.h"

namespace talq::platform {
namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool InRange(std::string_view digits, int count) {
    if (digits.empty() || digits.size() > 2 || digits[0] == '0') return false;
    int number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    return number <= count;
}

struct LineReading {
    std::string port, device;
    std::string problem;        // empty: a mapping, or line settings
    bool lineSettings = false;  // "COMn.line=...": `words` hold them
    std::vector<std::string> words;
};

constexpr std::string_view kLineSuffix = ".line";

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The five words of a line-settings line in their listed spelling, or why they are not.
std::string ReadLineSettings(std::string_view value, std::vector<std::string>& words) {
    static const std::vector<std::vector<std::string_view>> kLists = {
        {}, {"8", "7"}, {"None", "Odd", "Even"}, {"1", "1.5", "2"}, {"Hardware", "Xon/Xoff"}};
    for (std::size_t at = 0; at < value.size();) {
        const auto start = value.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) break;
        const auto end = value.find_first_of(" \t", start);
        words.emplace_back(value.substr(start, end - start));
        at = end == std::string_view::npos ? value.size() : end;
    }
    if (words.size() != kLists.size()) {
        return "line settings are five words: baud, data bits, parity, stop bits, flow "
               "(e.g. 9600 8 None 1 Hardware)";
    }
    if (words[0].find_first_not_of("0123456789") != std::string::npos || words[0].size() > 7) {
        return "\"" + words[0] + "\" is no baud rate";
    }
    for (std::size_t i = 1; i < kLists.size(); ++i) {
        const auto listed = std::find_if(kLists[i].begin(), kLists[i].end(),
                                         [&](std::string_view w) { return SameWord(w, words[i]); });
        if (listed == kLists[i].end()) return "\"" + words[i] + "\" is no line setting here";
        words[i] = std::string(*listed);
    }
    return {};
}

// A '#' at the start of a line or after a space or tab starts a comment; one inside a word
// ("/dev/x#1") is part of it.
std::string_view WithoutComment(std::string_view line) {
    for (std::size_t at = line.find('#'); at != std::string_view::npos;
         at = line.find('#', at + 1)) {
        if (at == 0 || line[at - 1] == ' ' || line[at - 1] == '\t') return line.substr(0, at);
    }
    return line;
}

// nullopt for a blank line or a comment.
std::optional<LineReading> ReadLine(std::string_view raw) {
    const std::string_view line = Trimmed(WithoutComment(raw));
    if (line.empty()) return std::nullopt;
    LineReading reading;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
        reading.problem = "not a mapping (PORT=DEVICE, e.g. COM3=/dev/ttyUSB0)";
        return reading;
    }
    reading.port = Trimmed(line.substr(0, equals));
    reading.device = Trimmed(line.substr(equals + 1));
    if (reading.port.ends_with(kLineSuffix)) {
        reading.lineSettings = true;
        reading.port.resize(reading.port.size() - kLineSuffix.size());
        if (!IsFixedPortName(reading.port) || !reading.port.starts_with("COM")) {
            reading.problem = "line settings for \"" + reading.port + "\" (COM1..COM10 only)";
        } else {
            reading.problem = ReadLineSettings(reading.device, reading.words);
        }
        return reading;
    }
    if (!IsFixedPortName(reading.port)) {
        reading.problem = "unknown port \"" + reading.port + "\" (COM1..COM10, LPT1..LPT3)";
    } else if (auto problem = ProblemWithDevice(reading.device)) {
        reading.problem = *problem;
    }
    return reading;
}

// The UTF-8 byte-order mark that Notepad puts at the start of a file.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Calls `visit(line text with its end, reading or nullopt)` for each line; a byte-order mark
// is read past, and kept in the text.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    bool first = true;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        const std::string_view line = text.substr(0, length);
        std::string_view content = line.substr(0, line.find('\n'));
        if (first && content.starts_with(kByteOrderMark)) content.remove_prefix(3);
        first = false;
        visit(line, ReadLine(content));
        text.remove_prefix(length);
    }
}

// The line end the file uses: CRLF when its first line ends so, else LF.
std::string_view LineEndOf(std::string_view text) {
    const auto end = text.find('\n');
    return end != std::string_view::npos && end > 0 && text[end - 1] == '\r' ? "\r\n" : "\n";
}

// A device named by its USB identity ("usb:serial=A1B2C3") must be a well formed name.
std::optional<std::string> ProblemWithUsbIdentity(std::string_view device) {
    std::string problem;
    if (ParseUsbIdentityName(device, problem)) return std::nullopt;
    return "device " + problem;
}

bool MapsPort(const std::optional<LineReading>& reading, const std::string& port) {
    return reading && reading->problem.empty() && !reading->lineSettings && reading->port == port;
}

bool SetsLineOf(const std::optional<LineReading>& reading, const std::string& port) {
    return reading && reading->problem.empty() && reading->lineSettings && reading->port == port;
}

}  // namespace

bool IsFixedPortName(std::string_view name) {
    if (name.size() < 4) return false;
    const std::string_view prefix = name.substr(0, 3), digits = name.substr(3);
    if (prefix == "COM") return InRange(digits, kComPortCount);
    if (prefix == "LPT") return InRange(digits, kLptPortCount);
    return false;
}

std::optional<std::string> ProblemWithDevice(std::string_view device) {
    if (device.empty()) return "no device after '='";
    // Names are UTF-8 inside; these bytes would name some other device.
    if (!IsUtf8(device)) return "the device is not UTF-8 text";
    if (device.find_first_of("\r\n") != std::string_view::npos)
        return "the device holds a line break";
    if (Trimmed(device) != device) return "the device starts or ends with a space";
    if (WithoutComment(device) != device) return "a '#' after a space would start a comment";
    if (IsNetworkAddress(device)) return ProblemWithNetworkAddress(device);
    if (!SystemDeviceName(device).empty()) return std::nullopt;
    if (IsUsbIdentityName(device)) return ProblemWithUsbIdentity(device);
    if (!PathFromUtf8(device).is_absolute()) {
#ifdef _WIN32
        return "device \"" + std::string(device) +
               "\" is neither an absolute path nor a port name (COM12, \\\\.\\COM12)";
#else
        return "device \"" + std::string(device) + "\" is not an absolute path";
#endif
    }
    return std::nullopt;
}

PortsFileContents ParsePortsFile(std::string_view text) {
    PortsFileContents contents;
    int number = 0;
    ForEachLine(text, [&](std::string_view, const std::optional<LineReading>& reading) {
        ++number;
        if (!reading) return;
        if (!reading->problem.empty()) {
            contents.problems.push_back({number, reading->problem});
            return;
        }
        if (reading->lineSettings) {
            for (const PortsFileLineSettings& earlier : contents.lineSettings) {
                if (earlier.port == reading->port) {
                    contents.problems.push_back(
                        {number, reading->port + "'s line settings are on line " +
                                     std::to_string(earlier.line) + " already"});
                    return;
                }
            }
            contents.lineSettings.push_back({number, reading->port, reading->words});
            return;
        }
        for (const PortsFileMapping& earlier : contents.mappings) {
            if (earlier.port == reading->port) {
                contents.problems.push_back({number, reading->port + " is mapped on line " +
                                                         std::to_string(earlier.line) +
                                                         " already"});
                return;
            }
        }
        contents.mappings.push_back({number, reading->port, reading->device});
    });
    return contents;
}

namespace {

// Edits the text without its byte-order mark and puts the mark back, so that the first line
// can be replaced like any other.
template <typename Edit>
std::string KeepingByteOrderMark(std::string_view text, Edit edit) {
    if (!text.starts_with(kByteOrderMark)) return edit(text);
    return std::string(kByteOrderMark) + edit(text.substr(kByteOrderMark.size()));
}

// The text with `entry` (no line end) in place of the first line `replaces` takes, later
// such lines dropped, or appended.
template <typename Replaces>
std::string PlaceLine(std::string_view text, const std::string& entry, Replaces replaces) {
    const std::string_view lineEnd = LineEndOf(text);
    const std::string mapping = entry + std::string(lineEnd);
    std::string result;
    bool placed = false;
    ForEachLine(text, [&](std::string_view line, const std::optional<LineReading>& reading) {
        if (!replaces(reading)) {
            result += line;
        } else if (!placed) {
            result += mapping;
            placed = true;
        }
    });
    if (!placed) {
        if (!result.empty() && result.back() != '\n') result += lineEnd;
        result += mapping;
    }
    return result;
}

template <typename Drops>
std::string DropLines(std::string_view text, Drops drops) {
    std::string result;
    ForEachLine(text, [&](std::string_view line, const std::optional<LineReading>& reading) {
        if (!drops(reading)) result += line;
    });
    return result;
}

}  // namespace

std::string WithPortMapping(std::string_view text, const std::string& port,
                            const std::string& device) {
    return KeepingByteOrderMark(text, [&](std::string_view rest) {
        return PlaceLine(rest, port + "=" + device,
                         [&](const auto& reading) { return MapsPort(reading, port); });
    });
}

std::string WithPortLineSettings(std::string_view text, const std::string& port,
                                 const std::vector<std::string>& words) {
    std::string entry = port + std::string(kLineSuffix) + "=";
    for (std::size_t i = 0; i < words.size(); ++i) entry += (i ? " " : "") + words[i];
    return KeepingByteOrderMark(text, [&](std::string_view rest) {
        return PlaceLine(rest, entry,
                         [&](const auto& reading) { return SetsLineOf(reading, port); });
    });
}

std::string WithoutPortMapping(std::string_view text, const std::string& port) {
    return KeepingByteOrderMark(text, [&](std::string_view rest) {
        return DropLines(rest, [&](const auto& reading) { return MapsPort(reading, port); });
    });
}

std::string WithoutPortLineSettings(std::string_view text, const std::string& port) {
    return KeepingByteOrderMark(text, [&](std::string_view rest) {
        return DropLines(rest, [&](const auto& reading) { return SetsLineOf(reading, port); });
    });
}

}  // namespace talq::platform
