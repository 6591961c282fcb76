// The model and ports a printer command runs on, checked before any port is touched, and the
// run over several ports at once with its summary.
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

// The --port word that stands for every USB printer discovery finds.
inline constexpr const char* kAllUsbPorts = "usb";

struct ConnectionOptions {
    std::string model;
    std::vector<std::string> ports;
    LineWords line;
    int jobs = 0;  // ports run at once; 0: all
};

struct ResolvedTargets {
    int model = 0;
    std::vector<PortTarget> ports;  // each port once, in the order given
    // More than one port, or "usb" given: the output has the several-port form (prefixed
    // messages, summary lines, a JSON array) whatever the count.
    bool several = false;
    int jobs = 0;
};

// Every name and word checked, then "usb" expanded to discovery's entries. A bad name or word
// carries kExitUsage; "usb" finding nothing carries kExitPortFailed and says why.
std::optional<ResolvedTargets> ResolveTargets(const ConnectionOptions& options, Failure& failure);

// A model given by name or index; a failure carries kExitUsage.
std::optional<int> ResolveModel(const std::string& text, Failure& failure);

struct PortOutcome {
    PortOutcome() = default;
    PortOutcome(int code, std::string words, std::string document = {})
        : exitCode(code), summary(std::move(words)), json(std::move(document)) {}

    int exitCode = kExitDone;
    std::string summary;  // "done", "unchanged", or the failure's words
    std::string json;     // with JSON output: the port's document (ending in a newline), if any
};

// One port's run, writing only to the console it is given.
using PortRun = std::function<PortOutcome(const PortTarget&, const Console&)>;
// The outcome of a port that was never started, the run being interrupted first.
using PortNotRun = std::function<PortOutcome(const PortTarget&)>;
PortOutcome NotRun();

// Runs `runOne` on the ports, up to `targets.jobs` of them at once, each on a thread of its own
// with a console of its own (see FleetOutput); once interrupted, ports not yet started are not
// run and have the outcome of `notRun` (by default NotRun()). With JSON output prints the
// ports' documents, as one array when several. With several ports, ends with a summary line
// per port (on `out`, or on `err` when `out` carries JSON). Returns the worst exit code.
int RunOnPorts(const Console& console, const ResolvedTargets& targets, bool jsonOut,
               const PortRun& runOne, const PortNotRun& notRun = {});

// Reports a failure on the console and turns it into an outcome.
PortOutcome Report(const Console& console, const Failure& failure);

}  // namespace talq::cli
