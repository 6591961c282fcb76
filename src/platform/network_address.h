// Printers behind serial device servers, named where a device path would stand (a ports file's
// right-hand side, --port): "tcp:HOST:PORT" for a raw TCP stream whose line settings are the
// server's, "rfc2217:HOST:PORT" for the Telnet COM port control option, which sets them.
// HOST is a name, an IPv4 address or an IPv6 address in brackets ("[::1]").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talq::platform {

enum class NetworkProtocol { RawTcp, ComPortControl };

struct NetworkAddress {
    NetworkProtocol protocol = NetworkProtocol::RawTcp;
    std::string host;     // without the brackets of an IPv6 address
    std::string service;  // the TCP port, in decimal
};

// Whether `text` begins as a network address does ("tcp:", "rfc2217:"), well formed or not.
bool IsNetworkAddress(std::string_view text);

// The address, or nullopt when `text` is not a well-formed one.
std::optional<NetworkAddress> ParseNetworkAddress(std::string_view text);

// What is wrong with a text that begins as a network address; nullopt when nothing is.
std::optional<std::string> ProblemWithNetworkAddress(std::string_view text);

// "HOST:PORT" as people write it, brackets included, for messages.
std::string EndpointText(const NetworkAddress& address);

}  // namespace talq::platform
