// talq check and talq self-test: Check Communication, and the test page after it.
#include "cli/commands.h"
#include "protocol/commands.h"
#include "setup/self_test.h"

namespace talq::cli {
namespace {

// Resolves the targets, then runs `afterCheck` on each port that Check Communication accepts.
int RunConnected(const Console& console, const ConnectionOptions& connection,
                 const std::function<PortOutcome(PortSession&, const Console&)>& afterCheck) {
    Failure failure;
    const auto targets = ResolveTargets(connection, failure);
    if (!targets) return Report(console, failure).exitCode;
    return RunOnPorts(console, *targets, false,
                      [&](const PortTarget& target, const Console& portConsole) {
                          PortSession session(portConsole, target, targets->model);
                          if (auto failed = session.Connect()) return Report(portConsole, *failed);
                          return afterCheck(session, portConsole);
                      });
}

}  // namespace

int RunCheck(const Console& console, const ConnectionOptions& connection) {
    return RunConnected(console, connection, [](PortSession& session, const Console& port) {
        port.out << session.Name() << ": connected" << std::endl;
        return PortOutcome{kExitDone, "connected"};
    });
}

int RunSelfTest(const Console& console, const ConnectionOptions& connection) {
    return RunConnected(console, connection, [](PortSession& session, const Console& port) {
        // The dialog does not look at this write; a script must know the page never came.
        if (setup::SelfTest(session.Port()) != static_cast<int>(protocol::kTestPrint.size())) {
            return Report(port, {kExitExchangeFailed,
                                 session.Name() + ": the test print command did not go out"});
        }
        port.out << session.Name() << ": test page printed" << std::endl;
        return PortOutcome{kExitDone, "test page printed"};
    });
}

}  // namespace talq::cli
