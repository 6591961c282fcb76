// talq-printer-sim: a simulated KTV printer on a pseudo-terminal, for trying
// the program or testing the real backend without a printer.
//
//   talq-printer-sim --model NAME [--link PATH] [--delay MS] [--reset-time MS] [--fault silent]
//                    [--settings-take now|restart] [--baud B] [--data-bits D] [--parity P]
//                    [--stop-bits S] [--flow F]
//   talq-printer-sim --help
//
// Prints the terminal's device path on one line, then serves until SIGINT or
// SIGTERM.
#include <signal.h>
#include <strings.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
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
    int resetMs = 0;
    bool silent = false;
    bool takeSettingsNow = false;
    // The line words given; the rest stay as the model leaves the factory.
    std::optional<int> baud, dataBits, stopBits;
    std::optional<talq::sim::Parity> parity;
    std::optional<talq::sim::Flow> flow;
};

constexpr const char* kUsage =
    "usage: talq-printer-sim --model NAME [--link PATH] [--delay MS] [--reset-time MS]\n"
    "                        [--fault silent] [--settings-take now|restart] [--baud B]\n"
    "                        [--data-bits 7|8] [--parity P] [--stop-bits 1|2] [--flow F]\n";

constexpr const char* kHelp =
    "A simulated KTV receipt printer on a pseudo-terminal: prints the terminal's path,\n"
    "then serves until SIGINT or SIGTERM.\n"
    "  --model NAME    KTV-520plus, KTV-540/542, KTV-520plusF, or 0, 1, 2 (required)\n"
    "  --link PATH     also reach the terminal through the symbolic link PATH\n"
    "  --delay MS      wait MS milliseconds (0 to 60000) before each reply\n"
    "  --reset-time MS take MS milliseconds (0 to 60000) over an initialize; what is\n"
    "                  asked meanwhile is answered after it\n"
    "  --fault silent  take commands but never answer\n"
    "  --settings-take W  when a KTV-540/542 takes the serial settings a Set Status\n"
    "                  writes: restart (default), at its next start; now, as it leaves\n"
    "                  its setting mode\n"
    "  --baud B        the printer's own speed: 2400 4800 9600 19200 38400 57600 115200\n"
    "                  (KTV-540/542 from 9600); default 19200, KTV-540/542 115200\n"
    "  --data-bits D   7 or 8 (default)\n"
    "  --parity P      None (default), Odd or Even\n"
    "  --stop-bits S   1 (default) or 2\n"
    "  --flow F        DTR/DSR (default) or Xon/Xoff\n"
    "  A client whose line differs reads garbage or nothing, as from a printer. On a\n"
    "  pseudo-terminal 7 data bits and even parity leave no trace, so a client's data\n"
    "  bits, and even against no parity, are taken to agree with the printer's.\n"
    "  -h, --help      print this help and exit\n";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "%s: %s\n%s  NAME: KTV-520plus, KTV-540/542, KTV-520plusF, or 0, 1, 2\n",
                 kTool, problem.c_str(), kUsage);
    return 2;
}

bool AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") return true;
    }
    return false;
}

// Empty when the arguments are good; otherwise what is wrong with which one.
std::string ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        static const char* const kNames[] = {"--model",     "--link",     "--delay",
                                             "--reset-time", "--fault",   "--baud",
                                             "--data-bits", "--parity",   "--flow",
                                             "--stop-bits", "--settings-take"};
        bool known = false;
        for (const char* name : kNames) known = known || arg == name;
        if (!known) return "unknown argument '" + arg + "'";
        if (i + 1 >= argc) return arg + " needs a value";
        const std::string value = argv[++i];
        if (arg == "--model") {
            options.model = talq::sim::ModelFromText(value);
            if (options.model < 0) return "--model: unknown model '" + value + "'";
        } else if (arg == "--link") {
            if (value.empty()) return "--link: the path is empty";
            options.link = value;
        } else if (arg == "--delay" || arg == "--reset-time") {
            char* end = nullptr;
            errno = 0;
            const long ms = std::strtol(value.c_str(), &end, 10);
            if (end == value.c_str() || *end != '\0' || errno != 0 || ms < 0 || ms > 60000) {
                return arg + ": '" + value + "' is not a number of milliseconds from 0 to 60000";
            }
            (arg == "--delay" ? options.delayMs : options.resetMs) = static_cast<int>(ms);
        } else if (arg == "--baud" || arg == "--data-bits" || arg == "--stop-bits") {
            char* end = nullptr;
            const long number = std::strtol(value.c_str(), &end, 10);
            if (end == value.c_str() || *end != '\0' || number <= 0 || number > 1000000) {
                return arg + ": '" + value + "' is not a number";
            }
            (arg == "--baud"        ? options.baud
             : arg == "--data-bits" ? options.dataBits
                                    : options.stopBits) = static_cast<int>(number);
        } else if (arg == "--parity") {
            static const char* const kWords[] = {"None", "Odd", "Even"};
            for (int i = 0; i < 3; ++i) {
                if (::strcasecmp(value.c_str(), kWords[i]) == 0) {
                    options.parity = static_cast<talq::sim::Parity>(i);
                }
            }
            if (!options.parity) return "--parity: '" + value + "' is not None, Odd or Even";
        } else if (arg == "--flow") {
            if (::strcasecmp(value.c_str(), "DTR/DSR") == 0) {
                options.flow = talq::sim::Flow::DtrDsr;
            } else if (::strcasecmp(value.c_str(), "Xon/Xoff") == 0) {
                options.flow = talq::sim::Flow::XonXoff;
            } else {
                return "--flow: '" + value + "' is not DTR/DSR or Xon/Xoff";
            }
        } else if (arg == "--settings-take") {
            if (value != "now" && value != "restart") {
                return "--settings-take: '" + value + "' is not now or restart";
            }
            options.takeSettingsNow = value == "now";
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
    if (AsksForHelp(argc, argv)) {
        std::printf("%s%s", kUsage, kHelp);
        return 0;
    }
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
    talq::sim::LineSettings line = printer.Line();
    line.baud = options.baud.value_or(line.baud);
    line.dataBits = options.dataBits.value_or(line.dataBits);
    line.stopBits = options.stopBits.value_or(line.stopBits);
    line.parity = options.parity.value_or(line.parity);
    line.flow = options.flow.value_or(line.flow);
    if (!printer.SetLine(line)) {
        return Usage("the " + std::string(talq::sim::ProfileOf(options.model).name) +
                     " cannot run at " + talq::sim::Describe(line));
    }
    printer.SetReplyDelayMs(options.delayMs);
    printer.SetResetTimeMs(options.resetMs);
    printer.SetSilent(options.silent);
    printer.SetRestartOnLeavingSettingMode(options.takeSettingsNow);
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
