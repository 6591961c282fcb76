// The simulated printer behind a wire the fuzz input tampers with: each reply
// passes whole, or is cut, replaced by input bytes, delayed, dropped, or the
// printer leaves the line for good. Once the input runs out, replies pass.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <deque>

#include "sim/simulated_printer.h"
#include "support/virtual_device.h"

namespace talq::fuzz {

class FuzzedPrinterDevice : public test::VirtualDevice {
public:
    FuzzedPrinterDevice(FuzzedDataProvider& input, int model) : input_(input), printer_(model) {}

    void Write(const std::uint8_t* data, std::size_t size, std::int64_t nowMs) override;
    std::optional<std::int64_t> NextByteMs() const override;
    std::uint8_t TakeByte() override;
    bool HungUp() const override { return hungUp_; }

private:
    struct TimedByte {
        std::uint8_t value;
        std::int64_t atMs;
    };

    FuzzedDataProvider& input_;
    sim::SimulatedPrinter printer_;
    std::deque<TimedByte> wire_;
    bool hungUp_ = false;
};

}  // namespace talq::fuzz
