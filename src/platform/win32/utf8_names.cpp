#include "platform/utf8_names.h"

#include <windows.h>
// windows.h first: shellapi.h relies on its types.
#include <shellapi.h>

#include "platform/utf8_text.h"
#include "platform/win32/utf8.h"

namespace talq::platform {

std::string EnvironmentVariable(const char* name) {
    const std::wstring wideName = win32::Utf8ToWide(name);
    std::wstring value(256, L'\0');
    for (;;) {
        SetLastError(0);
        const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(),
                                                     static_cast<DWORD>(value.size()));
        if (length == 0) return {};  // not set, or set to nothing
        if (length < value.size()) {
            value.resize(length);
            return win32::WideToUtf8(value);
        }
        value.resize(length);  // the size it needs, with its terminator
    }
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(win32::WideToUtf8(wide[i]));
    LocalFree(wide);
    return arguments;
}

// The library's own conversions throw on a byte that is not UTF-8 or a lone surrogate.
std::filesystem::path PathFromUtf8(std::string_view name) {
    return std::filesystem::path(win32::Utf8ToWide(name));
}

std::string Utf8OfPath(const std::filesystem::path& path) {
    return win32::WideToUtf8(path.native());
}

std::string TextFileAsUtf8(std::string bytes, bool* fromAnsi) {
    if (fromAnsi != nullptr) *fromAnsi = false;
    if (bytes.starts_with("\xEF\xBB\xBF") || IsUtf8(bytes)) return bytes;
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), length);
    if (fromAnsi != nullptr) *fromAnsi = true;
    return win32::WideToUtf8(wide);
}

}  // namespace talq::platform
