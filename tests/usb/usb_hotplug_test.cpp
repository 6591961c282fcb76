#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "link/printer_port.h"
#include "link/usb_notify_window.h"
#include "link/usb_port.h"
#include "support/scoped_platform.h"
#include "usb/counting_platform.h"
#include "usb/usb_testbed.h"

namespace talq::usbtest {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A printer of the maker on /dev/usb/lp0, connected as the connection dialog
// would connect it, over the real POSIX backend.
class UsbHotplug : public testing::Test {
  protected:
    void SetUp() override {
        printerSyspath_ = bed_.AddUsbDevice("1", 0x7c1a, 0x0006, 0);
        link::PortSettings settings;
        settings.portName = "520plus:/dev/usb/lp0";
        ASSERT_EQ(port_.Configure(settings), 1);
        ASSERT_EQ(port_.Open(), 1);
        usb_ = port_.usb();
        ASSERT_NE(usb_, nullptr);
        printer_ = bed_.PrinterFd("/dev/usb/lp0");
    }

    // Runs the event loop's part: waits for the monitor, then delivers.
    void DeliverNotices() {
        ASSERT_TRUE(WaitReadable(usb_->notifyWindow.fd(), 2000));
        usb_->notifyWindow.OnReadable();
    }

    Bytes PrinterReceives(std::size_t count) {
        Bytes got;
        std::uint8_t buffer[64];
        while (got.size() < count && WaitReadable(printer_, 2000)) {
            const ssize_t n = ::read(printer_, buffer, sizeof buffer);
            if (n <= 0) break;
            got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }

    int Write(const Bytes& bytes) {
        return port_.Write(bytes.data(), static_cast<int>(bytes.size()));
    }

    UsbTestbed bed_;  // before any monitor
    CountingPlatform os_;
    test::ScopedPlatform installed_{os_};
    link::PrinterPort port_;
    link::UsbPort* usb_ = nullptr;
    int printer_ = -1;
    std::string printerSyspath_;
};

TEST_F(UsbHotplug, TransfersThroughTheConfiguredNode) {
    const Bytes query{0x1D, 0x49, 0x01};
    EXPECT_EQ(Write(query), 3);
    EXPECT_EQ(PrinterReceives(3), query);

    const std::uint8_t reply = 0x20;
    ASSERT_EQ(::write(printer_, &reply, 1), 1);
    std::uint8_t buffer[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(port_.Read(buffer, 4, 1000), 1);
    EXPECT_EQ(buffer[0], 0x20);
    EXPECT_EQ(buffer[1], 0xEE);

    // A printer that never answers: the read ends, within the platform's bound.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port_.Read(buffer, 1, 1000), 0);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(platform::kUntimedReadMs - 100));
    EXPECT_LT(waited, std::chrono::milliseconds(platform::kUntimedReadMs + 500));
}

TEST_F(UsbHotplug, UnplugAndReturnKeepTheConnection) {
    // Another printer coming and going leaves this connection alone.
    bed_.AddUsbDevice("2", 0x7c1a, 0x0004, 1);
    DeliverNotices();
    bed_.Uevent(UsbTestbed::PrinterSyspath("2", 1), "remove");
    DeliverNotices();
    EXPECT_EQ(usb_->deviceState, 1);
    const int opensWhileOpen = os_.opens;

    bed_.Uevent(UsbTestbed::PrinterSyspath("1", 0), "remove");
    DeliverNotices();
    EXPECT_EQ(usb_->deviceState, -1);
    EXPECT_EQ(usb_->deviceHandle, platform::kNoDevice);
    EXPECT_TRUE(usb_->isOpen);
    EXPECT_EQ(os_.opens, opensWhileOpen);
    EXPECT_EQ(Write({0x1B, 0x40}), 0);
    std::uint8_t buffer[1];
    EXPECT_EQ(port_.Read(buffer, 1, 1000), 0);

    // A notice without a record changes nothing.
    EXPECT_EQ(usb_->notifyWindow.OnDeviceChange(link::kDeviceArrival, nullptr), 1u);
    EXPECT_EQ(os_.opens, opensWhileOpen);
    EXPECT_EQ(usb_->deviceState, -1);

    // Another device arrives while the printer's node cannot be opened: one
    // attempt for the notice, one for the arrival; still removed.
    const platform::DeviceHandle elsewhere = os_.real.OpenDevice("/dev/usb/lp0");
    ASSERT_NE(elsewhere, platform::kNoDevice);
    bed_.AddUsbDevice("3", 0x046d, 0xc077);
    DeliverNotices();
    os_.real.CloseDevice(elsewhere);
    EXPECT_EQ(os_.opens, opensWhileOpen + 2);
    EXPECT_EQ(usb_->deviceState, -1);

    // The printer comes back: same node, same connection, no new Configure.
    bed_.Uevent(printerSyspath_, "add");
    DeliverNotices();
    EXPECT_EQ(usb_->deviceState, 1);
    EXPECT_NE(usb_->deviceHandle, platform::kNoDevice);
    EXPECT_EQ(Write({0x1B, 0x40}), 2);
    EXPECT_EQ(PrinterReceives(2), (Bytes{0x1B, 0x40}));

    // And it is watched again: a second unplug is noticed. On a real bus the
    // printer node appears after its device; its arrival reopens too.
    bed_.Uevent(UsbTestbed::PrinterSyspath("1", 0), "remove");
    DeliverNotices();
    EXPECT_EQ(usb_->deviceState, -1);
    bed_.Uevent(UsbTestbed::PrinterSyspath("1", 0), "add");
    DeliverNotices();
    EXPECT_EQ(usb_->deviceState, 1);
    EXPECT_EQ(Write({0x1B, 0x40}), 2);
    EXPECT_EQ(PrinterReceives(2), (Bytes{0x1B, 0x40}));
    port_.Close();
}

TEST_F(UsbHotplug, RemovalRequestIsRefusedAndCloseFollowsARemoval) {
    link::UsbNotifyWindow& window = usb_->notifyWindow;
    const link::DeviceChangeRecord ours{link::kDeviceTypeHandle, usb_->deviceHandle};
    const link::DeviceChangeRecord other{link::kDeviceTypeHandle, usb_->deviceHandle + 100};
    EXPECT_EQ(window.OnDeviceChange(link::kDeviceQueryRemove, &ours), link::kBroadcastQueryDeny);
    EXPECT_EQ(window.OnDeviceChange(link::kDeviceQueryRemove, &other), 1u);
    EXPECT_EQ(window.OnDeviceChange(link::kDeviceQueryRemoveFailed, &ours), 1u);
    EXPECT_EQ(window.OnDeviceChange(link::kDeviceRemoveComplete, &other), 1u);
    EXPECT_EQ(usb_->deviceState, 1);

    EXPECT_EQ(window.OnDeviceChange(link::kDeviceRemovePending, &ours), 1u);
    EXPECT_EQ(usb_->deviceState, -1);
    EXPECT_EQ(usb_->handleNotification, link::kNoNotification);

    link::UsbPort& usb = *usb_;
    usb.Close();
    EXPECT_FALSE(usb.isOpen);
    EXPECT_EQ(usb.deviceHandle, platform::kNoDevice);
    EXPECT_EQ(usb.interfaceNotification, link::kNoNotification);
    EXPECT_EQ(window.fd(), -1);
    EXPECT_EQ(usb.Write(reinterpret_cast<const std::uint8_t*>("\x1b@"), 2), 0);

    // The node is free again for the next connection.
    const platform::DeviceHandle next = os_.real.OpenDevice("/dev/usb/lp0");
    EXPECT_NE(next, platform::kNoDevice);
    os_.real.CloseDevice(next);
}

}  // namespace
}  // namespace talq::usbtest
