#include "cli/port_targets.h"

#include <algorithm>

#include "cli/interrupts.h"
#include "cli/port_names.h"

namespace talq::cli {

std::optional<int> ResolveModel(const std::string& text, Failure& failure) {
    const auto model = ParseModel(text);
    if (!model) {
        failure = {kExitUsage, "--model \"" + text +
                                   "\": unknown model (KTV-520plus, KTV-540/542, KTV-520plusF, "
                                   "or 0, 1, 2)"};
    }
    return model;
}

std::optional<ResolvedTargets> ResolveTargets(const ConnectionOptions& options, Failure& failure) {
    ResolvedTargets targets;
    const auto model = ResolveModel(options.model, failure);
    if (!model) return std::nullopt;
    targets.model = *model;
    for (const std::string& name : options.ports) {
        const auto kind = PortKindOfName(name);
        if (!kind) {
            failure = {kExitUsage, "--port \"" + name +
                                       "\": unknown port (COM1..COM10, LPT1..LPT3, or a USB "
                                       "entry that `talq ports` lists)"};
            return std::nullopt;
        }
        if (*model == 2 && *kind != link::Serial) {
            failure = {kExitUsage, "--port \"" + name +
                                       "\": the KTV-520plusF connects only over "
                                       "SERIAL (COM1..COM10)"};
            return std::nullopt;
        }
        SettingsOrError built = BuildPortSettings(name, *model, options.line);
        if (!built.settings) {
            failure = {kExitUsage, built.error};
            return std::nullopt;
        }
        targets.ports.push_back({name, *kind, *built.settings});
    }
    return targets;
}

PortOutcome Report(const Console& console, const Failure& failure) {
    console.Error(failure.message);
    return {failure.exitCode, failure.message};
}

int RunOnPorts(const Console& console, const ResolvedTargets& targets, bool jsonOut,
               const std::function<PortOutcome(const PortTarget&)>& runOne) {
    std::vector<PortOutcome> outcomes;
    for (const PortTarget& target : targets.ports) {
        outcomes.push_back(InterruptRequested()
                               ? PortOutcome{kExitInterrupted, "not run: interrupted"}
                               : runOne(target));
    }
    if (targets.ports.size() > 1) {
        std::ostream& summary = jsonOut ? console.err : console.out;
        for (std::size_t i = 0; i < outcomes.size(); ++i) {
            const std::string prefix = targets.ports[i].name + ": ";
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
