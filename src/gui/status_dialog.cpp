#include "gui/status_dialog.h"

#include <array>
#include <map>

#include "gui/templates/status_templates.h"
#include "status/factory_values.h"
#include "status/status_exchanges.h"
#include "ui/dialog_sink.h"

namespace talq::gui {

namespace {

constexpr std::array kCommandButtons = {
    StatusDialog::kGetStatusId, StatusDialog::kSetStatusId, StatusDialog::kSaveStatusId,
    StatusDialog::kLoadStatusId, StatusDialog::kInitializeStatusId};

// Shows an exchange's messages and progress in the dialog, and the printer's texts on the
// setting page as soon as they are read, before the rest of the run.
class StatusSink : public ui::DialogSink {
  public:
    explicit StatusSink(StatusDialog& dialog)
        : DialogSink(dialog.window(), &dialog.progress), dialog_(dialog) {}
    void PrinterTextsRead() override { dialog_.tabs.settingPage->UpdateData(false); }

  private:
    StatusDialog& dialog_;
};

}  // namespace

StatusDialog::StatusDialog(ui::Window* owner) : ui::Dialog(StatusDialogTemplate(), owner) {
    progress.Attach(window(), kProgressId);
    tabs.Attach(window(), kTabsId);
    // The tab control's notices reach the dialog, which hands them to it.
    OnSelectionChange(kTabsId, [this] { tabs.ShowCurrentPage(); });
    OnNotification(kTabsId, ui::Notification::Layout, [this] { tabs.ShowCurrentPage(); });
    OnClicked(kGetStatusId, [this] { OnGetStatus(); });
    OnClicked(kSetStatusId, [this] { OnSetStatus(); });
    OnClicked(kSaveStatusId, [this] { OnSaveStatus(); });
    OnClicked(kLoadStatusId, [this] { OnLoadStatus(); });
    OnClicked(kInitializeStatusId, [this] { OnInitializeStatus(); });
    OnClicked(kExitId, [this] { OnCancel(); });
}

bool StatusDialog::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    status.Clear();
    tabs.CreatePages(model);
    tabs.InsertItem(0, "Memory switch");
    tabs.InsertItem(1, "Printer Setting");
    tabs.ShowCurrentPage();
    tabs.settingPage->status = &status;
    tabs.switchPage->status = &status;
    progress.SetRange(0, 100);
    progress.SetStep(4);
    return true;
}

void StatusDialog::EnableStatusControls(bool enable) {
    EnableButtons(std::array{kSetStatusId, kSaveStatusId}, enable);
    tabs.settingPage->RefreshFromStatus(enable);
    tabs.switchPage->window().Enable(MemorySwitchPage::kNextId, enable);
    tabs.switchPage->ShowPage(1, enable);
}

void StatusDialog::OnGetStatus() {
    if (port == nullptr) return;
    std::map<int, bool> before;
    for (const int id : kCommandButtons) before[id] = window().IsEnabled(id);
    EnableButtons(kCommandButtons, false);

    StatusSink sink(*this);
    auto& settingPage = *tabs.settingPage;
    auto& switchPage = *tabs.switchPage;
    switch (status::GetStatus({*port, portKind, model}, status, settingPage.info, sink)) {
        case status::ExchangeResult::Success:
            switchPage.UpdateData(false);
            settingPage.UpdateData(false);
            UpdateData(false);
            EnableButtons(kCommandButtons, true);
            RefreshPages();
            progress.SetPos(0);
            break;
        case status::ExchangeResult::IdentifyFailed:
            LockAfterFailedIdentification();
            break;
        case status::ExchangeResult::Failed:
            // Nothing was read into the record: everything stays as before the press.
            for (const auto& [id, enabled] : before) window().Enable(id, enabled);
            break;
    }
}

void StatusDialog::OnSetStatus() {
    if (port == nullptr) return;
    StatusSink sink(*this);
    const auto result = status::SetStatus({*port, portKind, model}, status,
                                          tabs.settingPage->info, sink);
    if (result == status::ExchangeResult::IdentifyFailed) LockAfterFailedIdentification();
}

void StatusDialog::OnInitializeStatus() {
    auto& settingPage = *tabs.settingPage;
    status::SerialSettingsIndexes indexes = settingPage.SerialIndexes();
    status::ApplyFactoryValues(status, model, &indexes);
    settingPage.SetSerialIndexes(indexes);
    ShowNewRecord();
}

void StatusDialog::LockAfterFailedIdentification() {
    EnableStatusControls(false);
    EnableButtons(std::array{kGetStatusId, kLoadStatusId, kInitializeStatusId}, false);
}

void StatusDialog::ShowNewRecord() {
    tabs.settingPage->UpdateData(false);
    EnableButtons(std::array{kSetStatusId, kSaveStatusId}, true);
    RefreshPages();
}

void StatusDialog::RefreshPages() {
    tabs.settingPage->RefreshFromStatus(true);
    tabs.switchPage->ShowPage(tabs.switchPage->page, true);
}

void StatusDialog::EnableButtons(std::span<const int> ids, bool enable) {
    for (const int id : ids) window().Enable(id, enable);
}

}  // namespace talq::gui
