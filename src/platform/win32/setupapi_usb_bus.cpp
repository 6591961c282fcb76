#include "platform/win32/setupapi_usb_bus.h"

// windows.h first: the others rely on its types.
#include <windows.h>
//
#include <initguid.h>
#include <setupapi.h>
#include <usbiodef.h>

#include <memory>

#include "platform/usb_identity.h"
#include "platform/win32/device_change_window.h"
#include "platform/win32/setupapi_ports.h"
#include "platform/win32/usb_interface_path.h"

namespace talq::platform::win32 {
namespace {

struct DeviceSet {
    HDEVINFO set;
    ~DeviceSet() { SetupDiDestroyDeviceInfoList(set); }
};

// The entry's device path; empty when its detail record cannot be had. `device` receives the
// device the interface belongs to.
std::string InterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& entry, SP_DEVINFO_DATA& device) {
    DWORD needed = 0;
    SetupDiGetDeviceInterfaceDetailA(set, &entry, nullptr, 0, &needed, nullptr);
    if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return {};
    std::unique_ptr<BYTE[]> buffer(new BYTE[needed]);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.get());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    device.cbSize = sizeof device;
    if (!SetupDiGetDeviceInterfaceDetailA(set, &entry, detail, needed, nullptr, &device)) {
        return {};
    }
    return detail->DevicePath;
}

}  // namespace

// The interfaces of the USB-device class in the system's order; the path of
// each is what a port list entry names and what opens it.
std::optional<std::vector<UsbDeviceInfo>> SetupApiUsbBus::PresentDevices() {
    const HDEVINFO set = SetupDiGetClassDevsA(&GUID_DEVINTERFACE_USB_DEVICE, nullptr, nullptr,
                                              DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return std::nullopt;
    const DeviceSet owned{set};
    std::vector<UsbDeviceInfo> devices;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA entry{};
        entry.cbSize = sizeof entry;
        // Any error ends the list: "no more items" is only the usual one, and going on past
        // another would walk billions of indexes.
        if (!SetupDiEnumDeviceInterfaces(set, nullptr, &GUID_DEVINTERFACE_USB_DEVICE, index,
                                         &entry)) {
            break;
        }
        UsbDeviceInfo device;
        SP_DEVINFO_DATA record{};
        device.devnode = InterfacePath(set, entry, record);
        if (device.devnode.empty()) continue;  // no path to open it by: not listed
        device.syspath = device.devnode;
        const UsbIds ids = UsbIdsOfInterfacePath(device.devnode);
        device.vendorId = ids.vendorId;
        device.productId = ids.productId;
        // The path holds the instance id, and with it the serial number when there is one.
        if (const auto identity = UsbIdentityOfInstanceId(device.devnode)) {
            device.serialNumber = identity->serialNumber;
        }
        device.busPath = DeviceProperty(set, record, SPDRP_LOCATION_PATHS);
        devices.push_back(std::move(device));
    }
    return devices;
}

std::vector<SerialAdapter> SetupApiUsbBus::PresentSerialLines() {
    return SetupApiSerialPorts();
}

// Arrivals and removals reach a window's messages, not a descriptor to watch:
// the window belongs to the calling thread, whose message pump delivers them.
std::unique_ptr<UsbMonitor> SetupApiUsbBus::Watch() {
    return DeviceChangeWindow::Create();
}

}  // namespace talq::platform::win32
