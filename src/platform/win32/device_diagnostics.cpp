// Windows: a COM or LPT name is a DOS device whose target names the driver's device; the
// adapter behind a COM port is the Ports class entry whose PortName it is. Who may open a
// device, and whether another program holds it, the system tells only to an open: one for a
// moment, nothing sent.
#include "platform/device_diagnostics.h"

// windows.h first: the others rely on its types.
#include <windows.h>
//
#include <devguid.h>
#include <setupapi.h>

#include <string>

#include "platform/port_devices.h"
#include "platform/system_reason.h"
#include "platform/win32/utf8.h"

namespace talq::platform {
namespace {

std::wstring OpenName(const std::string& devicePath) {
    const std::string name = SystemDeviceName(devicePath);
    return win32::Utf8ToWide(name.empty() ? devicePath : "\\\\.\\" + name);
}

std::string RegistryText(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t text[512] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr,
                                           reinterpret_cast<BYTE*>(text), sizeof text - 2,
                                           nullptr)) {
        return {};
    }
    return win32::WideToUtf8(text);  // a multi-string's first entry
}

// The Ports class entry whose PortName is `port` ("COM3"): its friendly name, hardware id and
// driver service.
void DescribeAdapter(const std::string& port, DeviceNode& facts) {
    const HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return;
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        if (!SetupDiEnumDeviceInfo(set, index, &device)) break;
        const HKEY key =
            SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        wchar_t name[64] = {};
        DWORD size = sizeof name - 2;
        const bool named = RegQueryValueExW(key, L"PortName", nullptr, nullptr,
                                            reinterpret_cast<BYTE*>(name), &size) == ERROR_SUCCESS;
        RegCloseKey(key);
        if (!named || _wcsicmp(name, win32::Utf8ToWide(port).c_str()) != 0) continue;
        facts.adapter = RegistryText(set, device, SPDRP_FRIENDLYNAME);
        if (const std::string id = RegistryText(set, device, SPDRP_HARDWAREID); !id.empty()) {
            facts.adapter += (facts.adapter.empty() ? "" : ", ") + id;
        }
        facts.driver = RegistryText(set, device, SPDRP_SERVICE);
        break;
    }
    SetupDiDestroyDeviceInfoList(set);
}

// Opens the device for this process alone, as the program does, and closes it at once: the
// system's error, or ERROR_SUCCESS.
DWORD TryOpen(const std::string& devicePath) {
    const HANDLE handle = CreateFileW(OpenName(devicePath).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return GetLastError();
    CloseHandle(handle);
    return ERROR_SUCCESS;
}

// A COM port is opened exclusively: a held one refuses the next open so.
bool HeldRefusal(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
}

}  // namespace

DeviceHolders FindDeviceHolders(const std::string& devicePath) {
    DeviceHolders found;
    found.held = HeldRefusal(TryOpen(devicePath));
    return found;
}

DeviceNode ExamineDeviceNode(const std::string& devicePath) {
    DeviceNode facts;
    facts.path = facts.resolved = devicePath;
    const std::string name = SystemDeviceName(devicePath);
    if (!name.empty()) {
        wchar_t target[1024] = {};
        facts.exists =
            QueryDosDeviceW(win32::Utf8ToWide(name).c_str(), target, std::size(target)) != 0;
        facts.device = facts.exists;
        facts.kind = win32::WideToUtf8(target);
        facts.resolved = name;
    } else {
        const DWORD attributes = GetFileAttributesW(win32::Utf8ToWide(devicePath).c_str());
        facts.exists = attributes != INVALID_FILE_ATTRIBUTES;
        facts.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? "folder" : "file";
    }
    if (!facts.exists) {
        facts.reason = SystemReason(static_cast<int>(GetLastError()));
        return facts;
    }
    if (!name.empty()) DescribeAdapter(name, facts);
    // Who may open it, only an open tells; a refusal as held is for FindDeviceHolders to tell.
    const DWORD error = TryOpen(devicePath);
    facts.permissionsKnown = !HeldRefusal(error);
    facts.mayOpen = error == ERROR_SUCCESS;
    if (!facts.mayOpen) facts.refusal = SystemReason(static_cast<int>(error));
    return facts;
}

UsbDeviceDetails DescribeUsbDevice(const std::string& syspath) {
    UsbDeviceDetails details;
    details.where = syspath;
    return details;
}

PrinterAccessRule FindPrinterAccessRule() {
    return {};
}

std::string SystemDescription() {
    std::string text = "Windows";
    using Version = LONG(WINAPI*)(OSVERSIONINFOW*);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll != nullptr) {
        OSVERSIONINFOW version{};
        version.dwOSVersionInfoSize = sizeof version;
        const auto get = reinterpret_cast<Version>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
        if (get != nullptr && get(&version) == 0) {
            text += " " + std::to_string(version.dwMajorVersion) + "." +
                    std::to_string(version.dwMinorVersion) + "." +
                    std::to_string(version.dwBuildNumber);
        }
        using WineVersion = const char*(CDECL*)();
        const auto wine = reinterpret_cast<WineVersion>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
        if (wine != nullptr) text += std::string(" (Wine ") + wine() + ")";
    }
    return text;
}

std::string UserName() {
    wchar_t name[256] = {};
    DWORD size = std::size(name);
    return GetUserNameW(name, &size) ? win32::WideToUtf8(name) : std::string();
}

}  // namespace talq::platform
