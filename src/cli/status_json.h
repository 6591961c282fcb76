// The JSON form of a status record: the six switches with their nine integers each (pins[0],
// which is no pin, then pins 1..8), the model, and the code page and serial settings decoded
// from the pins. One schema for every --json output and for files given to set, show and diff.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "status/printer_info.h"
#include "status/printer_status.h"

namespace talq::cli {

inline constexpr std::string_view kStatusJsonFormat = "talq-status/1";
// Inputs larger than this are not status documents.
inline constexpr std::size_t kMaxStatusJsonBytes = 1 << 20;

struct StatusDocument {
    status::PrinterStatus status;
    std::optional<int> model;  // absent when the document names none
};

struct StatusJsonResult {
    std::optional<StatusDocument> document;
    std::string error;  // why the text is no status document; empty on success
};

// Reads a status document from arbitrary bytes. Never throws: anything that is not a
// well-formed document of the schema gives an error. Decoded fields (codePage, and serial on
// "KTV-540/542") must agree with the pins; printer texts are ignored.
StatusJsonResult ParseStatusJson(std::string_view text) noexcept;

// The document for `status`. `info` (from Get Status) adds the printer's texts and, on models 0
// and 2, the serial settings it reported; `port` names the port it came from.
std::string StatusJson(const status::PrinterStatus& status, std::optional<int> model,
                       const status::PrinterInfo* info = nullptr, const std::string& port = {});

}  // namespace talq::cli
