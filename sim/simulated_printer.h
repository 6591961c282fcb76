// The device side of a KTV printer: takes the host's bytes, keeps memory
// switches, serial settings and identification texts, and queues the replies
// the command set defines. Replies carry the virtual time at which they are
// on the wire, so a slow printer can be modelled without real waiting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/command_framer.h"
#include "sim/printer_model.h"
#include "sim/serial_line.h"

namespace talq::sim {

// Reply bytes a host leaves untaken are kept up to this many; a reply that
// does not fit is lost, as from a printer whose transmit buffer is full.
inline constexpr std::size_t kMaxQueuedReplyBytes = 4096;

class SimulatedPrinter {
  public:
    // model: 0 "KTV-520plus", 1 "KTV-540/542", 2 "KTV-520plusF" (others as 0).
    explicit SimulatedPrinter(int model = 0);

    SimulatedPrinter(const SimulatedPrinter&) = delete;
    SimulatedPrinter& operator=(const SimulatedPrinter&) = delete;

    int Model() const { return model_; }

    // Host bytes arriving at nowMs; a command may be split over many calls.
    void Receive(const std::uint8_t* data, std::size_t size, std::int64_t nowMs = 0);
    // The host closed its end of the line: what it left half-sent and the
    // replies it never took are dropped, so the next host starts clean.
    void HostClosed();

    // --- Reply bytes, oldest first ---
    bool HasOutput() const { return !output_.empty(); }
    std::size_t OutputSize() const { return output_.size(); }
    // When the oldest queued byte is on the wire; nullopt when none is queued.
    std::optional<std::int64_t> NextOutputMs() const;
    // Takes the oldest byte whatever its time; nullopt when none is queued.
    std::optional<std::uint8_t> TakeByte();
    // Takes every queued byte whatever its time.
    std::vector<std::uint8_t> TakeOutput();
    // Takes the bytes that are on the wire at nowMs.
    std::vector<std::uint8_t> TakeReady(std::int64_t nowMs);
    void DiscardOutput() { output_.clear(); }

    // --- State ---
    bool InSettingMode() const { return settingMode_; }
    bool HasSwitch(int number) const { return switches_.count(number) != 0; }
    // Pins 8 .. 1 as eight '0'/'1' characters; empty for a switch not kept.
    std::string SwitchText(int number) const;
    // Sets a kept switch from eight characters, pin 8 first; false otherwise.
    bool SetSwitchText(int number, const std::string& pins);
    bool Pin(int number, int pin) const;
    void SetPin(int number, int pin, bool on);

    std::uint8_t ModelByte() const { return modelByte_; }
    void SetModelByte(std::uint8_t value) { modelByte_ = value; }
    const std::string& FirmwareVersion() const { return firmware_; }
    void SetFirmwareVersion(std::string text) { firmware_ = std::move(text); }
    const std::string& MakerName() const { return maker_; }
    void SetMakerName(std::string text) { maker_ = std::move(text); }
    const std::string& ModelName() const { return modelName_; }
    void SetModelName(std::string text) { modelName_ = std::move(text); }
    // Value text of serial-setting item k (kItemBaudRate, ...); empty when none.
    std::string Setting(std::uint8_t item) const;
    void SetSetting(std::uint8_t item, std::string text) { settings_[item] = std::move(text); }

    // --- The serial line ---
    // The printer's line settings: taken when it starts, from switch 9 on the "KTV-540/542"
    // and from its serial-setting items on the other models. A Set Status that changes switch
    // 9 counts only from the next Restart, as on the printer.
    const LineSettings& Line() const { return line_; }
    // Configures the printer's own settings (switch 9, or the items) and restarts it on them.
    // False, changing nothing, for a setting the model cannot hold (the "KTV-540/542" keeps
    // 9600 to 115200 baud, the others 2400 to 115200; one or two stop bits).
    bool SetLine(const LineSettings& line);
    // Switched off and on: the line settings are taken anew, setting mode is left, and what
    // was half-received or not yet sent is gone.
    void Restart();
    // Restarts as it leaves setting mode, as printers do that take their new settings at
    // once: a changed switch 9 counts from then on, not from the next start.
    void SetRestartOnLeavingSettingMode(bool on) { restartOnLeaving_ = on; }
    // How the host's end of the line is set, as far as the server can tell; nullopt (the
    // start) takes it to agree with the printer's. Where the framing differs, the host's bytes
    // and the printer's replies cross the line as serial_line.h says.
    void SetHostLine(std::optional<LineSettings> host) { hostLine_ = host; }
    const std::optional<LineSettings>& HostLine() const { return hostLine_; }

    // What the host did, for tests.
    int InitializeCount() const { return initializeCount_; }
    int TestPrintCount() const { return testPrintCount_; }
    int SwitchWriteCount() const { return switchWriteCount_; }
    std::optional<std::uint8_t> PeripheralSelection() const { return peripheral_; }
    std::optional<std::uint8_t> AutomaticStatusBack() const { return statusBack_; }

    // --- Faults ---
    // Takes commands but answers nothing.
    void SetSilent(bool on) { silent_ = on; }
    // Puts `noise` before the header of the next reply, or of every reply.
    void SetNoise(std::vector<std::uint8_t> noise, bool everyReply = false);
    // Cuts every reply after `bytes` bytes; nullopt sends whole replies.
    void SetReplyCut(std::optional<std::size_t> bytes) { replyCut_ = bytes; }
    // Gone from the wire: takes nothing and sends nothing. Queued bytes are lost.
    void SetUnplugged(bool on);
    bool Unplugged() const { return unplugged_; }
    // Replies reach the wire this long after the command that asks for them.
    void SetReplyDelayMs(int ms) { replyDelayMs_ = ms < 0 ? 0 : ms; }
    int ReplyDelayMs() const { return replyDelayMs_; }
    // An initialize keeps the printer busy this long: what it is asked meanwhile is answered
    // once it is done (a printer slow to answer the first question after a reset only).
    void SetResetTimeMs(int ms) { resetMs_ = ms < 0 ? 0 : ms; }
    // Ignores set-memory-switch writes to switch `number` (not counted); nullopt: none.
    void SetIgnoredSwitch(std::optional<int> number) { ignoredSwitch_ = number; }

  private:
    struct TimedByte {
        std::uint8_t value;
        std::int64_t readyMs;
    };

    void Execute(std::span<const std::uint8_t> command);
    void IdentityQuery(std::uint8_t n);
    void UserSetting(std::span<const std::uint8_t> command);
    void WriteSwitches(std::span<const std::uint8_t> data);
    void QueueText(std::uint8_t head, const std::string& text);
    void QueueReply(std::vector<std::uint8_t> reply);

    LineSettings ConfiguredLine() const;

    int model_;
    CommandFramer framer_;
    LineSettings line_;
    std::optional<LineSettings> hostLine_;
    std::int64_t nowMs_ = 0;
    std::deque<TimedByte> output_;

    std::map<int, std::string> switches_;
    std::map<std::uint8_t, std::string> settings_;
    std::uint8_t modelByte_;
    std::string firmware_ = "Ver 1.05";
    std::string maker_ = "KESTRUM";
    std::string modelName_;
    bool settingMode_ = false;
    bool restartOnLeaving_ = false;

    int initializeCount_ = 0;
    int testPrintCount_ = 0;
    int switchWriteCount_ = 0;
    std::optional<std::uint8_t> peripheral_;
    std::optional<std::uint8_t> statusBack_;

    bool silent_ = false;
    bool unplugged_ = false;
    std::vector<std::uint8_t> noise_;
    bool noiseEveryReply_ = false;
    std::optional<std::size_t> replyCut_;
    int replyDelayMs_ = 0;
    int resetMs_ = 0;
    std::int64_t busyUntilMs_ = 0;
    std::optional<int> ignoredSwitch_;
};

}  // namespace talq::sim
