// talq-printer-sim: a simulated KTV printer on a pseudo-terminal, for trying
// the program or testing the real backend without a printer.
//
//   talq-printer-sim --model NAME [--link PATH] [--delay MS] [--fault silent]
//
// Prints the terminal's device path on one line, then serves until SIGINT or
// SIGTERM.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sim/printer_model.h"
#include "sim/pty_link.h"
#include "sim/pty_server.h"
#include "sim/simulated_printer.h"

namespace {

constexpr const char* kTool = "talq-printer-sim";

struct Options {
    int model = -1;
    std::string link;
    int delayMs = 0;
    bool silent = false;
};

int Usage(const std::string& problem) {
    std::fprintf(stderr,
                 "%s: %s\n"
                 "usage: %s --model NAME [--link PATH] [--delay MS] [--fault silent]\n"
                 "  NAME: KTV-520plus, KTV-540/542, KTV-520plusF, or 0, 1, 2\n",
                 kTool, problem.c_str(), kTool);
    return 2;
}

// Empty when the arguments are good; otherwise what is wrong with which one.
std::string ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg != "--model" && arg != "--link" && arg != "--delay" && arg != "--fault") {
            return "unknown argument '" + arg + "'";
        }
        if (i + 1 >= argc) return arg + " needs a value";
        const std::string value = argv[++i];
        if (arg == "--model") {
            options.model = talq::sim::ModelFromText(value);
            if (options.model < 0) return "--model: unknown model '" + value + "'";
        } else if (arg == "--link") {
            if (value.empty()) return "--link: the path is empty";
            options.link = value;
        } else if (arg == "--delay") {
            char* end = nullptr;
            errno = 0;
            const long ms = std::strtol(value.c_str(), &end, 10);
            if (end == value.c_str() || *end != '\0' || errno != 0 || ms < 0 || ms > 60000) {
                return "--delay: '" + value + "' is not a number of milliseconds from 0 to 60000";
            }
            options.delayMs = static_cast<int>(ms);
        } else if (value == "silent") {
            options.silent = true;
        } else {
            return "--fault: unknown fault '" + value + "' (known: silent)";
        }
    }
    if (options.model < 0) return "--model is required";
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (const std::string problem = ParseOptions(argc, argv, options); !problem.empty()) {
        return Usage(problem);
    }

    // Signals arrive through a descriptor the server polls beside the terminal.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    if (sigprocmask(SIG_BLOCK, &stopSignals, nullptr) != 0) return 1;
    const int stopFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (stopFd < 0) {
        std::fprintf(stderr, "%s: signalfd: %s\n", kTool, std::strerror(errno));
        return 1;
    }

    talq::sim::SimulatedPrinter printer(options.model);
    printer.SetReplyDelayMs(options.delayMs);
    printer.SetSilent(options.silent);
    talq::sim::PtyServer server(printer);
    if (!server.Open()) {
        std::fprintf(stderr, "%s: pseudo-terminal: %s\n", kTool, std::strerror(errno));
        return 1;
    }
    if (!options.link.empty()) {
        const std::string problem = talq::sim::PlaceLink(options.link, server.SlavePath());
        if (!problem.empty()) {
            std::fprintf(stderr, "%s: --link %s: %s\n", kTool, options.link.c_str(),
                         problem.c_str());
            return 1;
        }
    }
    std::printf("%s\n", server.SlavePath().c_str());
    std::fflush(stdout);

    const bool ok = server.Run(stopFd);
    if (!options.link.empty()) talq::sim::RemoveLinkIfOurs(options.link, server.SlavePath());
    ::close(stopFd);
    return ok ? 0 : 1;
}
