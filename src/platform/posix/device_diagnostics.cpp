// Linux: the node's stat and the groups, /proc for the holders, sysfs for the drivers.
#include "platform/device_diagnostics.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/port_devices.h"
#include "platform/posix/account_names.h"
#include "platform/posix/lock_holder.h"
#include "platform/posix/sysfs_root.h"
#include "platform/system_reason.h"

namespace talq::platform {
namespace {

namespace fs = std::filesystem;

std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The kernel keeps 15 characters of a name; the program's path, when it has the same start,
// tells the rest.
std::string ProcessName(long pid) {
    const std::string folder = "/proc/" + std::to_string(pid);
    const std::string name = FirstLine(folder + "/comm");
    if (name.size() < 15) return name;
    std::ifstream command(folder + "/cmdline");
    std::string first;
    std::getline(command, first, '\0');
    first = fs::path(first).filename().string();
    return first.rfind(name, 0) == 0 ? first : name;
}

// The index of a pseudo-terminal's slave node (/dev/pts/N), or -1 for any other node.
long PtyIndex(const struct stat& node) {
    const unsigned major = ::major(node.st_rdev);
    if (!S_ISCHR(node.st_mode) || major < 136 || major > 143) return -1;
    return static_cast<long>((major - 136) * 256 + ::minor(node.st_rdev));
}

// Whether the open file is the master side of pseudo-terminal `index`.
bool IsPtyMaster(const struct stat& open, const std::string& fdinfo, long index) {
    if (!S_ISCHR(open.st_mode) || ::major(open.st_rdev) != 5 || ::minor(open.st_rdev) != 2) {
        return false;
    }
    std::ifstream info(fdinfo);
    for (std::string line; std::getline(info, line);) {
        if (line.rfind("tty-index:", 0) == 0) return std::atol(line.c_str() + 10) == index;
    }
    return false;
}

bool SameNode(const struct stat& a, const struct stat& b) {
    if (S_ISCHR(a.st_mode) || S_ISBLK(a.st_mode)) {
        return (a.st_mode & S_IFMT) == (b.st_mode & S_IFMT) && a.st_rdev == b.st_rdev;
    }
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string ModeText(mode_t mode) {
    std::string text = S_ISCHR(mode)    ? "c"
                       : S_ISBLK(mode)  ? "b"
                       : S_ISDIR(mode)  ? "d"
                       : S_ISLNK(mode)  ? "l"
                       : S_ISFIFO(mode) ? "p"
                       : S_ISSOCK(mode) ? "s"
                                        : "-";
    const char* const letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) text += (mode & (0400 >> bit)) ? letters[bit] : '-';
    return text;
}

std::string KindText(const struct stat& node) {
    const std::string numbers =
        std::to_string(::major(node.st_rdev)) + ":" + std::to_string(::minor(node.st_rdev));
    if (S_ISCHR(node.st_mode)) return "character device " + numbers;
    if (S_ISBLK(node.st_mode)) return "block device " + numbers;
    if (S_ISREG(node.st_mode)) return "regular file";
    if (S_ISDIR(node.st_mode)) return "folder";
    if (S_ISFIFO(node.st_mode)) return "FIFO";
    if (S_ISSOCK(node.st_mode)) return "socket";
    return "file of another kind";
}

GroupStanding StandingIn(gid_t gid) {
    if (::getegid() == gid) return GroupStanding::Member;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
    groups.resize(static_cast<std::size_t>(std::max(count, 0)));
    if (std::find(groups.begin(), groups.end(), gid) != groups.end()) return GroupStanding::Member;
    const std::string user = posix::UserNameOf(::geteuid());
    const auto members = posix::GroupMembers(gid);
    const bool listed = std::find(members.begin(), members.end(), user) != members.end();
    return listed || posix::PrimaryGroupOf(::geteuid()) == static_cast<long>(gid)
               ? GroupStanding::AfterLogin
               : GroupStanding::NotMember;
}

// The USB device a sysfs device folder belongs to: the nearest folder upwards with USB ids.
std::optional<fs::path> UsbDeviceAbove(fs::path folder) {
    for (int up = 0; up < 8 && folder.has_relative_path(); ++up, folder = folder.parent_path()) {
        if (fs::exists(folder / "idVendor")) return folder;
    }
    return std::nullopt;
}

std::string UsbWords(const fs::path& usb) {
    std::string words = "USB " + FirstLine(usb / "idVendor") + ":" + FirstLine(usb / "idProduct");
    for (const char* name : {"manufacturer", "product"}) {
        if (const std::string text = FirstLine(usb / name); !text.empty()) words += " " + text;
    }
    if (const std::string serial = FirstLine(usb / "serial"); !serial.empty()) {
        words += ", serial " + serial;
    }
    return words + ", at " + usb.filename().string();
}

// The driver and the hardware behind a character device, from its sysfs folder.
void DescribeBehind(const struct stat& node, DeviceNode& facts) {
    std::error_code error;
    const fs::path sys = posix::SysfsRoot();
    const fs::path entry = fs::canonical(
        sys / "dev" / "char" /
            (std::to_string(::major(node.st_rdev)) + ":" + std::to_string(::minor(node.st_rdev))),
        error);
    if (error) return;
    const fs::path device = fs::canonical(entry / "device", error);
    if (error) return;
    facts.driver = fs::canonical(device / "driver", error).filename().string();
    if (error) facts.driver.clear();
    if (const auto usb = UsbDeviceAbove(device)) facts.adapter = UsbWords(*usb);
}

int HexNumber(const std::string& text) {
    unsigned value = 0;
    return std::sscanf(text.c_str(), "%x", &value) == 1 ? static_cast<int>(value) : -1;
}

}  // namespace

DeviceHolders FindDeviceHolders(const std::string& devicePath) {
    DeviceHolders found;
    struct stat target {};
    if (::stat(devicePath.c_str(), &target) != 0) return found;
    const long self = static_cast<long>(::getpid());
    const long ptyIndex = PtyIndex(target);
    std::vector<long> pids, otherEnd;
    std::error_code error;
    for (fs::directory_iterator proc("/proc", error), end; !error && proc != end;
         proc.increment(error)) {
        const std::string name = proc->path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        const long pid = std::stol(name);
        if (pid == self) continue;
        DIR* fds = ::opendir(("/proc/" + name + "/fd").c_str());
        if (fds == nullptr) {
            if (errno == EACCES) ++found.unseen;
            continue;
        }
        bool holds = false, master = false;
        while (const dirent* fd = ::readdir(fds)) {
            struct stat open {};
            const std::string link = "/proc/" + name + "/fd/" + fd->d_name;
            if (fd->d_name[0] == '.' || ::stat(link.c_str(), &open) != 0) continue;
            holds = holds || SameNode(open, target);
            master = master || (ptyIndex >= 0 &&
                                IsPtyMaster(open, "/proc/" + name + "/fdinfo/" + fd->d_name,
                                            ptyIndex));
        }
        ::closedir(fds);
        if (master) {
            otherEnd.push_back(pid);
        } else if (holds) {
            pids.push_back(pid);
        }
    }
    // The lock tells of a holder whose open files this user may not see.
    if (const long locker = posix::FlockHolder(target);
        locker != 0 && locker != self && std::find(pids.begin(), pids.end(), locker) == pids.end() &&
        std::find(otherEnd.begin(), otherEnd.end(), locker) == otherEnd.end()) {
        pids.push_back(locker);
    }
    for (const long pid : pids) found.processes.push_back({pid, ProcessName(pid)});
    for (const long pid : otherEnd) found.otherEnd.push_back({pid, ProcessName(pid)});
    found.held = !found.processes.empty();
    return found;
}

DeviceNode ExamineDeviceNode(const std::string& devicePath) {
    DeviceNode facts;
    facts.path = facts.resolved = devicePath;
    struct stat node {};
    if (::stat(devicePath.c_str(), &node) != 0) {
        facts.reason = SystemReason(errno);
        return facts;
    }
    facts.exists = true;
    std::error_code error;
    if (const fs::path real = fs::canonical(devicePath, error); !error) facts.resolved = real.string();
    facts.device = S_ISCHR(node.st_mode);
    facts.kind = KindText(node);
    facts.owner = posix::UserNameOf(node.st_uid);
    facts.group = posix::GroupName(node.st_gid);
    facts.mode = ModeText(node.st_mode);
    facts.permissionsKnown = true;
    facts.mayOpen = ::access(devicePath.c_str(), R_OK | W_OK) == 0;
    if (!facts.mayOpen) facts.refusal = SystemReason(errno);
    facts.groupMayOpen = (node.st_mode & S_IRGRP) && (node.st_mode & S_IWGRP);
    facts.standing = StandingIn(node.st_gid);
    if (facts.device) DescribeBehind(node, facts);
    facts.console = IsSystemConsole(devicePath);
    return facts;
}

UsbDeviceDetails DescribeUsbDevice(const std::string& syspath) {
    UsbDeviceDetails details;
    const fs::path device(syspath);
    details.where = device.filename().string();
    details.manufacturer = FirstLine(device / "manufacturer");
    details.product = FirstLine(device / "product");
    details.serial = FirstLine(device / "serial");
    std::error_code error;
    for (fs::directory_iterator entry(device, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.rfind(details.where + ":", 0) != 0) continue;  // "1-1.3:1.0", an interface
        UsbInterfaceDriver interface;
        interface.interfaceClass = HexNumber(FirstLine(entry->path() / "bInterfaceClass"));
        std::error_code unbound;
        interface.driver = fs::canonical(entry->path() / "driver", unbound).filename().string();
        if (unbound) interface.driver.clear();
        details.interfaces.push_back(interface);
    }
    const int bus = std::atoi(FirstLine(device / "busnum").c_str());
    const int number = std::atoi(FirstLine(device / "devnum").c_str());
    if (bus > 0 && number > 0) {
        char node[48];
        std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", bus, number);
        details.rawNode = node;
        details.claimedBy = FindDeviceHolders(details.rawNode).processes;
    }
    return details;
}

PrinterAccessRule FindPrinterAccessRule() {
    PrinterAccessRule rule;
    rule.applies = true;
    rule.name = "70-talquist-printers.rules";
    // The folders udev reads its rules from.
    for (const char* folder :
         {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/lib/udev/rules.d", "/lib/udev/rules.d"}) {
        const fs::path file = fs::path(folder) / rule.name;
        std::error_code error;
        if (fs::exists(file, error)) {
            rule.path = file.string();
            break;
        }
    }
    return rule;
}

std::string SystemDescription() {
    std::string name;
    std::ifstream release("/etc/os-release");
    for (std::string line; std::getline(release, line);) {
        if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
        name = line.substr(12);
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
            name = name.substr(1, name.size() - 2);
        }
    }
    utsname system{};
    if (::uname(&system) == 0) {
        name += (name.empty() ? "" : ", ") + std::string(system.sysname) + " " + system.release +
                " " + system.machine;
    }
    return name;
}

std::string UserName() {
    return posix::UserNameOf(::geteuid());
}

}  // namespace talq::platform
