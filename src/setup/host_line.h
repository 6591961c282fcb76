// What the host keeps of the line settings it reaches a serial printer at, apart from the
// program's own ports file: the print queues held for the port, each with the port text it
// gets back at the end of the run (a CUPS serial: URI's options), and the port's default
// settings where the system keeps them (Windows). When the printer's own serial settings
// change, they move to its new settings together, and back together.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "setup/spooler_redirection.h"

namespace talq::setup {

struct QueueLineMove {
    std::string queue, before, after;  // port texts
};

struct HostLineMove {
    std::vector<QueueLineMove> queues;  // held queues whose port text changes
    // Queues on the port that this run could not hold (it may not change them): their port
    // texts keep line settings that could not follow.
    std::vector<std::string> unheld;
    std::string device;                   // what the port's defaults are kept under
    std::optional<std::string> defaults;  // as they were; nullopt: the system keeps none
};

// What moving to `line` changes, from the queues `queuePorts` records for the port and the
// system's defaults for its device; nothing is changed yet.
HostLineMove PlanHostLineMove(const std::string& portName, const QueuePorts& queuePorts,
                              const platform::LineSettings& line);

// Makes the planned change. On a failure puts back what it had changed and says what failed.
std::optional<std::string> MoveHostLine(const HostLineMove& move, QueuePorts& queuePorts,
                                        const platform::LineSettings& line);

// Puts back what the plan found; false when something could not be put back.
bool UndoHostLineMove(const HostLineMove& move, QueuePorts& queuePorts);

}  // namespace talq::setup
