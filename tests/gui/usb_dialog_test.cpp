// The connection dialog over USB on the real backend under umockdev: the
// fall-back to SERIAL with no printer, the USB list with one, and a connection
// that follows its printer out and back in while the dialog is idle.
#include <gtest/gtest.h>

#include "gui/dialog_state.h"
#include "ui/support/prompt_recorder.h"
#include "ui/support/widget_actions.h"
#include "usb/printer_on_node.h"
#include "usb/usb_testbed.h"

namespace talq::gui {
namespace {

using Message = test::PromptRecorder::Message;
using test::Buttons;
using test::CheckedInterface;
using test::ListState;
using test::StateOf;
using ui::MessageIcon;

struct UsbDialog : ::testing::Test {
    UsbDialog() { dialog.show(); }
    QComboBox& List(int id) { return *dialog.ItemAs<QComboBox>(id); }
    void Click(int id) { test::Click(*dialog.Item(id)); }

    usbtest::UsbTestbed bed;  // before any monitor
    test::PromptRecorder prompts;
    MainDialog dialog;
};

TEST_F(UsbDialog, WithNoPrinterFallsBackToSerial) {
    Click(kIdUsb);
    EXPECT_EQ(prompts.messages,
              (std::vector<Message>{{"Printer is not connected by USB.\nPlease, turn on the printer!!",
                                    MessageIcon::Information}}));
    EXPECT_EQ(CheckedInterface(dialog), "SERIAL");
    EXPECT_EQ(StateOf(List(kIdPortList)), (ListState{test::kComPorts, "COM1", true}));
    EXPECT_TRUE(List(kIdBaudList).isEnabled());
}

TEST_F(UsbDialog, ConnectionFollowsItsPrinterOutAndBackIn) {
    const std::string device = bed.AddUsbDevice("1", 0x7c1a, 0x0006, 0);
    usbtest::PrinterOnNode printer(0, bed.PrinterFd("/dev/usb/lp0"));
    Click(kIdUsb);
    EXPECT_EQ(StateOf(List(kIdPortList)), (ListState{{"520plus:/dev/usb/lp0"}, "520plus:/dev/usb/lp0", true}));
    EXPECT_FALSE(List(kIdBaudList).isEnabled());
    Click(kIdCheckCommunication);
    ASSERT_EQ(prompts.messages,
              (std::vector<Message>{{"Printer is connected.", MessageIcon::Information}}));
    link::UsbPort* usb = dialog.port.usb();
    ASSERT_NE(usb, nullptr);

    // Unplugged and back while the dialog waits for the user.
    bed.Uevent(usbtest::UsbTestbed::PrinterSyspath("1", 0), "remove");
    EXPECT_TRUE(QTest::qWaitFor([usb] { return usb->deviceState == -1; }, 3000));
    bed.Uevent(device, "add");
    EXPECT_TRUE(QTest::qWaitFor([usb] { return usb->deviceState == 1; }, 3000));
    EXPECT_EQ(Buttons(dialog), "011");

    Click(kIdSelfTest);
    Click(kIdSerial);  // drops the connection: the watch ends before the port closes
    EXPECT_FALSE(dialog.connected);
    EXPECT_EQ(printer.StopAndInspect().TestPrintCount(), 1);
    EXPECT_EQ(prompts.messages.size(), 1u);
}

}  // namespace
}  // namespace talq::gui
