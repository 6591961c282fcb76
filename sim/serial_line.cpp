#include "sim/serial_line.h"

#include <bit>

namespace talq::sim {
namespace {

bool ParityBit(std::uint32_t data, Parity parity) {
    const bool odd = std::popcount(data) % 2 != 0;
    return parity == Parity::Even ? odd : !odd;  // the bit that makes the count even or odd
}

// One frame on the wire with the line idle around it; times in units of 1 / (2 S R) s, where
// one sent bit lasts 2 R units and one received bit 2 S units.
class Frame {
  public:
    Frame(std::uint8_t byte, const LineSettings& sender, std::int64_t bitTime) : bitTime_(bitTime) {
        bits_.push_back(false);  // start
        const std::uint32_t data = byte & ((1u << sender.dataBits) - 1);
        for (int i = 0; i < sender.dataBits; ++i) bits_.push_back(((data >> i) & 1u) != 0);
        if (sender.parity != Parity::None) bits_.push_back(ParityBit(data, sender.parity));
        for (int i = 0; i < sender.stopBits; ++i) bits_.push_back(true);
    }

    // Mark (true) or space at time t; a boundary belongs to the bit that starts there.
    bool Level(std::int64_t t) const {
        if (t < 0) return true;
        const std::int64_t k = t / bitTime_;
        return k >= static_cast<std::int64_t>(bits_.size()) || bits_[static_cast<std::size_t>(k)];
    }

    // The first change from mark to space at or after `from`; -1 when the line stays idle.
    std::int64_t FallingEdgeFrom(std::int64_t from) const {
        for (std::size_t k = 0; k < bits_.size(); ++k) {
            const std::int64_t at = static_cast<std::int64_t>(k) * bitTime_;
            const bool before = k == 0 || bits_[k - 1];
            if (at >= from && before && !bits_[k]) return at;
        }
        return -1;
    }

  private:
    std::int64_t bitTime_;
    std::vector<bool> bits_;
};

}  // namespace

bool SameFraming(const LineSettings& a, const LineSettings& b) {
    return a.baud == b.baud && a.dataBits == b.dataBits && a.parity == b.parity;
}

std::string Describe(const LineSettings& line) {
    static constexpr const char* kParity[] = {"None", "Odd", "Even"};
    return std::to_string(line.baud) + " " + std::to_string(line.dataBits) + " " +
           kParity[static_cast<int>(line.parity)] + " " + std::to_string(line.stopBits) + " " +
           (line.flow == Flow::DtrDsr ? "DTR/DSR" : "Xon/Xoff");
}

std::vector<ReceivedCharacter> Receive(std::uint8_t byte, const LineSettings& sender,
                                       const LineSettings& receiver) {
    std::vector<ReceivedCharacter> received;
    if (sender.baud <= 0 || receiver.baud <= 0) return received;  // a speed no clock keeps
    const std::int64_t sentBit = 2 * std::int64_t{receiver.baud};
    const std::int64_t readBit = 2 * std::int64_t{sender.baud};
    const Frame frame(byte, sender, sentBit);
    const int sampled = receiver.dataBits + (receiver.parity != Parity::None ? 1 : 0);

    for (std::int64_t edge = frame.FallingEdgeFrom(0); edge >= 0;) {
        const std::int64_t startMiddle = edge + readBit / 2;
        if (frame.Level(startMiddle)) {  // shorter than half a bit: a glitch, not a start
            edge = frame.FallingEdgeFrom(edge + 1);
            continue;
        }
        ReceivedCharacter c;
        std::uint32_t data = 0;
        bool anyMark = false;
        for (int i = 0; i < sampled; ++i) {
            const bool bit = frame.Level(startMiddle + (i + 1) * readBit);
            anyMark = anyMark || bit;
            if (i < receiver.dataBits) {
                data |= (bit ? 1u : 0u) << i;
            } else {
                c.parityError = bit != ParityBit(data, receiver.parity);
            }
        }
        const std::int64_t stopMiddle = startMiddle + (sampled + 1) * readBit;
        const bool stop = frame.Level(stopMiddle);
        c.value = static_cast<std::uint8_t>(data);
        c.framingError = !stop;
        c.isBreak = !anyMark && !stop;
        received.push_back(c);
        edge = frame.FallingEdgeFrom(stopMiddle);
    }
    return received;
}

std::vector<std::uint8_t> AtPrinter(std::span<const std::uint8_t> bytes, const LineSettings& host,
                                    const LineSettings& printer) {
    if (SameFraming(host, printer)) return {bytes.begin(), bytes.end()};
    std::vector<std::uint8_t> taken;
    for (std::uint8_t byte : bytes) {
        for (const ReceivedCharacter& c : Receive(byte, host, printer)) {
            if (!c.parityError && !c.framingError && !c.isBreak) taken.push_back(c.value);
        }
    }
    return taken;
}

std::vector<std::uint8_t> AtHost(std::span<const std::uint8_t> bytes, const LineSettings& printer,
                                 const LineSettings& host) {
    if (SameFraming(printer, host)) return {bytes.begin(), bytes.end()};
    std::vector<std::uint8_t> read;
    for (std::uint8_t byte : bytes) {
        for (const ReceivedCharacter& c : Receive(byte, printer, host)) {
            read.push_back(c.isBreak ? 0 : c.value);
        }
    }
    return read;
}

}  // namespace talq::sim
