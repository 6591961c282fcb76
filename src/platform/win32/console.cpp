#include "platform/console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <streambuf>
#include <string>
#include <string_view>

#include "platform/utf8_text.h"
#include "platform/win32/utf8.h"

namespace talq::platform {
namespace {

// Consoles before Windows 8 refuse long writes: a few thousand characters at a time, never
// between the two halves of a surrogate pair.
bool WriteToConsole(HANDLE console, std::wstring_view text) {
    constexpr std::size_t kChunk = 4096;
    while (!text.empty()) {
        std::size_t chunk = std::min(text.size(), kChunk);
        if (chunk < text.size() && IS_HIGH_SURROGATE(text[chunk - 1])) --chunk;
        DWORD written = 0;
        if (!WriteConsoleW(console, text.data(), static_cast<DWORD>(chunk), &written, nullptr) ||
            written == 0) {
            return false;
        }
        text.remove_prefix(written);
    }
    return true;
}

bool WriteToFile(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const int written = _write(descriptor, bytes.data(), static_cast<unsigned>(bytes.size()));
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Standard output or error, reached through the runtime's descriptor of `stream`, which
// StandardOutputAside may point elsewhere for a while. Several threads may write at once (the
// ports' reports and their lines), so there is no put area: every write takes the lock.
class StandardText : public std::streambuf {
  public:
    explicit StandardText(std::FILE* stream) : stream_(stream) {}

  protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        const std::lock_guard lock(mutex_);
        const std::string_view piece(text, static_cast<std::size_t>(count));
        pending_ += piece;
        if (piece.find('\n') == std::string_view::npos && pending_.size() < kHeldBytes) {
            return count;
        }
        return WriteOut() ? count : 0;
    }

    int sync() override {
        const std::lock_guard lock(mutex_);
        return WriteOut() ? 0 : -1;
    }

  private:
    static constexpr std::size_t kHeldBytes = 4096;

    bool WriteOut() {
        const int descriptor = _fileno(stream_);
        const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
        DWORD mode = 0;
        if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
            const std::size_t whole = CompleteUtf8Length(pending_);
            const bool ok = WriteToConsole(handle, win32::Utf8ToWide({pending_.data(), whole}));
            pending_.erase(0, whole);
            return ok;
        }
        const bool ok = WriteToFile(descriptor, pending_);
        pending_.clear();
        return ok;
    }

    std::FILE* const stream_;
    std::mutex mutex_;
    std::string pending_;
};

}  // namespace

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

void SetUpStandardStreams() {
    // Never destroyed: the streams are flushed once more as the program ends.
    static auto* const output = new StandardText(stdout);
    static auto* const error = new StandardText(stderr);
    std::cout.rdbuf(output);
    std::cerr.rdbuf(error);
    std::clog.rdbuf(error);
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
