#include "platform/win32/setupapi_ports.h"

// windows.h first (in the header): the others rely on its types.
#include <initguid.h>
//
#include <cfgmgr32.h>
#include <devguid.h>

#include "platform/usb_identity.h"
#include "platform/win32/utf8.h"

namespace talq::platform::win32 {
namespace {

struct DeviceSet {
    HDEVINFO set;
    ~DeviceSet() { SetupDiDestroyDeviceInfoList(set); }
};

// The first string of a REG_SZ or REG_MULTI_SZ value that ended up in `buffer`.
std::string FirstString(const std::wstring& buffer) {
    return WideToUtf8(std::wstring_view(buffer.c_str()));
}

// The port's "PortName" among the device's own settings: the name it opens by.
std::string PortNameOf(HDEVINFO set, SP_DEVINFO_DATA& device) {
    const HKEY key =
        SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (key == INVALID_HANDLE_VALUE) return {};
    std::wstring name(64, L'\0');
    DWORD type = 0, size = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    const LSTATUS read = RegQueryValueExW(key, L"PortName", nullptr, &type,
                                          reinterpret_cast<BYTE*>(name.data()), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_SZ ? FirstString(name) : std::string();
}

std::string InstanceIdOf(DEVINST node) {
    std::wstring id(MAX_DEVICE_ID_LEN + 1, L'\0');
    if (CM_Get_Device_IDW(node, id.data(), MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS) return {};
    return FirstString(id);
}

std::string NodeProperty(DEVINST node, ULONG property) {
    std::wstring text(1024, L'\0');
    ULONG type = 0, size = static_cast<ULONG>(text.size() * sizeof(wchar_t));
    if (CM_Get_DevNode_Registry_PropertyW(node, property, &type, text.data(), &size, 0) !=
        CR_SUCCESS) {
        return {};
    }
    return FirstString(text);
}

// The USB device behind a port, read from the port's own instance id and then up the device
// tree to the first node that is a whole USB device: an FTDI port hangs below
// "USB\VID_0403&PID_6001\A10K1ABC", a port of a composite device below its interface
// "...&MI_00\..." and that below the device. Only the device's own id holds its real serial
// number, and only it has the location on the bus.
struct UsbBehind {
    std::optional<UsbIdentity> identity;
    std::string location;
};

UsbBehind UsbDeviceBehind(HDEVINFO set, SP_DEVINFO_DATA& port) {
    UsbBehind behind;
    behind.identity = UsbIdentityOfInstanceId(InstanceIdOf(port.DevInst));
    if (!behind.identity) return behind;
    DEVINST node = port.DevInst;
    // A few levels at most: port, interface, device.
    for (int level = 0; level < 4; ++level) {
        const std::string id = InstanceIdOf(node);
        const auto here = UsbIdentityOfInstanceId(id);
        if (!here) break;
        if (here->interfaceNumber >= 0 && behind.identity->interfaceNumber < 0) {
            behind.identity->interfaceNumber = here->interfaceNumber;
        }
        if (id.rfind("USB\\", 0) == 0 && id.find("&MI_") == std::string::npos) {
            behind.identity->vendorId = here->vendorId;
            behind.identity->productId = here->productId;
            if (!here->serialNumber.empty()) behind.identity->serialNumber = here->serialNumber;
            behind.identity->busPath = NodeProperty(node, CM_DRP_LOCATION_PATHS);
            behind.location = NodeProperty(node, CM_DRP_LOCATION_INFORMATION);
            break;
        }
        DEVINST parent = 0;
        if (CM_Get_Parent(&parent, node, 0) != CR_SUCCESS) break;
        node = parent;
    }
    // Where the tree cannot be walked, the port's own words stand.
    if (behind.identity->busPath.empty()) {
        behind.identity->busPath = DeviceProperty(set, port, SPDRP_LOCATION_PATHS);
    }
    if (behind.location.empty())
        behind.location = DeviceProperty(set, port, SPDRP_LOCATION_INFORMATION);
    return behind;
}

}  // namespace

std::string DeviceProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    std::wstring text(1024, L'\0');
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(
            set, &device, property, &type, reinterpret_cast<BYTE*>(text.data()),
            static_cast<DWORD>(text.size() * sizeof(wchar_t)), nullptr) ||
        (type != REG_SZ && type != REG_MULTI_SZ)) {
        return {};
    }
    return FirstString(text);
}

std::vector<SerialAdapter> SetupApiSerialPorts() {
    std::vector<SerialAdapter> ports;
    const HDEVINFO set =
        SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return ports;
    const DeviceSet owned{set};
    // Any error ends the list, as in the USB scan.
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        if (!SetupDiEnumDeviceInfo(set, index, &device)) break;
        SerialAdapter port;
        port.description = DeviceProperty(set, device, SPDRP_FRIENDLYNAME);
        if (port.description.empty())
            port.description = DeviceProperty(set, device, SPDRP_DEVICEDESC);
        port.path = PortNameOf(set, device);
        if (port.path.empty()) port.path = PortNameInFriendlyName(port.description);
        // The class also holds the printer ports (LPT1) and modems' odd names.
        if (!port.path.starts_with("COM")) continue;
        port.device = "\\\\.\\" + port.path;
        UsbBehind behind = UsbDeviceBehind(set, device);
        port.usb = behind.identity;
        port.location = behind.location;
        ports.push_back(std::move(port));
    }
    return ports;
}

}  // namespace talq::platform::win32
