#include "platform/utf8_names.h"

#include <cstdlib>

namespace talq::platform {

std::string EnvironmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

// The system's names are bytes, taken as they are.
std::filesystem::path PathFromUtf8(std::string_view name) {
    return std::filesystem::path(name);
}

std::string Utf8OfPath(const std::filesystem::path& path) {
    return path.native();
}

std::string TextFileAsUtf8(std::string bytes, bool* fromAnsi) {
    if (fromAnsi != nullptr) *fromAnsi = false;
    return bytes;
}

}  // namespace talq::platform
