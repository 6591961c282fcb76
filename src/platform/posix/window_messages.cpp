#include "platform/window_messages.h"

namespace talq::platform {

void PumpWindowMessages() {}

}  // namespace talq::platform
