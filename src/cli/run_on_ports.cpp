// RunOnPorts: the ports of one command run at once, their output merged in the given order.
#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "cli/fleet_output.h"
#include "cli/interrupts.h"
#include "cli/json_parts.h"
#include "cli/port_targets.h"
#include "platform/tracing_platform.h"

namespace talq::cli {
namespace {

// Calls `work` once for each index below `count`, on up to `jobs` threads (0: one per index).
// One thread's worth of work runs on the calling thread.
template <typename Work>
void Spread(std::size_t count, int jobs, Work work) {
    std::size_t threads = jobs > 0 ? std::min(count, static_cast<std::size_t>(jobs)) : count;
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i) work(i);
        return;
    }
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> workers;
    for (std::size_t t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            for (std::size_t i; (i = next.fetch_add(1)) < count;) work(i);
        });
    }
    for (std::thread& worker : workers) worker.join();
}

PortOutcome RunGuarded(const PortRun& runOne, const PortNotRun& notRun, const PortTarget& target,
                       const Console& console) {
    if (InterruptRequested()) return notRun ? notRun(target) : NotRun();
    const platform::TracePort traced(target.name);
    // An exception must end this port only, not the program and every port with it.
    try {
        return runOne(target, console);
    } catch (const std::exception& e) {
        return Report(console, {kExitExchangeFailed, target.name + ": stopped: " + e.what()});
    } catch (...) {
        return Report(console,
                      {kExitExchangeFailed, target.name + ": stopped on an unknown fault"});
    }
}

}  // namespace

PortOutcome NotRun() {
    return {kExitInterrupted, "not run: interrupted"};
}

int RunOnPorts(const Console& console, const ResolvedTargets& targets, bool jsonOut,
               const PortRun& runOne, const PortNotRun& notRun) {
    const std::vector<PortTarget>& ports = targets.ports;
    std::vector<PortOutcome> outcomes(ports.size());
    if (!targets.several) {
        for (std::size_t i = 0; i < ports.size(); ++i) {
            outcomes[i] = RunGuarded(runOne, notRun, ports[i], console);
        }
    } else {
        std::vector<std::string> names;
        for (const PortTarget& port : ports) names.push_back(port.name);
        FleetOutput fleet(console, names);
        Spread(ports.size(), targets.jobs, [&](std::size_t i) {
            if (!InterruptRequested()) fleet.Started(i);
            outcomes[i] = RunGuarded(runOne, notRun, ports[i], fleet.PortConsole(i));
            fleet.Finished(i);
        });
        fleet.End();
    }
    if (jsonOut) {
        std::vector<std::string> documents;
        for (const PortOutcome& outcome : outcomes) {
            if (!outcome.json.empty()) documents.push_back(outcome.json);
        }
        // Several ports give one array, so the output stays one document.
        console.out << JsonDocuments(documents, targets.several) << std::flush;
    }

    if (targets.several) {
        std::ostream& summary = jsonOut ? console.err : console.out;
        for (std::size_t i = 0; i < outcomes.size(); ++i) {
            const std::string prefix = ports[i].name + ": ";
            std::string text = outcomes[i].summary;
            if (text.rfind(prefix, 0) == 0) text.erase(0, prefix.size());
            summary << prefix << text << " (exit " << outcomes[i].exitCode << ")\n";
        }
        summary.flush();
    }
    int worst = kExitDone;
    for (const PortOutcome& outcome : outcomes) worst = std::max(worst, outcome.exitCode);
    return worst;
}

}  // namespace talq::cli
