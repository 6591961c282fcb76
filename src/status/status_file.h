// The status file: the record's 216-byte little-endian image, with no header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
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

// Why a record cannot be one a printer holds, in words ("switch 8 pin 2 holds 5; a pin is 0 or
// 1"); nothing when every pin 1..8 is 0 or 1. pins[0] may hold anything: no operation reads it
// and it never reaches the printer, while files saved earlier carry whatever their record held
// there. Every pattern of the code page pins is a record too, also one above the list.
std::optional<std::string> PinValueProblem(const PrinterStatus& status);

// Why bytes are no status file to load, in words; nothing when they are exactly 216 bytes and
// their record passes PinValueProblem. A short file would send zeros nobody chose, and a pin of
// another value would reach the printer as set.
std::optional<std::string> StatusImageProblem(std::span<const std::uint8_t> bytes);

// Load accepts only names whose last three characters are exactly "sts" (case-sensitive).
bool HasStatusFileName(std::string_view name);

// Writes the image as the file's whole new contents. False unless all 216 bytes reached the
// disk under the file's name; a failed save leaves an existing file as it was. `reason`, when
// given, receives why a save failed (the system's text, e.g. "No space left on device").
bool SaveStatusFile(const std::string& path, const PrinterStatus& status,
                    std::string* reason = nullptr);

enum class LoadOutcome {
    Loaded,
    Unreadable,   // not opened, not a regular file, or a read failed
    WrongFormat,  // read, but StatusImageProblem refuses it
};

// Reads a regular file into status when it is a status file. Anything but Loaded leaves status
// unchanged; `reason`, when given, receives the system's text or StatusImageProblem's words.
LoadOutcome LoadStatusFile(const std::string& path, PrinterStatus& status,
                           std::string* reason = nullptr);

// The reason a load gives for a path that names a device, a FIFO or a socket.
inline constexpr const char* kNotARegularFile = "Not a regular file";

}  // namespace talq::status
