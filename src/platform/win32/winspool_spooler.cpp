#include "platform/win32/winspool_spooler.h"

#include "platform/port_match.h"

namespace talq::platform::win32 {

// Not reached yet: the spooler lists no queue, so nothing is switched.
std::string WinspoolSpooler::Scheduler() {
    return {};
}

std::unique_ptr<Spooler> WinspoolSpooler::Reach(const std::string& scheduler) {
    if (!scheduler.empty()) return nullptr;
    return std::make_unique<WinspoolSpooler>();
}

// A queue prints to the port itself, by its name ("COM1"), whatever device
// TALQ_COMn leads the program to.
std::string WinspoolSpooler::PortMatchText(const std::string& portName) {
    return portName;
}

bool WinspoolSpooler::PrintsTo(const std::string& portText, const std::string& match) {
    return PortListNamesPort(portText, match);
}

std::string WinspoolSpooler::DiscardPort() {
    return "FILE:";
}

std::optional<std::vector<SpoolerQueue>> WinspoolSpooler::LocalQueues() {
    return std::nullopt;
}

QueueState WinspoolSpooler::ReadQueue(const std::string&) {
    return {};
}

bool WinspoolSpooler::SetPortText(const std::string&, const std::string&) {
    return false;
}

bool WinspoolSpooler::Pause(const std::string&) {
    return false;
}

bool WinspoolSpooler::Resume(const std::string&) {
    return false;
}

}  // namespace talq::platform::win32
