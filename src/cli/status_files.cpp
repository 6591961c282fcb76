#include "cli/status_files.h"

#include <vector>

#include "platform/read_regular_file.h"
#include "platform/replace_file.h"
#include "platform/system_reason.h"
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
        } else if (auto problem = status::PinValueProblem(parsed.document->status)) {
            failure = FileFailure(path, "not a status document: " + *problem);
            return std::nullopt;
        }
        return parsed.document;
    }
    if (auto problem = status::StatusImageProblem(bytes)) {
        failure = FileFailure(path, *problem);
        return std::nullopt;
    }
    return StatusDocument{status::DecodeStatusImage(bytes.data(), bytes.size()), std::nullopt};
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
