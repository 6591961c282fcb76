// Reads and writes on a non-blocking descriptor with the communication
// time-out semantics of the printer link, waiting in poll, never spinning.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace talq::platform::posix {

// Ends at `count` bytes, at more than intervalMs between two bytes (once one
// has arrived), or at multiplierMs * count + constantMs after the start. With
// all three zero it waits up to kUntimedReadMs for input and returns what one
// read() brings.
IoResult TimedRead(int fd, std::uint8_t* buffer, int count, const CommTimeouts& timeouts);

// Writes all bytes, waiting for the device to take more; gives up when no byte
// moved for stallMs.
IoResult BoundedWrite(int fd, const std::uint8_t* data, int count, int stallMs);

}  // namespace talq::platform::posix
