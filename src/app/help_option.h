// talq-manager's only option of its own: --help, answered before any window exists.
#pragma once

#include <optional>
#include <ostream>

namespace talq::app {

// The exit code when the arguments ask for help (printed to `out`); nullopt otherwise, and the
// program starts as usual. Qt's own options are left to Qt.
std::optional<int> AnswerHelp(int argc, const char* const* argv, std::ostream& out);

}  // namespace talq::app
