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

// Where this thread's latest open of a device failed, and the system's error there, for
// explaining it: the open itself, reading the serial line's state (which only a serial device
// has), or setting the line (settings or time-outs the driver refuses).
enum class OpenStep { None, Open, ReadLine, SetLine };
struct OpenFailure {
    OpenStep step = OpenStep::None;  // None after an open that succeeded
    unsigned long error = 0;
};
OpenFailure LastOpenFailure();

}  // namespace talq::platform::win32
