#include "cli/known_holders.h"

#include <array>
#include <string_view>

namespace talq::cli {
namespace {

struct KnownProgram {
    std::string_view name;  // as the system names the process
    bool claimsAdapters;
    std::string_view mend;  // "%" stands for the device, "$" for its name without the folder
};

constexpr std::array<KnownProgram, 14> kKnown = {{
    {"brltty", true,
     "brltty (a braille display daemon) takes USB serial adapters it mistakes for a braille "
     "display; without a braille display: sudo systemctl mask brltty.service "
     "brltty-udev.service (or sudo apt remove brltty), then plug the adapter in again"},
    {"ModemManager", true,
     "ModemManager probes serial ports for modems; keep it off %: a udev rule with "
     "ENV{ID_MM_DEVICE_IGNORE}=\"1\" for the adapter, or sudo systemctl stop ModemManager"},
    {"gpsd", true, "gpsd takes serial ports for GPS receivers: sudo systemctl stop gpsd.socket gpsd"},
    {"agetty", false,
     "a login prompt runs on %: sudo systemctl disable --now serial-getty@$.service"},
    {"getty", false, "a login prompt runs on %: stop its getty service"},
    {"cupsd", false, "the print system has % open: see lpstat -o for the job it prints"},
    {"serial", false, "the print system is sending a job to %: lpstat -o shows it; cancel it or wait"},
    {"parallel", false, "the print system is sending a job to %: lpstat -o shows it; cancel it or wait"},
    {"usb", false, "the print system is sending a job to %: lpstat -o shows it; cancel it or wait"},
    {"ipp-usb", false, "ipp-usb drives the printer itself: sudo systemctl stop ipp-usb"},
    {"talq", false, "another talq run is using %: let it finish"},
    {"talq-manager", false, "talq-manager is using %: close its window"},
    {"minicom", false, "a terminal program has % open: quit it"},
    {"picocom", false, "a terminal program has % open: quit it"},
}};

const KnownProgram* Find(const std::string& program) {
    for (const KnownProgram& known : kKnown) {
        if (known.name == program) return &known;
    }
    return nullptr;
}

}  // namespace

std::string HolderWords(const platform::ProcessInfo& holder) {
    if (holder.pid == 0) return "another program";
    return (holder.name.empty() ? std::string("a process") : holder.name) + " (process " +
           std::to_string(holder.pid) + ")";
}

std::string MendForHolder(const platform::ProcessInfo& holder, const std::string& device) {
    const KnownProgram* known = Find(holder.name);
    if (known == nullptr) {
        return holder.pid == 0 ? "close the program that uses " + device
                               : "close " + HolderWords(holder) + ", or end it: kill " +
                                     std::to_string(holder.pid);
    }
    const std::string name = device.substr(device.find_last_of("/\\") + 1);
    std::string mend;
    for (const char c : known->mend) {
        mend += c == '%' ? device : c == '$' ? name : std::string(1, c);
    }
    return mend;
}

bool ClaimsSerialAdapters(const std::string& program) {
    const KnownProgram* known = Find(program);
    return known != nullptr && known->claimsAdapters;
}

}  // namespace talq::cli
