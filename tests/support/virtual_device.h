// Devices hosted by the virtual-time platform: something that takes the
// host's bytes at a virtual time and puts bytes on the wire at virtual times.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/platform.h"
#include "sim/simulated_printer.h"

namespace talq::test {

class VirtualDevice {
  public:
    virtual ~VirtualDevice() = default;

    // Bytes the host wrote, arriving at nowMs.
    virtual void Write(const std::uint8_t* data, std::size_t size, std::int64_t nowMs) = 0;
    // When the next byte for the host is on the wire (possibly in the past);
    // nullopt when none will come unless the host writes.
    virtual std::optional<std::int64_t> NextByteMs() const = 0;
    // Takes that byte. Only called after NextByteMs gave a time.
    virtual std::uint8_t TakeByte() = 0;
    // The device has gone away: transfers move nothing.
    virtual bool HungUp() const { return false; }
    // The host applied these line settings to its end of the wire.
    virtual void HostLineSettings(const platform::LineSettings&) {}

    // Drops the bytes already on the wire at nowMs (a purge of the input).
    void DiscardArrived(std::int64_t nowMs);
};

// A simulated KTV printer on the wire. Once the host applies line settings, its bytes and the
// printer's replies cross the line as the two ends' settings make them (sim/serial_line.h): a
// host at another speed, size or parity than the printer gets garbage or nothing.
class SimulatedPrinterDevice : public VirtualDevice {
  public:
    explicit SimulatedPrinterDevice(int model = 0) : printer_(model) {}
    // A printer set to `baud` (its other line settings as from the factory), for tests whose
    // host talks at one speed to every model.
    SimulatedPrinterDevice(int model, int baud);

    sim::SimulatedPrinter& Printer() { return printer_; }

    void Write(const std::uint8_t* data, std::size_t size, std::int64_t nowMs) override;
    std::optional<std::int64_t> NextByteMs() const override { return printer_.NextOutputMs(); }
    std::uint8_t TakeByte() override { return printer_.TakeByte().value_or(0); }
    bool HungUp() const override { return printer_.Unplugged(); }
    void HostLineSettings(const platform::LineSettings& settings) override;

  private:
    sim::SimulatedPrinter printer_;
};

// Bytes that arrive at given virtual times whatever the host writes, and
// optionally a byte that repeats for ever (a peer that never falls silent).
class ScriptedDevice : public VirtualDevice {
  public:
    // `bytes` are on the wire at atMs, in order after those already scripted.
    void Arrive(std::int64_t atMs, const std::vector<std::uint8_t>& bytes);
    // From fromMs on, `value` every periodMs (at least 1), without end.
    void Stream(std::uint8_t value, std::int64_t fromMs, int periodMs);
    void SetHungUp(bool on) { hungUp_ = on; }

    // Everything the host wrote, in order.
    const std::vector<std::uint8_t>& Written() const { return written_; }

    void Write(const std::uint8_t* data, std::size_t size, std::int64_t nowMs) override;
    std::optional<std::int64_t> NextByteMs() const override;
    std::uint8_t TakeByte() override;
    bool HungUp() const override { return hungUp_; }

  private:
    std::multimap<std::int64_t, std::uint8_t> script_;  // equal times keep insertion order
    std::optional<std::uint8_t> streamValue_;
    std::int64_t streamNextMs_ = 0;
    int streamPeriodMs_ = 1;
    std::vector<std::uint8_t> written_;
    bool hungUp_ = false;
};

}  // namespace talq::test
