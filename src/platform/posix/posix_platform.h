// The real backend: device nodes through open/termios/poll, pauses through
// the monotonic clock.
#pragma once

#include <map>
#include <mutex>

#include "platform/platform.h"

namespace talq::platform::posix {

class PosixPlatform final : public Platform {
public:
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
    std::int64_t NowMs() override;

private:
    CommTimeouts TimeoutsOf(DeviceHandle device);

    std::mutex mutex_;
    std::map<DeviceHandle, CommTimeouts> timeouts_;
};

}  // namespace talq::platform::posix
