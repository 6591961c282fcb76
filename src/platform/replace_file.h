// Replaces a file's contents so that readers see either the old file or the
// whole new one, never a part: the bytes go to a temporary file in the same
// folder, reach the disk, and only then take the file's name.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace talq::platform {

// 0 on success, otherwise the system's error code that stopped it (SystemReason
// words it); on failure the file is as it was and no temporary file is left. A
// new file gets the permissions a plain create gives (0666 less the umask); a
// replaced one keeps its own. A symbolic link is followed, so the file it names is replaced. A
// path naming something other than a regular file (a device, a FIFO) cannot
// be replaced by renaming and is written in place.
int ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes);

// Writes `bytes` as a new file, whole or not at all, and never over one that is there: they
// reach the disk under a temporary name, which then takes `path` in one step that the system
// refuses when the name is taken (no look first, which another writer could beat). 0 on
// success, otherwise the system's error code; NameTaken tells the one for a name in use.
int CreateNewFile(const std::string& path, std::span<const std::uint8_t> bytes);
bool NameTaken(int error);

}  // namespace talq::platform
