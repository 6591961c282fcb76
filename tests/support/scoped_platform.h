// Installs a platform for the life of a scope and puts the previous one back.
#pragma once

#include "platform/platform.h"

namespace talq::test {

class ScopedPlatform {
public:
    explicit ScopedPlatform(platform::Platform& platform)
        : previous_(platform::Install(&platform)) {}
    ~ScopedPlatform() { platform::Install(previous_); }

    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    platform::Platform* previous_;
};

}  // namespace talq::test
