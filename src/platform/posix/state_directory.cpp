#include "platform/state_directory.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace talq::platform {
namespace {

std::filesystem::path HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') return home;
    if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir != nullptr) {
        return user->pw_dir;
    }
    return {};
}

}  // namespace

std::filesystem::path StateDirectory() {
    std::filesystem::path state;
    // A relative value is invalid and ignored.
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg != nullptr && *xdg == '/') {
        state = xdg;
    } else if (const auto home = HomeDirectory(); !home.empty()) {
        state = home / ".local" / "state";
    } else {
        return {};
    }
    return state / "talquist-manager";
}

}  // namespace talq::platform
