// Run Manager end to end: from an identified connection in the connection
// dialog to the status dialog and back.
#include <gtest/gtest.h>

#include "gui/dialog_state.h"
#include "gui/status_dialog.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "ui/support/prompt_recorder.h"
#include "ui/support/ui_driver.h"

namespace talq::gui {
namespace {

using Message = test::PromptRecorder::Message;

TEST(RunManager, OpensTheStatusDialogOverTheConnectionDialogAndReturnsWithTheConnectionOpen) {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    auto device = std::make_shared<test::SimulatedPrinterDevice>(1);
    os.AddDevice("COM1", device);
    test::PromptRecorder prompts;
    MainDialog dialog;
    dialog.Show();
    test::Choose(dialog.window(), kIdModelList, 1);
    test::Press(dialog.window(), kIdCheckCommunication);
    ASSERT_TRUE(dialog.connected);

    // Exit, Escape and Enter end the three runs: each dialog is released when its run ends.
    int opened = 0;
    const auto run = [&](const std::function<void(ui::Window&)>& end) {
        prompts.AnswerModal([&, end](ui::Dialog& modal) {
            auto& status = dynamic_cast<StatusDialog&>(modal);
            ++opened;
            EXPECT_EQ(dialog.statusDialog, &status);
            EXPECT_EQ(status.model, 1);
            EXPECT_EQ(status.portKind, link::Serial);
            EXPECT_EQ(status.port, &dialog.port);
            // No button is the default: Enter presses the one that has the focus.
            test::Focus(status.window(), StatusDialog::kGetStatusId);
            test::PressKey(status.window(), test::Key::Enter);
            end(status.window());
        });
        test::Press(dialog.window(), kIdRunManager);
        EXPECT_EQ(dialog.statusDialog, nullptr);
    };
    run([](ui::Window& status) { test::Press(status, StatusDialog::kExitId); });
    run([](ui::Window& status) { test::PressKey(status, test::Key::Escape); });
    run([](ui::Window& status) {
        // Enter where no push button has the focus.
        test::Focus(status, StatusDialog::kTabsId);
        test::PressKey(status, test::Key::Enter);
    });

    EXPECT_EQ(opened, 3);
    EXPECT_EQ(prompts.modalResults, (std::vector<int>{ui::kIdCancel, ui::kIdCancel, ui::kIdOk}));
    EXPECT_TRUE(dialog.connected);
    EXPECT_TRUE(os.IsOpen("COM1"));
    EXPECT_EQ(test::Buttons(dialog), "011");
    // A fresh dialog reads the printer's texts again.
    const Message got{"Success to get status of printer.", ui::MessageIcon::Information};
    EXPECT_EQ(prompts.messages,
              (std::vector<Message>{
                  {"Printer is connected.", ui::MessageIcon::Information}, got, got, got}));
    EXPECT_EQ(device->Printer().InitializeCount(), 4);
}

}  // namespace
}  // namespace talq::gui
