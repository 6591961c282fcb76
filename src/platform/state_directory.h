// Where the program keeps what must outlive a run of it (the record of print
// queues it switched): $XDG_STATE_HOME/talquist-manager or
// ~/.local/state/talquist-manager on POSIX, %LOCALAPPDATA%\talquist-manager on
// Windows. Empty when the system names no such place.
#pragma once

#include <filesystem>

namespace talq::platform {

std::filesystem::path StateDirectory();

}  // namespace talq::platform
