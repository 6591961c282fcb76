#include "platform/network_device.h"

#include <algorithm>
#include <span>

namespace talq::platform {
namespace {

using namespace telnet;
using std::chrono::milliseconds;

thread_local std::string lastFailure;

SteadyClock::time_point After(int ms) {
    return SteadyClock::now() + milliseconds(ms);
}

// The options we take on our side and accept on the server's: binary both ways, so that the
// stream carries every byte as it is; no go-ahead; the COM port control option from us.
bool Wanted(bool ourSide, std::uint8_t option) {
    return option == kBinary || option == kSuppressGoAhead || (ourSide && option == kComPortOption);
}

struct Asked {
    std::uint8_t command;
    Bytes value;
};

std::string ValueWords(std::uint8_t command, const Bytes& value) {
    if (value.empty()) return "nothing";
    const std::uint8_t v = value[0];
    switch (command) {
        case kSetBaudRate:
            if (value.size() != 4) break;
            return "baud rate " + std::to_string((std::uint32_t{value[0]} << 24) |
                                                 (std::uint32_t{value[1]} << 16) |
                                                 (std::uint32_t{value[2]} << 8) | value[3]);
        case kSetDataSize:
            return "data bits " + std::to_string(v);
        case kSetParity: {
            static const char* const names[] = {"?", "None", "Odd", "Even", "Mark", "Space"};
            return std::string("parity ") + (v < 6 ? names[v] : "?");
        }
        case kSetStopSize:
            return std::string("stop bits ") + (v == 1 ? "1" : v == 2 ? "2" : "1.5");
        case kSetControl:
            switch (v) {
                case kNoFlow:
                    return "no flow control";
                case kXonXoffFlow:
                    return "flow control Xon/Xoff";
                case kHardwareFlow:
                    return "flow control Hardware";
                case kDtrOn:
                    return "DTR on";
                case kDtrOff:
                    return "DTR off";
                case kRtsOn:
                    return "RTS on";
                case kRtsOff:
                    return "RTS off";
                default:
                    break;
            }
            break;
        default:
            break;
    }
    return "value " + std::to_string(v);
}

bool IsFlowValue(std::uint8_t v) {
    return v <= kHardwareFlow || v == 17 || v == 19;
}
bool IsDtrValue(std::uint8_t v) {
    return v >= 7 && v <= 9;
}
bool IsRtsValue(std::uint8_t v) {
    return v >= 10 && v <= 12;
}

}  // namespace

std::string LastNetworkFailure() {
    return lastFailure;
}

void SetLastNetworkFailure(std::string reason) {
    lastFailure = std::move(reason);
}

PortAccess NetworkDeviceAccess(const std::string& address) {
    PortAccess access;
    access.devicePath = address;
    if (auto problem = ProblemWithNetworkAddress(address)) {
        access.reason = *problem;
        return access;
    }
    access.exists = access.usable = true;
    access.accessKnown = false;  // only a connection tells
    return access;
}

std::unique_ptr<NetworkDevice> NetworkDevice::Connect(const NetworkAddress& address,
                                                      std::string& failure) {
    auto socket = ConnectStream(address.host, address.service, failure);
    if (!socket) return nullptr;
    const bool telnet = address.protocol == NetworkProtocol::ComPortControl;
    std::unique_ptr<NetworkDevice> device(new NetworkDevice(telnet, std::move(socket)));
    if (telnet && !device->TakeOption(failure)) return nullptr;
    return device;
}

bool NetworkDevice::TakeOption(std::string& failure) {
    Bytes offer = Negotiation(kWill, kComPortOption);
    for (const Bytes& more : {Negotiation(kWill, kBinary), Negotiation(kDo, kBinary)}) {
        offer.insert(offer.end(), more.begin(), more.end());
    }
    askedOurs_[kComPortOption] = askedOurs_[kBinary] = askedTheirs_[kBinary] = true;
    SendControl(offer);
    PumpUntil(After(kNetworkAnswerMs), [&] { return ours_[kComPortOption] || optionRefused_; });
    if (ours_[kComPortOption]) return true;
    if (optionRefused_) {
        failure =
            "the device server refuses the COM port control option (RFC 2217); map the "
            "port as tcp:HOST:PORT to keep the server's own line settings";
    } else if (closed_) {
        failure = "the device server closed the connection (in use by another client?)";
    } else {
        failure =
            "the device server did not answer the COM port control option (RFC 2217) "
            "within " +
            std::to_string(kNetworkAnswerMs / 1000) + " s (not a telnet port?)";
    }
    return false;
}

bool NetworkDevice::ApplyLineSettings(const LineSettings& settings, std::string& failure) {
    std::lock_guard lock(mutex_);
    if (!telnet_) return true;  // the server's own settings stand
    if (closed_) {
        failure = "the device server closed the connection";
        return false;
    }
    static constexpr std::uint8_t kParity[] = {kParityNone, kParityOdd, kParityEven};
    static constexpr std::uint8_t kStop[] = {kStopOne, kStopOneAndHalf, kStopTwo};
    const int dataBits = settings.dataBits & 0xFF, parity = settings.parity & 0xFF,
              stopBits = settings.stopBits & 0xFF;
    if (settings.baudRate <= 0 || dataBits < 5 || dataBits > 8 || parity > 2 || stopBits > 2) {
        failure = "these line settings cannot be asked of a device server";
        return false;
    }
    const std::uint8_t flow = settings.flowControl == 0 ? kHardwareFlow : kXonXoffFlow;
    // As on a local port: DTR on; RTS off under hardware flow control, on under Xon/Xoff.
    const std::uint8_t rts = flow == kHardwareFlow ? kRtsOff : kRtsOn;
    const Asked asked[] = {
        {kSetBaudRate, BaudRateValue(static_cast<std::uint32_t>(settings.baudRate))},
        {kSetDataSize, {static_cast<std::uint8_t>(dataBits)}},
        {kSetParity, {kParity[parity]}},
        {kSetStopSize, {kStop[stopBits]}},
        {kSetControl, {flow}},
        {kSetControl, {kDtrOn}},
        {kSetControl, {rts}},
        // Asks the flow setting back: the server answers in order, so once this answer is
        // in, a server that has DTR and RTS to set has answered for them too.
        {kSetControl, {kRequestFlow}},
    };
    Bytes commands;
    for (const Asked& a : asked) {
        const Bytes bytes = ComPortCommandBytes(a.command, a.value);
        commands.insert(commands.end(), bytes.begin(), bytes.end());
    }
    replies_.clear();
    SendControl(commands);

    const auto flowReplies = [this] {
        return std::count_if(replies_.begin(), replies_.end(), [](const Reply& r) {
            return r.payload.size() == 2 && r.payload[0] == kServerReply + kSetControl &&
                   IsFlowValue(r.payload[1]);
        });
    };
    PumpUntil(After(kNetworkAnswerMs), [&] {
        return FindReply(kSetBaudRate) && FindReply(kSetDataSize) && FindReply(kSetParity) &&
               FindReply(kSetStopSize) && flowReplies() >= 2;
    });

    // Each setting as the server answered it; the first one missing or different fails all.
    for (const Asked& a : std::span(asked, 4)) {
        const Reply* reply = FindReply(a.command);
        const std::string wanted = ValueWords(a.command, a.value);
        if (reply == nullptr) {
            failure = closed_ ? "the device server closed the connection"
                              : "the device server did not acknowledge " + wanted + " within " +
                                    std::to_string(kNetworkAnswerMs / 1000) + " s";
            return false;
        }
        const Bytes value(reply->payload.begin() + 1, reply->payload.end());
        if (value != a.value) {
            failure =
                "the device server set " + ValueWords(a.command, value) + " instead of " + wanted;
            return false;
        }
    }
    if (flowReplies() < 2) {
        failure = closed_
                      ? "the device server closed the connection"
                      : "the device server did not acknowledge " + ValueWords(kSetControl, {flow}) +
                            " within " + std::to_string(kNetworkAnswerMs / 1000) + " s";
        return false;
    }
    // A server port without modem lines answers nothing for DTR and RTS, as a local
    // pseudo-terminal has none to set; one that answers must have set them.
    for (const Reply& reply : replies_) {
        if (reply.payload.size() != 2 || reply.payload[0] != kServerReply + kSetControl) continue;
        const std::uint8_t v = reply.payload[1];
        const std::uint8_t expected = IsFlowValue(v)  ? flow
                                      : IsDtrValue(v) ? kDtrOn
                                      : IsRtsValue(v) ? rts
                                                      : v;
        if (v != expected) {
            failure = "the device server set " + ValueWords(kSetControl, {v}) + " instead of " +
                      ValueWords(kSetControl, {expected});
            return false;
        }
    }
    return true;
}

void NetworkDevice::SetTimeouts(const CommTimeouts& timeouts) {
    std::lock_guard lock(mutex_);
    timeouts_ = timeouts;
}

bool NetworkDevice::Purge() {
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    if (!telnet_) {
        // What has arrived by now; nothing reaches into the server.
        while (Pump(SteadyClock::now()).status == Received::Data) {
        }
        input_.clear();
        return true;
    }
    replies_.clear();
    SendControl(ComPortCommandBytes(kPurgeData, {kPurgeBoth}));
    PumpUntil(After(kNetworkAnswerMs), [&] { return FindReply(kPurgeData) != nullptr; });
    // What the server sent before it purged is old; what came after its answer is new.
    const Reply* done = FindReply(kPurgeData);
    const std::size_t old = done != nullptr ? done->inputMark : input_.size();
    input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(old));
    return done != nullptr;
}

IoResult NetworkDevice::Write(const std::uint8_t* data, int count) {
    std::lock_guard lock(mutex_);
    if (closed_) return {false, 0, true};
    if (!telnet_) {
        const IoResult sent = socket_->Send(data, count, kWriteStallMs);
        closed_ = closed_ || sent.hangUp;
        return sent;
    }
    const Bytes wire = EscapeData(data, static_cast<std::size_t>(count));
    IoResult sent = socket_->Send(wire.data(), static_cast<int>(wire.size()), kWriteStallMs);
    closed_ = closed_ || sent.hangUp;
    sent.count = static_cast<int>(
        DataBytesSent(data, static_cast<std::size_t>(count), static_cast<std::size_t>(sent.count)));
    return sent;
}

// The time-out rules of a local serial read, over the stream.
IoResult NetworkDevice::Read(std::uint8_t* buffer, int count) {
    std::lock_guard lock(mutex_);
    IoResult result;
    result.ok = true;
    const auto start = SteadyClock::now();
    const CommTimeouts& t = timeouts_;
    const bool untimed =
        t.readIntervalMs == 0 && t.readTotalMultiplierMs == 0 && t.readTotalConstantMs == 0;
    if (untimed) {
        // What one transfer brings, waiting at most kUntimedReadMs for it.
        const auto deadline = start + milliseconds(kUntimedReadMs);
        while (input_.empty() && !closed_ && Pump(deadline).status != Received::TimedOut) {
        }
        result.count = TakeInput(buffer, count);
        result.hangUp = result.count == 0 && closed_;
        result.ok = !result.hangUp;
        return result;
    }

    const bool hasTotal = t.readTotalMultiplierMs != 0 || t.readTotalConstantMs != 0;
    const auto totalDeadline =
        start + milliseconds(std::int64_t{t.readTotalMultiplierMs} * count + t.readTotalConstantMs);
    SteadyClock::time_point lastByte{};
    for (;;) {
        if (const int took = TakeInput(buffer + result.count, count - result.count); took > 0) {
            result.count += took;
            lastByte = SteadyClock::now();
        }
        if (result.count == count) break;
        if (closed_) {
            result.ok = false;
            result.hangUp = true;
            break;
        }
        auto deadline = hasTotal ? totalDeadline : SteadyClock::time_point::max();
        if (result.count > 0 && t.readIntervalMs != 0) {
            // "More than" the interval: a gap of exactly the interval still counts.
            const auto gapEnd =
                lastByte + milliseconds(t.readIntervalMs) + std::chrono::microseconds(500);
            deadline = std::min(deadline, gapEnd);
        }
        if (deadline == SteadyClock::time_point::max())
            deadline = start + milliseconds(kUntimedReadMs);
        if (Pump(deadline).status == Received::TimedOut) break;
    }
    return result;
}

Received NetworkDevice::Pump(SteadyClock::time_point deadline) {
    std::uint8_t chunk[4096];
    Received got = socket_->Receive(chunk, sizeof chunk, deadline);
    if (got.status == Received::Closed) closed_ = true;
    if (got.status != Received::Data) return got;
    if (!telnet_) {
        input_.insert(input_.end(), chunk, chunk + got.count);
        return got;
    }
    Bytes data;
    std::vector<Event> events;
    decoder_.Feed(chunk, static_cast<std::size_t>(got.count), data, events);
    for (const Event& event : events) Answer(event, input_.size() + event.dataBefore);
    input_.insert(input_.end(), data.begin(), data.end());
    return got;
}

template <typename Done>
bool NetworkDevice::PumpUntil(SteadyClock::time_point deadline, Done done) {
    while (!done()) {
        if (closed_ || Pump(deadline).status == Received::TimedOut) return done();
    }
    return true;
}

void NetworkDevice::Answer(const Event& event, std::size_t inputMark) {
    const std::uint8_t option = event.option;
    if (event.verb == kSb) {
        if (option != kComPortOption || event.payload.empty()) return;
        if (event.payload.size() == 1 && event.payload[0] == kServerReply + kSignature) {
            SendControl(ComPortCommandBytes(kSignature, {'t', 'a', 'l', 'q'}));  // asked who we are
        } else if (event.payload[0] > kServerReply + kSignature) {
            replies_.push_back({event.payload, inputMark});
        }
        return;
    }
    // RFC 1143's rule: answer a request only when it changes the option, never an answer.
    const bool ourSide = event.verb == kDo || event.verb == kDont;
    auto& enabled = ourSide ? ours_ : theirs_;
    auto& asked = ourSide ? askedOurs_ : askedTheirs_;
    const std::uint8_t yes = ourSide ? kWill : kDo, no = ourSide ? kWont : kDont;
    const bool wasAsked = asked[option];
    asked[option] = false;
    if (event.verb == kWill || event.verb == kDo) {
        if (enabled[option]) return;
        if (!Wanted(ourSide, option)) {
            SendControl(Negotiation(no, option));
            return;
        }
        enabled[option] = true;
        if (!wasAsked) SendControl(Negotiation(yes, option));
        return;
    }
    if (ourSide && option == kComPortOption) optionRefused_ = true;
    if (!enabled[option]) return;
    enabled[option] = false;
    SendControl(Negotiation(no, option));
}

void NetworkDevice::SendControl(const Bytes& bytes) {
    const IoResult sent =
        socket_->Send(bytes.data(), static_cast<int>(bytes.size()), kWriteStallMs);
    closed_ = closed_ || sent.hangUp;
}

const NetworkDevice::Reply* NetworkDevice::FindReply(std::uint8_t command) const {
    for (const Reply& reply : replies_) {
        if (reply.payload[0] == kServerReply + command) return &reply;
    }
    return nullptr;
}

int NetworkDevice::TakeInput(std::uint8_t* buffer, int count) {
    const auto n = std::min(input_.size(), static_cast<std::size_t>(std::max(count, 0)));
    std::copy_n(input_.begin(), n, buffer);
    input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(n));
    return static_cast<int>(n);
}

DeviceHandle NetworkDevices::Open(const std::string& text) {
    std::string failure;
    std::shared_ptr<NetworkDevice> device;
    if (const auto address = ParseNetworkAddress(text)) {
        device = NetworkDevice::Connect(*address, failure);
    } else {
        failure = ProblemWithNetworkAddress(text).value_or("not a network address");
    }
    SetLastNetworkFailure(failure);
    if (!device) return kNoDevice;
    std::lock_guard lock(mutex_);
    open_.push_back(device);
    return device->Handle();
}

std::shared_ptr<NetworkDevice> NetworkDevices::Find(DeviceHandle handle) {
    std::lock_guard lock(mutex_);
    for (const auto& device : open_) {
        if (device->Handle() == handle) return device;
    }
    return nullptr;
}

bool NetworkDevices::Close(DeviceHandle handle) {
    std::shared_ptr<NetworkDevice> closing;  // destroyed, and so disconnected, outside the lock
    std::lock_guard lock(mutex_);
    const auto it = std::find_if(open_.begin(), open_.end(),
                                 [&](const auto& device) { return device->Handle() == handle; });
    if (it == open_.end()) return false;
    closing = std::move(*it);
    open_.erase(it);
    return true;
}

}  // namespace talq::platform
