// A system's platform with printers behind device servers added: a device path that is a
// network address ("tcp:HOST:PORT", "rfc2217:HOST:PORT") opens a network device, every other
// one the system's own device; each later call goes where its handle came from.
#pragma once

#include "platform/network_address.h"
#include "platform/network_device.h"
#include "platform/platform.h"

namespace talq::platform {

template <typename Local>
class WithNetworkDevices final : public Platform {
  public:
    DeviceHandle OpenDevice(const std::string& path) override {
        return IsNetworkAddress(path) ? network_.Open(path) : local_.OpenDevice(path);
    }
    void CloseDevice(DeviceHandle device) override {
        if (!network_.Close(device)) local_.CloseDevice(device);
    }
    bool ApplyLineSettings(DeviceHandle device, const LineSettings& settings) override {
        const auto remote = network_.Find(device);
        if (!remote) return local_.ApplyLineSettings(device, settings);
        std::string failure;
        const bool applied = remote->ApplyLineSettings(settings, failure);
        SetLastNetworkFailure(failure);
        return applied;
    }
    bool SetTimeouts(DeviceHandle device, const CommTimeouts& timeouts) override {
        const auto remote = network_.Find(device);
        if (!remote) return local_.SetTimeouts(device, timeouts);
        remote->SetTimeouts(timeouts);
        return true;
    }
    bool Purge(DeviceHandle device) override {
        const auto remote = network_.Find(device);
        return remote ? remote->Purge() : local_.Purge(device);
    }
    // Sends are handed to the system whole, so nothing waits above it.
    bool Flush(DeviceHandle device) override {
        return network_.Find(device) ? true : local_.Flush(device);
    }
    void CancelIo(DeviceHandle device) override {
        if (!network_.Find(device)) local_.CancelIo(device);
    }
    IoResult Write(DeviceHandle device, const std::uint8_t* data, int count) override {
        const auto remote = network_.Find(device);
        return remote ? remote->Write(data, count) : local_.Write(device, data, count);
    }
    IoResult Read(DeviceHandle device, std::uint8_t* buffer, int count) override {
        const auto remote = network_.Find(device);
        return remote ? remote->Read(buffer, count) : local_.Read(device, buffer, count);
    }
    void Pause(int milliseconds) override { local_.Pause(milliseconds); }
    std::int64_t NowMs() override { return local_.NowMs(); }

  private:
    Local local_;
    NetworkDevices network_;
};

}  // namespace talq::platform
