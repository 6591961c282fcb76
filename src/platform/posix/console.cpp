#include "platform/console.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace talq::platform {

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

bool StandardErrorTakesEscapes() {
    return true;
}

void SetUpStandardStreams() {}

StandardOutputAside::StandardOutputAside(bool discard) {
    std::fflush(stdout);
    saved_ = ::dup(STDOUT_FILENO);
    const int target = discard ? ::open("/dev/null", O_WRONLY | O_CLOEXEC) : STDERR_FILENO;
    if (saved_ >= 0 && target >= 0) ::dup2(target, STDOUT_FILENO);
    if (discard && target >= 0) ::close(target);
}

StandardOutputAside::~StandardOutputAside() {
    std::fflush(stdout);
    if (saved_ < 0) return;
    ::dup2(saved_, STDOUT_FILENO);
    ::close(saved_);
}

}  // namespace talq::platform
