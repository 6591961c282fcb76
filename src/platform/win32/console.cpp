#include "platform/console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

namespace talq::platform {

bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

bool StandardErrorTakesEscapes() {
    const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(console, &mode)) return false;
    if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) return true;
    return SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

StandardOutputAside::StandardOutputAside(bool discard) {
    std::fflush(stdout);
    saved_ = _dup(_fileno(stdout));
    const int target = discard ? _open("NUL", _O_WRONLY) : _fileno(stderr);
    if (saved_ >= 0 && target >= 0) _dup2(target, _fileno(stdout));
    if (discard && target >= 0) _close(target);
}

StandardOutputAside::~StandardOutputAside() {
    std::fflush(stdout);
    if (saved_ < 0) return;
    _dup2(saved_, _fileno(stdout));
    _close(saved_);
}

}  // namespace talq::platform
