// The system's own words for a missing file and a missing folder, as the
// platform's file operations report them, so that tests of messages hold on
// every system.
#pragma once

#include <cstdint>
#include <string>

#include "platform/read_regular_file.h"
#include "platform/replace_file.h"
#include "platform/system_reason.h"

namespace talq::test {

inline std::string MissingFileReason(const std::string& missingFile) {
    std::uint8_t byte = 0;
    return platform::SystemReason(platform::ReadRegularFile(missingFile, {&byte, 1}).error);
}

inline std::string MissingFolderReason(const std::string& fileInMissingFolder) {
    return platform::SystemReason(platform::ReplaceFileContents(fileInMissingFolder, {}));
}

}  // namespace talq::test
