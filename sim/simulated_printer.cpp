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

// The rates switch 9 pins 6..8 select on the "KTV-540/542"; patterns 5..7 select none, and the
// printer then keeps its factory rate.
constexpr int kSwitchBauds[] = {9600, 19200, 38400, 57600, 115200};
constexpr int kFactorySwitchBaud = 115200;

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
    line_ = ConfiguredLine();
}

LineSettings SimulatedPrinter::ConfiguredLine() const {
    LineSettings line;
    if (model_ == 1) {
        const int index = (Pin(9, 6) ? 1 : 0) + (Pin(9, 7) ? 2 : 0) + (Pin(9, 8) ? 4 : 0);
        line.baud = index < 5 ? kSwitchBauds[index] : kFactorySwitchBaud;
        line.dataBits = Pin(9, 2) ? 7 : 8;
        line.parity = !Pin(9, 4) ? Parity::None : Pin(9, 3) ? Parity::Even : Parity::Odd;
        line.flow = Pin(9, 5) ? Flow::XonXoff : Flow::DtrDsr;
        return line;
    }
    // What the printer reports is what it runs at; a report it cannot run at leaves the
    // factory setting in that place.
    const auto digit = [this](std::uint8_t item) {
        const std::string text = Setting(item);
        return text.size() == 1 && text[0] >= '0' && text[0] <= '9' ? text[0] - '0' : -1;
    };
    for (int baud : {2400, 4800, 9600, 19200, 38400, 57600, 115200}) {
        if (Setting(kItemBaudRate) == std::to_string(baud)) line.baud = baud;
    }
    if (Setting(kItemDataBits) == "7") line.dataBits = 7;
    if (const int parity = digit(kItemParity); parity == 1 || parity == 2) {
        line.parity = static_cast<Parity>(parity);
    }
    if (digit(kItemFlowControl) == 1) line.flow = Flow::XonXoff;
    return line;
}

bool SimulatedPrinter::SetLine(const LineSettings& line) {
    const int lowest = model_ == 1 ? 9600 : 2400;
    const bool known = line.baud >= lowest && line.baud <= 115200 &&
                       (line.dataBits == 7 || line.dataBits == 8) &&
                       (line.stopBits == 1 || line.stopBits == 2);
    int index = -1;
    for (int i = 0; i < 5; ++i) {
        if (kSwitchBauds[i] == line.baud) index = i;
    }
    if (!known || (model_ == 1 && index < 0)) return false;
    if (model_ == 1) {
        SetPin(9, 2, line.dataBits == 7);
        SetPin(9, 3, line.parity == Parity::Even);
        SetPin(9, 4, line.parity != Parity::None);
        SetPin(9, 5, line.flow == Flow::XonXoff);
        SetPin(9, 6, (index & 1) != 0);
        SetPin(9, 7, (index & 2) != 0);
        SetPin(9, 8, (index & 4) != 0);
    } else {
        settings_[kItemBaudRate] = std::to_string(line.baud);
        settings_[kItemDataBits] = std::to_string(line.dataBits);
        settings_[kItemParity] = std::to_string(static_cast<int>(line.parity));
        settings_[kItemFlowControl] = line.flow == Flow::XonXoff ? "1" : "0";
    }
    Restart();
    line_.stopBits = line.stopBits;  // no switch holds it
    return true;
}

void SimulatedPrinter::Restart() {
    const int stopBits = line_.stopBits;
    line_ = ConfiguredLine();
    line_.stopBits = stopBits;
    settingMode_ = false;
    framer_.Reset();
    output_.clear();
}

void SimulatedPrinter::Receive(const std::uint8_t* data, std::size_t size, std::int64_t nowMs) {
    if (unplugged_ || data == nullptr) return;
    nowMs_ = nowMs;
    if (hostLine_ && !SameFraming(*hostLine_, line_)) {
        const std::vector<std::uint8_t> taken = AtPrinter({data, size}, *hostLine_, line_);
        framer_.Feed(taken.data(), taken.size(), nowMs);
        return;
    }
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
        busyUntilMs_ = nowMs_ + resetMs_;
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
        case 0x01:
            QueueReply({modelByte_});
            break;
        case 0x41:
            QueueText(kTextHead, firmware_);
            break;
        case 0x42:
            QueueText(kTextHead, maker_);
            break;
        case 0x43:
            QueueText(kTextHead, modelName_);
            break;
        default:
            break;  // other kinds of identity are not kept
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
            if (!DataIs(args, "OUT")) return;
            settingMode_ = false;
            if (restartOnLeaving_) Restart();
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
        default:
            return;
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
    if (hostLine_) reply = AtHost(reply, line_, *hostLine_);
    if (output_.size() + reply.size() > kMaxQueuedReplyBytes) return;
    // Bytes leave in order: a reply never overtakes one queued before it.
    std::int64_t ready = std::max(nowMs_ + replyDelayMs_, busyUntilMs_);
    if (!output_.empty()) ready = std::max(ready, output_.back().readyMs);
    for (std::uint8_t b : reply) output_.push_back({b, ready});
}

}  // namespace talq::sim
