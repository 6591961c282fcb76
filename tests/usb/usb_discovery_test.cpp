#include "link/usb_discovery.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "link/printer_port.h"
#include "platform/platform.h"
#include "platform/usb_bus.h"
#include "support/scoped_platform.h"
#include "usb/usb_testbed.h"

namespace talq::usbtest {
namespace {

using Entries = std::vector<std::string>;

struct Scan {
    Entries entries;
    std::string output;
};

link::PortSettings Named(const std::string& portName) {
    link::PortSettings settings;
    settings.portName = portName;
    return settings;
}

Scan RunDiscovery() {
    link::PortList list;
    testing::internal::CaptureStdout();
    link::FindUsbPrinters(list);
    return {list.entries(), testing::internal::GetCapturedStdout()};
}

TEST(UsbDiscovery, ListsOnlyTheMakersPrintersByModelGroupInScanOrder) {
    UsbTestbed bed;
    EXPECT_EQ(RunDiscovery().entries, Entries{});

    bed.AddUsbDevice("1", 0x046d, 0xc077);     // a mouse: no printer node
    bed.AddUsbDevice("2", 0x7c1a, 0x0006, 0);  // KTV-520plus
    bed.AddUsbDevice("3", 0x7c1a, 0x0002, 1);  // the maker, not a printer it lists
    bed.AddUsbDevice("4", 0x04b8, 0x0006, 2);  // another vendor's printer
    bed.AddUsbDevice("5", 0x7c1a, 0x0004, 3);  // KTV-540/542
    bed.AddUsbDevice("6", 0x7c1a, 0x0001, 4);  // KTV-540/542, older product id

    const Scan scan = RunDiscovery();
    EXPECT_EQ(scan.entries,
              (Entries{"520plus:/dev/usb/lp0", "540/542:/dev/usb/lp3", "540/542:/dev/usb/lp4"}));
    // Every device with a node is probed; the mouse has nothing to open.
    EXPECT_EQ(scan.output,
              "Attempting to open /dev/usb/lp0\nAttempting to open /dev/usb/lp1\n"
              "Attempting to open /dev/usb/lp2\nAttempting to open /dev/usb/lp3\n"
              "Attempting to open /dev/usb/lp4\n");

    // Discovery holds no device afterwards: the entry opens as a connection.
    link::PrinterPort port;
    ASSERT_EQ(port.Configure(Named("520plus:/dev/usb/lp0")), 1);
    EXPECT_EQ(port.Open(), 1);
    port.Close();
}

TEST(UsbDiscovery, PrinterHeldOpenElsewhereIsNotListed) {
    UsbTestbed bed;
    bed.AddUsbDevice("1", 0x7c1a, 0x0006, 0);
    bed.AddUsbDevice("2", 0x7c1a, 0x0004, 1);
    auto& os = platform::Current();
    const platform::DeviceHandle held = os.OpenDevice("/dev/usb/lp0");
    ASSERT_NE(held, platform::kNoDevice);

    const Scan scan = RunDiscovery();
    os.CloseDevice(held);
    EXPECT_EQ(scan.entries, Entries{"540/542:/dev/usb/lp1"});
    EXPECT_NE(scan.output.find("FAILED to open /dev/usb/lp0\n"), std::string::npos);
    EXPECT_EQ(scan.output.find("FAILED to open /dev/usb/lp1"), std::string::npos);
}

// Ten USB devices, a printer of the maker at index 9 and, when asked, an
// openable device of another vendor at index 2.
void AddTenDevices(UsbTestbed& bed, bool openableAtTwo) {
    for (int i = 0; i < 10; ++i) {
        const std::string port = std::to_string(i);
        if (i == 9) {
            bed.AddUsbDevice(port, 0x7c1a, 0x0006, 9);
        } else {
            bed.AddUsbDevice(port, 0x0bda, static_cast<std::uint16_t>(0x100 + i),
                             (i == 2 && openableAtTwo) ? 2 : -1);
        }
    }
}

TEST(UsbDiscovery, ScanEndsWithThePassInWhichSomeDeviceOpened) {
    {
        // Nothing openable among the first eight: the next pass reaches index 9.
        UsbTestbed bed;
        AddTenDevices(bed, false);
        EXPECT_EQ(RunDiscovery().entries, Entries{"520plus:/dev/usb/lp9"});
    }
    UsbTestbed bed;
    AddTenDevices(bed, true);
    const auto devices = platform::CurrentUsbBus().PresentDevices();
    ASSERT_TRUE(devices.has_value());
    ASSERT_EQ(devices->size(), 10u);
    ASSERT_EQ((*devices)[2].devnode, "/dev/usb/lp2");
    ASSERT_EQ((*devices)[9].devnode, "/dev/usb/lp9");
    // The device at index 2 opened: the scan ends after index 7.
    const Scan scan = RunDiscovery();
    EXPECT_EQ(scan.entries, Entries{});
    EXPECT_EQ(scan.output, "Attempting to open /dev/usb/lp2\n");
}

// A bus whose device set is scripted.
class ScriptedUsbBus final : public platform::UsbBus {
  public:
    std::optional<std::vector<platform::UsbDeviceInfo>> PresentDevices() override {
        return devices;
    }
    std::unique_ptr<platform::UsbMonitor> Watch() override { return nullptr; }
    std::optional<std::vector<platform::UsbDeviceInfo>> devices;
};

TEST(UsbDiscovery, NoDeviceSetEndsTheScanEmpty) {
    ScriptedUsbBus bus;  // devices: nullopt
    test::ScopedUsbBus installed(bus);
    const auto start = std::chrono::steady_clock::now();
    const Scan scan = RunDiscovery();
    EXPECT_EQ(scan.entries, Entries{});
    EXPECT_EQ(scan.output, "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(UsbDiscovery, LongDevicePathIsHeldWhole) {
    // A node path of more than 255 characters, made of directories.
    char base[] = "/tmp/talq-usb-XXXXXX";
    ASSERT_NE(::mkdtemp(base), nullptr);
    std::string path = base;
    std::vector<std::string> dirs;
    while (path.size() < 300) {
        path += "/" + std::string(60, 'd');
        ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
        dirs.push_back(path);
    }
    path += "/lp0";
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);

    ScriptedUsbBus bus;
    bus.devices = std::vector<platform::UsbDeviceInfo>{{"/sys/x/1-1", path, 0x7c1a, 0x0004}};
    test::ScopedUsbBus installed(bus);
    const Scan scan = RunDiscovery();
    ASSERT_EQ(scan.entries, Entries{"540/542:" + path});

    link::PrinterPort port;
    ASSERT_EQ(port.Configure(Named(scan.entries[0])), 1);
    EXPECT_EQ(port.usb()->devicePath, path);

    ::unlink(path.c_str());
    for (auto it = dirs.rbegin(); it != dirs.rend(); ++it) ::rmdir(it->c_str());
    ::rmdir(base);
}

}  // namespace
}  // namespace talq::usbtest
