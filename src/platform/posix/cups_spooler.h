// The spooler through libcups: local queues of a CUPS scheduler, a queue's
// port text being its device URI. Every call is bounded: a connect waits at
// most kConnectMs, and a request gives up after kRequestSeconds without an
// answer, so a dead or stopped scheduler cannot hang the dialog. Nothing ever
// prompts for a password: a change that needs one fails.
#pragma once

#include <string>

#include "platform/spooler.h"

namespace talq::platform::posix {

class CupsSpooler final : public Spooler {
  public:
    static constexpr int kConnectMs = 3000;
    static constexpr double kRequestSeconds = 5.0;

    // Talks to the scheduler the environment points at (CUPS_SERVER, the
    // client configuration, or the local default), looked up on every call.
    CupsSpooler() = default;
    // Talks to `scheduler`, as Scheduler() names one.
    explicit CupsSpooler(std::string scheduler) : scheduler_(std::move(scheduler)) {}

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

    std::optional<std::string> PortTextAtLine(const std::string& portText,
                                              const LineSettings& line) override;
    // CUPS keeps no settings of a device apart from its queues' URIs.
    std::optional<std::string> PortDefaults(const std::string&) override { return std::nullopt; }
    bool SetPortDefaults(const std::string&, const std::string&, const LineSettings*) override {
        return false;
    }

  private:
    std::string scheduler_;  // empty: the environment's
};

}  // namespace talq::platform::posix
