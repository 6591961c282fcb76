#include "platform/network_address.h"

#include <variant>

namespace talq::platform {
namespace {

constexpr std::string_view kTcpPrefix = "tcp:";
constexpr std::string_view kComPortPrefix = "rfc2217:";

bool IsPortNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 5 || digits[0] == '0') return false;
    long number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    return number <= 65535;
}

// Letters, digits and the few marks host names and addresses use; an IPv6 zone ("%eth0") too.
bool IsHostText(std::string_view host, bool bracketed) {
    for (char c : host) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
        if (!plain && !(bracketed && (c == ':' || c == '%'))) return false;
    }
    return true;
}

// The address, or what is wrong with it.
std::variant<NetworkAddress, std::string> Read(std::string_view text) {
    NetworkAddress address;
    std::string_view prefix = kTcpPrefix;
    if (text.starts_with(kComPortPrefix)) {
        address.protocol = NetworkProtocol::ComPortControl;
        prefix = kComPortPrefix;
    }
    const auto fault = [&](const std::string& why) {
        return "\"" + std::string(text) + "\": " + why;
    };
    const std::string form =
        " (" + std::string(prefix) + "HOST:PORT, e.g. " + std::string(prefix) + "till3.local:2001)";
    std::string_view rest = text.substr(prefix.size());
    std::string_view host;
    const bool bracketed = rest.starts_with('[');
    if (bracketed) {
        const auto close = rest.find(']');
        if (close == std::string_view::npos) return fault("no ']' after the IPv6 address");
        host = rest.substr(1, close - 1);
        rest.remove_prefix(close + 1);
    } else {
        const auto colon = rest.rfind(':');
        host = rest.substr(0, colon);
        rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon);
    }
    if (!rest.starts_with(':')) return fault("no port after the host" + form);
    rest.remove_prefix(1);
    if (host.empty()) return fault("no host" + form);
    if (!IsHostText(host, bracketed)) {
        return fault("\"" + std::string(host) + "\" is not a host name or address" +
                     (bracketed ? "" : " (an IPv6 address goes in brackets: [::1])"));
    }
    if (!IsPortNumber(rest)) return fault("the port must be a number from 1 to 65535");
    address.host = host;
    address.service = rest;
    return address;
}

}  // namespace

bool IsNetworkAddress(std::string_view text) {
    return text.starts_with(kTcpPrefix) || text.starts_with(kComPortPrefix);
}

std::optional<NetworkAddress> ParseNetworkAddress(std::string_view text) {
    if (!IsNetworkAddress(text)) return std::nullopt;
    auto read = Read(text);
    if (auto* address = std::get_if<NetworkAddress>(&read)) return std::move(*address);
    return std::nullopt;
}

std::optional<std::string> ProblemWithNetworkAddress(std::string_view text) {
    auto read = Read(text);
    if (auto* problem = std::get_if<std::string>(&read)) return std::move(*problem);
    return std::nullopt;
}

std::string EndpointText(const NetworkAddress& address) {
    const bool ipv6 = address.host.find(':') != std::string::npos;
    return (ipv6 ? "[" + address.host + "]" : address.host) + ":" + address.service;
}

}  // namespace talq::platform
