#include "platform/platform.h"

#include "platform/posix/posix_platform.h"

namespace talq::platform {
namespace {

Platform* installed = nullptr;

Platform& Native() {
    static posix::PosixPlatform native;
    return native;
}

}  // namespace

Platform& Current() { return installed != nullptr ? *installed : Native(); }

Platform* Install(Platform* platform) {
    Platform* previous = installed != nullptr ? installed : &Native();
    installed = (platform == &Native()) ? nullptr : platform;
    return previous;
}

}  // namespace talq::platform
