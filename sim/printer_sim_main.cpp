// talq-printer-sim: a simulated KTV printer on a pseudo-terminal, for trying
// the program or testing the real backend without a printer.
//
//   talq-printer-sim --model NAME [--link PATH] [--delay MS] [--fault silent]
//
// Prints the terminal's device path on one line, then serves until SIGINT or
// SIGTERM.
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sim/printer_model.h"
#include "sim/pty_server.h"
#include "sim/simulated_printer.h"

namespace {

struct Options {
    int model = -1;
    std::string link;
    int delayMs = 0;
    bool silent = false;
};

// Removes `path` only when it is a symbolic link: never someone's file.
void RemoveLink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) ::unlink(path.c_str());
}

int Usage() {
    std::fprintf(stderr,
                 "usage: talq-printer-sim --model NAME [--link PATH] [--delay MS] "
                 "[--fault silent]\n"
                 "  NAME: KTV-520plus, KTV-540/542, KTV-520plusF, or 0, 1, 2\n");
    return 2;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return false;  // every option takes a value
        const std::string value = argv[++i];
        if (arg == "--model") {
            options.model = talq::sim::ModelFromText(value);
        } else if (arg == "--link") {
            options.link = value;
        } else if (arg == "--delay") {
            char* end = nullptr;
            const long ms = std::strtol(value.c_str(), &end, 10);
            if (end == value.c_str() || *end != '\0' || ms < 0 || ms > 60000) return false;
            options.delayMs = static_cast<int>(ms);
        } else if (arg == "--fault" && value == "silent") {
            options.silent = true;
        } else {
            return false;
        }
    }
    return options.model >= 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return Usage();

    // Signals arrive through a descriptor the server polls beside the terminal.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    if (sigprocmask(SIG_BLOCK, &stopSignals, nullptr) != 0) return 1;
    const int stopFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (stopFd < 0) {
        std::perror("signalfd");
        return 1;
    }

    talq::sim::SimulatedPrinter printer(options.model);
    printer.SetReplyDelayMs(options.delayMs);
    printer.SetSilent(options.silent);
    talq::sim::PtyServer server(printer);
    if (!server.Open()) {
        std::perror("pseudo-terminal");
        return 1;
    }
    if (!options.link.empty()) {
        RemoveLink(options.link);  // a stale link from an earlier run
        if (::symlink(server.SlavePath().c_str(), options.link.c_str()) != 0) {
            std::perror("symlink");
            return 1;
        }
    }
    std::printf("%s\n", server.SlavePath().c_str());
    std::fflush(stdout);

    const bool ok = server.Run(stopFd);
    if (!options.link.empty()) RemoveLink(options.link);
    ::close(stopFd);
    return ok ? 0 : 1;
}
