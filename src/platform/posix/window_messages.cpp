#include "platform/window_messages.h"

namespace talq::platform {

void PumpWindowMessages() {}

std::exception_ptr TakeWindowFault() {
    return nullptr;
}

}  // namespace talq::platform
