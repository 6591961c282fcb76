// A status dialog on an identified connection to a simulated printer in
// virtual time, shown on the offscreen platform, with every prompt answered
// by a recorder.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "gui/status_dialog.h"
#include "support/com_port.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "ui/support/prompt_recorder.h"
#include "ui/support/widget_actions.h"

namespace talq::test {

using gui::MemorySwitchPage;
using gui::PrinterSettingPage;
using gui::StatusDialog;

// A click on a radio button's indicator, where it takes clicks whatever its caption's length.
inline void ClickRadio(QWidget& radio) {
    QTest::mouseClick(&radio, Qt::LeftButton, Qt::NoModifier, QPoint(6, radio.height() / 2));
}

struct StatusDialogTest : ::testing::Test {
    VirtualPlatform os;
    ScopedPlatform scoped{os};
    std::shared_ptr<SimulatedPrinterDevice> device;
    link::PrinterPort port;
    PromptRecorder prompts;
    std::unique_ptr<StatusDialog> dialog;

    // Opens the dialog as Run Manager does, on a printer of `model` behind COM1.
    void Open(int model) {
        device = std::make_shared<SimulatedPrinterDevice>(model);
        os.AddDevice("COM1", device);
        ASSERT_TRUE(OpenCom(port, "COM1"));
        ShowDialog(model);
    }
    // A fresh dialog on the same connection, as a second Run Manager makes.
    void Reopen() { ShowDialog(dialog->model); }
    void ShowDialog(int model) {
        dialog.reset();
        dialog = std::make_unique<StatusDialog>();
        dialog->port = &port;
        dialog->portKind = link::Serial;
        dialog->model = model;
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    // The user picks tab `index`.
    void SelectTab(int index) {
        QTabBar& bar = *dialog->tabs.widget()->tabBar();
        QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, bar.tabRect(index).center());
    }

    sim::SimulatedPrinter& Printer() { return device->Printer(); }
    MemorySwitchPage& SwitchPage() { return *dialog->tabs.switchPage; }
    PrinterSettingPage& SettingPage() { return *dialog->tabs.settingPage; }

    void Press(int id) { Click(*dialog->Item(id)); }
    void Next() { Click(*SwitchPage().Item(MemorySwitchPage::kNextId)); }
    void Back() { Click(*SwitchPage().Item(MemorySwitchPage::kBackId)); }
    void ClickPin(int pin, int value) {
        ClickRadio(*SwitchPage().Item(value == 0 ? MemorySwitchPage::LeftButtonId(pin)
                                                 : MemorySwitchPage::RightButtonId(pin)));
    }
    QComboBox& List(int id) { return *qobject_cast<QComboBox*>(SettingPage().Item(id)); }
    std::string Text(QWidget* widget) {
        if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdString();
        return qobject_cast<QAbstractButton*>(widget)->text().toStdString();
    }
    std::string SwitchNumberShown() { return Text(SwitchPage().Item(MemorySwitchPage::kSwitchNumberId)); }

    // The enabled buttons among 1002..1007.
    std::vector<int> EnabledButtons() {
        std::vector<int> enabled;
        for (int id = StatusDialog::kGetStatusId; id <= StatusDialog::kExitId; ++id) {
            if (dialog->Item(id)->isEnabled()) enabled.push_back(id);
        }
        return enabled;
    }

    // What the memory switch page shows, per pin: "-" reserved, else the checked button
    // (0 left, 1 right, "n" neither); then Back and Next as "<" and ">" when enabled.
    std::string PinsShown() {
        std::string shown;
        MemorySwitchPage& page = SwitchPage();
        for (int pin = 1; pin <= 8; ++pin) {
            QAbstractButton* left = qobject_cast<QAbstractButton*>(
                page.Item(MemorySwitchPage::LeftButtonId(pin)));
            QAbstractButton* right = qobject_cast<QAbstractButton*>(
                page.Item(MemorySwitchPage::RightButtonId(pin)));
            if (!left->isEnabled()) shown += left->isChecked() || right->isChecked() ? '?' : '-';
            else shown += left->isChecked() ? '0' : right->isChecked() ? '1' : 'n';
        }
        shown += page.Item(MemorySwitchPage::kBackId)->isEnabled() ? " <" : " .";
        shown += page.Item(MemorySwitchPage::kNextId)->isEnabled() ? ">" : ".";
        return shown;
    }

    // The selected entry of each list of the setting page, "-" for none and a trailing "*" when
    // enabled: baud, data bits, parity, flow control, code page.
    std::string ListsShown() {
        std::string shown;
        for (const int id : {PrinterSettingPage::kBaudRateId, PrinterSettingPage::kDataBitsId,
                             PrinterSettingPage::kParityId, PrinterSettingPage::kFlowControlId,
                             PrinterSettingPage::kCodePageId}) {
            const QComboBox& list = List(id);
            if (!shown.empty()) shown += ' ';
            shown += list.currentIndex() < 0 ? "-" : std::to_string(list.currentIndex());
            if (list.isEnabled()) shown += '*';
        }
        return shown;
    }
};

}  // namespace talq::test
