// The connection dialog over USB on the real backend under umockdev: the
// fall-back to SERIAL with no printer, the USB list with one, and a connection
// that follows its printer out and back in while the dialog is idle.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "gui/dialog_state.h"
#include "ui/support/prompt_recorder.h"
#include "ui/support/ui_driver.h"
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

// Runs the UI thread's queue until `done` holds, for at most `ms` milliseconds; true if it does.
bool WaitFor(const std::function<bool()>& done, int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        test::ProcessEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

struct UsbDialog : ::testing::Test {
    UsbDialog() { dialog.Show(); }
    ListState List(int id) const { return StateOf(dialog.window(), id); }
    void Click(int id) { test::Press(dialog.window(), id); }

    usbtest::UsbTestbed bed;  // before any monitor
    test::PromptRecorder prompts;
    MainDialog dialog;
};

TEST_F(UsbDialog, WithNoPrinterFallsBackToSerial) {
    Click(kIdUsb);
    EXPECT_EQ(
        prompts.messages,
        (std::vector<Message>{{"Printer is not connected by USB.\nPlease, turn on the printer!!",
                               MessageIcon::Information}}));
    EXPECT_EQ(CheckedInterface(dialog), "SERIAL");
    EXPECT_EQ(List(kIdPortList), (ListState{test::kComPorts, "COM1", true}));
    EXPECT_TRUE(dialog.window().IsEnabled(kIdBaudList));
}

TEST_F(UsbDialog, ConnectionFollowsItsPrinterOutAndBackIn) {
    const std::string device = bed.AddUsbDevice("1", 0x7c1a, 0x0006, 0);
    usbtest::PrinterOnNode printer(0, bed.PrinterFd("/dev/usb/lp0"));
    Click(kIdUsb);
    EXPECT_EQ(List(kIdPortList),
              (ListState{{"520plus:/dev/usb/lp0"}, "520plus:/dev/usb/lp0", true}));
    EXPECT_FALSE(dialog.window().IsEnabled(kIdBaudList));
    Click(kIdCheckCommunication);
    ASSERT_EQ(prompts.messages,
              (std::vector<Message>{{"Printer is connected.", MessageIcon::Information}}));
    link::UsbPort* usb = dialog.port.usb();
    ASSERT_NE(usb, nullptr);

    // Unplugged and back while the dialog waits for the user.
    bed.Uevent(usbtest::UsbTestbed::PrinterSyspath("1", 0), "remove");
    EXPECT_TRUE(WaitFor([usb] { return usb->deviceState == -1; }, 3000));
    bed.Uevent(device, "add");
    EXPECT_TRUE(WaitFor([usb] { return usb->deviceState == 1; }, 3000));
    EXPECT_EQ(Buttons(dialog), "011");

    Click(kIdSelfTest);
    Click(kIdSerial);  // drops the connection: the watch ends before the port closes
    EXPECT_FALSE(dialog.connected);
    EXPECT_EQ(printer.StopAndInspect().TestPrintCount(), 1);
    EXPECT_EQ(prompts.messages.size(), 1u);
}

}  // namespace
}  // namespace talq::gui
