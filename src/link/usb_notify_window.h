// The device-change window of a USB connection. It owns the system's monitor:
// either the user-interface thread's event loop watches its descriptor, or the
// system hands its notices to a window of that thread, dispatched by the
// thread's message pump. Either way notices run on that thread between
// transfers, never during one. It keeps the
// notification registrations of its port and turns the monitor's events into
// device-change notices: "remove" of a registered node is the removal of that
// handle; "add" of a USB device (or of a USB printer node, which appears after
// its device) is an arrival. Linux asks no query-remove, but the answer to one
// stays, for the handle record a caller passes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/usb_bus.h"

namespace talq::link {

class UsbPort;

// Event types of a device-change notice.
inline constexpr unsigned kDeviceArrival = 0x8000;
inline constexpr unsigned kDeviceQueryRemove = 0x8001;
inline constexpr unsigned kDeviceQueryRemoveFailed = 0x8002;
inline constexpr unsigned kDeviceRemovePending = 0x8003;
inline constexpr unsigned kDeviceRemoveComplete = 0x8004;

// The answer that refuses a request to remove the device.
inline constexpr std::uint32_t kBroadcastQueryDeny = 0x424D5144;

// Device types of a notice's record.
inline constexpr std::uint32_t kDeviceTypeInterface = 5;
inline constexpr std::uint32_t kDeviceTypeHandle = 6;

struct DeviceChangeRecord {
    std::uint32_t deviceType = 0;
    // The handle a handle record is about.
    platform::DeviceHandle handle = platform::kNoDevice;
};

using NotificationId = int;
inline constexpr NotificationId kNoNotification = 0;

class UsbNotifyWindow {
  public:
    explicit UsbNotifyWindow(UsbPort* port) : owner(port) {}
    ~UsbNotifyWindow();
    UsbNotifyWindow(const UsbNotifyWindow&) = delete;
    UsbNotifyWindow& operator=(const UsbNotifyWindow&) = delete;

    // Starts watching the USB bus; false when the system offers no monitor.
    bool Create();
    void Destroy();
    bool exists() const { return monitor_ != nullptr; }
    // The descriptor for the event loop to watch; -1 while the window does
    // not exist.
    int fd() const;
    // Called by the event loop when fd() is readable: delivers every waiting
    // event as device-change notices.
    void OnReadable();

    // Notices about USB devices in general (arrivals). kNoNotification when
    // the window does not exist.
    NotificationId RegisterInterfaceNotification();
    // Notices about the device open as `handle` from the node `path`.
    NotificationId RegisterHandleNotification(platform::DeviceHandle handle,
                                              const std::string& path);
    // false for kNoNotification or an unknown registration.
    bool UnregisterNotification(NotificationId id);

    // Returns the notice's answer: 1, or kBroadcastQueryDeny to refuse the
    // removal of the open device. `record` may be missing.
    std::uint32_t OnDeviceChange(unsigned eventType, const DeviceChangeRecord* record);

    UsbPort* owner;

  private:
    struct Registration {
        NotificationId id = kNoNotification;
        std::uint32_t deviceType = 0;
        platform::DeviceHandle handle = platform::kNoDevice;
        std::string path;
    };

    // The answer to the event: kBroadcastQueryDeny when a notice refused it.
    std::uint32_t Deliver(const platform::UsbEvent& event);
    bool IsRegistered(NotificationId id) const;

    std::unique_ptr<platform::UsbMonitor> monitor_;
    std::vector<Registration> registrations_;
    NotificationId nextId_ = 1;
};

}  // namespace talq::link
