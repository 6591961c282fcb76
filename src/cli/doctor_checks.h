// The looks of talq doctor that send nothing: a port's mapping, device node, access, holders,
// hardware and print queues; the USB bus; the ports files. Each returns its report section.
#pragma once

#include <string>

#include "cli/doctor_report.h"

namespace talq::cli {

ReportSection ExaminePort(const std::string& portName);

// The maker's USB printers on the bus with the driver of each, the USB devices a daemon has
// claimed, and the rule that lets the seat's user open the printers.
ReportSection ExamineUsbBus();

// Both ports files with their mappings and the lines that map nothing, and the environment's
// mappings that come before them.
ReportSection ExaminePortsFiles();

}  // namespace talq::cli
