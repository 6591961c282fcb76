// The commands of talq. Each checks all of its input before it touches a port or a file, and
// returns its exit code.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/port_targets.h"
#include "cli/status_edits.h"

namespace talq::platform {
class TraceLog;
}

namespace talq::cli {

int RunPorts(const Console& console, bool json);

// The user's ports file: map a fixed port name to a device, or drop its mapping.
int RunMap(const Console& console, const std::string& port, const std::string& device);
int RunUnmap(const Console& console, const std::string& port);
// The serial adapters present by stable name, with the COM ports mapped to each.
int RunListAdapters(const Console& console);
// Applies `edit` to the text of the user's ports file (empty when there is none yet) and writes
// the result whole, under the lock that runs at once take turns by; prints "written: FILE" or
// "unchanged: FILE".
int EditUserPortsFile(const Console& console,
                      const std::function<std::string(const std::string&)>& edit);
// The same, saying nothing: the failure, or what was done.
struct PortsFileEdit {
    std::string file;
    bool written = false;   // false: the edit changed nothing
    bool fromAnsi = false;  // read in the ANSI code page, written back in UTF-8
};
std::optional<Failure> EditUserPortsFileQuietly(
    const std::function<std::string(const std::string&)>& edit, PortsFileEdit& done);

// Looks for printers: on the given ports (default: every port the connection dialog offers),
// at every line setting the model can have, with Check Communication's identification.
struct FindOptions {
    ConnectionOptions connection;  // the model may be empty (any); line words fix a setting
    bool json = false;
    bool save = false;  // keep the found line settings in the user's ports file
    bool thorough = false;  // the whole exchange at every COM setting
};
int RunFind(const Console& console, const FindOptions& options);

int RunCheck(const Console& console, const ConnectionOptions& connection);
int RunSelfTest(const Console& console, const ConnectionOptions& connection);

struct GetOptions {
    std::string output;  // -o: .sts or .json
    bool json = false;
};
int RunGet(const Console& console, const ConnectionOptions& connection, const GetOptions& options);

struct SetOptions {
    std::string file;  // .sts or .json; empty: start from the printer's values
    EditTexts edits;
    bool dryRun = false;
    bool verify = false;
    bool follow = false;  // the host follows the printer's new serial settings
    bool json = false;    // a talq-set/1 document per port on stdout
};
int RunSet(const Console& console, const ConnectionOptions& connection, const SetOptions& options);

// A printer swapped on a till: found at any line setting (the factory's first), FILE applied
// (switches and, on the KTV-540/542, its own serial settings, the host following them), read
// back, and its test page printed.
struct ReplaceOptions {
    std::string file;  // .sts or .json, as get writes it
    bool dryRun = false;
    bool json = false;  // a talq-replace/1 document per port on stdout
};
// `connection`'s model may be empty (the file's, or whichever answers); its line words are
// not used: the line settings are searched.
int RunReplace(const Console& console, const ConnectionOptions& connection,
               const ReplaceOptions& options);

int RunShow(const Console& console, const std::string& file, const std::string& model, bool json);
int RunDiff(const Console& console, const std::string& fileA, const std::string& fileB,
            const std::string& model);
int RunFactory(const Console& console, const std::string& model, const std::string& output);
// The code page list, by number, as --code-page takes it.
int RunCodePages(const Console& console);

struct DoctorOptions {
    std::vector<std::string> ports;  // none: every port present, and the USB printers
    std::string bundle;              // the report and the trace of the printer check, for a ticket
    bool json = false;
};
// Exit 0 when nothing is wrong, kExitProblemsFound when something is. `trace` is --trace's,
// which the bundle's trace is copied from when there is one.
int RunDoctor(const Console& console, const DoctorOptions& options, platform::TraceLog* trace,
              const std::vector<std::string>& arguments);

}  // namespace talq::cli
