#include "ui/dialog.h"

#include "ui/prompts.h"

namespace talq::ui {

Dialog::Dialog(const DialogTemplate& dialog, Window* owner, const IconSource& icons)
    : template_(dialog),
      handlers_(dialog),
      window_(CreateDialogWindow(dialog, owner, *this, icons)) {
    // The OK and Cancel ids end the dialog without a handler of their own.
    OnClicked(kIdOk, [this] { OnOK(); });
    OnClicked(kIdCancel, [this] { OnCancel(); });
}

Dialog::~Dialog() = default;

int Dialog::DoModal() {
    InitDialog();
    return RunModal(*this);
}

void Dialog::InitDialog() {
    if (initialized_) return;
    initialized_ = true;
    OnInitDialog();
}

void Dialog::Show() {
    InitDialog();
    window_->Show(true);
}

bool Dialog::UpdateData(bool saveAndValidate) {
    DataExchange exchange(*window_, template_, saveAndValidate);
    DoDataExchange(exchange);
    return true;
}

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnOK() {
    if (UpdateData(true)) EndDialog(kIdOk);
}

void Dialog::OnCancel() { EndDialog(kIdCancel); }

void Dialog::OnCommand(int id, Notification notification) {
    handlers_.Dispatch(*window_, id, notification);
}

void Dialog::OnSysCommand(unsigned command) { OnSystemCommand(command); }

void Dialog::OnEndSession() {
    if (sessionEnd_) sessionEnd_();
}

void Dialog::OnClicked(int id, std::function<void()> handler) {
    handlers_.On(id, Notification::Clicked, std::move(handler));
}

void Dialog::OnSelectionChange(int id, std::function<void()> handler) {
    handlers_.On(id, Notification::SelectionChange, std::move(handler));
}

void Dialog::OnNotification(int id, Notification notification, std::function<void()> handler) {
    handlers_.On(id, notification, std::move(handler));
}

}  // namespace talq::ui
