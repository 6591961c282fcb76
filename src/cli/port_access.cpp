#include "cli/port_access.h"

#include "cli/port_names.h"

namespace talq::cli {
namespace {

constexpr const char* kNoDeviceReason = "the name maps to no device";

}  // namespace

PortAccess ExaminePortAccess(const std::string& portName) {
    const std::string devicePath = DevicePathOf(portName);
    if (devicePath.empty()) {
        PortAccess access;
        access.reason = kNoDeviceReason;
        return access;
    }
    return platform::ExamineDeviceAccess(devicePath);
}

std::string ExplainOpenFailure(const std::string& portName) {
    const std::string devicePath = DevicePathOf(portName);
    const std::string text = portName + " (" + (devicePath.empty() ? "no device" : devicePath) +
                             ") cannot be opened: ";
    if (devicePath.empty()) return text + kNoDeviceReason;
    return text + platform::ExplainDeviceOpenFailure(devicePath);
}

}  // namespace talq::cli
