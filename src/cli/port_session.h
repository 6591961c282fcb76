// One port's run, as the connection dialog does it: print queues moved off a COM or LPT port,
// Check Communication, and at the end the port closed and the queues given back.
#pragma once

#include <optional>
#include <string>

#include "cli/console.h"
#include "cli/exit_codes.h"
#include "link/printer_port.h"
#include "platform/window_messages.h"
#include "setup/spooler_redirection.h"
#include "status/status_exchanges.h"

namespace talq::cli {

struct PortTarget {
    std::string name;
    link::PortKind kind;
    link::PortSettings settings;
};

class PortSession {
  public:
    PortSession(const Console& console, const PortTarget& target, int model);
    ~PortSession();
    PortSession(const PortSession&) = delete;
    PortSession& operator=(const PortSession&) = delete;

    // Check Communication; a failure says why and carries its exit code. A port named by
    // its USB identity is looked up first.
    std::optional<Failure> Connect();

    // The connection for the next exchange. A USB port's removal and return
    // notices that waited meanwhile are taken first: between exchanges, never
    // during one.
    status::StatusConnection Connection() {
        platform::PumpWindowMessages();
        return {port_, opened_.kind, model_};
    }
    link::PrinterPort& Port() { return port_; }
    ConsoleSink& Sink() { return sink_; }
    const std::string& Name() const { return target_.name; }

    // The failure of a Get or Set Status that did not succeed, or nothing.
    std::optional<Failure> FailureOf(status::ExchangeResult result, const char* exchange) const;

  private:
    const PortTarget& target_;
    PortTarget opened_;  // the target as the link opens it
    int model_;
    ConsoleSink sink_;
    link::PrinterPort port_;
    setup::QueuePorts queuePorts_;
};

}  // namespace talq::cli
