// The platform in virtual time: hosts simulated devices by path, keeps a clock
// that only pauses and reads move, and records every operation as a
// transcript line. Reads follow the same time-out rules as the real backend,
// so an exchange of seconds runs in microseconds and gives the same bytes.
// Ports run at once from threads of their own: every call is serialised, and
// each such thread keeps a clock of its own, starting from the world's time,
// so each port's exchange sees the same time line as when it runs alone. The
// world's time keeps up with the furthest of them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "support/fake_spooler.h"
#include "support/virtual_device.h"

namespace talq::test {

class VirtualPlatform : public platform::Platform {
  public:
    // Hosts `device` at `path`. A port name ("COM1", "LPT2") is also found
    // under the device path the platform maps it to, as the ports open it.
    void AddDevice(const std::string& path, std::shared_ptr<VirtualDevice> device);
    // The device is gone: opens fail, open handles hang up.
    void RemoveDevice(const std::string& path);
    // Pulls the cable / puts it back: while unplugged, opens fail and open
    // handles hang up (reads and writes move nothing).
    void Unplug(const std::string& path);
    void Replug(const std::string& path);
    // Fault knobs per path.
    void RefuseLineSettings(const std::string& path, bool refuse = true);
    // Each write moves at most `bytes` bytes, then stalls; negative: no limit.
    void SetWriteLimit(const std::string& path, int bytes);
    // The device keeps the host's CTS low (a printer that never raises DTR): writes stall
    // while the host paces its output by CTS (flow code 0), and go with Xon/Xoff.
    void HoldClearToSendLow(const std::string& path, bool low = true);

    bool IsOpen(const std::string& path) const;
    // Settings and time-outs last applied through a handle on `path`.
    platform::LineSettings LineSettingsOf(const std::string& path) const;
    platform::CommTimeouts TimeoutsOf(const std::string& path) const;

    // Moves the clock without a transcript line (the world's time, not the
    // program's pause).
    void AdvanceMs(std::int64_t ms);

    const std::vector<std::string>& Transcript() const { return transcript_; }
    void ClearTranscript() { transcript_.clear(); }
    // Only the write, read and pause lines.
    std::vector<std::string> Exchange() const;

    platform::DeviceHandle OpenDevice(const std::string& path) override;
    void CloseDevice(platform::DeviceHandle device) override;
    bool ApplyLineSettings(platform::DeviceHandle device,
                           const platform::LineSettings& settings) override;
    bool SetTimeouts(platform::DeviceHandle device,
                     const platform::CommTimeouts& timeouts) override;
    bool Purge(platform::DeviceHandle device) override;
    bool Flush(platform::DeviceHandle device) override;
    void CancelIo(platform::DeviceHandle device) override;
    platform::IoResult Write(platform::DeviceHandle device, const std::uint8_t* data,
                             int count) override;
    platform::IoResult Read(platform::DeviceHandle device, std::uint8_t* buffer,
                            int count) override;
    void Pause(int milliseconds) override;
    std::int64_t NowMs() override;

    // The spooler while this platform lives, so a check on "COM1" never
    // reaches the machine's scheduler; empty unless a test adds queues.
    FakeSpooler spooler;

  private:
    struct Slot {
        std::shared_ptr<VirtualDevice> device;
        bool unplugged = false;
        bool refuseSettings = false;
        int writeLimit = -1;
        bool clearToSendLow = false;
        bool held = false;
        platform::LineSettings settings;
        platform::CommTimeouts timeouts;
    };
    struct Handle {
        std::string slotKey;
        std::shared_ptr<VirtualDevice> device;  // null once the device was removed
    };

    // Key of the slot that `path` names, or "" when none does.
    std::string FindSlot(const std::string& path) const;
    Slot* SlotOf(platform::DeviceHandle device);
    Handle* HandleOf(platform::DeviceHandle device);
    // The device behind an open handle, or null when it has gone away.
    VirtualDevice* LiveDevice(platform::DeviceHandle device);
    void Record(std::string line) {
        KeepUp();
        transcript_.push_back(std::move(line));
    }
    // The calling thread's clock; the world's time on the thread that made the platform.
    std::int64_t& Clock();
    // The world's time catches up with the calling thread's.
    void KeepUp();

    std::map<std::string, Slot> slots_;
    std::map<platform::DeviceHandle, Handle> handles_;
    platform::DeviceHandle nextHandle_ = 100;
    std::int64_t nowMs_ = 0;
    const std::thread::id owner_ = std::this_thread::get_id();
    mutable std::mutex mutex_;
    std::vector<std::string> transcript_;
    ScopedSpooler spoolerInstalled_{spooler};
};

}  // namespace talq::test
