#include "platform/port_access.h"

#include <errno.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/network_device.h"
#include "platform/system_reason.h"

namespace talq::platform {
namespace {

// Reentrant: ports that fail at once ask at once.
std::string GroupName(gid_t gid) {
    group entry{};
    group* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return found->gr_name;
    }
    return std::to_string(gid);
}

// The process holding the advisory lock the program takes on a device it opens, from
// /proc/locks ("1: FLOCK  ADVISORY  WRITE 1234 00:05:87 0 EOF"); 0 when none does.
long LockHolder(const struct stat& node) {
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, advisory, access, where;
        long pid = 0;
        if (!(fields >> number >> kind) || kind != "FLOCK") continue;
        if (!(fields >> advisory >> access >> pid >> where)) continue;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%llu", &major, &minor, &inode) != 3) continue;
        if (major == ::major(node.st_dev) && minor == ::minor(node.st_dev) &&
            inode == node.st_ino) {
            return pid;
        }
    }
    return 0;
}

}  // namespace

PortAccess ExamineDeviceAccess(const std::string& devicePath) {
    if (IsNetworkAddress(devicePath)) return NetworkDeviceAccess(devicePath);
    PortAccess access;
    access.devicePath = devicePath;
    struct stat node {};
    if (::stat(devicePath.c_str(), &node) != 0) {
        access.absent = errno == ENOENT || errno == ENOTDIR;
        access.reason = SystemReason(errno);
        return access;
    }
    access.exists = true;
    access.group = GroupName(node.st_gid);
    if (::access(devicePath.c_str(), R_OK | W_OK) != 0) {
        access.denied = errno == EACCES || errno == EPERM;
        access.reason = SystemReason(errno);
        return access;
    }
    access.usable = true;
    return access;
}

std::string ExplainDeviceOpenFailure(const std::string& devicePath) {
    if (IsNetworkAddress(devicePath)) return LastNetworkFailure();
    const PortAccess access = ExamineDeviceAccess(devicePath);
    if (!access.exists) return access.reason;
    if (!access.usable) {
        std::string text = access.reason;
        if (access.denied) {
            text += "; members of group " + access.group +
                    " may use it (add yourself with: usermod -aG " + access.group +
                    " $USER, then log in again)";
        }
        return text;
    }
    struct stat node {};
    if (::stat(devicePath.c_str(), &node) == 0) {
        if (const long pid = LockHolder(node); pid != 0) {
            return "another program holds it (process " + std::to_string(pid) + ")";
        }
    }
    return "another program holds it, or it refused the line settings";
}

}  // namespace talq::platform
