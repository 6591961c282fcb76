// Which device a fixed port name reaches, and why: the environment (TALQ_COMn, TALQ_LPTn)
// first, then the user's ports file, then the machine's, then the system's default. The files
// are read on every look-up, so an edit counts from the next open; a line that maps nothing is
// reported on standard error once per process, with its file and line.
#pragma once

#include <functional>
#include <string>

namespace talq::platform {

enum class MappingSource { Default, File, Environment };

struct PortMapping {
    std::string device;  // "" for a name that is no port
    MappingSource source = MappingSource::Default;
    std::string file;  // MappingSource::File: the ports file and line
    int line = 0;
    std::string variable;  // MappingSource::Environment: e.g. TALQ_COM3
};

// Where the reports of faulty ports files go: standard error, unless a caller that draws lines
// there (several ports' progress) routes them through its own writer while it does, so that a
// redraw does not wipe them out. Returns the writer it replaces; an empty one is standard error.
using PortsFileReportWriter = std::function<void(const std::string& line)>;
PortsFileReportWriter SetPortsFileReportWriter(PortsFileReportWriter writer);

// COMn and LPTn for any n from 1; the files map only the fixed names.
PortMapping MappingOfPort(const std::string& portName);

// $XDG_CONFIG_HOME/talquist-manager/ports.conf (default ~/.config/...), on Windows
// %APPDATA%\talquist-manager\ports.conf; "" when there is no such folder. This is the file
// `talq map` writes.
std::string UserPortsFile();
// Why UserPortsFile() is "", naming what the user sets.
std::string NoUserPortsFileReason();
// /etc/talquist-manager/ports.conf, or the file TALQ_SYSTEM_PORTS_FILE names.
std::string SystemPortsFile();

}  // namespace talq::platform
