// The system's own words for one of its error codes, as the platform's file
// operations report them (errno on POSIX, GetLastError on Windows).
#pragma once

#include <string>

namespace talq::platform {

std::string SystemReason(int error);

}  // namespace talq::platform
