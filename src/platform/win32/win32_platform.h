// The real backend on Windows: devices through CreateFileA and the
// communications services, with the read time-outs the system itself applies.
#pragma once

#include "platform/platform.h"

namespace talq::platform::win32 {

class Win32Platform final : public Platform {
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
};

// The system's error from this thread's latest OpenDevice that failed (0 after
// one that succeeded), for explaining it.
unsigned long LastOpenError();

}  // namespace talq::platform::win32
