#include "sim/pty_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace talq::sim {
namespace {

constexpr const char* kTerminalFolder = "/dev/pts/";

// Where the symbolic link `path` points; nothing when it is no link.
std::optional<std::string> LinkTarget(const std::string& path) {
    char target[4096];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof target) return std::nullopt;
    return std::string(target, static_cast<std::size_t>(n));
}

std::string SystemReason() { return std::strerror(errno); }

}  // namespace

std::string PlaceLink(const std::string& link, const std::string& terminal) {
    struct stat st {};
    if (::lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) return "exists and is not a symbolic link; not replacing it";
        const auto target = LinkTarget(link);
        if (!target || target->rfind(kTerminalFolder, 0) != 0) {
            return "is a symbolic link to " + target.value_or("?") +
                   ", not to a pseudo-terminal; not replacing it";
        }
        if (::unlink(link.c_str()) != 0) return "cannot remove the old link: " + SystemReason();
    } else if (errno != ENOENT) {
        return SystemReason();
    }
    if (::symlink(terminal.c_str(), link.c_str()) != 0) return SystemReason();
    return {};
}

void RemoveLinkIfOurs(const std::string& link, const std::string& terminal) {
    if (LinkTarget(link) == terminal) ::unlink(link.c_str());
}

}  // namespace talq::sim
