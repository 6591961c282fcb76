// What Wine can show of the console and of exclusive ports: text that reaches a console of its
// own (made here) cell by cell and a pipe byte by byte, and a port mapped to a file, which Wine
// keeps to its first opener as Windows keeps a COM port.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "platform/console.h"
#include "platform/platform.h"
#include "platform/port_devices.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace talq::platform {
namespace {

// Points the runtime's descriptor at `handle` until the end of the scope, in text mode as the
// runtime opens standard output.
class DescriptorOnto {
  public:
    DescriptorOnto(int descriptor, HANDLE handle)
        : descriptor_(descriptor), saved_(_dup(descriptor)) {
        const int opened = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_TEXT);
        _dup2(opened, descriptor);
        _close(opened);  // closes `handle` too: the descriptor holds a copy
    }
    ~DescriptorOnto() {
        _dup2(saved_, descriptor_);
        _close(saved_);
    }

  private:
    int descriptor_, saved_;
};

std::wstring ConsoleRow(HANDLE console, SHORT row, DWORD length) {
    std::wstring cells(length, L'\0');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(console, cells.data(), length, {0, row}, &read);
    cells.resize(read);
    while (!cells.empty() && cells.back() == L' ') cells.pop_back();
    return cells;
}

TEST(Win32Console, AConsoleGetsWideTextAndAPipeTheUtf8Bytes) {
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(console, INVALID_HANDLE_VALUE);
    HANDLE pipeOut = nullptr, pipeIn = nullptr;
    ASSERT_TRUE(CreatePipe(&pipeOut, &pipeIn, nullptr, 1 << 16));
    std::streambuf* const out = std::cout.rdbuf();
    std::streambuf* const err = std::cerr.rdbuf();
    std::string piped(64, '\0');
    DWORD pipedLength = 0;
    {
        HANDLE consoleCopy = nullptr;
        DuplicateHandle(GetCurrentProcess(), console, GetCurrentProcess(), &consoleCopy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        const DescriptorOnto errOnConsole(_fileno(stderr), consoleCopy);
        const DescriptorOnto outOnPipe(_fileno(stdout), pipeIn);
        SetUpStandardStreams();
        // A name split inside a character, then a progress bar drawn without a line end.
        std::cerr << "\xC5\x81ukasz, Caf\xC3" << std::flush << "\xA9 \xE2\x84\x96"
                  << "1.sts\n";
        std::cerr << "\r[#....] 4%" << std::flush;
        std::cout << "\xC5\x81ukasz" << std::endl;
        DWORD waiting = 0;  // never a read that could wait
        if (PeekNamedPipe(pipeOut, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
            ReadFile(pipeOut, piped.data(), static_cast<DWORD>(piped.size()), &pipedLength,
                     nullptr);
        }
        std::cout.rdbuf(out);
        std::cerr.rdbuf(err);
    }
    piped.resize(pipedLength);
    // Written as bytes, the console would show them in its OEM code page: "┼ü" for "Ł".
    EXPECT_EQ(ConsoleRow(console, 0, 40), L"\u0141ukasz, Caf\u00e9 \u21161.sts");
    EXPECT_EQ(ConsoleRow(console, 1, 40), L"[#....] 4%");
    EXPECT_EQ(piped, "\xC5\x81ukasz\r\n");  // UTF-8, with the runtime's line end as before
    CloseHandle(pipeOut);
    CloseHandle(console);
    // The console stays: under Wine, freeing it loses standard output.
}

// Windows' serial driver refuses a second open of a COM port; Wine's does not (so talq and the
// dialogs both got COM1 there). A port mapped to a file takes the same open, and Wine keeps a
// file to its first opener: nobody else may open the device while we hold it.
TEST(Win32Ports, APortIsHeldExclusivelyWhateverItIsMappedTo) {
    test::TempDir dir;
    const std::filesystem::path device = dir.path() / "printer.bin";
    std::FILE* made = _wfopen(device.c_str(), L"wb");
    ASSERT_NE(made, nullptr);
    std::fclose(made);
    test::ScopedEnv env;
    for (const char* port : {"COM3", "LPT2"}) {
        env.Set(std::string("TALQ_") + port, device.string());
        Platform& os = Current();
        const DeviceHandle handle = os.OpenDevice(DevicePathForPort(port));
        ASSERT_NE(handle, kNoDevice) << port;
        const HANDLE other =
            CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(other, INVALID_HANDLE_VALUE) << port;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << port;
        if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
        EXPECT_EQ(os.OpenDevice(DevicePathForPort(port)), kNoDevice) << port;
        os.CloseDevice(handle);
    }

    // What a serial driver runs is the system's list; a file is no port of it.
    EXPECT_EQ(SerialHardwareBehind("\\\\.\\COM5"), SerialHardware::Present);
    EXPECT_EQ(SerialHardwareBehind("COM40"), SerialHardware::Unknown);
    EXPECT_EQ(SerialHardwareBehind(device.string()), SerialHardware::Unknown);
}

}  // namespace
}  // namespace talq::platform
