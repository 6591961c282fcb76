// The spooler through the Windows print spooler (winspool, level-2 printer
// records): local queues, a queue's port text being its port list ("COM1:" or
// "LPT1:,COM1:"), matched element by element so that "COM1" is not "COM10:";
// jobs held with PRINTER_CONTROL_PAUSE while a queue prints to "FILE:"; the line settings it
// prints at on a COM port are the port's default configuration.
#pragma once

#include "platform/spooler.h"

namespace talq::platform::win32 {

class WinspoolSpooler final : public Spooler {
  public:
    std::string Scheduler() override;
    std::unique_ptr<Spooler> Reach(const std::string& scheduler) override;
    std::string PortMatchText(const std::string& portName) override;
    bool PrintsTo(const std::string& portText, const std::string& match) override;
    std::string DiscardPort() override;

    std::optional<std::vector<SpoolerQueue>> LocalQueues() override;
    QueueState ReadQueue(const std::string& name) override;
    bool SetPortText(const std::string& name, const std::string& portText) override;
    bool Pause(const std::string& name) override;
    bool Resume(const std::string& name) override;

    // A port list keeps no line settings: the port's defaults do.
    std::optional<std::string> PortTextAtLine(const std::string&, const LineSettings&) override {
        return std::nullopt;
    }
    // A COM port's default configuration (GetDefaultCommConfigW), which the spooler's serial
    // port prints with; none for any other device.
    std::optional<std::string> PortDefaults(const std::string& match) override;
    bool SetPortDefaults(const std::string& match, const std::string& defaults,
                         const LineSettings* line) override;
};

}  // namespace talq::platform::win32
