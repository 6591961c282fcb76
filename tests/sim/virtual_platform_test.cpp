#include "support/virtual_platform.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "support/scoped_platform.h"

namespace talq::test {
namespace {

using platform::CommTimeouts;
using platform::DeviceHandle;
using Lines = std::vector<std::string>;

constexpr CommTimeouts kLineTimeouts{10, 10, 10, 0, 0};

struct Opened {
    VirtualPlatform os;
    DeviceHandle handle = platform::kNoDevice;
};

// Opens `device` at "COM1" with the link's 10/10/10 time-outs (or none).
void OpenOn(Opened& o, std::shared_ptr<VirtualDevice> device, bool timed = true) {
    o.os.AddDevice("COM1", std::move(device));
    o.handle = o.os.OpenDevice("COM1");
    ASSERT_NE(o.handle, platform::kNoDevice);
    if (timed) o.os.SetTimeouts(o.handle, kLineTimeouts);
    o.os.ClearTranscript();
}

TEST(VirtualPlatformRead, EndsAtTheTimeOutsInVirtualTime) {
    auto device = std::make_shared<ScriptedDevice>();
    Opened o;
    OpenOn(o, device);
    std::uint8_t buffer[16] = {};

    // Silence: a one-byte read ends at 10 * 1 + 10 ms.
    auto result = o.os.Read(o.handle, buffer, 1);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.count, 0);
    EXPECT_EQ(o.os.NowMs(), 20);

    // Three bytes, then silence: the read ends 10 ms after the third.
    device->Arrive(25, {0x5F, 0x4B});
    device->Arrive(30, {0x00});
    result = o.os.Read(o.handle, buffer, 16);
    EXPECT_EQ(result.count, 3);
    EXPECT_EQ(o.os.NowMs(), 40);

    // A gap of exactly the interval belongs to the read; one more ends it.
    device->Arrive(45, {0x01});
    device->Arrive(55, {0x02});
    device->Arrive(66, {0x03});
    EXPECT_EQ(o.os.Read(o.handle, buffer, 16).count, 2);
    EXPECT_EQ(o.os.NowMs(), 65);
    EXPECT_EQ(o.os.Read(o.handle, buffer, 1).count, 1);
    EXPECT_EQ(o.os.NowMs(), 66);

    // A peer that never falls silent: the total time-out still ends the read.
    device->Stream(0x55, 100, 10);
    o.os.Pause(34);  // now 100
    EXPECT_EQ(o.os.Read(o.handle, buffer, 16).count, 16);
    EXPECT_EQ(o.os.NowMs(), 250);
    o.os.SetTimeouts(o.handle, {0, 1, 5, 0, 0});
    EXPECT_EQ(o.os.Read(o.handle, buffer, 16).count, 2);  // bytes at 260 and 270
    EXPECT_EQ(o.os.NowMs(), 271);

    EXPECT_EQ(o.os.Transcript(), (Lines{"read 1 -> 0", "read 16 -> 3: 5F 4B 00",
                                        "read 16 -> 2: 01 02", "read 1 -> 1: 03",
                                        "pause 34",
                                        "read 16 -> 16: 55 55 55 55 55 55 55 55 55 55 55 55 55 "
                                        "55 55 55",
                                        "timeouts 0 1 5 0 0", "read 16 -> 2: 55 55"}));
    EXPECT_EQ(o.os.Exchange().size(), 7u);
}

TEST(VirtualPlatformRead, UntimedReadWaitsForTheFirstBytesThenTakesWhatIsThere) {
    auto device = std::make_shared<ScriptedDevice>();
    Opened o;
    OpenOn(o, device, false);
    std::uint8_t buffer[16] = {};

    EXPECT_EQ(o.os.Read(o.handle, buffer, 16).count, 0);
    EXPECT_EQ(o.os.NowMs(), platform::kUntimedReadMs);

    device->Arrive(1300, {1, 2, 3});
    device->Arrive(1301, {4});
    EXPECT_EQ(o.os.Read(o.handle, buffer, 2).count, 2);
    EXPECT_EQ(o.os.NowMs(), 1300);
    EXPECT_EQ(o.os.Read(o.handle, buffer, 16).count, 1);  // the rest of that transfer
    EXPECT_EQ(o.os.Read(o.handle, buffer, 16).count, 1);
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(o.os.NowMs(), 1301);
}

TEST(VirtualPlatform, RecordsAPrinterExchangeAndHonoursSlowReplies) {
    auto printer = std::make_shared<SimulatedPrinterDevice>(1, 19200);
    VirtualPlatform os;
    os.AddDevice("COM1", printer);
    ScopedPlatform scoped(os);
    auto& current = platform::Current();
    ASSERT_EQ(&current, &os);

    // The ports open the mapped device path; the port name finds the device too.
    const std::string path = platform::DevicePathForPort("COM1");
    const DeviceHandle h = current.OpenDevice(path);
    ASSERT_NE(h, platform::kNoDevice);
    EXPECT_TRUE(os.IsOpen("COM1"));
    EXPECT_EQ(current.OpenDevice("COM1"), platform::kNoDevice) << "open is exclusive";
    EXPECT_TRUE(current.ApplyLineSettings(h, {19200, 8, 0, 0, 0}));
    EXPECT_FALSE(current.ApplyLineSettings(h, {12345, 8, 0, 0, 0}));
    current.SetTimeouts(h, kLineTimeouts);
    current.Purge(h);

    const std::uint8_t query[] = {0x1D, 0x49, 0x01};
    EXPECT_EQ(current.Write(h, query, 3).count, 3);
    current.Pause(100);
    std::uint8_t byte = 0;
    EXPECT_EQ(current.Read(h, &byte, 1).count, 1);
    EXPECT_EQ(byte, 0x2E);

    printer->Printer().SetReplyDelayMs(150);
    current.Write(h, query, 3);
    current.Pause(100);
    EXPECT_EQ(current.Read(h, &byte, 1).count, 0);  // not there yet
    current.Pause(100);
    current.Purge(h);  // the late byte is on the wire now and goes
    EXPECT_EQ(current.Read(h, &byte, 1).count, 0);
    current.Flush(h);
    current.CancelIo(h);
    current.CloseDevice(h);
    EXPECT_FALSE(os.IsOpen("COM1"));

    EXPECT_EQ(os.Transcript(), (Lines{"open " + path, "open COM1 failed",
                                      "settings 19200 8 0 0 0", "settings 12345 8 0 0 0 refused",
                                      "timeouts 10 10 10 0 0", "purge", "write 1D 49 01",
                                      "pause 100", "read 1 -> 1: 2E", "write 1D 49 01",
                                      "pause 100", "read 1 -> 0", "pause 100", "purge",
                                      "read 1 -> 0", "flush", "cancel", "close"}));
    EXPECT_EQ(os.Exchange(), (Lines{"write 1D 49 01", "pause 100", "read 1 -> 1: 2E",
                                    "write 1D 49 01", "pause 100", "read 1 -> 0", "pause 100",
                                    "read 1 -> 0"}));
}

TEST(VirtualPlatform, FaultKnobs) {
    auto printer = std::make_shared<SimulatedPrinterDevice>(0);
    VirtualPlatform os;
    os.AddDevice("/dev/usb/lp0", printer);
    os.RefuseLineSettings("/dev/usb/lp0");
    os.SetWriteLimit("/dev/usb/lp0", 1);

    DeviceHandle h = os.OpenDevice("/dev/usb/lp0");
    ASSERT_NE(h, platform::kNoDevice);
    EXPECT_FALSE(os.ApplyLineSettings(h, {}));
    const std::uint8_t init[] = {0x1B, 0x40};
    auto written = os.Write(h, init, 2);
    EXPECT_FALSE(written.ok);
    EXPECT_EQ(written.count, 1);
    EXPECT_EQ(os.NowMs(), platform::kWriteStallMs) << "a stalled write waits like the real one";
    os.SetWriteLimit("/dev/usb/lp0", -1);

    // A pulled cable: transfers move nothing and say so; reopening fails.
    os.Unplug("/dev/usb/lp0");
    written = os.Write(h, init, 2);
    EXPECT_TRUE(written.hangUp);
    EXPECT_EQ(written.count, 0);
    std::uint8_t buffer[4];
    const auto read = os.Read(h, buffer, 4);
    EXPECT_TRUE(read.hangUp);
    EXPECT_EQ(os.NowMs(), platform::kWriteStallMs) << "a hang-up is noticed at once";
    os.CloseDevice(h);
    EXPECT_EQ(os.OpenDevice("/dev/usb/lp0"), platform::kNoDevice);
    os.Replug("/dev/usb/lp0");
    h = os.OpenDevice("/dev/usb/lp0");
    ASSERT_NE(h, platform::kNoDevice);

    // The printer's own unplugged fault hangs up the same way; removal too.
    printer->Printer().SetUnplugged(true);
    EXPECT_TRUE(os.Write(h, init, 2).hangUp);
    printer->Printer().SetUnplugged(false);
    os.RemoveDevice("/dev/usb/lp0");
    EXPECT_TRUE(os.Read(h, buffer, 4).hangUp);

    EXPECT_EQ(os.Exchange(), (Lines{"write 1B 40 -> 1", "write 1B 40 -> 0", "read 4 -> 0",
                                    "write 1B 40 -> 0", "read 4 -> 0"}));
}

}  // namespace
}  // namespace talq::test
