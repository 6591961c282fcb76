// Reads the start of a regular file. Anything else (a directory, a device, a
// FIFO named by mistake) is refused without waiting on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace talq::platform {

struct RegularFileRead {
    std::size_t count = 0;  // bytes placed at the start of the buffer
    int error = 0;          // system error code of a failed open or read; non-zero for a directory
    bool regular = true;    // false for a directory, device, FIFO or socket
    bool missing = false;   // there is no file by that name

    bool ok() const { return error == 0 && regular; }
};

// Fills `buffer` from the start of the file at `path`, up to its size or the file's end.
RegularFileRead ReadRegularFile(const std::string& path, std::span<std::uint8_t> buffer);

}  // namespace talq::platform
