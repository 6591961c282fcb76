#include "platform/platform.h"

#include "native_backends.h"
#include "platform/process_wide.h"

namespace talq::platform {
namespace {

ProcessWide<Platform, NativePlatform> platform;

}  // namespace

Platform& Current() { return platform.Current(); }

Platform* Install(Platform* replacement) { return platform.Install(replacement); }

}  // namespace talq::platform
