// talq get -o FOLDER/: one status file per printer, named by the printer and the day, and an
// index of the run in JSON beside them. Nothing already in the folder is ever written over: a
// name in use gets "-2", "-3", ... before its extension, taken in one step (see CreateNewFile).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/port_targets.h"
#include "status/printer_info.h"
#include "status/printer_status.h"

namespace talq::cli {

// Whether -o names a folder: it ends in a path separator, or is a folder already.
bool IsOutputFolder(const std::string& output);

class FleetBackup {
  public:
    // The folder is made when it is not there; nullopt with kExitFileFailed when it cannot be.
    static std::optional<FleetBackup> Start(const std::string& folder,
                                            const std::vector<PortTarget>& ports, int model,
                                            Failure& failure);

    // Saves the printer's switches as a new file; its path, or nullopt with the failure.
    // Ports write their own entries only, so that ports running at once need no lock.
    std::optional<std::string> Save(const PortTarget& port, const status::PrinterStatus& record,
                                    const status::PrinterInfo& info, Failure& failure);
    void Failed(const PortTarget& port, const Failure& failure);

    // Writes the index once every port is done; its path, or nullopt with the failure.
    std::optional<std::string> WriteIndex(Failure& failure) const;

    // "KTV-520plus_A1B2C3_2025-01-31": the model the printer names itself, who it is (the USB
    // serial number behind the port, else its bus path, else the port's name) and the day;
    // only letters, digits, '.', '_' and '-'.
    static std::string FileStem(const std::string& modelName, const std::string& who,
                                const std::string& day);

  private:
    struct Entry {
        std::string port;
        std::string identity;  // the USB identity name behind the port, if any
        std::string who;       // what the file name tells the printer by
        std::string file;      // the name in the folder; "" when nothing was saved
        status::PrinterInfo info;
        int exitCode = NotRun().exitCode;
        std::string error = NotRun().summary;
    };
    FleetBackup(std::string folder, const std::vector<PortTarget>& ports, int model);
    Entry& EntryOf(const PortTarget& port);

    std::string folder_;
    int model_;
    std::string started_;  // local time, "2025-01-31T14:05:09"
    std::vector<Entry> entries_;
};

}  // namespace talq::cli
