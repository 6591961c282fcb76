#include "cli/trace_option.h"

namespace talq::cli {

std::unique_ptr<CommandTrace> CommandTrace::Start(const std::string& path,
                                                  const std::vector<std::string>& arguments,
                                                  Failure& failure) {
    std::string why;
    auto log = platform::TraceLog::Create(path, platform::TraceHeader("talq", arguments), why);
    if (!log) {
        failure = {kExitFileFailed, "--trace " + path + ": cannot be created: " + why};
        return nullptr;
    }
    return std::unique_ptr<CommandTrace>(new CommandTrace(std::move(log)));
}

std::optional<Failure> CommandTrace::Loss() const {
    if (log_->Complete()) return std::nullopt;
    return Failure{kExitFileFailed,
                   "--trace " + log_->Path() + ": not all of the trace was written (no room?)"};
}

}  // namespace talq::cli
