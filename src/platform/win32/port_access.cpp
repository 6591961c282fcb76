#include "platform/port_access.h"

#include <windows.h>

#include "platform/network_device.h"
#include "platform/system_reason.h"
#include "platform/win32/utf8.h"
#include "platform/win32/win32_platform.h"

namespace talq::platform {
namespace {

// The DOS device a path names ("COM3" for "\\.\COM3"), or empty for a file path.
std::string DeviceNameOf(const std::string& path) {
    return SystemDeviceName(path);
}

}  // namespace

// Without opening it, the system can only say whether the device exists; who
// may use it, and whether another program holds it, an open alone tells.
PortAccess ExamineDeviceAccess(const std::string& devicePath) {
    if (IsNetworkAddress(devicePath)) return NetworkDeviceAccess(devicePath);
    PortAccess access;
    access.devicePath = devicePath;
    const std::string device = DeviceNameOf(devicePath);
    if (!device.empty()) {
        wchar_t target[1024];
        access.exists =
            QueryDosDeviceW(win32::Utf8ToWide(device).c_str(), target, std::size(target)) != 0;
    } else {
        access.exists =
            GetFileAttributesW(win32::Utf8ToWide(devicePath).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    if (!access.exists) {
        const DWORD error = GetLastError();
        access.absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        access.reason = SystemReason(static_cast<int>(error));
        return access;
    }
    access.usable = true;
    access.accessKnown = false;
    return access;
}

std::string ExplainDeviceOpenFailure(const std::string& devicePath) {
    if (IsNetworkAddress(devicePath)) return LastNetworkFailure();
    const bool systemDevice = !DeviceNameOf(devicePath).empty();
    // A port name the system does not have, or has with no device behind it.
    constexpr const char* kNothingBehind = "nothing is behind it (no such port on this system)";
    const PortAccess access = ExamineDeviceAccess(devicePath);
    if (!access.exists) return systemDevice && access.absent ? kNothingBehind : access.reason;
    const win32::OpenFailure failure = win32::LastOpenFailure();
    const DWORD error = failure.error;
    const std::string reason = SystemReason(static_cast<int>(error));
    switch (failure.step) {
        case win32::OpenStep::None:
            return "the open failed";
        case win32::OpenStep::ReadLine:
            // It opened but keeps no serial line: a file or pipe mapped, or (under Wine, which
            // links every COM name) a name linked to nothing.
            return "nothing serial is behind it (" + reason + ")";
        case win32::OpenStep::SetLine:
            return "it refused the line settings (" + reason + ")";
        case win32::OpenStep::Open:
            break;
    }
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return systemDevice ? kNothingBehind : reason;
        case ERROR_SHARING_VIOLATION:
            return "in use by another program";
        case ERROR_ACCESS_DENIED:
            // An exclusively held port answers so as well as a forbidden one.
            return reason + " (another program may be using it)";
        default:
            return reason;
    }
}

}  // namespace talq::platform
