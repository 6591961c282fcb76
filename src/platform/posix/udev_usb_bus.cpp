#include "platform/posix/udev_usb_bus.h"

#include <libudev.h>
#include <poll.h>

#include <charconv>
#include <cstring>
#include <sstream>
#include <string_view>
#include <unordered_map>

namespace talq::platform::posix {
namespace {

struct UdevFree {
    void operator()(udev* p) const { udev_unref(p); }
    void operator()(udev_enumerate* p) const { udev_enumerate_unref(p); }
    void operator()(udev_device* p) const { udev_device_unref(p); }
    void operator()(udev_monitor* p) const { udev_monitor_unref(p); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevFree>;

std::string Text(const char* value) {
    return value != nullptr ? std::string(value) : std::string();
}

// idVendor / idProduct are four hex digits; anything else reads as 0, which
// matches no maker.
std::uint16_t HexId(const char* value) {
    if (value == nullptr) return 0;
    const std::string_view text(value);
    unsigned parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed, 16);
    if (ec != std::errc{} || end != text.data() + text.size() || parsed > 0xFFFF) return 0;
    return static_cast<std::uint16_t>(parsed);
}

bool IsUsbDevice(udev_device* device) {
    const char* subsystem = udev_device_get_subsystem(device);
    const char* devtype = udev_device_get_devtype(device);
    return subsystem != nullptr && devtype != nullptr && std::strcmp(subsystem, "usb") == 0 &&
           std::strcmp(devtype, "usb_device") == 0;
}

// A node of the kernel's USB printer driver: usbmisc "lpN".
bool IsPrinterNode(udev_device* device) {
    const char* subsystem = udev_device_get_subsystem(device);
    const char* sysname = udev_device_get_sysname(device);
    return subsystem != nullptr && sysname != nullptr && std::strcmp(subsystem, "usbmisc") == 0 &&
           std::strncmp(sysname, "lp", 2) == 0;
}

UsbIdentity IdentityOfUsbDevice(udev_device* usb) {
    UsbIdentity identity;
    identity.vendorId = HexId(udev_device_get_sysattr_value(usb, "idVendor"));
    identity.productId = HexId(udev_device_get_sysattr_value(usb, "idProduct"));
    identity.serialNumber = Text(udev_device_get_sysattr_value(usb, "serial"));
    // The device's name in sysfs is where it is plugged in: bus, then the port on each hub.
    identity.busPath = Text(udev_device_get_sysname(usb));
    return identity;
}

// The links udev made for the node (/dev/serial/by-id/..., by-path/...). udev's database
// holds them as a list; a description without one (a test bed) may give the DEVLINKS
// property alone.
std::vector<std::string> DeviceLinks(udev_device* device) {
    std::vector<std::string> links;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_device_get_devlinks_list_entry(device)) {
        links.push_back(Text(udev_list_entry_get_name(entry)));
    }
    if (links.empty()) {
        std::istringstream words(Text(udev_device_get_property_value(device, "DEVLINKS")));
        for (std::string link; words >> link;) links.push_back(link);
    }
    return links;
}

UdevPtr<udev_enumerate> Scan(udev* context, const char* subsystem) {
    UdevPtr<udev_enumerate> scan(udev_enumerate_new(context));
    if (!scan || udev_enumerate_add_match_subsystem(scan.get(), subsystem) < 0 ||
        udev_enumerate_scan_devices(scan.get()) < 0) {
        return nullptr;
    }
    return scan;
}

// USB device syspath -> the first usblp node below it.
std::optional<std::unordered_map<std::string, std::string>> PrinterNodes(udev* context) {
    auto scan = Scan(context, "usbmisc");
    if (!scan) return std::nullopt;
    std::unordered_map<std::string, std::string> nodes;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(scan.get())) {
        UdevPtr<udev_device> node(
            udev_device_new_from_syspath(context, udev_list_entry_get_name(entry)));
        if (!node) continue;
        const char* devnode = udev_device_get_devnode(node.get());
        if (devnode == nullptr || !IsPrinterNode(node.get())) continue;
        // The parent belongs to `node` and goes with it.
        udev_device* usb =
            udev_device_get_parent_with_subsystem_devtype(node.get(), "usb", "usb_device");
        if (usb == nullptr) continue;
        nodes.emplace(Text(udev_device_get_syspath(usb)), devnode);
    }
    return nodes;
}

constexpr int kMaxDroppedPerReceive = 64;

class UdevUsbMonitor final : public UsbMonitor {
  public:
    UdevUsbMonitor(UdevPtr<udev> context, UdevPtr<udev_monitor> monitor)
        : context_(std::move(context)), monitor_(std::move(monitor)) {}

    int fd() const override { return udev_monitor_get_fd(monitor_.get()); }

    std::optional<UsbEvent> Receive() override {
        // A message the filter drops yields no device although more may wait:
        // go on while the socket still has something, never block. A flood of
        // dropped messages is left for the next call (the socket stays
        // readable), so the event loop is never held here.
        for (int dropped = 0; dropped < kMaxDroppedPerReceive; ++dropped) {
            pollfd pfd{fd(), POLLIN, 0};
            if (::poll(&pfd, 1, 0) <= 0 || (pfd.revents & POLLIN) == 0) return std::nullopt;
            UdevPtr<udev_device> device(udev_monitor_receive_device(monitor_.get()));
            if (!device) continue;
            UsbEvent event;
            event.action = Text(udev_device_get_action(device.get()));
            event.syspath = Text(udev_device_get_syspath(device.get()));
            event.devnode = Text(udev_device_get_devnode(device.get()));
            event.isUsbDevice = IsUsbDevice(device.get());
            event.isPrinterNode = IsPrinterNode(device.get());
            return event;
        }
        return std::nullopt;
    }

  private:
    UdevPtr<udev> context_;
    UdevPtr<udev_monitor> monitor_;
};

}  // namespace

std::optional<std::vector<UsbDeviceInfo>> UdevUsbBus::PresentDevices() {
    UdevPtr<udev> context(udev_new());
    if (!context) return std::nullopt;
    auto nodes = PrinterNodes(context.get());
    auto scan = Scan(context.get(), "usb");
    if (!nodes || !scan) return std::nullopt;

    std::vector<UsbDeviceInfo> devices;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(scan.get())) {
        UsbDeviceInfo info;
        info.syspath = Text(udev_list_entry_get_name(entry));
        UdevPtr<udev_device> device(
            udev_device_new_from_syspath(context.get(), info.syspath.c_str()));
        // Interfaces share the subsystem; only whole devices count. A device
        // that vanished since the scan is simply no longer present.
        if (!device || !IsUsbDevice(device.get())) continue;
        const UsbIdentity identity = IdentityOfUsbDevice(device.get());
        info.vendorId = identity.vendorId;
        info.productId = identity.productId;
        info.serialNumber = identity.serialNumber;
        info.busPath = identity.busPath;
        if (auto node = nodes->find(info.syspath); node != nodes->end())
            info.devnode = node->second;
        devices.push_back(std::move(info));
    }
    return devices;
}

std::vector<SerialAdapter> UdevUsbBus::PresentSerialLines() {
    std::vector<SerialAdapter> lines;
    UdevPtr<udev> context(udev_new());
    if (!context) return lines;
    auto scan = Scan(context.get(), "tty");
    if (!scan) return lines;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(scan.get())) {
        UdevPtr<udev_device> tty(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (!tty || udev_device_get_devnode(tty.get()) == nullptr) continue;
        // Both parents belong to `tty` and go with it.
        udev_device* usb =
            udev_device_get_parent_with_subsystem_devtype(tty.get(), "usb", "usb_device");
        if (usb == nullptr) continue;  // a UART on the board, a virtual terminal
        SerialAdapter line;
        line.device = Text(udev_device_get_devnode(tty.get()));
        line.links = DeviceLinks(tty.get());
        line.description = Text(udev_device_get_property_value(tty.get(), "ID_MODEL"));
        UsbIdentity identity = IdentityOfUsbDevice(usb);
        if (udev_device* interface =
                udev_device_get_parent_with_subsystem_devtype(tty.get(), "usb", "usb_interface")) {
            const char* number = udev_device_get_sysattr_value(interface, "bInterfaceNumber");
            if (number != nullptr) identity.interfaceNumber = HexId(number);
        }
        line.usb = identity;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::unique_ptr<UsbMonitor> UdevUsbBus::Watch() {
    UdevPtr<udev> context(udev_new());
    if (!context) return nullptr;
    UdevPtr<udev_monitor> monitor(udev_monitor_new_from_netlink(context.get(), "udev"));
    if (!monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "usb", "usb_device") < 0 ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "usbmisc", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor.get()) < 0) {
        return nullptr;
    }
    return std::make_unique<UdevUsbMonitor>(std::move(context), std::move(monitor));
}

}  // namespace talq::platform::posix
