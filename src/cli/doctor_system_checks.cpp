// talq doctor, beyond one port: the USB bus and the ports files.
#include <cstdio>

#include "cli/doctor_checks.h"
#include "cli/known_holders.h"
#include "cli/port_names.h"
#include "link/usb_discovery.h"
#include "platform/device_diagnostics.h"
#include "platform/network_address.h"
#include "platform/port_access.h"
#include "platform/port_mapping.h"
#include "platform/ports_file.h"
#include "platform/read_regular_file.h"
#include "platform/system_reason.h"
#include "platform/usb_bus.h"
#include "platform/utf8_names.h"

namespace talq::cli {
namespace {

constexpr int kPrinterInterfaceClass = 7;

std::string Ids(const platform::UsbDeviceInfo& device) {
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x:%04x", device.vendorId, device.productId);
    return ids;
}

std::string DeviceWords(const platform::UsbDeviceInfo& device,
                        const platform::UsbDeviceDetails& details) {
    std::string text = Ids(device);
    if (!details.product.empty()) text += " " + details.product;
    if (!details.serial.empty()) text += ", serial " + details.serial;
    return text + " at " + details.where;
}

// Why a printer of the maker has no printer node, and how to mend it.
void CheckUnboundPrinter(const std::string& name, const platform::UsbDeviceDetails& details,
                         ReportSection& section) {
    std::string driver;
    for (const platform::UsbInterfaceDriver& interface : details.interfaces) {
        if (interface.interfaceClass == kPrinterInterfaceClass) driver = interface.driver;
    }
    if (!details.claimedBy.empty()) {
        const platform::ProcessInfo& holder = details.claimedBy.front();
        section.Add("usb printer", Verdict::Problem,
                    name + ": no printer node; " + HolderWords(holder) +
                        " drives the printer itself through " + details.rawNode,
                    MendForHolder(holder, details.rawNode));
    } else if (driver.empty()) {
        section.Add("usb printer", Verdict::Problem,
                    name + ": no printer node: no driver took its printer interface",
                    "sudo modprobe usblp (and look for a \"blacklist usblp\" line under "
                    "/etc/modprobe.d/), then plug the printer in again");
    } else {
        section.Add("usb printer", Verdict::Problem,
                    name + ": no printer node: its printer interface is taken by driver " + driver,
                    "unbind it from " + driver + " (under /sys/bus/usb/drivers/" + driver +
                        "/) so that usblp takes it, or keep that driver from loading");
    }
}

// A maker's printer: its node, and whether this user may open it.
bool CheckPrinter(const platform::UsbDeviceInfo& device, ReportSection& section) {
    const platform::UsbDeviceDetails details = platform::DescribeUsbDevice(device.syspath);
    const std::string name = std::string(link::UsbModelLabel(device.vendorId, device.productId)) +
                             " printer " + DeviceWords(device, details);
    if (device.devnode.empty()) {
        CheckUnboundPrinter(name, details, section);
        return false;
    }
    const platform::DeviceNode node = platform::ExamineDeviceNode(device.devnode);
    if (node.permissionsKnown && !node.mayOpen) {
        section.Add("usb printer", Verdict::Problem,
                    name + ": " + device.devnode + ": " + platform::UserName() +
                        " may not open it (" + node.refusal + ")",
                    "see the rule below, or join group " + node.group + ": sudo usermod -aG " +
                        node.group + " " + platform::UserName() + ", then log out and in again");
        return true;
    }
    section.Add("usb printer", Verdict::Ok, name + ": " + device.devnode);
    return false;
}

void CheckRule(bool printerRefused, ReportSection& section) {
    const platform::PrinterAccessRule rule = platform::FindPrinterAccessRule();
    if (!rule.applies) return;
    if (!rule.path.empty()) {
        section.Add("udev rule", Verdict::Ok, "installed: " + rule.path);
        return;
    }
    section.Add("udev rule", printerRefused ? Verdict::Problem : Verdict::Note,
                rule.name +
                    " is not installed: without it only root and group lp may open the USB "
                    "printers",
                "install the package, or copy " + rule.name +
                    " to /etc/udev/rules.d/; then sudo udevadm control --reload && sudo udevadm "
                    "trigger --subsystem-match=usbmisc");
}

void CheckPortsFile(const std::string& file, bool user, ReportSection& section) {
    std::string text(platform::kMaxPortsFileBytes + 1, '\0');
    const platform::RegularFileRead read = platform::ReadRegularFile(
        file, {reinterpret_cast<std::uint8_t*>(text.data()), text.size()});
    if (read.missing) {
        section.Add("ports file", Verdict::Ok,
                    file + ": none" + (user ? " (talq map writes it)" : ""));
        return;
    }
    if (!read.ok() || read.count > platform::kMaxPortsFileBytes) {
        const std::string why = !read.regular ? "not a regular file"
                                : read.ok()   ? "larger than 64 KiB"
                                              : platform::SystemReason(read.error);
        section.Add("ports file", Verdict::Problem,
                    file + " cannot be used: " + why + "; its mappings are not used",
                    "make it a readable ports file, or remove it");
        return;
    }
    text.resize(read.count);
    const platform::PortsFileContents contents = platform::ParsePortsFile(text);
    section.Add("ports file", Verdict::Ok,
                file + ": " + std::to_string(contents.mappings.size()) + " mapping(s)");
    for (const platform::PortsFileMapping& mapping : contents.mappings) {
        std::string words = "line " + std::to_string(mapping.line) + ": " + mapping.port + " = " +
                            mapping.device;
        const platform::PortMapping used = platform::MappingOfPort(mapping.port);
        if (used.source == platform::MappingSource::Environment) {
            words += " (" + used.variable + " in the environment decides instead)";
        } else if (used.file != file) {
            words += " (" + used.file + " maps it first)";
        } else if (!platform::IsNetworkAddress(mapping.device) &&
                   platform::ExamineDeviceAccess(mapping.device).absent) {
            words += " (absent now: an adapter unplugged?)";
        }
        section.Add("mapping", Verdict::Note, words);
    }
    for (const platform::PortsFileProblem& problem : contents.problems) {
        section.Add("ports file", Verdict::Problem,
                    file + ":" + std::to_string(problem.line) + ": " + problem.text +
                        "; line ignored",
                    "mend or remove the line (talq map PORT DEVICE writes a good one)");
    }
}

}  // namespace

ReportSection ExamineUsbBus() {
    ReportSection section;
    section.title = "USB bus";
    const auto devices = platform::CurrentUsbBus().PresentDevices();
    if (!devices) {
        section.Add("usb", Verdict::Note, "the system gives no list of USB devices");
        return section;
    }
    int printers = 0;
    bool refused = false;
    for (const platform::UsbDeviceInfo& device : *devices) {
        if (link::UsbModelLabel(device.vendorId, device.productId) != nullptr) {
            ++printers;
            refused = CheckPrinter(device, section) || refused;
            continue;
        }
        // A serial adapter taken by a daemon vanishes as a serial port: its USB device tells.
        const platform::UsbDeviceDetails details = platform::DescribeUsbDevice(device.syspath);
        for (const platform::ProcessInfo& holder : details.claimedBy) {
            if (!ClaimsSerialAdapters(holder.name)) continue;
            section.Add("claimed", Verdict::Problem,
                        "USB device " + DeviceWords(device, details) + " is held by " +
                            HolderWords(holder) + ", a daemon that claims serial adapters",
                        MendForHolder(holder, details.rawNode));
        }
    }
    if (printers == 0) {
        section.Add("usb printer", Verdict::Note,
                    "no KTV printer on the bus (" + std::to_string(devices->size()) +
                        " USB devices present)");
    }
    CheckRule(refused, section);
    return section;
}

ReportSection ExaminePortsFiles() {
    ReportSection section;
    section.title = "ports files";
    if (const std::string user = platform::UserPortsFile(); !user.empty()) {
        CheckPortsFile(user, true, section);
    }
    if (const std::string system = platform::SystemPortsFile(); !system.empty()) {
        CheckPortsFile(system, false, section);
    }
    for (const std::string& port : FixedPortNames()) {
        const platform::PortMapping mapping = platform::MappingOfPort(port);
        if (mapping.source != platform::MappingSource::Environment) continue;
        section.Add("environment", Verdict::Note,
                    mapping.variable + "=" + mapping.device + " decides " + port +
                        ", before the ports files");
    }
    return section;
}

}  // namespace talq::cli
