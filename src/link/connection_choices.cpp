#include "link/connection_choices.h"

#include <array>

namespace talq::link {
namespace {

constexpr int kComPorts = 10;
constexpr int kLptPorts = 3;
constexpr std::array<std::string_view, 7> kBaudRates = {"2400",  "4800",  "9600",  "19200",
                                                        "38400", "57600", "115200"};

std::vector<std::string> Numbered(const char* prefix, int count) {
    std::vector<std::string> names;
    for (int n = 1; n <= count; ++n) names.push_back(prefix + std::to_string(n));
    return names;
}

}  // namespace

std::vector<std::string> ComPortNames() {
    return Numbered("COM", kComPorts);
}

std::vector<std::string> LptPortNames() {
    return Numbered("LPT", kLptPorts);
}

std::span<const std::string_view> BaudRatesOf(int model) {
    const std::span<const std::string_view> all(kBaudRates);
    return model == 1 ? all.subspan(2) : all;
}

std::string_view DefaultBaudRate(int model) {
    return model == 1 ? "115200" : "19200";
}

}  // namespace talq::link
