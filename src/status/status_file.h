// The status file: the record's 216-byte little-endian image, with no header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "status/printer_status.h"

namespace talq::status {

inline constexpr std::size_t kStatusFileSize = kStatusIntegerCount * 4;
static_assert(kStatusFileSize == 216);

using StatusFileImage = std::array<std::uint8_t, kStatusFileSize>;

// Pin p of slot s lands at byte 36*s + 4*p, whatever the host's byte order.
StatusFileImage EncodeStatusImage(const PrinterStatus& status);

// Reads the first 216 bytes; integers the input does not fully cover stay 0.
PrinterStatus DecodeStatusImage(const std::uint8_t* bytes, std::size_t size);

// Load accepts only names whose last three characters are exactly "sts" (case-sensitive).
bool HasStatusFileName(std::string_view name);

// Writes the image as the file's whole new contents. False unless all 216 bytes reached the
// disk under the file's name; a failed save leaves an existing file as it was. `reason`, when
// given, receives why a save failed (the system's text, e.g. "No space left on device").
bool SaveStatusFile(const std::string& path, const PrinterStatus& status,
                    std::string* reason = nullptr);

// Reads up to 216 bytes of a regular file into status. False, with status unchanged, when the
// file cannot be opened, is not a regular file, or a read fails; `reason` as for a save.
bool LoadStatusFile(const std::string& path, PrinterStatus& status,
                    std::string* reason = nullptr);

// The reason a load gives for a path that names a device, a FIFO or a socket.
inline constexpr const char* kNotARegularFile = "Not a regular file";

}  // namespace talq::status
