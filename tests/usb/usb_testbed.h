// A udev testbed for the USB tests: synthetic USB devices, printer nodes
// backed by pseudo-terminals, and uevents. The process must run under
// umockdev-wrapper; the testbed must exist before any udev monitor does.
#pragma once

#include <umockdev.h>

#include <cstdint>
#include <string>

namespace talq::usbtest {

class UsbTestbed {
  public:
    UsbTestbed();
    ~UsbTestbed();
    UsbTestbed(const UsbTestbed&) = delete;
    UsbTestbed& operator=(const UsbTestbed&) = delete;

    // Adds a USB device on port `port` of bus 1 (udev lists ports in the
    // order of their names) and sends its "add" uevent. With lpNumber >= 0
    // the device carries the printer node /dev/usb/lp<lpNumber>. Returns the
    // device's syspath.
    std::string AddUsbDevice(const std::string& port, std::uint16_t vendorId,
                             std::uint16_t productId, int lpNumber = -1,
                             const std::string& serialNumber = {});
    // Adds a USB serial adapter on port `port` of bus 1 whose interface `interface` carries
    // the line /dev/<tty>, with udev's stable name /dev/serial/by-id/<byId>.
    void AddSerialAdapter(const std::string& port, std::uint16_t vendorId, std::uint16_t productId,
                          const std::string& serialNumber, const std::string& tty, int interface,
                          const std::string& byId);
    static std::string PrinterSyspath(const std::string& port, int lpNumber);

    void Uevent(const std::string& syspath, const char* action);
    // The far end of a printer node's pseudo-terminal, in raw mode.
    int PrinterFd(const std::string& devnode);

  private:
    UMockdevTestbed* testbed_;
};

// Waits up to `timeoutMs` for `fd` to become readable.
bool WaitReadable(int fd, int timeoutMs);

}  // namespace talq::usbtest
