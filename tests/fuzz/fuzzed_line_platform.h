// A platform with one device whose replies the fuzz input chooses: each read
// takes a chunk of input bytes, comes back empty (silence) or finds the line
// hung up, and once the input runs out the device is silent for good. Time is
// virtual: a silent read costs its whole time-out, a chunk part of it, a
// pause its length. Counts reads and pauses so a target can bound a call.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include "platform/platform.h"

namespace talq::fuzz {

class FuzzedLinePlatform : public platform::Platform {
public:
    explicit FuzzedLinePlatform(FuzzedDataProvider& input) : input_(input) {}

    int reads = 0;
    std::int64_t pausedMs = 0;

    platform::DeviceHandle OpenDevice(const std::string&) override { return 1; }
    void CloseDevice(platform::DeviceHandle) override {}
    bool ApplyLineSettings(platform::DeviceHandle, const platform::LineSettings&) override {
        return true;
    }
    bool SetTimeouts(platform::DeviceHandle, const platform::CommTimeouts& timeouts) override {
        timeouts_ = timeouts;
        return true;
    }
    bool Purge(platform::DeviceHandle) override { return true; }
    bool Flush(platform::DeviceHandle) override { return true; }
    void CancelIo(platform::DeviceHandle) override {}
    platform::IoResult Write(platform::DeviceHandle, const std::uint8_t*, int count) override {
        return {!hungUp_, hungUp_ ? 0 : count, hungUp_};
    }
    platform::IoResult Read(platform::DeviceHandle, std::uint8_t* buffer, int count) override;
    void Pause(int milliseconds) override {
        nowMs_ += milliseconds;
        pausedMs += milliseconds;
    }
    std::int64_t NowMs() override { return nowMs_; }

private:
    // What a read of `count` bytes waits at most when nothing arrives.
    int TimeoutMs(int count) const;

    FuzzedDataProvider& input_;
    platform::CommTimeouts timeouts_{};
    std::int64_t nowMs_ = 0;
    bool hungUp_ = false;
};

}  // namespace talq::fuzz
