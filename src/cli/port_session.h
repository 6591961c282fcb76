// One port's run, as the connection dialog does it: print queues moved off a COM or LPT port,
// Check Communication, and at the end the port closed and the queues given back.
#pragma once

#include <optional>
#include <string>

#include "cli/console.h"
#include "cli/exit_codes.h"
#include "link/printer_port.h"
#include "platform/window_messages.h"
#include "setup/find_printer.h"
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
    // Instead of Connect: looks for the printer (setup::FindPrinter) at `request`'s line
    // settings (its port name and kind are the session's), and goes on with the one found,
    // at the settings it answered at and as the model it is. A port named by its USB identity
    // is looked up first, as the model `request` names (any: as a KTV-520plus).
    std::optional<Failure> Find(setup::FindRequest request, setup::FindResult& found);
    // Closes the port and checks communication again at `line` (a serial port's other line
    // settings), the print queues still held, saying nothing. The failure says why, as
    // Connect's does.
    std::optional<Failure> Reconnect(const platform::LineSettings& line);

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
    int Model() const { return model_; }
    // The connection record as the link has it now: the line settings it is open at.
    const link::PortSettings& Settings() const { return opened_.settings; }
    link::PortKind Kind() const { return opened_.kind; }
    // The print queues held while the session lasts, given back when it ends.
    setup::QueuePorts& Queues() { return queuePorts_; }

    // The failure of a Get or Set Status that did not succeed, or nothing.
    std::optional<Failure> FailureOf(status::ExchangeResult result, const char* exchange) const;

  private:
    std::optional<Failure> LookUpIdentity();
    std::optional<Failure> Check(status::ExchangeSink& sink, bool* answered);

    const PortTarget& target_;
    PortTarget opened_;  // the target as the link opens it
    int model_;
    ConsoleSink sink_;
    link::PrinterPort port_;
    setup::QueuePorts queuePorts_;
};

}  // namespace talq::cli
