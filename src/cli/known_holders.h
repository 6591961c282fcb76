// Programs known to take serial ports and printers for themselves, and what to do about each:
// the daemons that claim serial adapters (screen readers, modem managers), login prompts,
// the print system, terminal programs.
#pragma once

#include <string>

#include "platform/device_diagnostics.h"

namespace talq::cli {

// "ModemManager (process 612)", or "another program" when the system names none.
std::string HolderWords(const platform::ProcessInfo& holder);

// How to get `holder` off `device`; a general hint for programs not known.
std::string MendForHolder(const platform::ProcessInfo& holder, const std::string& device);

// Whether the program is one of the daemons that claim serial adapters of their own accord.
bool ClaimsSerialAdapters(const std::string& program);

}  // namespace talq::cli
