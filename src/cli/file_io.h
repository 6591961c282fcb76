// Whole-file reads of talq's inputs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace talq::cli {

// The bytes of a regular file, at most maxBytes + 1 of them (so a caller can tell "too large");
// nullopt with `error` set to the system's reason when it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::size_t maxBytes, std::string& error);

}  // namespace talq::cli
