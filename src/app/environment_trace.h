// TALQ_TRACE=FILE: talq-manager writes every operation on its ports to FILE, as talq's --trace
// does, so that a user of the dialogs can send a trace with a ticket.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/trace_log.h"
#include "platform/tracing_platform.h"

namespace talq::app {

class EnvironmentTrace {
  public:
    // Traces while it lives; nothing when TALQ_TRACE is unset or empty.
    explicit EnvironmentTrace(const std::vector<std::string>& arguments);

    // The sentence for a file that could not be made, or "".
    const std::string& Failure() const { return failure_; }

  private:
    std::unique_ptr<platform::TraceLog> log_;
    std::optional<platform::ScopedTrace> tracing_;
    std::string failure_;
};

}  // namespace talq::app
