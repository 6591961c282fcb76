#include "app/environment_trace.h"

#include "platform/utf8_names.h"

namespace talq::app {

EnvironmentTrace::EnvironmentTrace(const std::vector<std::string>& arguments) {
    const std::string path = platform::EnvironmentVariable("TALQ_TRACE");
    if (path.empty()) return;
    std::string why;
    log_ = platform::TraceLog::Create(path, platform::TraceHeader("talq-manager", arguments), why);
    if (!log_) {
        failure_ = "TALQ_TRACE=" + path + ": the trace cannot be created: " + why;
        return;
    }
    tracing_.emplace(*log_);
}

}  // namespace talq::app
