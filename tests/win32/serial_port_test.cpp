// The Win32 serial backend on a real COM port: Wine presents a pseudo-terminal
// as COM5, with talq-printer-sim answering behind it, and another as COM6,
// where a simulated printer takes commands but never answers
// (wine_serial_test.sh sets both up).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "link/printer_port.h"
#include "support/com_port.h"

namespace talq::link {
namespace {

using Clock = std::chrono::steady_clock;

double ElapsedMs(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// Wine gives a COM port to every opener whatever the share mode, and takes
// any stop bits; Windows' own serial driver does neither.
bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(Win32Serial, ReadsEndAtTheSystemsTimeOuts) {
    PrinterPort port;
    ASSERT_TRUE(test::OpenCom(port, "COM6"));
    std::uint8_t buffer[16] = {};
    // Never early; the upper bounds leave room for a loaded machine and Wine.
    auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 1, 1000), 0);
    double elapsed = ElapsedMs(start);
    EXPECT_GE(elapsed, 18);
    EXPECT_LT(elapsed, 80);
    std::printf("Read(1) on silence: %.1f ms\n", elapsed);

    start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 16, 1000), 0);
    elapsed = ElapsedMs(start);
    EXPECT_GE(elapsed, 165);
    EXPECT_LT(elapsed, 260);
    std::printf("Read(16) on silence: %.1f ms\n", elapsed);
}

TEST(Win32Serial, ThePrinterAnswersAndTheReadEndsAfterTheLastByte) {
    PrinterPort port;
    ASSERT_TRUE(test::OpenCom(port, "COM5"));
    const std::uint8_t modelId[] = {0x1D, 0x49, 0x01};
    ASSERT_EQ(port.Write(modelId, 3), 3);
    std::uint8_t buffer[16] = {};
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 16, 1000), 1);
    EXPECT_LT(ElapsedMs(start), 160);  // ended by the gap after the byte, not the total
    EXPECT_EQ(buffer[0], 0x20);
}

TEST(Win32Serial, AnOpenPortCannotBeTakenByAnyoneElse) {
    if (UnderWine()) GTEST_SKIP() << "Wine does not keep a COM port to its first opener";
    PrinterPort port;
    ASSERT_TRUE(test::OpenCom(port, "COM5"));
    PrinterPort second;
    ASSERT_EQ(second.Configure(test::ComSettings("COM5")), 1);
    EXPECT_EQ(second.Open(), 0);
    port.Close();
    EXPECT_EQ(second.Open(), 1);  // free again once closed
}

// Opens COM5 with the settings TALQ_TEST_LINE names ("baud,stopBits,flow")
// and leaves them on the line for the caller to look at from the other side.
TEST(Win32Serial, LeavesTheLineSettingsOnTheDevice) {
    const char* line = std::getenv("TALQ_TEST_LINE");
    if (line == nullptr) GTEST_SKIP() << "TALQ_TEST_LINE not set";
    int baud = 0, stopBits = 0, flow = 0;
    ASSERT_EQ(std::sscanf(line, "%d,%d,%d", &baud, &stopBits, &flow), 3);
    PortSettings settings = test::ComSettings("COM5", baud);
    settings.stopBits = stopBits;
    settings.flowControl = flow;
    PrinterPort port;
    ASSERT_EQ(port.Configure(settings), 1);
    EXPECT_EQ(port.Open(), 1);
}

TEST(Win32Serial, SettingsTheDriverRefusesFailTheOpen) {
    if (UnderWine()) GTEST_SKIP() << "Wine takes one and a half stop bits with eight data bits";
    PortSettings settings = test::ComSettings("COM5");
    settings.stopBits = 1;  // one and a half, with eight data bits
    PrinterPort port;
    ASSERT_EQ(port.Configure(settings), 1);
    EXPECT_EQ(port.Open(), 0);
}

}  // namespace
}  // namespace talq::link
