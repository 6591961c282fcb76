// A connection to a USB printer of the maker through its printer node:
// exclusive open, plain synchronous transfers with no time-outs set (a read
// that gets no answer ends after platform::kUntimedReadMs). While open it
// watches its device through its notification window: the device leaving
// closes the handle and marks it removed; a later notice reopens the same
// node, so the connection works again without a new Configure.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "link/port_settings.h"
#include "link/usb_notify_window.h"
#include "platform/platform.h"

namespace talq::link {

class UsbPort {
  public:
    UsbPort() = default;
    virtual ~UsbPort();
    UsbPort(const UsbPort&) = delete;
    UsbPort& operator=(const UsbPort&) = delete;

    // Takes the device path (the port name without its label); 0 when empty.
    int SetSettings(const PortSettings& settings);
    int Open();
    int Write(const std::uint8_t* data, int count);
    int Read(std::uint8_t* buffer, int count);
    void Close();
    // (Re)opens devicePath and watches the new handle; 1 on success.
    int ReopenDevice();
    void CloseDevice();

    std::string devicePath;
    platform::DeviceHandle deviceHandle = platform::kNoDevice;
    // Stays set while the device is removed.
    bool isOpen = false;
    std::recursive_mutex ioLock;
    // 0 never opened, 1 device open, -1 device removed and awaited.
    int deviceState = 0;
    UsbNotifyWindow notifyWindow{this};
    // Arrivals are watched once per port object, from its first Open.
    bool interfaceWatchPending = true;
    NotificationId interfaceNotification = kNoNotification;
    NotificationId handleNotification = kNoNotification;
};

// Whether the system is of the 95/98/Me family; never on this platform.
bool IsWin9xFamily();

}  // namespace talq::link
