// A status dialog on an identified connection to a simulated printer in
// virtual time, shown by the window system the build links, with every prompt
// answered by a recorder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/status_dialog.h"
#include "support/com_port.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "ui/support/prompt_recorder.h"
#include "ui/support/ui_driver.h"

namespace talq::test {

using gui::MemorySwitchPage;
using gui::PrinterSettingPage;
using gui::StatusDialog;

struct StatusDialogTest : ::testing::Test {
    VirtualPlatform os;
    ScopedPlatform scoped{os};
    std::shared_ptr<SimulatedPrinterDevice> device;
    link::PrinterPort port;
    PromptRecorder prompts;
    std::unique_ptr<StatusDialog> dialog;

    // Opens the dialog as Run Manager does, on a printer of `model` behind COM1.
    void Open(int model) {
        device = std::make_shared<SimulatedPrinterDevice>(model, 19200);  // OpenCom's speed
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
        dialog->Show();
        // The tab control lays itself out, and the pages over it.
        ProcessEvents();
    }
    // The user picks tab `index`.
    void SelectTab(int index) { ChooseTab(dialog->window(), StatusDialog::kTabsId, index); }

    sim::SimulatedPrinter& Printer() { return device->Printer(); }
    MemorySwitchPage& SwitchPage() { return *dialog->tabs.switchPage; }
    PrinterSettingPage& SettingPage() { return *dialog->tabs.settingPage; }
    ui::Window& Switches() { return SwitchPage().window(); }
    ui::Window& Settings() { return SettingPage().window(); }

    void Press(int id) { test::Press(dialog->window(), id); }
    void Next() { test::Press(Switches(), MemorySwitchPage::kNextId); }
    void Back() { test::Press(Switches(), MemorySwitchPage::kBackId); }
    void ClickPin(int pin, int value) {
        test::Press(Switches(), value == 0 ? MemorySwitchPage::LeftButtonId(pin)
                                           : MemorySwitchPage::RightButtonId(pin));
    }
    std::string SwitchNumberShown() { return Switches().Text(MemorySwitchPage::kSwitchNumberId); }

    // The enabled buttons among 1002..1007.
    std::vector<int> EnabledButtons() {
        std::vector<int> enabled;
        for (int id = StatusDialog::kGetStatusId; id <= StatusDialog::kExitId; ++id) {
            if (dialog->window().IsEnabled(id)) enabled.push_back(id);
        }
        return enabled;
    }

    // What the memory switch page shows, per pin: "-" reserved, else the checked button
    // (0 left, 1 right, "n" neither); then Back and Next as "<" and ">" when enabled.
    std::string PinsShown() {
        std::string shown;
        const ui::Window& page = Switches();
        for (int pin = 1; pin <= 8; ++pin) {
            const int left = MemorySwitchPage::LeftButtonId(pin);
            const int right = MemorySwitchPage::RightButtonId(pin);
            const bool checked = page.IsChecked(left) || page.IsChecked(right);
            if (!page.IsEnabled(left))
                shown += checked ? '?' : '-';
            else
                shown += page.IsChecked(left) ? '0' : page.IsChecked(right) ? '1' : 'n';
        }
        shown += page.IsEnabled(MemorySwitchPage::kBackId) ? " <" : " .";
        shown += page.IsEnabled(MemorySwitchPage::kNextId) ? ">" : ".";
        return shown;
    }

    // The selected entry of each list of the setting page, "-" for none and a trailing "*" when
    // enabled: baud, data bits, parity, flow control, code page.
    std::string ListsShown() {
        std::string shown;
        for (const int id : {PrinterSettingPage::kBaudRateId, PrinterSettingPage::kDataBitsId,
                             PrinterSettingPage::kParityId, PrinterSettingPage::kFlowControlId,
                             PrinterSettingPage::kCodePageId}) {
            const int selected = Settings().CurSel(id);
            if (!shown.empty()) shown += ' ';
            shown += selected < 0 ? "-" : std::to_string(selected);
            if (Settings().IsEnabled(id)) shown += '*';
        }
        return shown;
    }
};

}  // namespace talq::test
