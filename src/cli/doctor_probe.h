// talq doctor's last step on a port: whether a printer answers there, and at which settings,
// found as talq find finds it (setup/find_printer.h): every line setting any model can have,
// most likely first, print queues held meanwhile.
#pragma once

#include <string>

#include "cli/doctor_report.h"
#include "setup/find_printer.h"

namespace talq::cli {

// How many tries the search may take on the port and how long it takes at most, for a
// message before it starts.
std::string ProbePlan(const std::string& portName);

setup::FindResult ProbePort(const std::string& portName);

// The result as the section's "printer" finding (and its printer, when one answered).
void AddProbeFinding(const setup::FindResult& found, ReportSection& section);

}  // namespace talq::cli
