#include "support/virtual_device.h"

#include <algorithm>

namespace talq::test {

void VirtualDevice::DiscardArrived(std::int64_t nowMs) {
    for (auto next = NextByteMs(); next && *next <= nowMs; next = NextByteMs()) TakeByte();
}

void SimulatedPrinterDevice::Write(const std::uint8_t* data, std::size_t size, std::int64_t nowMs) {
    printer_.Receive(data, size, nowMs);
}

SimulatedPrinterDevice::SimulatedPrinterDevice(int model, int baud) : printer_(model) {
    sim::LineSettings line = printer_.Line();
    line.baud = baud;
    printer_.SetLine(line);
}

void SimulatedPrinterDevice::HostLineSettings(const platform::LineSettings& settings) {
    sim::LineSettings host;
    host.baud = settings.baudRate;
    host.dataBits = settings.dataBits;
    host.parity = static_cast<sim::Parity>(settings.parity);
    host.stopBits = settings.stopBits == 2 ? 2 : 1;
    host.flow = settings.flowControl == 0 ? sim::Flow::DtrDsr : sim::Flow::XonXoff;
    printer_.SetHostLine(host);
}

void ScriptedDevice::Arrive(std::int64_t atMs, const std::vector<std::uint8_t>& bytes) {
    // Bytes on a wire stay in order: none arrives before one scripted earlier.
    if (!script_.empty()) atMs = std::max(atMs, script_.rbegin()->first);
    for (std::uint8_t b : bytes) script_.emplace(atMs, b);
}

void ScriptedDevice::Stream(std::uint8_t value, std::int64_t fromMs, int periodMs) {
    streamValue_ = value;
    streamNextMs_ = fromMs;
    streamPeriodMs_ = std::max(periodMs, 1);
}

void ScriptedDevice::Write(const std::uint8_t* data, std::size_t size, std::int64_t) {
    written_.insert(written_.end(), data, data + size);
}

std::optional<std::int64_t> ScriptedDevice::NextByteMs() const {
    std::optional<std::int64_t> next;
    if (!script_.empty()) next = script_.begin()->first;
    if (streamValue_ && (!next || streamNextMs_ < *next)) next = streamNextMs_;
    return next;
}

std::uint8_t ScriptedDevice::TakeByte() {
    if (streamValue_ && (script_.empty() || streamNextMs_ < script_.begin()->first)) {
        streamNextMs_ += streamPeriodMs_;
        return *streamValue_;
    }
    if (script_.empty()) return 0;
    const std::uint8_t value = script_.begin()->second;
    script_.erase(script_.begin());
    return value;
}

}  // namespace talq::test
