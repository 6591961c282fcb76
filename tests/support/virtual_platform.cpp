#include "support/virtual_platform.h"

#include <algorithm>
#include <limits>

#include "platform/serial_line_accepts.h"
#include "support/transcript.h"

namespace talq::test {
namespace {

using platform::CommTimeouts;
using platform::DeviceHandle;
using platform::IoResult;

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

bool Untimed(const CommTimeouts& t) {
    return t.readIntervalMs == 0 && t.readTotalMultiplierMs == 0 && t.readTotalConstantMs == 0;
}

}  // namespace

void VirtualPlatform::AddDevice(const std::string& path, std::shared_ptr<VirtualDevice> device) {
    std::lock_guard lock(mutex_);
    // A new device at a path: handles on the old one hang up; fault knobs stay.
    for (auto& [id, handle] : handles_) {
        if (handle.slotKey == path) handle.device.reset();
    }
    Slot& slot = slots_[path];
    slot.device = std::move(device);
    slot.held = false;
    slot.unplugged = false;
}

void VirtualPlatform::RemoveDevice(const std::string& path) {
    std::lock_guard lock(mutex_);
    for (auto& [id, handle] : handles_) {
        if (handle.slotKey == path) handle.device.reset();
    }
    slots_.erase(path);
}

void VirtualPlatform::Unplug(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (auto it = slots_.find(path); it != slots_.end()) it->second.unplugged = true;
}

void VirtualPlatform::Replug(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (auto it = slots_.find(path); it != slots_.end()) it->second.unplugged = false;
}

void VirtualPlatform::RefuseLineSettings(const std::string& path, bool refuse) {
    std::lock_guard lock(mutex_);
    slots_[path].refuseSettings = refuse;
}

void VirtualPlatform::SetWriteLimit(const std::string& path, int bytes) {
    std::lock_guard lock(mutex_);
    slots_[path].writeLimit = bytes;
}

void VirtualPlatform::HoldClearToSendLow(const std::string& path, bool low) {
    std::lock_guard lock(mutex_);
    slots_[path].clearToSendLow = low;
}

bool VirtualPlatform::IsOpen(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto it = slots_.find(path);
    return it != slots_.end() && it->second.held;
}

platform::LineSettings VirtualPlatform::LineSettingsOf(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto it = slots_.find(path);
    return it == slots_.end() ? platform::LineSettings{} : it->second.settings;
}

platform::CommTimeouts VirtualPlatform::TimeoutsOf(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto it = slots_.find(path);
    return it == slots_.end() ? CommTimeouts{} : it->second.timeouts;
}

std::vector<std::string> VirtualPlatform::Exchange() const {
    std::lock_guard lock(mutex_);
    return ExchangeLines(transcript_);
}

void VirtualPlatform::AdvanceMs(std::int64_t ms) {
    std::lock_guard lock(mutex_);
    nowMs_ += ms;
}

std::int64_t VirtualPlatform::NowMs() {
    std::lock_guard lock(mutex_);
    return Clock();
}

std::int64_t& VirtualPlatform::Clock() {
    if (std::this_thread::get_id() == owner_) return nowMs_;
    // Dies with its thread, which runs one port of one command.
    thread_local std::map<const VirtualPlatform*, std::int64_t> clocks;
    return clocks.try_emplace(this, nowMs_).first->second;
}

void VirtualPlatform::KeepUp() {
    nowMs_ = std::max(nowMs_, Clock());
}

std::string VirtualPlatform::FindSlot(const std::string& path) const {
    if (path.empty()) return {};
    if (slots_.count(path) != 0 && slots_.at(path).device) return path;
    for (const auto& [key, slot] : slots_) {
        if (slot.device && platform::DevicePathForPort(key) == path) return key;
    }
    return {};
}

VirtualPlatform::Handle* VirtualPlatform::HandleOf(DeviceHandle device) {
    const auto it = handles_.find(device);
    return it == handles_.end() ? nullptr : &it->second;
}

VirtualPlatform::Slot* VirtualPlatform::SlotOf(DeviceHandle device) {
    Handle* handle = HandleOf(device);
    if (handle == nullptr || !handle->device) return nullptr;
    const auto it = slots_.find(handle->slotKey);
    if (it == slots_.end() || it->second.device != handle->device) return nullptr;
    return &it->second;
}

VirtualDevice* VirtualPlatform::LiveDevice(DeviceHandle device) {
    Slot* slot = SlotOf(device);
    if (slot == nullptr || slot->unplugged || slot->device->HungUp()) return nullptr;
    return slot->device.get();
}

DeviceHandle VirtualPlatform::OpenDevice(const std::string& path) {
    std::lock_guard lock(mutex_);
    const std::string key = FindSlot(path);
    Slot* slot = key.empty() ? nullptr : &slots_[key];
    if (slot == nullptr || slot->held || slot->unplugged || slot->device->HungUp()) {
        Record("open " + path + " failed");
        return platform::kNoDevice;
    }
    slot->held = true;
    slot->timeouts = CommTimeouts{};  // as the real backend: no time-outs until set
    const DeviceHandle id = nextHandle_++;
    handles_[id] = Handle{key, slot->device};
    Record("open " + path);
    return id;
}

void VirtualPlatform::CloseDevice(DeviceHandle device) {
    std::lock_guard lock(mutex_);
    if (HandleOf(device) == nullptr) return;
    if (Slot* slot = SlotOf(device)) slot->held = false;
    handles_.erase(device);
    Record("close");
}

bool VirtualPlatform::ApplyLineSettings(DeviceHandle device,
                                        const platform::LineSettings& settings) {
    std::lock_guard lock(mutex_);
    Slot* slot = SlotOf(device);
    // Refuse what the real backend refuses, so tests cannot pass on settings
    // that would fail on a real line.
    const bool accepted = slot != nullptr && !slot->refuseSettings && LiveDevice(device) &&
                          platform::SerialLineAccepts(settings);
    if (accepted) {
        slot->settings = settings;
        slot->device->HostLineSettings(settings);
    }
    Record("settings " + std::to_string(settings.baudRate) + " " +
           std::to_string(settings.dataBits) + " " + std::to_string(settings.stopBits) + " " +
           std::to_string(settings.parity) + " " + std::to_string(settings.flowControl) +
           (accepted ? "" : " refused"));
    return accepted;
}

bool VirtualPlatform::SetTimeouts(DeviceHandle device, const CommTimeouts& timeouts) {
    std::lock_guard lock(mutex_);
    Record("timeouts " + std::to_string(timeouts.readIntervalMs) + " " +
           std::to_string(timeouts.readTotalMultiplierMs) + " " +
           std::to_string(timeouts.readTotalConstantMs) + " " +
           std::to_string(timeouts.writeTotalMultiplierMs) + " " +
           std::to_string(timeouts.writeTotalConstantMs));
    Slot* slot = SlotOf(device);
    if (slot == nullptr) return false;
    slot->timeouts = timeouts;
    return true;
}

bool VirtualPlatform::Purge(DeviceHandle device) {
    std::lock_guard lock(mutex_);
    Record("purge");
    VirtualDevice* live = LiveDevice(device);
    if (live == nullptr) return false;
    live->DiscardArrived(Clock());
    return true;
}

bool VirtualPlatform::Flush(DeviceHandle device) {
    std::lock_guard lock(mutex_);
    Record("flush");
    return HandleOf(device) != nullptr;
}

void VirtualPlatform::CancelIo(DeviceHandle) {
    std::lock_guard lock(mutex_);
    Record("cancel");
}

IoResult VirtualPlatform::Write(DeviceHandle device, const std::uint8_t* data, int count) {
    std::lock_guard lock(mutex_);
    std::int64_t& now = Clock();
    IoResult result;
    const int asked = data == nullptr ? 0 : std::max(count, 0);
    std::string line = "write";
    if (asked > 0) line += " " + HexBytes(data, asked);

    VirtualDevice* live = LiveDevice(device);
    if (live == nullptr) {
        result.hangUp = HandleOf(device) != nullptr;
    } else {
        const Slot& slot = *SlotOf(device);
        const int limit =
            slot.clearToSendLow && slot.settings.flowControl == 0 ? 0 : slot.writeLimit;
        result.count = limit >= 0 ? std::min(asked, limit) : asked;
        if (result.count > 0) {
            live->Write(data, static_cast<std::size_t>(result.count), now);
        }
        result.ok = result.count == asked;
        // The real backend waits this long for a stalled device before it
        // gives up with the count so far.
        if (!result.ok) now += platform::kWriteStallMs;
    }
    if (result.count < asked) line += " -> " + std::to_string(result.count);
    Record(std::move(line));
    return result;
}

IoResult VirtualPlatform::Read(DeviceHandle device, std::uint8_t* buffer, int count) {
    std::lock_guard lock(mutex_);
    std::int64_t& now = Clock();
    IoResult result;
    VirtualDevice* live = LiveDevice(device);
    if (live == nullptr || buffer == nullptr || count <= 0) {
        const bool known = HandleOf(device) != nullptr;
        result.ok = known && live != nullptr;  // an empty read of a live device
        result.hangUp = known && live == nullptr;
        Record("read " + std::to_string(count) + " -> 0");
        return result;
    }

    const CommTimeouts t = SlotOf(device)->timeouts;
    const std::int64_t start = now;
    result.ok = true;
    if (Untimed(t)) {
        // Waits for the first byte, then takes what is there in one transfer.
        const auto first = live->NextByteMs();
        if (!first || *first > start + platform::kUntimedReadMs) {
            now = start + platform::kUntimedReadMs;
        } else {
            now = std::max(start, *first);
            for (auto next = live->NextByteMs(); result.count < count && next && *next <= now;
                 next = live->NextByteMs()) {
                buffer[result.count++] = live->TakeByte();
            }
        }
    } else {
        const bool hasTotal = t.readTotalMultiplierMs != 0 || t.readTotalConstantMs != 0;
        const std::int64_t totalEnd =
            hasTotal ? start + std::int64_t{t.readTotalMultiplierMs} * count + t.readTotalConstantMs
                     : kNever;
        std::int64_t lastByteMs = start;
        while (result.count < count) {
            std::int64_t end = totalEnd;
            // "More than" the interval ends the read: a byte exactly at the
            // interval still belongs to it.
            if (result.count > 0 && t.readIntervalMs != 0) {
                end = std::min(end, lastByteMs + t.readIntervalMs);
            }
            if (end == kNever) end = start + platform::kUntimedReadMs;
            const auto next = live->NextByteMs();
            if (!next || std::max(*next, now) > end) {
                now = std::max(now, end);
                break;
            }
            now = std::max(now, *next);
            buffer[result.count++] = live->TakeByte();
            lastByteMs = now;
        }
    }
    std::string line = "read " + std::to_string(count) + " -> " + std::to_string(result.count);
    if (result.count > 0) line += ": " + HexBytes(buffer, result.count);
    Record(std::move(line));
    return result;
}

void VirtualPlatform::Pause(int milliseconds) {
    std::lock_guard lock(mutex_);
    std::int64_t& now = Clock();
    now += std::max(milliseconds, 0);
    Record("pause " + std::to_string(milliseconds));
}

}  // namespace talq::test
