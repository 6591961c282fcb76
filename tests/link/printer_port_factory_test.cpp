#include <gtest/gtest.h>

#include "link/printer_port.h"

namespace talq::link {
namespace {

PortSettings Named(const std::string& name) {
    PortSettings settings;
    settings.portName = name;
    settings.baudRate = 19200;
    settings.dataBits = 8;
    return settings;
}

TEST(PrinterPortFactory, KindComesFromTheNameWithComAndLptFirst) {
    PrinterPort port;
    EXPECT_EQ(port.Configure(Named("COM1")), 1);
    EXPECT_EQ(port.kind, Serial);
    ASSERT_NE(port.serial(), nullptr);
    EXPECT_EQ(port.serial()->name, "COM1");
    EXPECT_EQ(port.serial()->baudRate, 19200);

    EXPECT_EQ(port.Configure(Named("LPT2")), 1);
    EXPECT_EQ(port.kind, Parallel);
    ASSERT_NE(port.parallel(), nullptr);
    EXPECT_EQ(port.parallel()->name, "LPT2");

    // "COM" wins even when "520" follows.
    EXPECT_EQ(port.Configure(Named("COM520")), 1);
    EXPECT_EQ(port.kind, Serial);

    EXPECT_EQ(port.Configure(Named("520plus:/dev/usb/lp0")), 1);
    EXPECT_EQ(port.kind, Usb);
    ASSERT_NE(port.usb(), nullptr);
    EXPECT_EQ(port.usb()->devicePath, "/dev/usb/lp0");

    EXPECT_EQ(port.Configure(Named("540/542:/dev/usb/lp3")), 1);
    EXPECT_EQ(port.usb()->devicePath, "/dev/usb/lp3");
}

TEST(PrinterPortFactory, NamesOfNoKindOrRefusedLeaveWhatTheyShould) {
    PrinterPort port;
    // Lower case is of no kind: nothing is built.
    EXPECT_EQ(port.Configure(Named("com1")), 0);
    EXPECT_FALSE(port.HasConnection());
    EXPECT_EQ(port.Configure(Named("")), 0);
    EXPECT_FALSE(port.HasConnection());
    EXPECT_EQ(port.Configure(Named("CO")), 0);
    EXPECT_FALSE(port.HasConnection());

    // A label without a path is refused, but the object stays until Close.
    EXPECT_EQ(port.Configure(Named("540/542:")), 0);
    EXPECT_EQ(port.kind, Usb);
    EXPECT_TRUE(port.HasConnection());
    port.Close();
    EXPECT_FALSE(port.HasConnection());
    port.Close();  // a second Close does nothing

    // Nothing open: transfers move nothing.
    std::uint8_t byte = 0;
    EXPECT_EQ(port.Open(), 0);
    EXPECT_EQ(port.Write(&byte, 1), 0);
    EXPECT_EQ(port.Read(&byte, 1, 1000), 0);
}

TEST(PrinterPortFactory, ParallelPortTakesOnlyLptNamesAndNoLineSettings) {
    ParallelPort port;
    EXPECT_EQ(port.SetSettings(Named("COM1")), 0);
    EXPECT_EQ(port.SetSettings(Named("")), 0);
    EXPECT_EQ(port.name, "");
    EXPECT_EQ(port.SetSettings(Named("LPT1")), 1);
    EXPECT_EQ(port.name, "LPT1");
    EXPECT_EQ(port.baudRate, 0);
    EXPECT_EQ(port.timeouts.readIntervalMs, 10u);

    SerialPort serial;
    EXPECT_EQ(serial.SetSettings(Named("")), 0);
    EXPECT_EQ(serial.baudRate, 19200);  // copied even when the name is refused
    EXPECT_EQ(serial.name, "");
}

}  // namespace
}  // namespace talq::link
