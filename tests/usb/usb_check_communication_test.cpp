// A whole Check Communication and Get Status over a USB printer node against
// the simulated printer: block-mode reads on the real backend.
#include <gtest/gtest.h>

#include "setup/check_communication.h"
#include "status/status_exchanges.h"
#include "support/recording_sink.h"
#include "usb/printer_on_node.h"
#include "usb/usb_testbed.h"

namespace talq::usbtest {
namespace {

TEST(UsbCheckCommunication, IdentifiesAndReadsThePrinterInBlockMode) {
    UsbTestbed bed;
    bed.AddUsbDevice("1", 0x7c1a, 0x0006, 0);
    PrinterOnNode printer(0, bed.PrinterFd("/dev/usb/lp0"));

    link::PrinterPort port;
    link::PortSettings settings;
    settings.portName = "520plus:/dev/usb/lp0";
    test::RecordingSink sink;
    ASSERT_EQ(setup::CheckCommunication(port, settings, link::Usb, 0, sink),
              setup::CheckResult::Connected);
    EXPECT_EQ(sink.messages.back().text, "Printer is connected.");

    status::PrinterStatus record{};
    status::PrinterInfo info;
    ASSERT_EQ(status::GetStatus({port, link::Usb, 0}, record, info, sink),
              status::ExchangeResult::Success);
    EXPECT_EQ(info.modelName, "KTV-520plus");
    EXPECT_EQ(info.baudIndex, 3);
    port.Close();
}

}  // namespace
}  // namespace talq::usbtest
