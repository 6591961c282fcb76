#include "ui/dialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>

#include "ui/prompts.h"

namespace talq::ui {

Dialog::Dialog(const DialogTemplate& dialog, QWidget* parent, const IconSource& icons)
    : QDialog(parent) {
    controls_.Load(dialog, *this, icons);
    // The OK and Cancel ids end the dialog without a handler of their own.
    OnClicked(kIdOk, [this] { OnOK(); });
    OnClicked(kIdCancel, [this] { OnCancel(); });
}

int Dialog::DoModal() {
    InitDialog();
    return RunModal(*this);
}

void Dialog::InitDialog() {
    if (initialized_) return;
    initialized_ = true;
    OnInitDialog();
}

bool Dialog::UpdateData(bool saveAndValidate) {
    DataExchange exchange(controls_, saveAndValidate);
    DoDataExchange(exchange);
    return true;
}

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnOK() {
    if (UpdateData(true)) done(kIdOk);
}

void Dialog::OnCancel() { done(kIdCancel); }

void Dialog::OnClicked(int id, std::function<void()> handler) {
    if (auto* button = ItemAs<QAbstractButton>(id)) {
        connect(button, &QAbstractButton::clicked, this, [handler = std::move(handler)] { handler(); });
    }
}

void Dialog::OnSelectionChange(int id, std::function<void()> handler) {
    if (auto* combo = ItemAs<QComboBox>(id)) {
        connect(combo, &QComboBox::activated, this, [handler = std::move(handler)] { handler(); });
    }
}

void Dialog::showEvent(QShowEvent* event) {
    InitDialog();
    QDialog::showEvent(event);
}

void Dialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        bool hasDefault = false;
        for (const QPushButton* button : findChildren<QPushButton*>()) {
            hasDefault = hasDefault || (button->isDefault() && button->isVisible());
        }
        // With no default button, Enter is the dialog's OK.
        if (!hasDefault) {
            OnOK();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

}  // namespace talq::ui
