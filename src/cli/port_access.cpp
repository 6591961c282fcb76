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
    PortAccess access = platform::ExamineDeviceAccess(devicePath);
    if (access.exists && PortKindOfName(portName) == link::Serial) {
        // A node without a UART opens, or fails with EIO, and then nothing ever answers.
        access.hardware = platform::SerialHardwareBehind(devicePath);
        if (access.hardware == platform::SerialHardware::Absent) {
            access.usable = false;
            access.denied = false;
            access.reason = "no serial hardware";
        }
    }
    return access;
}

std::string ExplainOpenFailure(const std::string& portName) {
    const PortAccess access = ExaminePortAccess(portName);
    const std::string text = portName + " (" +
                             (access.devicePath.empty() ? "no device" : access.devicePath) +
                             ") cannot be opened: ";
    if (access.devicePath.empty() || access.hardware == platform::SerialHardware::Absent) {
        return text + access.reason;
    }
    return text + platform::ExplainDeviceOpenFailure(access.devicePath);
}

}  // namespace talq::cli
