// One TCP connection to a device server, as each system's sockets give it: connected within a
// bound (the name looked up included), then waits for input and bounded sends. Each backend
// implements ConnectStream; what travels on the stream is the network device's business.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace talq::platform {

using SteadyClock = std::chrono::steady_clock;

// How long the name lookup and the TCP connect may take together.
inline constexpr int kNetworkConnectMs = 3000;

struct Received {
    enum Status { Data, TimedOut, Closed } status = TimedOut;
    int count = 0;
};

class StreamSocket {
  public:
    virtual ~StreamSocket() = default;
    // A number no other open device of this process has, to stand for the connection.
    virtual DeviceHandle Id() const = 0;
    // Waits until `deadline` for input and takes what has come, at most `capacity` bytes.
    // Closed once the peer has gone (an orderly close, a reset, any failure).
    virtual Received Receive(std::uint8_t* buffer, int capacity,
                             SteadyClock::time_point deadline) = 0;
    // Sends all bytes, giving up when none moved for `stallMs`; hangUp once the peer is gone.
    virtual IoResult Send(const std::uint8_t* data, int count, int stallMs) = 0;
};

// Connects to `host` (a name or an address) at the TCP port `service`, trying each address the
// name has until one answers, for kNetworkConnectMs at most. nullptr with the reason in
// `failure`.
std::unique_ptr<StreamSocket> ConnectStream(const std::string& host, const std::string& service,
                                            std::string& failure);

}  // namespace talq::platform
