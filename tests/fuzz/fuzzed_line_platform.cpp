#include "fuzzed_line_platform.h"

#include <algorithm>
#include <cstring>

namespace talq::fuzz {

int FuzzedLinePlatform::TimeoutMs(int count) const {
    const std::uint32_t total = timeouts_.readTotalMultiplierMs * static_cast<std::uint32_t>(count) +
                                timeouts_.readTotalConstantMs;
    return total != 0 ? static_cast<int>(total) : platform::kUntimedReadMs;
}

platform::IoResult FuzzedLinePlatform::Read(platform::DeviceHandle, std::uint8_t* buffer,
                                            int count) {
    ++reads;
    if (hungUp_) return {false, 0, true};
    if (count <= 0) return {true, 0, false};
    enum Kind { Silence, Chunk, MoreChunk, HangUp };
    // Exhausted input gives 0 for every choice: a silent device.
    switch (input_.ConsumeIntegralInRange<int>(Silence, HangUp)) {
        case Chunk:
        case MoreChunk: {
            const auto bytes = input_.ConsumeBytes<std::uint8_t>(
                input_.ConsumeIntegralInRange<std::size_t>(1, static_cast<std::size_t>(count)));
            if (bytes.empty()) break;
            std::memcpy(buffer, bytes.data(), bytes.size());
            nowMs_ += input_.ConsumeIntegralInRange<int>(0, TimeoutMs(count));
            return {true, static_cast<int>(bytes.size()), false};
        }
        case HangUp:
            hungUp_ = true;
            return {false, 0, true};
        default:
            break;
    }
    nowMs_ += TimeoutMs(count);
    return {true, 0, false};
}

}  // namespace talq::fuzz
