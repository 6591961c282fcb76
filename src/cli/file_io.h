// Whole-file reads and writes for talq's inputs and outputs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talq::cli {

// The bytes of a regular file, at most maxBytes + 1 of them (so a caller can tell "too large");
// nullopt with `error` set to the system's reason when it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::size_t maxBytes, std::string& error);

// Writes `bytes` to a new file beside `path` and renames it over `path`, so readers see the
// old file or the whole new one, never a part. False with `error` set on any failure, and
// then `path` is as it was.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

}  // namespace talq::cli
