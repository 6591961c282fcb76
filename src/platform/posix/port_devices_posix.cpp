// Linux: /dev/ttyS and /dev/lp nodes, XDG folders, sysfs and udev's stable serial names.
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/port_devices.h"
#include "platform/posix/sysfs_root.h"

namespace talq::platform {
namespace {

namespace fs = std::filesystem;

const char* Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value ? value : nullptr;
}

bool HasNumberAfter(const std::string& name, const std::string& prefix) {
    return name.size() > prefix.size() && name.rfind(prefix, 0) == 0 &&
           name.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
}

}  // namespace

std::string DefaultPortDevice(bool serial, int number) {
    return (serial ? "/dev/ttyS" : "/dev/lp") + std::to_string(number - 1);
}

std::string SystemDeviceName(std::string_view) {
    return {};
}

std::string UserConfigFolder() {
    // A relative XDG_CONFIG_HOME is to be ignored, as the base directory rules say.
    if (const char* folder = Variable("XDG_CONFIG_HOME"); folder != nullptr && *folder == '/') {
        return folder;
    }
    const char* home = Variable("HOME");
    if (home == nullptr) {
        if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr) home = entry->pw_dir;
    }
    if (home == nullptr || *home == '\0') return {};
    return (fs::path(home) / ".config").string();
}

std::string SystemConfigFolder() {
    return "/etc";
}

SerialHardware SerialHardwareBehind(const std::string& devicePath) {
    // Resolving a stable name reads links only; the node itself is never opened.
    std::error_code error;
    fs::path node = fs::canonical(devicePath, error);
    if (error) node = devicePath;
    const std::string name = node.filename().string();
    if (HasNumberAfter(name, "ttyUSB") || HasNumberAfter(name, "ttyACM")) {
        return SerialHardware::Present;
    }
    if (!HasNumberAfter(name, "ttyS")) return SerialHardware::Unknown;
    // The 8250 driver makes ttyS nodes for UARTs that may not exist; it reports their
    // type as 0 (PORT_UNKNOWN).
    std::ifstream typeFile(posix::SysfsRoot() / "class" / "tty" / name / "type");
    int type = -1;
    if (!(typeFile >> type) || type < 0) return SerialHardware::Unknown;
    return type == 0 ? SerialHardware::Absent : SerialHardware::Present;
}

std::string SerialAdapterFolder() {
    if (const char* folder = Variable("TALQ_SERIAL_BY_ID_DIR")) return folder;
    return "/dev/serial/by-id";
}

std::vector<SerialAdapter> PresentSerialAdapters() {
    std::vector<SerialAdapter> adapters;
    std::error_code error;
    for (fs::directory_iterator entry(SerialAdapterFolder(), error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code missing;
        const fs::path device = fs::canonical(entry->path(), missing);
        if (missing) continue;  // a link left behind by an adapter just unplugged
        adapters.push_back({entry->path().string(), device.string()});
    }
    std::sort(adapters.begin(), adapters.end(),
              [](const SerialAdapter& a, const SerialAdapter& b) { return a.path < b.path; });
    return adapters;
}

}  // namespace talq::platform
