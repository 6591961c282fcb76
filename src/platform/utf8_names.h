// Names of files and values of the environment, as the program holds them:
// UTF-8 on every system. The backends convert where the system wants another
// form (UTF-16 on Windows), so that no name passes through the ANSI code page.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace talq::platform {

// The environment variable's value in UTF-8; "" when it is not set.
std::string EnvironmentVariable(const char* name);

// The program's arguments (without its own name) in UTF-8. Windows hands a
// console program its arguments in the ANSI code page, so there the wide
// command line is read instead of argv.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

inline std::filesystem::path PathFromUtf8(std::string_view name) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(name.data()), name.size()));
}

inline std::string Utf8OfPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

}  // namespace talq::platform
