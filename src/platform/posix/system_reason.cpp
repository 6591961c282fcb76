#include "platform/system_reason.h"

#include <system_error>

namespace talq::platform {

std::string SystemReason(int error) {
    return std::generic_category().message(error);
}

}  // namespace talq::platform
