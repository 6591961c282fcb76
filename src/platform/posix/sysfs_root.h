// sysfs, or the tree TALQ_SYSFS_ROOT names in its place (tests point it at a fake one).
#pragma once

#include <cstdlib>
#include <filesystem>

namespace talq::platform::posix {

inline std::filesystem::path SysfsRoot() {
    const char* root = std::getenv("TALQ_SYSFS_ROOT");
    return root != nullptr && *root != '\0' ? root : "/sys";
}

}  // namespace talq::platform::posix
