// A connection to a USB printer of the maker through its device path.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "link/port_settings.h"
#include "platform/platform.h"

namespace talq::link {

class UsbPort {
public:
    UsbPort() = default;
    virtual ~UsbPort();
    UsbPort(const UsbPort&) = delete;
    UsbPort& operator=(const UsbPort&) = delete;

    int SetSettings(const PortSettings& settings);
    int Open();
    int Write(const std::uint8_t* data, int count);
    int Read(std::uint8_t* buffer, int count);
    void Close();

    std::string devicePath;
    platform::DeviceHandle deviceHandle = platform::kNoDevice;
    bool isOpen = false;
    int deviceState = 0;
    std::recursive_mutex ioLock;
};

}  // namespace talq::link
