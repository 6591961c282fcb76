#include "platform/platform.h"

#include "platform/posix/posix_platform.h"
#include "platform/process_wide.h"

namespace talq::platform {
namespace {

ProcessWide<Platform, posix::PosixPlatform> platform;

}  // namespace

Platform& Current() { return platform.Current(); }

Platform* Install(Platform* replacement) { return platform.Install(replacement); }

}  // namespace talq::platform
