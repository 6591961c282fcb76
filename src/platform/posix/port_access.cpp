#include "platform/port_access.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/network_device.h"
#include "platform/posix/account_names.h"
#include "platform/posix/lock_holder.h"
#include "platform/system_reason.h"

namespace talq::platform {

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
    access.group = posix::GroupName(node.st_gid);
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
        if (const long pid = posix::FlockHolder(node); pid != 0) {
            return "another program holds it (process " + std::to_string(pid) + ")";
        }
    }
    return "another program holds it, or it refused the line settings";
}

}  // namespace talq::platform
