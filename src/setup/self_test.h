// Self Test: the printer prints its test page; the caller waits it out.
#pragma once

#include "link/printer_port.h"

namespace talq::setup {

inline constexpr int kSelfTestPauseMs = 4300;

// Writes the test print command and waits for the page to come out. The
// write's result is the caller's to ignore.
int SelfTest(link::PrinterPort& port);

}  // namespace talq::setup
