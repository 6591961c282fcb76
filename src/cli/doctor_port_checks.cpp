// talq doctor, one port: where its name leads, and what stands in the way of opening it there.
#include <algorithm>

#include "cli/doctor_checks.h"
#include "cli/known_holders.h"
#include "cli/port_names.h"
#include "platform/device_diagnostics.h"
#include "platform/network_address.h"
#include "platform/port_devices.h"
#include "platform/port_mapping.h"
#include "platform/ports_file.h"
#include "platform/spooler.h"

namespace talq::cli {
namespace {

using platform::DeviceNode;
using platform::GroupStanding;

std::string MappingWords(const std::string& port, const std::string& device) {
    if (!PortKindOfName(port) || *PortKindOfName(port) == link::Usb) {
        return "a USB printer entry: its node is " + device;
    }
    if (port == device) return "a device server's address, given as the port";
    const platform::PortMapping mapping = platform::MappingOfPort(port);
    std::string from = "(the system's default)";
    if (mapping.source == platform::MappingSource::File) {
        from = "(ports file " + mapping.file + ":" + std::to_string(mapping.line) + ")";
    } else if (mapping.source == platform::MappingSource::Environment) {
        from = "(environment " + mapping.variable + ")";
    }
    return port + " leads to " + device + " " + from;
}

std::string NodeWords(const DeviceNode& node) {
    std::string text = node.path;
    if (node.resolved != node.path) text += " (which is " + node.resolved + ")";
    text += ": " + node.kind;
    if (!node.mode.empty()) {
        text += ", owner " + node.owner + ", group " + node.group + ", mode " + node.mode;
    }
    return text;
}

std::string AccessMend(const DeviceNode& node, const std::string& user) {
    if (node.mode.empty()) {  // a system without owners and modes on its devices
        return "the system refuses to open it: is the device behind the name there and working?";
    }
    if (!node.groupMayOpen) {
        return "mode " + node.mode + " lets no group open it: sudo chmod 660 " + node.resolved +
               " (a udev rule that sets the mode makes it last from plug to plug)";
    }
    switch (node.standing) {
        case GroupStanding::NotMember:
            return "sudo usermod -aG " + node.group + " " + user + ", then log out and in again";
        case GroupStanding::AfterLogin:
            return "you are in group " + node.group +
                   ", but this session began before you joined it: log out and in again (or "
                   "start a shell in the group: newgrp " +
                   node.group + ")";
        case GroupStanding::Member:
            break;
    }
    return "you are in group " + node.group +
           ", which may use it, and still the system refuses (an access control list, a "
           "read-only mount?): ask the machine's administrator";
}

void CheckAccess(const DeviceNode& node, ReportSection& section) {
    const std::string user = platform::UserName();
    if (!node.permissionsKnown) {
        section.Add("access", Verdict::Note,
                    "the system tells who may open it only to an open (see printer below)");
    } else if (node.mayOpen) {
        section.Add("access", Verdict::Ok, user + " may read and write it");
    } else {
        section.Add("access", Verdict::Problem, user + " may not open it: " + node.refusal,
                    AccessMend(node, user));
    }
}

void CheckHolders(const std::string& device, ReportSection& section) {
    const platform::DeviceHolders holders = platform::FindDeviceHolders(device);
    for (const platform::ProcessInfo& end : holders.otherEnd) {
        section.Add("other end", Verdict::Note,
                    "a pseudo-terminal: " + HolderWords(end) + " is at its other end");
    }
    if (!holders.held) {
        std::string text = "no other program has it open";
        if (holders.unseen > 0) {
            text += " (" + std::to_string(holders.unseen) +
                    " processes of other users could not be looked into; as root, talq doctor "
                    "sees them all)";
        }
        section.Add("held", Verdict::Ok, text);
        return;
    }
    if (holders.processes.empty()) {
        section.Add("held", Verdict::Problem, "another program holds it",
                    MendForHolder({}, device));
    }
    for (const platform::ProcessInfo& holder : holders.processes) {
        std::string text = "held by " + HolderWords(holder);
        if (ClaimsSerialAdapters(holder.name)) text += ", a daemon that claims serial adapters";
        section.Add("held", Verdict::Problem, text, MendForHolder(holder, device));
    }
}

void CheckHardware(const std::string& port, const DeviceNode& node, ReportSection& section) {
    const bool serial = PortKindOfName(port) == link::Serial;
    if (serial && platform::SerialHardwareBehind(node.path) == platform::SerialHardware::Absent) {
        section.Add("hardware", Verdict::Problem,
                    "the system reports no serial port hardware behind " + node.resolved +
                        ": nothing there can answer",
                    "use the port the printer's cable is in (talq ports; talq map --list for "
                    "USB serial adapters)");
        return;
    }
    if (node.adapter.empty() && node.driver.empty()) return;
    std::string text = node.adapter.empty() ? "driver " + node.driver : node.adapter;
    if (!node.adapter.empty() && !node.driver.empty()) text += " (driver " + node.driver + ")";
    section.Add("hardware", Verdict::Ok, text);
}

void CheckQueues(const std::string& port, ReportSection& section) {
    if (!platform::IsFixedPortName(port)) return;  // USB printers are not queued by device
    platform::Spooler& spooler = platform::CurrentSpooler();
    const std::string match = spooler.PortMatchText(port);
    if (match.empty()) return;
    const auto queues = spooler.LocalQueues();
    if (!queues) {
        section.Add("print queues", Verdict::Note, "the print system could not be asked");
        return;
    }
    int found = 0;
    for (const platform::SpoolerQueue& queue : *queues) {
        if (!spooler.PrintsTo(queue.portText, match)) continue;
        ++found;
        const platform::QueueState state = spooler.ReadQueue(queue.name);
        const std::string how = state.lookup != platform::QueueLookup::Found ? "state unknown"
                                : state.paused ? "paused: its jobs wait"
                                               : "taking jobs";
        section.Add("print queue", Verdict::Note,
                    "\"" + queue.name + "\" prints to it (" + queue.portText + "), " + how +
                        "; talq holds it off the port while it works there, then gives it back");
    }
    if (found == 0) section.Add("print queues", Verdict::Ok, "none prints to it");
}

}  // namespace

ReportSection ExaminePort(const std::string& portName) {
    ReportSection section;
    section.title = section.port = portName;
    const std::string device = DevicePathOf(portName);
    section.device = device;
    if (device.empty()) {
        section.Add("mapping", Verdict::Problem, portName + " leads to no device",
                    "talq map " + portName + " DEVICE");
        return section;
    }
    section.Add("mapping", Verdict::Ok, MappingWords(portName, device));
    if (platform::IsNetworkAddress(device)) {
        if (const auto problem = platform::ProblemWithNetworkAddress(device)) {
            section.Add("address", Verdict::Problem, *problem, "mend the address");
            return section;
        }
        section.Add("device", Verdict::Note,
                    "a device server: only a connection tells whether it answers (see printer "
                    "below); print queues are never moved for it");
        return section;
    }

    const DeviceNode node = platform::ExamineDeviceNode(device);
    if (!node.exists) {
        section.Add("device", Verdict::Problem, device + " is not there: " + node.reason,
                    "plug the printer (or its serial adapter) in and switch it on; talq ports "
                    "lists the ports present, talq map --list the serial adapters");
        return section;
    }
    if (!node.device) {
        section.Add("device", Verdict::Problem, NodeWords(node) + ", not a device",
                    "talq map " + portName + " DEVICE, with the printer's device");
        return section;
    }
    section.Add("device", Verdict::Ok, NodeWords(node));
    if (node.console) {
        section.Add("console", Verdict::Problem,
                    "the system's console writes to " + node.resolved +
                        ": its messages would reach the printer",
                    "use another port, or start the system without console=" +
                        node.resolved.substr(node.resolved.find_last_of('/') + 1));
    }
    CheckHardware(portName, node, section);
    CheckAccess(node, section);
    CheckHolders(device, section);
    CheckQueues(portName, section);
    return section;
}

}  // namespace talq::cli
