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

// Paths from and to UTF-8. Neither throws: on Windows a byte that is not UTF-8, or a name
// with a lone surrogate, becomes U+FFFD.
std::filesystem::path PathFromUtf8(std::string_view name);
std::string Utf8OfPath(const std::filesystem::path& path);

// A text file that people edit (the ports file) as the program holds it: UTF-8. On Windows a
// file that is not UTF-8 and has no UTF-8 byte-order mark was saved in the ANSI code page
// (Notepad's default before Windows 10 1903) and is read in it, which `fromAnsi` tells. On
// POSIX the bytes stay as they are.
std::string TextFileAsUtf8(std::string bytes, bool* fromAnsi = nullptr);

}  // namespace talq::platform
