#include "platform/state_directory.h"

#include <cstdlib>

namespace talq::platform {

std::filesystem::path StateDirectory() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (local == nullptr || *local == L'\0') return {};
    return std::filesystem::path(local) / L"talquist-manager";
}

}  // namespace talq::platform
