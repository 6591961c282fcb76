#include "platform/serial_uri.h"

#include <algorithm>

namespace talq::platform {
namespace {

constexpr std::string_view kScheme = "serial:";
constexpr std::string_view kLineOptions[] = {"baud", "bits", "parity", "flow"};

bool IsLineOption(std::string_view option) {
    const std::string_view name = option.substr(0, option.find('='));
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::any_of(std::begin(kLineOptions), std::end(kLineOptions),
                       [&](std::string_view line) {
                           return std::equal(name.begin(), name.end(), line.begin(), line.end(),
                                             [&](char a, char b) { return lower(a) == b; });
                       });
}

}  // namespace

std::optional<std::string> SerialUriAtLine(std::string_view uri, const LineSettings& line) {
    if (!uri.starts_with(kScheme)) return std::nullopt;
    const std::size_t query = uri.find('?');
    std::string text(uri.substr(0, query));
    static constexpr const char* kParities[] = {"none", "odd", "even"};
    // The backend's "hard" is RTS/CTS, the handshake this program's own Hardware flow uses.
    text += "?baud=" + std::to_string(line.baudRate) + "+bits=" + std::to_string(line.dataBits) +
            "+parity=" + kParities[line.parity >= 0 && line.parity <= 2 ? line.parity : 0] +
            "+flow=" + (line.flowControl == 0 ? "hard" : "soft");
    if (query == std::string_view::npos) return text;
    // The backend ends a value at "+" or "&".
    std::string_view rest = uri.substr(query + 1);
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of("+&");
        const std::string_view option = rest.substr(0, end);
        if (!option.empty() && !IsLineOption(option)) text += "+" + std::string(option);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return text;
}

}  // namespace talq::platform
