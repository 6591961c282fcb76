#include "platform/system_family.h"

namespace talq::platform {

bool IsWin9xFamily() { return false; }

}  // namespace talq::platform
