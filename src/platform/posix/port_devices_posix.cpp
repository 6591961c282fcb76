// Linux: /dev/ttyS and /dev/lp nodes, XDG folders, sysfs, and the serial adapters udev
// describes with their stable names.
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

#include "platform/port_devices.h"
#include "platform/posix/sysfs_root.h"
#include "platform/usb_bus.h"

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

std::string NodeBehindLinks(const std::string& path) {
    // Link by link rather than realpath: nothing but the links needs resolving, and test beds
    // that redirect /dev give realpath a path it mishandles.
    constexpr int kMaxLinks = 16;
    fs::path node = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(node, error)) {
            return fs::exists(node, error) ? node.lexically_normal().string() : std::string();
        }
        const fs::path target = fs::read_symlink(node, error);
        if (error) return {};
        node = target.is_absolute() ? target : node.parent_path() / target;
    }
    return {};  // a loop of links
}

SerialHardware SerialHardwareBehind(const std::string& devicePath) {
    // Resolving a stable name reads links only; the node itself is never opened.
    std::string node = NodeBehindLinks(devicePath);
    if (node.empty()) node = devicePath;
    const std::string name = fs::path(node).filename().string();
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

bool IsSystemConsole(const std::string& devicePath) {
    std::error_code error;
    fs::path node = fs::canonical(devicePath, error);
    if (error) node = devicePath;
    // The consoles the kernel writes to, by name: "tty0 ttyS0".
    std::ifstream active(posix::SysfsRoot() / "class" / "tty" / "console" / "active");
    for (std::string name; active >> name;) {
        if (name == node.filename().string()) return true;
    }
    return false;
}

std::string SerialAdapterFolder() {
    if (const char* folder = Variable("TALQ_SERIAL_BY_ID_DIR")) return folder;
    return "/dev/serial/by-id";
}

namespace {

// The adapter's stable name among udev's links: by id (it follows the adapter from plug to
// plug), else by path (it stays with the plug), else the node itself.
std::string StableName(const SerialAdapter& line) {
    const std::string folder = SerialAdapterFolder() + "/";
    for (const char* kind : {"", "/serial/by-id/", "/serial/by-path/"}) {
        for (const std::string& link : line.links) {
            if (*kind == '\0' ? link.starts_with(folder) : link.find(kind) != std::string::npos) {
                return link;
            }
        }
    }
    return line.device;
}

}  // namespace

std::vector<SerialAdapter> PresentSerialAdapters() {
    std::vector<SerialAdapter> adapters = CurrentUsbBus().PresentSerialLines();
    for (SerialAdapter& adapter : adapters) adapter.path = StableName(adapter);
    // The folder of stable names may know an adapter udev does not describe.
    std::error_code error;
    for (fs::directory_iterator entry(SerialAdapterFolder(), error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string device = NodeBehindLinks(entry->path().string());
        if (device.empty()) continue;  // a link left behind by an adapter just unplugged
        const std::string path = entry->path().string();
        const auto known =
            std::find_if(adapters.begin(), adapters.end(), [&](const SerialAdapter& a) {
                return a.device == device || a.path == path ||
                       std::find(a.links.begin(), a.links.end(), path) != a.links.end();
            });
        if (known == adapters.end()) {
            adapters.push_back({path, device, {}, {}, {}, std::nullopt});
        } else if (known->path != path) {
            known->links.push_back(std::exchange(known->path, path));
        }
    }
    std::sort(adapters.begin(), adapters.end(),
              [](const SerialAdapter& a, const SerialAdapter& b) { return a.path < b.path; });
    return adapters;
}

}  // namespace talq::platform
