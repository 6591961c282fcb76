#include "cli/status_files.h"

#include <vector>

#include "platform/read_regular_file.h"
#include "platform/replace_file.h"
#include "platform/system_reason.h"
#include "status/code_pages.h"
#include "status/status_file.h"

namespace talq::cli {
namespace {

bool EndsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool IsJsonName(const std::string& path) {
    return EndsWith(path, ".json");
}

Failure FileFailure(const std::string& path, const std::string& why) {
    return {kExitFileFailed, path + ": " + why};
}

// What the printer could never have sent: a pin other than 0 or 1, or a code page off the list.
std::optional<std::string> ProblemWithValues(const status::PrinterStatus& record) {
    for (int slot = 0; slot < status::kSlotCount; ++slot) {
        const auto& pins = record.switches[static_cast<std::size_t>(slot)].pins;
        for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
            const std::int32_t value = pins[static_cast<std::size_t>(pin)];
            if (value == 0 || value == 1) continue;
            return "switch " +
                   std::to_string(status::kSwitchNumbers[static_cast<std::size_t>(slot)]) +
                   " pin " + std::to_string(pin) + " holds " + std::to_string(value) +
                   "; a pin is 0 or 1";
        }
    }
    if (const int codePage = status::DecodeCodePage(record); codePage >= status::kCodePageCount) {
        return "switch 2 pins 3..8 give code page " + std::to_string(codePage) +
               ", which is not in the list (0.." + std::to_string(status::kCodePageCount - 1) +
               ", see talq code-pages)";
    }
    return std::nullopt;
}

}  // namespace

std::string CheckOutputName(const std::string& path) {
    if (EndsWith(path, ".sts") || IsJsonName(path)) return {};
    return "-o \"" + path + "\": the name must end in .sts (status file) or .json";
}

std::optional<StatusDocument> ReadStatusInput(const std::string& path, Failure& failure) {
    const bool json = IsJsonName(path);
    if (!json && !status::HasStatusFileName(path)) {
        failure = FileFailure(path,
                              "Wrong format files loaded. (a status file ends in \"sts\", "
                              "its JSON form in \".json\")");
        return std::nullopt;
    }
    // One byte past the limit, so that a longer file shows as too large.
    std::vector<std::uint8_t> bytes(1 + (json ? kMaxStatusJsonBytes : status::kStatusFileSize));
    const platform::RegularFileRead result = platform::ReadRegularFile(path, bytes);
    if (!result.ok()) {
        failure = FileFailure(
            path, result.regular ? platform::SystemReason(result.error) : "not a regular file");
        return std::nullopt;
    }
    bytes.resize(result.count);
    if (json) {
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        StatusJsonResult parsed = ParseStatusJson(text);
        if (!parsed.document) {
            failure = FileFailure(path, "not a status document: " + parsed.error);
        } else if (auto problem = ProblemWithValues(parsed.document->status)) {
            failure = FileFailure(path, "not a status document: " + *problem);
            return std::nullopt;
        }
        return parsed.document;
    }
    if (bytes.size() != status::kStatusFileSize) {
        failure = FileFailure(path, "a status file is exactly 216 bytes; this one has " +
                                        std::string(bytes.size() > status::kStatusFileSize
                                                        ? "more"
                                                        : std::to_string(bytes.size())));
        return std::nullopt;
    }
    StatusDocument document{status::DecodeStatusImage(bytes.data(), bytes.size()), std::nullopt};
    if (auto problem = ProblemWithValues(document.status)) {
        failure = FileFailure(path, "not a status file: " + *problem);
        return std::nullopt;
    }
    return document;
}

bool WriteStatusOutput(const std::string& path, const status::PrinterStatus& record,
                       std::optional<int> model, const status::PrinterInfo* info,
                       Failure& failure) {
    std::string why;
    bool written = false;
    if (IsJsonName(path)) {
        const std::string json = StatusJson(record, model, info);
        const int error = platform::ReplaceFileContents(
            path, {reinterpret_cast<const std::uint8_t*>(json.data()), json.size()});
        written = error == 0;
        if (!written) why = platform::SystemReason(error);
    } else {
        written = status::SaveStatusFile(path, record, &why);
    }
    if (!written) failure = FileFailure(path, why);
    return written;
}

}  // namespace talq::cli
