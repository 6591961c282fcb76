#include "cli/port_access.h"

#include "cli/port_names.h"
#include "platform/network_address.h"
#include "platform/serial_line_accepts.h"
#include "platform/usb_port_nodes.h"

namespace talq::cli {
namespace {

constexpr const char* kNoDeviceReason = "the name maps to no device";

}  // namespace

PortAccess ExaminePortAccess(const std::string& portName) {
    const std::string devicePath = DevicePathOf(portName);
    if (devicePath.empty()) {
        PortAccess access;
        // A name (or mapping) by USB identity that reaches no device says what is there.
        access.reason = platform::UsbIdentityProblemOfPort(portName);
        if (access.reason.empty()) access.reason = kNoDeviceReason;
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

std::string RefusedLineSetting(const link::PortSettings& settings) {
    const platform::LineSettings wanted{settings.baudRate, settings.dataBits, settings.stopBits,
                                        settings.parity, settings.flowControl};
    if (platform::SerialLineAccepts(wanted)) return {};
    // Each setting alone with the others at their defaults: the one the system refuses.
    const platform::LineSettings plain;
    const struct {
        platform::LineSettings line;
        std::string text;
    } alone[] = {
        {{wanted.baudRate, 8, 0, 0, 0}, "baud rate " + std::to_string(wanted.baudRate)},
        {{plain.baudRate, wanted.dataBits, 0, 0, 0},
         "data bits " + std::to_string(wanted.dataBits)},
        {{plain.baudRate, 8, wanted.stopBits, 0, 0},
         std::string("stop bits ") + (wanted.stopBits == 1   ? "1.5"
                                      : wanted.stopBits == 2 ? "2"
                                                             : "1")},
        {{plain.baudRate, 8, 0, wanted.parity, 0}, "parity " + std::to_string(wanted.parity)},
    };
    for (const auto& setting : alone) {
        if (!platform::SerialLineAccepts(setting.line)) return setting.text;
    }
    return "these line settings together";
}

std::string ExplainOpenFailure(const std::string& portName, const link::PortSettings* settings) {
    const PortAccess access = ExaminePortAccess(portName);
    if (access.devicePath.empty()) return portName + " cannot be opened: " + access.reason;
    // A device server's address given as the port is named once.
    const std::string named =
        access.devicePath == portName ? portName : portName + ": " + access.devicePath;
    const std::string text = named + " cannot be opened: ";
    if (access.hardware == platform::SerialHardware::Absent) return text + access.reason;
    // A device server applies the line settings itself, and says what it refuses.
    if (access.exists && settings != nullptr && PortKindOfName(portName) == link::Serial &&
        !platform::IsNetworkAddress(access.devicePath)) {
        if (const std::string refused = RefusedLineSetting(*settings); !refused.empty()) {
            return text + "the system's serial driver refuses " + refused;
        }
    }
    return text + platform::ExplainDeviceOpenFailure(access.devicePath);
}

}  // namespace talq::cli
