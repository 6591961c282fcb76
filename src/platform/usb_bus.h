// The USB services of the platform: the present USB devices, in the order the
// system enumerates them, with their printer nodes and ids; and a monitor of
// USB device arrivals and removals. Installed process-wide beside the device
// I/O platform, so a test may put a scripted bus in its place.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/port_devices.h"
#include "platform/usb_identity.h"

namespace talq::platform {

struct UsbDeviceInfo {
    std::string syspath;
    // The printer node the kernel made for the device, or empty when it has
    // none (not a printer, or no printer driver bound).
    std::string devnode;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    // Initialised, so that a list of devices may leave them out.
    std::string serialNumber{};  // "" when the device has none
    std::string busPath{};       // where it is plugged in (see UsbIdentity)
};

UsbIdentity IdentityOf(const UsbDeviceInfo& device);

struct UsbEvent {
    std::string action;  // "add", "remove", "query-remove" (a request to remove), ...
    std::string syspath;
    std::string devnode;         // empty when the event's device has no node
    bool isUsbDevice = false;    // the event is about a USB device as a whole
    bool isPrinterNode = false;  // the event is about a USB printer node
};

// The owner's answer to an event handed to it at once: 1, or a refusal of a
// "query-remove" (the value the system expects for a refusal).
using UsbEventListener = std::function<std::uint32_t(const UsbEvent&)>;

// A source of USB events. Either an event loop watches its descriptor and
// takes the events with Receive, or (fd() -1) the system hands them to a
// window of the thread that made the monitor, which calls the listener from
// that thread's message pump: a request to remove must be answered there and
// then, so it cannot wait in a queue.
class UsbMonitor {
  public:
    virtual ~UsbMonitor() = default;
    // Becomes readable when an event is waiting; -1 when events go to the
    // listener instead.
    virtual int fd() const = 0;
    // The next waiting event, or nullopt when none is waiting. Never blocks.
    virtual std::optional<UsbEvent> Receive() = 0;
    virtual void SetListener(UsbEventListener listener) { (void)listener; }
    // Events about the open `handle` itself, carrying `path` as their devnode,
    // for systems that tell of a handle only when asked; false when refused.
    virtual bool WatchHandle(DeviceHandle handle, const std::string& path) {
        (void)handle, (void)path;
        return true;
    }
    virtual void UnwatchHandle(DeviceHandle handle) { (void)handle; }
};

class UsbBus {
  public:
    virtual ~UsbBus() = default;
    // The present USB devices in enumeration order; nullopt when the system
    // cannot supply the set at all.
    virtual std::optional<std::vector<UsbDeviceInfo>> PresentDevices() = 0;
    // A new monitor of USB devices and their printer nodes, already
    // receiving; nullptr when the system offers none.
    virtual std::unique_ptr<UsbMonitor> Watch() = 0;
    // The serial lines the system describes with the USB device behind each (on Windows
    // every COM port), in no particular order; none unless the bus knows of them.
    virtual std::vector<SerialAdapter> PresentSerialLines() { return {}; }
};

// The installed USB bus: the udev one unless a test installs another.
UsbBus& CurrentUsbBus();
// Installs `bus` (not owned) and returns the one it replaces; nullptr
// restores the udev bus.
UsbBus* InstallUsbBus(UsbBus* bus);

}  // namespace talq::platform
