#include "sim/simulated_printer.h"

#include <algorithm>
#include <string_view>

namespace talq::sim {
namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kGs = 0x1D;
constexpr std::uint8_t kTextHead = 0x5F;
constexpr std::uint8_t kStatusHead = 0x37;  // head of switch, setting and mode replies
constexpr std::uint8_t kModeId = 0x20;
constexpr std::uint8_t kSwitchId = 0x21;
constexpr std::uint8_t kSettingId = 0x33;
constexpr std::uint8_t kSeparator = 0x1F;

bool DataIs(std::span<const std::uint8_t> data, std::string_view text) {
    return std::equal(data.begin(), data.end(), text.begin(), text.end(),
                      [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
}

}  // namespace

SimulatedPrinter::SimulatedPrinter(int model)
    : model_(model >= 0 && model < kModelCount ? model : 0),
      framer_([this](std::span<const std::uint8_t> command) { Execute(command); }) {
    const ModelProfile& profile = ProfileOf(model_);
    for (std::size_t i = 0; i < kSwitchNumbers.size(); ++i) {
        switches_[kSwitchNumbers[i]] = profile.switches[i];
    }
    settings_[kItemBaudRate] = profile.baudRate;
    settings_[kItemParity] = profile.parity;
    settings_[kItemFlowControl] = profile.flowControl;
    settings_[kItemDataBits] = profile.dataBits;
    settings_[kItemVersionSuffix] = profile.versionSuffix;
    modelByte_ = profile.modelByte;
    modelName_ = profile.name;
}

void SimulatedPrinter::Receive(const std::uint8_t* data, std::size_t size, std::int64_t nowMs) {
    if (unplugged_ || data == nullptr) return;
    nowMs_ = nowMs;
    framer_.Feed(data, size, nowMs);
}

void SimulatedPrinter::HostClosed() {
    framer_.Reset();
    output_.clear();
}

std::optional<std::int64_t> SimulatedPrinter::NextOutputMs() const {
    if (output_.empty()) return std::nullopt;
    return output_.front().readyMs;
}

std::optional<std::uint8_t> SimulatedPrinter::TakeByte() {
    if (output_.empty()) return std::nullopt;
    const std::uint8_t value = output_.front().value;
    output_.pop_front();
    return value;
}

std::vector<std::uint8_t> SimulatedPrinter::TakeOutput() {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(output_.size());
    for (const TimedByte& b : output_) bytes.push_back(b.value);
    output_.clear();
    return bytes;
}

std::vector<std::uint8_t> SimulatedPrinter::TakeReady(std::int64_t nowMs) {
    std::vector<std::uint8_t> bytes;
    while (!output_.empty() && output_.front().readyMs <= nowMs) {
        bytes.push_back(output_.front().value);
        output_.pop_front();
    }
    return bytes;
}

std::string SimulatedPrinter::SwitchText(int number) const {
    const auto it = switches_.find(number);
    return it == switches_.end() ? std::string{} : it->second;
}

bool SimulatedPrinter::SetSwitchText(int number, const std::string& pins) {
    const auto it = switches_.find(number);
    if (it == switches_.end() || pins.size() != 8) return false;
    if (pins.find_first_not_of("01") != std::string::npos) return false;
    it->second = pins;
    return true;
}

bool SimulatedPrinter::Pin(int number, int pin) const {
    const auto it = switches_.find(number);
    if (it == switches_.end() || pin < 1 || pin > 8) return false;
    return it->second[static_cast<std::size_t>(8 - pin)] == '1';
}

void SimulatedPrinter::SetPin(int number, int pin, bool on) {
    const auto it = switches_.find(number);
    if (it == switches_.end() || pin < 1 || pin > 8) return;
    it->second[static_cast<std::size_t>(8 - pin)] = on ? '1' : '0';
}

std::string SimulatedPrinter::Setting(std::uint8_t item) const {
    const auto it = settings_.find(item);
    return it == settings_.end() ? std::string{} : it->second;
}

void SimulatedPrinter::SetNoise(std::vector<std::uint8_t> noise, bool everyReply) {
    noise_ = std::move(noise);
    noiseEveryReply_ = everyReply;
}

void SimulatedPrinter::SetUnplugged(bool on) {
    unplugged_ = on;
    if (on) {
        output_.clear();
        framer_.Reset();
    }
}

void SimulatedPrinter::Execute(std::span<const std::uint8_t> command) {
    if (command.size() < 2) return;  // print data
    const std::uint8_t head = command[0];
    const std::uint8_t code = command[1];
    if (head == kEsc && code == '@') {
        ++initializeCount_;
    } else if (head == kEsc && code == '=') {
        peripheral_ = command[2];
    } else if (head == kGs && code == 'a') {
        statusBack_ = command[2];
    } else if (head == kGs && code == 'I') {
        IdentityQuery(command[2]);
    } else if (head == kGs && code == '(' && command[2] == 'E') {
        UserSetting(command);
    } else if (head == kGs && code == '(' && command[2] == 'A' && command.size() == 7) {
        ++testPrintCount_;
    }
}

void SimulatedPrinter::IdentityQuery(std::uint8_t n) {
    switch (n) {
        case 0x01: QueueReply({modelByte_}); break;
        case 0x41: QueueText(kTextHead, firmware_); break;
        case 0x42: QueueText(kTextHead, maker_); break;
        case 0x43: QueueText(kTextHead, modelName_); break;
        default: break;  // other kinds of identity are not kept
    }
}

void SimulatedPrinter::UserSetting(std::span<const std::uint8_t> command) {
    const auto data = command.subspan(5);
    if (data.empty()) return;
    const std::uint8_t fn = data[0];
    const auto args = data.subspan(1);
    switch (fn) {
        case 1:
            if (!DataIs(args, "IN")) return;
            settingMode_ = true;
            QueueReply({kStatusHead, kModeId, 0x00});
            return;
        case 2:
            if (DataIs(args, "OUT")) settingMode_ = false;
            return;
        case 3:
            // Switches change only while the host holds the printer in
            // setting mode, so a stray write cannot reconfigure it.
            if (settingMode_) WriteSwitches(args);
            return;
        case 4: {
            if (args.size() != 1 || !HasSwitch(args[0])) return;
            std::vector<std::uint8_t> reply{kStatusHead, kSwitchId};
            for (char c : SwitchText(args[0])) reply.push_back(static_cast<std::uint8_t>(c));
            reply.push_back(0x00);
            QueueReply(std::move(reply));
            return;
        }
        case 12: {
            if (args.size() != 1 || settings_.count(args[0]) == 0) return;
            std::vector<std::uint8_t> reply{kStatusHead, kSettingId, args[0], kSeparator};
            for (char c : settings_[args[0]]) reply.push_back(static_cast<std::uint8_t>(c));
            reply.push_back(0x00);
            QueueReply(std::move(reply));
            return;
        }
        default: return;
    }
}

// Groups of switch number and eight characters, pin 8 first: '0' clears the
// pin, '1' sets it, anything else ('2') leaves it as it is.
void SimulatedPrinter::WriteSwitches(std::span<const std::uint8_t> data) {
    if (data.empty() || data.size() % 9 != 0) return;
    for (std::size_t g = 0; g < data.size(); g += 9) {
        const auto it = switches_.find(data[g]);
        if (it == switches_.end() || ignoredSwitch_ == data[g]) continue;
        for (std::size_t i = 0; i < 8; ++i) {
            const std::uint8_t c = data[g + 1 + i];
            if (c == '0' || c == '1') it->second[i] = static_cast<char>(c);
        }
        ++switchWriteCount_;
    }
}

void SimulatedPrinter::QueueText(std::uint8_t head, const std::string& text) {
    std::vector<std::uint8_t> reply{head};
    reply.insert(reply.end(), text.begin(), text.end());
    reply.push_back(0x00);
    QueueReply(std::move(reply));
}

void SimulatedPrinter::QueueReply(std::vector<std::uint8_t> reply) {
    if (silent_ || unplugged_) return;
    if (replyCut_ && reply.size() > *replyCut_) reply.resize(*replyCut_);
    if (!noise_.empty()) {
        reply.insert(reply.begin(), noise_.begin(), noise_.end());
        if (!noiseEveryReply_) noise_.clear();
    }
    if (output_.size() + reply.size() > kMaxQueuedReplyBytes) return;
    // Bytes leave in order: a reply never overtakes one queued before it.
    std::int64_t ready = nowMs_ + replyDelayMs_;
    if (!output_.empty()) ready = std::max(ready, output_.back().readyMs);
    for (std::uint8_t b : reply) output_.push_back({b, ready});
}

}  // namespace talq::sim
