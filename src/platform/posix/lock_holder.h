// The process holding the advisory lock that the program takes on a device it opens.
#pragma once

#include <sys/stat.h>

namespace talq::platform::posix {

// From /proc/locks, which every user may read; 0 when no process holds a lock on the node.
long FlockHolder(const struct stat& node);

}  // namespace talq::platform::posix
