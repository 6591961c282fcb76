// Exit codes of talq, worst last: a run over several ports ends with the worst one.
#pragma once

#include <string>

namespace talq::cli {

enum ExitCode : int {
    kExitDone = 0,            // done, or nothing to change
    kExitDiffers = 1,         // diff only: the two differ
    kExitProblemsFound = 1,   // doctor only: something stands between the user and a printer
    kExitUsage = 2,           // bad arguments or input; nothing was touched
    kExitPortFailed = 3,      // the port could not be configured or opened
    kExitNotIdentified = 4,   // no answer, wrong device id or wrong maker
    kExitExchangeFailed = 5,  // an exchange stopped part-way
    kExitVerifyMismatch = 6,  // the printer read back other values than were sent
    kExitFileFailed = 7,      // a file, or standard output, could not be read or written
    kExitStopped = 8,         // talq stopped on a fault of its own; the message says what
};

// A failure on its way to the user: the exit code and what to say on stderr.
struct Failure {
    int exitCode = kExitDone;
    std::string message;
};

// The text of the exit-code table shown by --help.
inline constexpr const char* kExitCodeHelp =
    "Exit codes:\n"
    "  0  done, or nothing to change\n"
    "  1  the two compared differ (diff); a problem was found (doctor)\n"
    "  2  usage error: bad argument, model, port, switch, pin, value or code page\n"
    "  3  the port could not be configured or opened\n"
    "  4  the printer was not identified (no answer, wrong device id, wrong maker)\n"
    "  5  an exchange failed part-way (garbled reply, stalled write)\n"
    "  6  verify mismatch: the printer did not keep what was sent\n"
    "  7  a file could not be read or written, or is no status file (216 bytes) or\n"
    "     status JSON; or standard output was closed and the output lost\n"
    "  8  talq stopped on a fault of its own (the message says what)\n"
    "130 interrupted: the first Ctrl-C lets the running ports finish, then stops\n"
    "With several --port options the exit code is the worst one.";

}  // namespace talq::cli
