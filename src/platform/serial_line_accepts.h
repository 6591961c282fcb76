// Whether a real serial line of this system takes the given line settings, so
// that a stand-in platform refuses what the real one would.
#pragma once

#include "platform/platform.h"

namespace talq::platform {

bool SerialLineAccepts(const LineSettings& settings);

}  // namespace talq::platform
