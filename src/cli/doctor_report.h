// talq doctor's report: sections (one per port, then the USB bus and the ports files), each a
// list of findings that say what was looked at, what is wrong, and how to mend it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/json_parts.h"
#include "cli/models.h"
#include "platform/platform.h"
#include "status/printer_info.h"

namespace talq::cli {

enum class Verdict {
    Ok,       // as it should be
    Note,     // worth knowing, not in the way
    Problem,  // stands between the user and a printer
    Skipped,  // not looked at, because of an earlier problem
};

struct Finding {
    std::string check;  // "device", "access", "held", ...
    Verdict verdict = Verdict::Ok;
    std::string text;
    std::string mend;  // what to do about a problem; "" when nothing
};

// A printer that answered, and how it is reached.
struct AnsweringPrinter {
    int model = 0;
    link::PortKind kind = link::Serial;
    std::optional<platform::LineSettings> line;  // a COM port's: what it answered at
    status::PrinterInfo info;
};

struct ReportSection {
    std::string title;
    std::string port;    // "" for the sections that are no port
    std::string device;  // the device the port reaches, when it is one
    std::vector<Finding> findings;
    std::optional<AnsweringPrinter> printer;

    void Add(std::string check, Verdict verdict, std::string text, std::string mend = {}) {
        findings.push_back({std::move(check), verdict, std::move(text), std::move(mend)});
    }
    bool HasProblem() const;
};

struct DoctorReport {
    std::string system;
    std::string user;
    std::vector<ReportSection> sections;

    int Problems() const;
};

// The line settings in the words of the options that reach them: "--baud 19200 --data-bits 8
// --parity None --stop-bits 1 --flow Hardware".
std::string LineOptions(const platform::LineSettings& line);

std::string ReportText(const DoctorReport& report);
// A talq-doctor/1 document.
Json ReportJson(const DoctorReport& report, int exitCode);

}  // namespace talq::cli
