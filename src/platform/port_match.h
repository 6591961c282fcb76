// Whether a print queue's port text names a given device as a whole, so that a
// queue on another device whose name merely begins the same way ("/dev/ttyS10"
// for "/dev/ttyS1", "COM10:" for "COM1") is never taken for it. Pure text
// rules, one for each way spoolers write their ports; exact and case-sensitive.
#pragma once

#include <string_view>

namespace talq::platform {

// A device URI ("serial:/dev/ttyS1?baud=9600", "file:///dev/lp0") names
// `devicePath` when the path stands in it neither continued by a character of a
// file name ("/dev/ttyS10", "/dev/ttyS1.lock", "/dev/ttyS1/x") nor preceded by
// one ("/tmp/dev/ttyS1"); slashes right before it are the URI's own. An empty
// path names nothing.
bool UriNamesDevice(std::string_view uri, std::string_view devicePath);

// A comma-separated list of port names, each with or without its colon
// ("COM1:", "LPT1:,COM1:"), names `portName` when one element is that name;
// spaces around an element are ignored. An empty name names nothing.
bool PortListNamesPort(std::string_view portList, std::string_view portName);

}  // namespace talq::platform
