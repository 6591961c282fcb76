// The Win32 backend's own rules, apart from any port: the DCB and time-outs
// it hands the system, the file replacement and bounded read, the lock of the
// queue journal and the system's reasons.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/deferred_interrupts.h"
#include "platform/locked_file.h"
#include "platform/ports_file.h"
#include "platform/read_regular_file.h"
#include "platform/replace_file.h"
#include "platform/system_reason.h"
#include "platform/win32/dcb_settings.h"
#include "platform/win32/setupapi_usb_bus.h"
#include "platform/win32/system_library.h"
#include "platform/win32/usb_interface_path.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/winspool_spooler.h"
#include "support/temp_dir.h"

namespace talq::platform::win32 {
namespace {

TEST(Win32Backend, TheDcbTakesTheRecordAndLeavesTheRestAsTheDeviceHadIt) {
    const struct {
        LineSettings settings;
        BYTE byteSize, parity, stopBits;
        DWORD fParity, fOutX, fRtsControl;
    } cases[] = {
        {{19200, 8, 0, 0, 0}, 8, 0, 0, 0, 0, RTS_CONTROL_DISABLE},
        {{9600, 8, 0, 2, 1}, 8, 2, 0, 1, 1, RTS_CONTROL_ENABLE},
        {{115200, 7, 1, 1, 0}, 7, 1, 1, 1, 0, RTS_CONTROL_DISABLE},
    };
    for (const auto& c : cases) {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        dcb.fBinary = 1;
        dcb.XonChar = 0x11;
        dcb.fAbortOnError = 1;
        ApplyToDcb(c.settings, dcb);
        EXPECT_EQ(dcb.BaudRate, static_cast<DWORD>(c.settings.baudRate));
        EXPECT_EQ(dcb.ByteSize, c.byteSize);
        EXPECT_EQ(dcb.Parity, c.parity);
        EXPECT_EQ(dcb.StopBits, c.stopBits);
        EXPECT_EQ(dcb.fParity, c.fParity);
        EXPECT_EQ(dcb.fOutX, c.fOutX);
        EXPECT_EQ(dcb.fInX, c.fOutX);
        EXPECT_EQ(dcb.fRtsControl, c.fRtsControl);
        // Whatever the flow control: output paced by CTS and DSR, DTR on.
        EXPECT_EQ(dcb.fOutxCtsFlow, 1u);
        EXPECT_EQ(dcb.fOutxDsrFlow, 1u);
        EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
        EXPECT_EQ(dcb.fDsrSensitivity | dcb.fTXContinueOnXoff | dcb.fNull, 0u);
        EXPECT_EQ(dcb.fBinary, 1u);
        EXPECT_EQ(dcb.fAbortOnError, 1u);
        EXPECT_EQ(dcb.XonChar, 0x11);
    }
    EXPECT_EQ(sizeof(DCB), 28u);
}

TEST(Win32Backend, TimeOutsAreTheRecordsWithEveryWaitBounded) {
    const COMMTIMEOUTS serial = ToCommTimeouts({10, 10, 10, 0, 0});
    EXPECT_EQ(serial.ReadIntervalTimeout, 10u);
    EXPECT_EQ(serial.ReadTotalTimeoutMultiplier, 10u);
    EXPECT_EQ(serial.ReadTotalTimeoutConstant, 10u);
    EXPECT_EQ(serial.WriteTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(serial.WriteTotalTimeoutConstant, static_cast<DWORD>(kWriteStallMs));

    // No read time-outs: what has come, or the first bytes within kUntimedReadMs.
    const COMMTIMEOUTS none = ToCommTimeouts({});
    EXPECT_EQ(none.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(none.ReadTotalTimeoutMultiplier, MAXDWORD);
    EXPECT_EQ(none.ReadTotalTimeoutConstant, static_cast<DWORD>(kUntimedReadMs));
}

std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Win32Backend, ReplacingAFileLeavesTheOldOneWholeWhenItFails) {
    test::TempDir dir;
    const std::filesystem::path file = dir.path() / "x.sts";
    const std::uint8_t first[] = {'o', 'l', 'd'};
    const std::uint8_t second[] = {'n', 'e', 'w', '!'};
    ASSERT_EQ(ReplaceFileContents(file.string(), first), 0);
    ASSERT_EQ(ReplaceFileContents(file.string(), second), 0);
    EXPECT_EQ(Contents(file), "new!");

    // Another program reading it: the replacement waits a moment for it to let go, and
    // fails when it does not.
    const auto open = [&] {
        return CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE reader = open();
    std::thread closer([reader] {
        Sleep(200);
        CloseHandle(reader);
    });
    EXPECT_EQ(ReplaceFileContents(file.string(), second), 0);
    closer.join();
    reader = open();
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_NE(ReplaceFileContents(file.string(), first), 0);
    CloseHandle(reader);
    EXPECT_EQ(Contents(file), "new!");
    EXPECT_NE(ReplaceFileContents(dir.path().string(), first), 0);  // a folder
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left behind

    std::uint8_t buffer[8] = {};
    const RegularFileRead read = ReadRegularFile(file.string(), buffer);
    EXPECT_TRUE(read.ok());
    EXPECT_EQ(read.count, 4u);
    EXPECT_FALSE(ReadRegularFile(dir.path().string(), buffer).regular);
    const RegularFileRead missing = ReadRegularFile((dir.path() / "none").string(), buffer);
    EXPECT_TRUE(missing.missing);
    const std::string reason = SystemReason(missing.error);
    EXPECT_FALSE(reason.empty());
    EXPECT_NE(reason.back(), '.');
    EXPECT_NE(reason.back(), '\n');
}

TEST(Win32Backend, AHeldFileIsTakenOverOnlyOnceItsHolderLetsGo) {
    test::TempDir dir;
    std::filesystem::path path;
    {
        std::optional<LockedFile> held =
            LockedFile::CreateUnique(dir.path(), "queues-", ".journal");
        ASSERT_TRUE(held);
        path = held->Path();
        EXPECT_EQ(path.filename().string().rfind("queues-", 0), 0u);
        ASSERT_TRUE(held->AppendDurably("switch\n"));
        ASSERT_TRUE(held->AppendDurably("done\n"));
        EXPECT_EQ(held->ReadAll(), "switch\ndone\n");
        EXPECT_FALSE(LockedFile::HoldExisting(path));  // while it is held
    }
    std::optional<LockedFile> taken = LockedFile::HoldExisting(path);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->ReadAll(), "switch\ndone\n");
    taken->Remove();
    taken.reset();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(LockedFile::HoldExisting(path));
}

// A device that is neither a COM nor an LPT port (a USB printer; here a named pipe, which Wine
// has) gets no time-outs from its driver: a read of a silent one still ends at the platform's
// bound with nothing, and data both ways goes through as usual.
TEST(Win32Backend, TransfersOfADeviceWithoutTimeOutsAreBounded) {
    const std::string name = "\\\\.\\pipe\\talq-usb-" + std::to_string(GetCurrentProcessId());
    const HANDLE printer = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1,
                                            4096, 4096, 0, nullptr);
    ASSERT_NE(printer, INVALID_HANDLE_VALUE);
    platform::win32::Win32Platform os;
    const platform::DeviceHandle device = os.OpenDevice(name);
    ASSERT_NE(device, platform::kNoDevice);

    std::uint8_t buffer[16] = {};
    const ULONGLONG start = GetTickCount64();
    const platform::IoResult silent = os.Read(device, buffer, sizeof buffer);
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_TRUE(silent.ok);
    EXPECT_EQ(silent.count, 0);
    EXPECT_GE(waited + 50, static_cast<ULONGLONG>(platform::kUntimedReadMs));
    EXPECT_LT(waited, 10000u);

    DWORD moved = 0;
    ASSERT_TRUE(WriteFile(printer, "\x1d\x49\x01", 3, &moved, nullptr));
    const platform::IoResult reply = os.Read(device, buffer, sizeof buffer);
    EXPECT_TRUE(reply.ok);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(reply.count)),
              "\x1d\x49\x01");

    const std::uint8_t command[] = {0x10, 0x04, 0x01};
    EXPECT_TRUE(os.Write(device, command, sizeof command).ok);
    char received[8] = {};
    ASSERT_TRUE(ReadFile(printer, received, sizeof received, &moved, nullptr));
    EXPECT_EQ(std::string(received, moved), "\x10\x04\x01");
    os.CloseDevice(device);
    CloseHandle(printer);
}

TEST(Win32Backend, UsbIdsComeFromTheInterfacePathsTokens) {
    constexpr const char* kClass = "#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
    const struct {
        std::string path;
        std::uint16_t vendorId, productId;
    } cases[] = {
        {std::string("\\\\?\\usb#vid_7c1a&pid_0006#5&1a2b&0&1") + kClass, 0x7c1a, 0x0006},
        {std::string("\\\\?\\usb#vid_7c1a&pid_0004#6&2&0&2") + kClass, 0x7c1a, 0x0004},
        {std::string("\\\\?\\usb#vid_046d&pid_c52b#7&3&0&3") + kClass, 0x046d, 0xc52b},
        {std::string("\\\\?\\USB#VID_7C1A&PID_0006#8") + kClass, 0, 0},  // tokens are lower case
    };
    for (const auto& c : cases) {
        const UsbIds ids = UsbIdsOfInterfacePath(c.path);
        EXPECT_EQ(ids.vendorId, c.vendorId) << c.path;
        EXPECT_EQ(ids.productId, c.productId) << c.path;
    }
    // The device-setup services answer, here with whatever USB devices the system has.
    EXPECT_TRUE(SetupApiUsbBus().PresentDevices().has_value());
}

int forcedEnds = 0;

// Log-off and shut-down reach talq.exe as messages to its hidden top-level window: nothing new
// starts, the run gets most of the system's time, and the queues are given back before the end.
TEST(Win32Backend, TheSessionsEndIsHeldForABoundedTimeAndGivesTheQueuesBack) {
    DeferInterrupts("", [] { ++forcedEnds; });
    const HWND window = FindWindowW(L"TalqSessionEnd", nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_TRUE(InterruptRequested());
    const ULONGLONG start = GetTickCount64();
    SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);  // while the run goes on
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, 3000u);
    EXPECT_LT(waited, 4500u);
    EXPECT_EQ(forcedEnds, 1);
    RunFinished();
    const ULONGLONG again = GetTickCount64();
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);  // shut-down
    EXPECT_LT(GetTickCount64() - again, 1000u);
    EXPECT_EQ(forcedEnds, 1);  // the run gave its queues back itself
}

// A USB adapter arrives as COM12: COM3 mapped to it holds the queue on "COM12:".
TEST(Win32Backend, APortMappedToAnotherPortHoldsTheQueueOfTheDeviceOpened) {
    const struct {
        const char* target;  // TALQ_COM3, or nullptr for none
        const char* match;   // what a queue's port list must name
    } cases[] = {
        {nullptr, "COM3"},  {"COM12", "COM12"}, {"\\\\.\\COM12", "COM12"},
        {"com12", "COM12"}, {"LPT2", "LPT2"},   {"C:\\dev\\com3", "C:\\dev\\com3"},
    };
    WinspoolSpooler spooler;
    for (const auto& c : cases) {
        SetEnvironmentVariableA("TALQ_COM3", c.target);
        EXPECT_EQ(spooler.PortMatchText("COM3"), c.match) << (c.target ? c.target : "none");
        if (c.target != nullptr) {
            EXPECT_FALSE(ProblemWithDevice(c.target)) << c.target;
        }
    }
    SetEnvironmentVariableA("TALQ_COM3", nullptr);
    EXPECT_TRUE(spooler.PrintsTo("COM12:", "COM12"));
    EXPECT_FALSE(spooler.PrintsTo("COM1:,COM3:", "COM12"));
    for (const char* refused : {"COM", "COM0", "dev\\com3", "\\\\.\\"}) {
        EXPECT_TRUE(ProblemWithDevice(refused)) << refused;
    }
}

// What the spooler's serial port prints with: the port's defaults take the line the printer
// moved to, and take back exactly what they held. Nothing is kept for another kind of port.
TEST(Win32Backend, AComPortsDefaultsFollowTheLineAndGoBackAsTheyWere) {
    WinspoolSpooler spooler;
    EXPECT_FALSE(spooler.PortDefaults("LPT1"));
    EXPECT_FALSE(spooler.PortDefaults("C:\\dev\\com3"));
    const std::optional<std::string> before = spooler.PortDefaults("COM7");
    ASSERT_TRUE(before) << GetLastError();
    const LineSettings line{38400, 7, 0, 2, 1};
    ASSERT_TRUE(spooler.SetPortDefaults("COM7", *before, &line)) << GetLastError();
    const std::optional<std::string> moved = spooler.PortDefaults("COM7");
    ASSERT_TRUE(moved);
    const DCB& dcb = reinterpret_cast<const COMMCONFIG*>(moved->data())->dcb;
    EXPECT_EQ(dcb.BaudRate, 38400u);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.Parity, EVENPARITY);
    EXPECT_TRUE(dcb.fOutX);
    ASSERT_TRUE(spooler.SetPortDefaults("COM7", *before, nullptr));
    EXPECT_EQ(spooler.PortDefaults("COM7"), before);
}

// The libraries loaded at their first use come from the system folder, also by its full path,
// as on a Windows 7 that refuses the search flag.
TEST(Win32Backend, SystemLibrariesComeFromTheSystemFolderEitherWay) {
    for (const wchar_t* name : {L"uxtheme.dll", L"comdlg32.dll", L"winspool.drv"}) {
        HMODULE module = LoadSystemLibrary(name);
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(LoadSystemLibraryByPath(name), module);
    }
    EXPECT_EQ(LoadSystemLibraryByPath(L"talq-no-such-library.dll"), nullptr);
}

}  // namespace
}  // namespace talq::platform::win32
