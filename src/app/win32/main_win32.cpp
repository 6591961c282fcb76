// talq-manager.exe: the wide command line as UTF-8, help in a message box (a
// windowed program has no console to print to), then the program.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "app/program.h"
#include "platform/win32/utf8.h"

namespace {

constexpr const wchar_t* kHelp =
    L"usage: talq-manager [-h|--help]\n\n"
    L"Talquist Manager: reads, edits and writes the memory switches of KTV receipt printers "
    L"(KTV-520plus, KTV-540/542, KTV-520plusF) over a serial, parallel or USB port. It opens "
    L"the connection dialog and ends when that dialog is closed.\n\n"
    L"talq.exe, beside it, does the same from the command line (talq --help).";

std::string Utf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(narrow.size() - 1);
    return narrow;
}

void ShowStopped(std::exception_ptr fault) {
    const std::wstring text =
        talq::platform::win32::Utf8ToWide(talq::app::StoppedMessage(std::move(fault)));
    MessageBoxW(nullptr, text.c_str(), L"talq-manager", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

// The last resort, for a fault outside the dialog's run or one that could not unwind.
[[noreturn]] void StopOnFault() {
    ShowStopped(std::current_exception());
    std::_Exit(talq::app::kExitStopped);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) args.push_back(Utf8(wide[i]));
    LocalFree(wide);
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "-h" || args[i] == "--help" || args[i] == "/?") {
            MessageBoxW(nullptr, kHelp, L"talq-manager", MB_OK | MB_ICONINFORMATION);
            return 0;
        }
    }
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::set_terminate(StopOnFault);
    try {
        return talq::app::RunProgram(count, argv.data());
    } catch (...) {
        ShowStopped(std::current_exception());
        return talq::app::kExitStopped;
    }
}
