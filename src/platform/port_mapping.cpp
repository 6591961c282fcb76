#include "platform/port_mapping.h"

#include <iostream>
#include <iterator>
#include <mutex>
#include <set>

#include "platform/port_devices.h"
#include "platform/ports_file.h"
#include "platform/read_regular_file.h"
#include "platform/system_reason.h"
#include "platform/utf8_names.h"

namespace talq::platform {
namespace {

std::optional<std::string> Variable(const char* name) {
    std::string value = EnvironmentVariable(name);
    if (value.empty()) return std::nullopt;
    return value;
}

// The number after a "COM"/"LPT" prefix, or 0 when the rest is not a plain
// positive decimal number.
int PortNumber(const std::string& name) {
    if (name.size() < 4 || name.size() > 6) return 0;
    int number = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return 0;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

std::mutex reportGuard;
PortsFileReportWriter reportWriter;

// Each fault is told once, however often the files are read.
void ReportOnce(const std::string& text) {
    static std::set<std::string> told;
    const std::lock_guard lock(reportGuard);
    if (!told.insert(text).second) return;
    if (reportWriter) {
        reportWriter(text);
    } else {
        std::cerr << text << std::endl;
    }
}

void Report(const std::string& file, const PortsFileProblem& problem) {
    ReportOnce(file + ":" + std::to_string(problem.line) + ": " + problem.text + "; line ignored");
}

// The file's text; nullopt when there is no such file, or when it cannot be read, which is
// told: a file the user cannot read must not pass for one that maps nothing.
std::optional<std::string> ReadPortsFile(const std::string& file) {
    if (file.empty()) return std::nullopt;
    std::string text(kMaxPortsFileBytes + 1, '\0');
    const RegularFileRead read =
        ReadRegularFile(file, {reinterpret_cast<std::uint8_t*>(text.data()), text.size()});
    if (read.missing) return std::nullopt;
    if (!read.ok()) {
        const std::string why = read.regular ? SystemReason(read.error) : "not a regular file";
        ReportOnce(file + ": cannot be read (" + why + "); its mappings are not used");
        return std::nullopt;
    }
    text.resize(read.count);
    if (text.size() > kMaxPortsFileBytes) {
        ReportOnce(file + ": larger than 64 KiB, not a ports file; ignored");
        return std::nullopt;
    }
    return TextFileAsUtf8(std::move(text));
}

std::optional<PortMapping> MappingInFile(const std::string& file, const std::string& port) {
    const std::optional<std::string> text = ReadPortsFile(file);
    if (!text) return std::nullopt;
    const PortsFileContents contents = ParsePortsFile(*text);
    for (const PortsFileProblem& problem : contents.problems) Report(file, problem);
    for (const PortsFileMapping& mapping : contents.mappings) {
        if (mapping.port == port) {
            return PortMapping{mapping.device, MappingSource::File, file, mapping.line, {}};
        }
    }
    return std::nullopt;
}

}  // namespace

PortsFileReportWriter SetPortsFileReportWriter(PortsFileReportWriter writer) {
    const std::lock_guard lock(reportGuard);
    std::swap(reportWriter, writer);
    return writer;
}

std::string UserPortsFile() {
    const std::string folder = UserConfigFolder();
    if (folder.empty()) return {};
    return Utf8OfPath(PathFromUtf8(folder) / "talquist-manager" / "ports.conf");
}

std::string NoUserPortsFileReason() {
#ifdef _WIN32
    return "no folder for the ports file: %APPDATA% is not set";
#else
    return "no home folder for the ports file: set HOME or XDG_CONFIG_HOME";
#endif
}

std::string SystemPortsFile() {
    if (auto file = Variable("TALQ_SYSTEM_PORTS_FILE")) return *file;
    const std::string folder = SystemConfigFolder();
    if (folder.empty()) return {};
    return Utf8OfPath(PathFromUtf8(folder) / "talquist-manager" / "ports.conf");
}

PortMapping MappingOfPort(const std::string& portName) {
    const bool serial = portName.rfind("COM", 0) == 0;
    const int number = PortNumber(portName);
    if ((!serial && portName.rfind("LPT", 0) != 0) || number < 1) return {};
    const std::string variable = "TALQ_" + portName;
    if (auto device = Variable(variable.c_str())) {
        return {*device, MappingSource::Environment, {}, 0, variable};
    }
    if (IsFixedPortName(portName)) {
        // Both files are read, so that a fault in either is told even when the other maps.
        std::optional<PortMapping> user = MappingInFile(UserPortsFile(), portName);
        std::optional<PortMapping> system = MappingInFile(SystemPortsFile(), portName);
        if (user) return *user;
        if (system) return *system;
    }
    return {DefaultPortDevice(serial, number), MappingSource::Default, {}, 0, {}};
}

}  // namespace talq::platform
