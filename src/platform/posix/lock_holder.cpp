#include "platform/posix/lock_holder.h"

#include <sys/sysmacros.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace talq::platform::posix {

// A line of /proc/locks: "1: FLOCK  ADVISORY  WRITE 1234 00:05:87 0 EOF".
long FlockHolder(const struct stat& node) {
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

}  // namespace talq::platform::posix
