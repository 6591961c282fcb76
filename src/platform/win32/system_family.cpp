#include "platform/system_family.h"

#include <windows.h>

namespace talq::platform {

// GetVersion sets its top bit on the 95/98/Me family only.
bool IsWin9xFamily() { return (GetVersion() & 0x80000000u) != 0; }

}  // namespace talq::platform
