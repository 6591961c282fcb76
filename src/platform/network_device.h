// A printer behind a serial device server, used as a serial device is: the same line settings,
// time-outs and transfers, over one TCP connection. Raw TCP carries the bytes as they are; with
// the COM port control option the server is first asked to take the option, the line settings
// are applied only as far as the server acknowledges them, and the purge is the server's own.
// A connection that drops reads and writes like an unplugged line (hang-up), within the same
// bounds.
#pragma once

#include <array>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/network_address.h"
#include "platform/platform.h"
#include "platform/port_access.h"
#include "platform/stream_socket.h"
#include "platform/telnet_codec.h"

namespace talq::platform {

// How long the server may take to answer the option, and each group of line settings.
inline constexpr int kNetworkAnswerMs = 1000;

class NetworkDevice {
  public:
    // Connects, and for the COM port control option has the server take it. nullptr with the
    // reason in `failure`.
    static std::unique_ptr<NetworkDevice> Connect(const NetworkAddress& address,
                                                  std::string& failure);

    DeviceHandle Handle() const { return socket_->Id(); }
    // Raw TCP leaves the line to the server. With the option, true only when the server
    // acknowledged every setting with the value asked for; else the first that it did not.
    bool ApplyLineSettings(const LineSettings& settings, std::string& failure);
    void SetTimeouts(const CommTimeouts& timeouts);
    // Drops the input not yet read; with the option, the server's buffers too.
    bool Purge();
    IoResult Write(const std::uint8_t* data, int count);
    IoResult Read(std::uint8_t* buffer, int count);

  private:
    struct Reply {
        telnet::Bytes payload;  // command code (with kServerReply added) and value
        std::size_t inputMark;  // input_ bytes that arrived before it
    };

    NetworkDevice(bool telnet, std::unique_ptr<StreamSocket> socket)
        : telnet_(telnet), socket_(std::move(socket)) {}

    bool TakeOption(std::string& failure);
    // Waits until `deadline` for input and takes it in: data to input_, Telnet to Answer.
    Received Pump(SteadyClock::time_point deadline);
    // Pumps until `done()` holds, the connection closes or `deadline` passes.
    template <typename Done>
    bool PumpUntil(SteadyClock::time_point deadline, Done done);
    void Answer(const telnet::Event& event, std::size_t inputMark);
    void SendControl(const telnet::Bytes& bytes);
    const Reply* FindReply(std::uint8_t command) const;
    int TakeInput(std::uint8_t* buffer, int count);

    bool telnet_;
    std::unique_ptr<StreamSocket> socket_;
    std::mutex mutex_;
    CommTimeouts timeouts_{};
    bool closed_ = false;
    std::deque<std::uint8_t> input_;
    telnet::Decoder decoder_;
    std::vector<Reply> replies_;  // COM port replies since the latest commands went out
    // Telnet options on each side, and requests of ours not answered yet.
    std::array<bool, 256> ours_{}, theirs_{}, askedOurs_{}, askedTheirs_{};
    bool optionRefused_ = false;
};

// The network devices open in this process, by handle.
class NetworkDevices {
  public:
    // kNoDevice when it cannot be reached; LastNetworkFailure() then says why.
    DeviceHandle Open(const std::string& address);
    std::shared_ptr<NetworkDevice> Find(DeviceHandle handle);
    // False when `handle` is not a network device.
    bool Close(DeviceHandle handle);

  private:
    std::mutex mutex_;
    std::vector<std::shared_ptr<NetworkDevice>> open_;
};

// Why this thread's latest network device failed to open or take its line settings.
std::string LastNetworkFailure();
void SetLastNetworkFailure(std::string reason);

// What can be told of a network device without connecting: whether its address is well formed.
PortAccess NetworkDeviceAccess(const std::string& address);

}  // namespace talq::platform
