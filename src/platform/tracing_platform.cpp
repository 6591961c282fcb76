#include "platform/tracing_platform.h"

#include <algorithm>
#include <chrono>

#include "platform/network_address.h"
#include "platform/network_device.h"
#include "platform/port_access.h"

namespace talq::platform {
namespace {

thread_local std::string threadPort;      // TracePort's name
thread_local std::string lastOpenedPort;  // for pauses of a thread that named none

class Stopwatch {
  public:
    long long Ms() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start_)
            .count();
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

std::string Remark(const std::string& words) {
    return "  (" + words + ")";
}

std::string SettingsWords(const LineSettings& s) {
    static const char* const kStop[] = {"1 stop bit", "1.5 stop bits", "2 stop bits"};
    static const char* const kParity[] = {"no parity", "odd parity", "even parity"};
    const auto pick = [](const char* const* words, int code) {
        return code >= 0 && code <= 2 ? std::string(words[code]) : "code " + std::to_string(code);
    };
    return std::to_string(s.baudRate) + " baud, " + std::to_string(s.dataBits) + " data bits, " +
           pick(kStop, s.stopBits) + ", " + pick(kParity, s.parity) + ", " +
           (s.flowControl == 0 ? "hardware" : "Xon/Xoff") + " flow control";
}

std::string Bytes(const std::uint8_t* data, int count) {
    return count > 0 ? " " + TraceHex(data, count) : "";
}

std::string Text(const std::uint8_t* data, int count) {
    return count > 0 ? "  " + TraceText(data, count) : "";
}

}  // namespace

TracePort::TracePort(std::string name) : previous_(std::move(threadPort)) {
    threadPort = std::move(name);
}

TracePort::~TracePort() {
    threadPort = std::move(previous_);
}

TracingPlatform::Opened TracingPlatform::Of(DeviceHandle device) {
    std::lock_guard lock(mutex_);
    const auto it = opened_.find(device);
    if (it != opened_.end()) return it->second;
    return {threadPort.empty() ? "-" : threadPort, false};
}

void TracingPlatform::Line(DeviceHandle device, const std::string& operation) {
    log_.Line(Of(device).port, operation);
}

DeviceHandle TracingPlatform::OpenDevice(const std::string& path) {
    const Stopwatch took;
    const DeviceHandle device = inner_.OpenDevice(path);
    const std::string port = threadPort.empty() ? path : threadPort;
    lastOpenedPort = port;
    if (device == kNoDevice) {
        // Asked at once, on this thread, while the system still holds the reason.
        log_.Line(port, "open " + path + " failed" + Remark(ExplainDeviceOpenFailure(path)));
        return device;
    }
    const bool network = IsNetworkAddress(path);
    {
        std::lock_guard lock(mutex_);
        opened_[device] = {port, network};
    }
    std::string remark = std::to_string(took.Ms()) + " ms";
    if (network) {
        remark += "; a device server: the bytes below are the printer's, without the Telnet "
                  "framing";
    }
    log_.Line(port, "open " + path + Remark(remark));
    return device;
}

void TracingPlatform::CloseDevice(DeviceHandle device) {
    const Opened opened = Of(device);
    inner_.CloseDevice(device);
    {
        std::lock_guard lock(mutex_);
        opened_.erase(device);
    }
    log_.Line(opened.port, "close");
}

bool TracingPlatform::ApplyLineSettings(DeviceHandle device, const LineSettings& settings) {
    const bool applied = inner_.ApplyLineSettings(device, settings);
    std::string words = SettingsWords(settings);
    if (!applied && Of(device).network) words += ": " + LastNetworkFailure();
    Line(device, "settings " + std::to_string(settings.baudRate) + " " +
                     std::to_string(settings.dataBits) + " " + std::to_string(settings.stopBits) +
                     " " + std::to_string(settings.parity) + " " +
                     std::to_string(settings.flowControl) + (applied ? "" : " refused") +
                     Remark(words));
    return applied;
}

bool TracingPlatform::SetTimeouts(DeviceHandle device, const CommTimeouts& t) {
    const bool set = inner_.SetTimeouts(device, t);
    const auto ms = [](std::uint32_t value) { return std::to_string(value); };
    Line(device, "timeouts " + ms(t.readIntervalMs) + " " + ms(t.readTotalMultiplierMs) + " " +
                     ms(t.readTotalConstantMs) + " " + ms(t.writeTotalMultiplierMs) + " " +
                     ms(t.writeTotalConstantMs) +
                     Remark(set ? "read: " + ms(t.readIntervalMs) + " ms between bytes, " +
                                      ms(t.readTotalMultiplierMs) + " ms a byte + " +
                                      ms(t.readTotalConstantMs) + " ms in all"
                                : "refused"));
    return set;
}

bool TracingPlatform::Purge(DeviceHandle device) {
    const bool purged = inner_.Purge(device);
    Line(device, purged ? "purge" : "purge" + Remark("failed"));
    return purged;
}

bool TracingPlatform::Flush(DeviceHandle device) {
    const bool flushed = inner_.Flush(device);
    Line(device, flushed ? "flush" : "flush" + Remark("failed"));
    return flushed;
}

void TracingPlatform::CancelIo(DeviceHandle device) {
    inner_.CancelIo(device);
    Line(device, "cancel");
}

IoResult TracingPlatform::Write(DeviceHandle device, const std::uint8_t* data, int count) {
    const Stopwatch took;
    const IoResult result = inner_.Write(device, data, count);
    const int asked = data == nullptr ? 0 : std::max(count, 0);
    std::string line = "write" + Bytes(data, asked);
    if (result.count < asked) line += " -> " + std::to_string(result.count);
    line += Text(data, asked);
    const std::string ms = std::to_string(took.Ms()) + " ms";
    if (result.hangUp) {
        line += Remark("hang-up: the device went away, after " + ms);
    } else if (!result.ok) {
        line += Remark("stalled: " + std::to_string(result.count) + " of " +
                       std::to_string(asked) + " bytes went out in " + ms);
    } else {
        line += Remark(ms);
    }
    Line(device, line);
    return result;
}

IoResult TracingPlatform::Read(DeviceHandle device, std::uint8_t* buffer, int count) {
    const Stopwatch took;
    const IoResult result = inner_.Read(device, buffer, count);
    const int got = buffer == nullptr ? 0 : std::max(result.count, 0);
    std::string line = "read " + std::to_string(count) + " -> " + std::to_string(result.count);
    if (got > 0) line += ":" + Bytes(buffer, got) + Text(buffer, got);
    const std::string ms = std::to_string(took.Ms()) + " ms";
    if (result.hangUp) {
        line += Remark("hang-up: the device went away, after " + ms);
    } else if (!result.ok) {
        line += Remark("failed after " + ms);
    } else if (result.count < count) {
        line += Remark("timed out after " + ms);
    } else {
        line += Remark(ms);
    }
    Line(device, line);
    return result;
}

void TracingPlatform::Pause(int milliseconds) {
    inner_.Pause(milliseconds);
    log_.Line(!threadPort.empty()       ? threadPort
              : !lastOpenedPort.empty() ? lastOpenedPort
                                        : "-",
              "pause " + std::to_string(milliseconds));
}

}  // namespace talq::platform
