// The model and ports a printer command runs on, checked before any port is touched, and the
// run over several ports with its summary.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/exit_codes.h"
#include "cli/models.h"
#include "cli/port_session.h"

namespace talq::cli {

struct ConnectionOptions {
    std::string model;
    std::vector<std::string> ports;
    LineWords line;
};

struct ResolvedTargets {
    int model = 0;
    std::vector<PortTarget> ports;
};

// Every name and word checked; a failure carries kExitUsage.
std::optional<ResolvedTargets> ResolveTargets(const ConnectionOptions& options, Failure& failure);

// A model given by name or index; a failure carries kExitUsage.
std::optional<int> ResolveModel(const std::string& text, Failure& failure);

struct PortOutcome {
    int exitCode = kExitDone;
    std::string summary;  // "done", "unchanged", or the failure's words
};

// Runs `runOne` on each port in turn. With more than one port, ends with a summary line per
// port (on `out`, or on `err` when `out` carries JSON). Returns the worst exit code.
int RunOnPorts(const Console& console, const ResolvedTargets& targets, bool jsonOut,
               const std::function<PortOutcome(const PortTarget&)>& runOne);

// Reports a failure on the console and turns it into an outcome.
PortOutcome Report(const Console& console, const Failure& failure);

}  // namespace talq::cli
