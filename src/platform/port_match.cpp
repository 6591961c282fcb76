#include "platform/port_match.h"

namespace talq::platform {
namespace {

// Characters that can go on a device path: a neighbour of this kind means the
// text names a longer path, not this one.
bool ContinuesPath(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    switch (c) {
        case '/':
        case '.':
        case '-':
        case '_':
        case '~':
        case '%':
        case '+':
        case '@':
        case '=':
            return true;
        default:
            return false;
    }
}

bool StandsAlone(std::string_view uri, std::size_t at, std::size_t length) {
    const std::size_t end = at + length;
    if (end < uri.size() && ContinuesPath(uri[end])) return false;
    std::size_t before = at;
    while (before > 0 && uri[before - 1] == '/') --before;  // "file:///dev/lp0"
    return before == 0 || !ContinuesPath(uri[before - 1]);
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

bool UriNamesDevice(std::string_view uri, std::string_view devicePath) {
    if (devicePath.empty()) return false;
    for (std::size_t at = uri.find(devicePath); at != std::string_view::npos;
         at = uri.find(devicePath, at + 1)) {
        if (StandsAlone(uri, at, devicePath.size())) return true;
    }
    return false;
}

bool PortListNamesPort(std::string_view portList, std::string_view portName) {
    if (portName.empty()) return false;
    while (true) {
        const std::size_t comma = portList.find(',');
        std::string_view element = Trimmed(portList.substr(0, comma));
        if (!element.empty() && element.back() == ':') element.remove_suffix(1);
        if (element == portName) return true;
        if (comma == std::string_view::npos) return false;
        portList.remove_prefix(comma + 1);
    }
}

}  // namespace talq::platform
