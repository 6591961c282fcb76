// Run Manager end to end: from an identified connection in the connection
// dialog to the status dialog and back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "gui/dialog_state.h"
#include "gui/status_dialog.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "ui/support/prompt_recorder.h"
#include "ui/support/widget_actions.h"

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
    dialog.show();
    test::Choose(*dialog.ItemAs<QComboBox>(kIdModelList), 1);
    test::Click(*dialog.Item(kIdCheckCommunication));
    ASSERT_TRUE(dialog.connected);

    // Exit, Escape and Enter end the three runs: each dialog is released when its run ends.
    std::vector<QPointer<StatusDialog>> opened;
    const auto run = [&](const std::function<void(StatusDialog&)>& end) {
        prompts.AnswerModal([&, end](QDialog& modal) {
            auto& status = dynamic_cast<StatusDialog&>(modal);
            opened.push_back(&status);
            EXPECT_EQ(dialog.statusDialog, &status);
            EXPECT_EQ(QApplication::activeModalWidget(), &status);
            EXPECT_EQ(status.parentWidget(), &dialog);
            EXPECT_EQ(status.model, 1);
            EXPECT_EQ(status.portKind, link::Serial);
            EXPECT_EQ(status.port, &dialog.port);
            // No button is the default; Enter presses the one that has the focus.
            for (auto* button : status.findChildren<QPushButton*>()) EXPECT_FALSE(button->isDefault());
            QWidget& get = *status.Item(StatusDialog::kGetStatusId);
            get.setFocus();
            test::PressKey(get, Qt::Key_Return);
            end(status);
        });
        test::Click(*dialog.Item(kIdRunManager));
    };
    run([](StatusDialog& status) { test::Click(*status.Item(StatusDialog::kExitId)); });
    run([](StatusDialog& status) { test::PressKey(status, Qt::Key_Escape); });
    run([](StatusDialog& status) {
        // Enter where no push button has the focus.
        QWidget& tabs = *status.tabs.widget()->tabBar();
        tabs.setFocus();
        test::PressKey(tabs, Qt::Key_Return);
        EXPECT_EQ(status.result(), 1);
    });

    ASSERT_EQ(opened.size(), 3u);
    for (const auto& released : opened) EXPECT_TRUE(released.isNull());
    EXPECT_EQ(dialog.statusDialog, nullptr);
    EXPECT_TRUE(dialog.connected);
    EXPECT_TRUE(os.IsOpen("COM1"));
    EXPECT_EQ(test::Buttons(dialog), "011");
    // A fresh dialog reads the printer's texts again.
    const Message got{"Success to get status of printer.", ui::MessageIcon::Information};
    EXPECT_EQ(prompts.messages, (std::vector<Message>{{"Printer is connected.",
                                                       ui::MessageIcon::Information},
                                                      got, got, got}));
    EXPECT_EQ(device->Printer().InitializeCount(), 4);
}

}  // namespace
}  // namespace talq::gui
