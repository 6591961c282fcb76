// The USB printers of the maker that discovery finds, as `talq ports` lists them.
#pragma once

#include <string>
#include <vector>

namespace talq::cli {

// The "520plus:..." and "540/542:..." entries in discovery order. Discovery's own lines about
// each device it probes go to stderr, or nowhere when `quiet`, so stdout stays clean.
std::vector<std::string> UsbEntries(bool quiet);

// Why discovery found no entry, in words: no USB device list at all, no printer of the maker
// among the devices, or printers of the maker whose nodes could not be opened.
std::string NoUsbEntriesReason();

}  // namespace talq::cli
