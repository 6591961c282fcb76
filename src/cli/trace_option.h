// --trace FILE: every operation on the command's devices written to FILE as it happens, one
// trace for all its ports (platform/trace_log.h tells how to read it).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "platform/trace_log.h"
#include "platform/tracing_platform.h"

namespace talq::cli {

class CommandTrace {
  public:
    // The trace, installed; nullptr with a kExitFileFailed failure when the file cannot be made,
    // which is found out before anything is sent.
    static std::unique_ptr<CommandTrace> Start(const std::string& path,
                                               const std::vector<std::string>& arguments,
                                               Failure& failure);

    platform::TraceLog& Log() { return *log_; }
    // The failure of a trace that lost lines on the way (no room left), or nothing.
    std::optional<Failure> Loss() const;

  private:
    explicit CommandTrace(std::unique_ptr<platform::TraceLog> log)
        : log_(std::move(log)), tracing_(*log_) {}

    std::unique_ptr<platform::TraceLog> log_;
    platform::ScopedTrace tracing_;
};

}  // namespace talq::cli
