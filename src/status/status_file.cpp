#include "status/status_file.h"

#include "platform/read_regular_file.h"
#include "platform/replace_file.h"
#include "platform/system_reason.h"

namespace talq::status {
namespace {

bool Fail(std::string* reason, const std::string& text) {
    if (reason != nullptr) *reason = text;
    return false;
}

bool FailWithErrno(std::string* reason, int error) {
    return Fail(reason, platform::SystemReason(error));
}

}  // namespace

StatusFileImage EncodeStatusImage(const PrinterStatus& status) {
    StatusFileImage image{};
    for (int index = 0; index < kStatusIntegerCount; ++index) {
        const auto value = static_cast<std::uint32_t>(IntegerAt(status, index));
        for (int byte = 0; byte < 4; ++byte) {
            image[4 * index + byte] = static_cast<std::uint8_t>(value >> (8 * byte));
        }
    }
    return image;
}

PrinterStatus DecodeStatusImage(const std::uint8_t* bytes, std::size_t size) {
    PrinterStatus status;
    if (bytes == nullptr) return status;
    // A trailing partial integer counts as its bytes followed by zeros, as if the rest of the
    // 216-byte buffer had been left cleared.
    StatusFileImage image{};
    const std::size_t used = size < kStatusFileSize ? size : kStatusFileSize;
    for (std::size_t i = 0; i < used; ++i) image[i] = bytes[i];
    for (int index = 0; index < kStatusIntegerCount; ++index) {
        std::uint32_t value = 0;
        for (int byte = 0; byte < 4; ++byte) {
            value |= static_cast<std::uint32_t>(image[4 * index + byte]) << (8 * byte);
        }
        IntegerAt(status, index) = static_cast<std::int32_t>(value);
    }
    return status;
}

std::optional<std::string> PinValueProblem(const PrinterStatus& status) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const auto& pins = status.switches[static_cast<std::size_t>(slot)].pins;
        for (int pin = 1; pin <= kPinsPerSwitch; ++pin) {
            const std::int32_t value = pins[static_cast<std::size_t>(pin)];
            if (value == 0 || value == 1) continue;
            return "switch " + std::to_string(kSwitchNumbers[static_cast<std::size_t>(slot)]) +
                   " pin " + std::to_string(pin) + " holds " + std::to_string(value) +
                   "; a pin is 0 or 1";
        }
    }
    return std::nullopt;
}

std::optional<std::string> StatusImageProblem(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kStatusFileSize) {
        return "a status file is exactly 216 bytes; this one has " +
               (bytes.size() > kStatusFileSize ? std::string("more")
                                               : std::to_string(bytes.size()));
    }
    if (auto problem = PinValueProblem(DecodeStatusImage(bytes.data(), bytes.size()))) {
        return "not a status file: " + *problem;
    }
    return std::nullopt;
}

bool HasStatusFileName(std::string_view name) {
    return name.size() >= 3 && name.substr(name.size() - 3) == "sts";
}

bool SaveStatusFile(const std::string& path, const PrinterStatus& status, std::string* reason) {
    const StatusFileImage image = EncodeStatusImage(status);
    const int error = platform::ReplaceFileContents(path, image);
    return error == 0 || FailWithErrno(reason, error);
}

LoadOutcome LoadStatusFile(const std::string& path, PrinterStatus& status, std::string* reason) {
    // One byte past the image, so that a longer file shows as one.
    std::array<std::uint8_t, kStatusFileSize + 1> bytes{};
    const platform::RegularFileRead read = platform::ReadRegularFile(path, bytes);
    if (!read.regular && read.error == 0) {
        Fail(reason, kNotARegularFile);
        return LoadOutcome::Unreadable;
    }
    if (read.error != 0) {
        FailWithErrno(reason, read.error);
        return LoadOutcome::Unreadable;
    }
    const std::span<const std::uint8_t> contents(bytes.data(), read.count);
    if (auto problem = StatusImageProblem(contents)) {
        Fail(reason, *problem);
        return LoadOutcome::WrongFormat;
    }
    status = DecodeStatusImage(contents.data(), contents.size());
    return LoadOutcome::Loaded;
}

}  // namespace talq::status
