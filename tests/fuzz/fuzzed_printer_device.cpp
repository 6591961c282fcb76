#include "fuzzed_printer_device.h"

#include <algorithm>

namespace talq::fuzz {

void FuzzedPrinterDevice::Write(const std::uint8_t* data, std::size_t size, std::int64_t nowMs) {
    if (hungUp_) return;
    printer_.Receive(data, size, nowMs);
    std::vector<std::uint8_t> reply = printer_.TakeOutput();
    std::int64_t atMs = nowMs;
    enum Tamper { Pass, Cut, Replace, Delay, Drop, Leave };
    switch (input_.ConsumeIntegralInRange<int>(Pass, Leave)) {
        case Cut:
            reply.resize(input_.ConsumeIntegralInRange<std::size_t>(0, reply.size()));
            break;
        case Replace:
            reply = input_.ConsumeBytes<std::uint8_t>(input_.ConsumeIntegralInRange<std::size_t>(0, 24));
            break;
        case Delay:
            atMs += input_.ConsumeIntegralInRange<int>(0, 3000);
            break;
        case Drop:
            reply.clear();
            break;
        case Leave:
            hungUp_ = true;
            wire_.clear();
            return;
        default:
            break;
    }
    // Bytes on a wire stay in order.
    if (!wire_.empty()) atMs = std::max(atMs, wire_.back().atMs);
    for (std::uint8_t b : reply) wire_.push_back({b, atMs});
}

std::optional<std::int64_t> FuzzedPrinterDevice::NextByteMs() const {
    if (hungUp_ || wire_.empty()) return std::nullopt;
    return wire_.front().atMs;
}

std::uint8_t FuzzedPrinterDevice::TakeByte() {
    if (wire_.empty()) return 0;
    const std::uint8_t value = wire_.front().value;
    wire_.pop_front();
    return value;
}

}  // namespace talq::fuzz
