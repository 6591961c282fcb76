// The platform with every device operation written to a trace (trace_log.h): it passes each
// call to the platform beneath and writes what the call did. It sits above the device servers,
// so a device behind one shows the printer's own bytes, never the Telnet framing around them.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "platform/platform.h"
#include "platform/trace_log.h"

namespace talq::platform {

class TracingPlatform final : public Platform {
  public:
    TracingPlatform(Platform& inner, TraceLog& log) : inner_(inner), log_(log) {}

    DeviceHandle OpenDevice(const std::string& path) override;
    void CloseDevice(DeviceHandle device) override;
    bool ApplyLineSettings(DeviceHandle device, const LineSettings& settings) override;
    bool SetTimeouts(DeviceHandle device, const CommTimeouts& timeouts) override;
    bool Purge(DeviceHandle device) override;
    bool Flush(DeviceHandle device) override;
    void CancelIo(DeviceHandle device) override;
    IoResult Write(DeviceHandle device, const std::uint8_t* data, int count) override;
    IoResult Read(DeviceHandle device, std::uint8_t* buffer, int count) override;
    void Pause(int milliseconds) override;
    std::int64_t NowMs() override { return inner_.NowMs(); }

  private:
    struct Opened {
        std::string port;
        bool network = false;
    };
    Opened Of(DeviceHandle device);
    void Line(DeviceHandle device, const std::string& operation);

    Platform& inner_;
    TraceLog& log_;
    std::mutex mutex_;
    std::map<DeviceHandle, Opened> opened_;
};

// Names the port that the devices this thread opens meanwhile, and its pauses, belong to on the
// trace's lines. Without one a device goes by its path.
class TracePort {
  public:
    explicit TracePort(std::string name);
    ~TracePort();
    TracePort(const TracePort&) = delete;
    TracePort& operator=(const TracePort&) = delete;

  private:
    std::string previous_;
};

// Traces the platform installed now, for as long as it lives.
class ScopedTrace {
  public:
    explicit ScopedTrace(TraceLog& log) : tracing_(Current(), log), previous_(Install(&tracing_)) {}
    ~ScopedTrace() { Install(previous_); }
    ScopedTrace(const ScopedTrace&) = delete;
    ScopedTrace& operator=(const ScopedTrace&) = delete;

  private:
    TracingPlatform tracing_;
    Platform* previous_;
};

}  // namespace talq::platform
