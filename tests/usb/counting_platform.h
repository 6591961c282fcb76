// The real POSIX backend, counting device opens.
#pragma once

#include "platform/posix/posix_platform.h"

namespace talq::usbtest {

class CountingPlatform final : public platform::Platform {
  public:
    platform::DeviceHandle OpenDevice(const std::string& path) override {
        ++opens;
        return real.OpenDevice(path);
    }
    void CloseDevice(platform::DeviceHandle d) override { real.CloseDevice(d); }
    bool ApplyLineSettings(platform::DeviceHandle d, const platform::LineSettings& s) override {
        return real.ApplyLineSettings(d, s);
    }
    bool SetTimeouts(platform::DeviceHandle d, const platform::CommTimeouts& t) override {
        return real.SetTimeouts(d, t);
    }
    bool Purge(platform::DeviceHandle d) override { return real.Purge(d); }
    bool Flush(platform::DeviceHandle d) override { return real.Flush(d); }
    void CancelIo(platform::DeviceHandle d) override { real.CancelIo(d); }
    platform::IoResult Write(platform::DeviceHandle d, const std::uint8_t* data,
                             int count) override {
        return real.Write(d, data, count);
    }
    platform::IoResult Read(platform::DeviceHandle d, std::uint8_t* buffer, int count) override {
        return real.Read(d, buffer, count);
    }
    void Pause(int ms) override { real.Pause(ms); }
    std::int64_t NowMs() override { return real.NowMs(); }

    platform::posix::PosixPlatform real;
    int opens = 0;
};

}  // namespace talq::usbtest
