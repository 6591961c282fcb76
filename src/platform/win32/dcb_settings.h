// The connection record's line settings written into a DCB, the other fields
// left as the device reported them.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace talq::platform::win32 {

void ApplyToDcb(const LineSettings& settings, DCB& dcb);

// COMMTIMEOUTS as SetCommTimeouts takes them. No read time-outs (a USB
// printer's record) become "return what has come, waiting at most
// kUntimedReadMs for the first byte"; no write time-outs become a write that
// gives up after kWriteStallMs, so that a printer holding CTS low cannot hold
// the program for ever.
COMMTIMEOUTS ToCommTimeouts(const CommTimeouts& timeouts);

}  // namespace talq::platform::win32
