#include "usb/usb_testbed.h"

#include <poll.h>
#include <termios.h>

#include <cstdio>
#include <stdexcept>

namespace talq::usbtest {
namespace {

std::string DeviceSyspath(const std::string& port) {
    return "/sys/devices/pci0000:00/usb1/1-" + port;
}

std::string Hex4(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

}  // namespace

UsbTestbed::UsbTestbed() : testbed_(umockdev_testbed_new()) {
    if (!umockdev_in_mock_environment()) throw std::runtime_error("run under umockdev-wrapper");
}

UsbTestbed::~UsbTestbed() {
    g_object_unref(testbed_);
}

std::string UsbTestbed::PrinterSyspath(const std::string& port, int lpNumber) {
    return DeviceSyspath(port) + "/1-" + port + ":1.0/usbmisc/lp" + std::to_string(lpNumber);
}

namespace {

std::string DeviceRecord(const std::string& devpath, std::uint16_t vendorId,
                         std::uint16_t productId, const std::string& serialNumber) {
    std::string record =
        "P: " + devpath +
        "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nA: idVendor=" + Hex4(vendorId) +
        "\nA: idProduct=" + Hex4(productId) + "\n";
    if (!serialNumber.empty()) record += "A: serial=" + serialNumber + "\n";
    return record;
}

void Add(UMockdevTestbed* testbed, const std::string& record) {
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed, record.c_str(), &error)) {
        const std::string message = error != nullptr ? error->message : "unknown error";
        g_clear_error(&error);
        throw std::runtime_error("testbed: " + message);
    }
}

}  // namespace

void UsbTestbed::AddSerialAdapter(const std::string& port, std::uint16_t vendorId,
                                  std::uint16_t productId, const std::string& serialNumber,
                                  const std::string& tty, int interface, const std::string& byId) {
    const std::string devpath = DeviceSyspath(port).substr(4);
    const std::string interfacePath = devpath + "/1-" + port + ":1." + std::to_string(interface);
    char number[4];
    std::snprintf(number, sizeof number, "%02x", interface);
    Add(testbed_,
        DeviceRecord(devpath, vendorId, productId, serialNumber) + "\nP: " + interfacePath +
            "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nA: bInterfaceNumber=" + number +
            "\n\nP: " + interfacePath + "/" + tty + "/tty/" + tty + "\nN: " + tty +
            "\nE: SUBSYSTEM=tty\nE: DEVNAME=/dev/" + tty + "\nE: DEVLINKS=/dev/serial/by-id/" +
            byId + "\n");
}

std::string UsbTestbed::AddUsbDevice(const std::string& port, std::uint16_t vendorId,
                                     std::uint16_t productId, int lpNumber,
                                     const std::string& serialNumber) {
    const std::string syspath = DeviceSyspath(port);
    const std::string devpath = syspath.substr(4);  // without "/sys"
    std::string record = DeviceRecord(devpath, vendorId, productId, serialNumber);
    if (lpNumber >= 0) {
        const std::string lp = "lp" + std::to_string(lpNumber);
        record +=
            "\nP: " + devpath + "/1-" + port + ":1.0\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\n";
        record += "\nP: " + PrinterSyspath(port, lpNumber).substr(4) + "\nN: usb/" + lp +
                  "\nE: SUBSYSTEM=usbmisc\nE: DEVNAME=/dev/usb/" + lp + "\n";
    }
    Add(testbed_, record);
    return syspath;
}

void UsbTestbed::Uevent(const std::string& syspath, const char* action) {
    umockdev_testbed_uevent(testbed_, syspath.c_str(), action);
}

int UsbTestbed::PrinterFd(const std::string& devnode) {
    const int fd = umockdev_testbed_get_dev_fd(testbed_, devnode.c_str());
    if (fd < 0) throw std::runtime_error("no pseudo-terminal behind " + devnode);
    // No echo and no line editing: the printer side sees and sends bytes.
    termios raw{};
    if (::tcgetattr(fd, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(fd, TCSANOW, &raw);
    }
    return fd;
}

bool WaitReadable(int fd, int timeoutMs) {
    pollfd pfd{fd, POLLIN, 0};
    return ::poll(&pfd, 1, timeoutMs) > 0 && (pfd.revents & POLLIN) != 0;
}

}  // namespace talq::usbtest
