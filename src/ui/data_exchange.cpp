#include "ui/data_exchange.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace talq::ui {

int SelectedIndex(const QComboBox& combo) {
    const int index = combo.currentIndex();
    if (index < 0) return -1;
    if (combo.isEditable() && combo.currentText() != combo.itemText(index)) return -1;
    return index;
}

void DataExchange::Text(int id, std::string& value) {
    QWidget* widget = controls_.Item(id);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (saving_) value = label->text().toStdString();
        else label->setText(QString::fromStdString(value));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (saving_) value = button->text().toStdString();
        else button->setText(QString::fromStdString(value));
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (saving_) value = combo->currentText().toStdString();
        else if (combo->isEditable()) combo->setEditText(QString::fromStdString(value));
        else combo->setCurrentIndex(combo->findText(QString::fromStdString(value)));
    }
}

void DataExchange::Radio(int firstId, int& index) {
    QButtonGroup* group = controls_.RadioGroup(firstId);
    if (group == nullptr) return;
    if (saving_) index = RadioIndex(*group);
    else SetRadioIndex(*group, index);
}

void DataExchange::ComboIndex(int id, int& index) {
    auto* combo = controls_.ItemAs<QComboBox>(id);
    if (combo == nullptr) return;
    if (saving_) index = SelectedIndex(*combo);
    else combo->setCurrentIndex(index < combo->count() ? index : -1);
}

void DataExchange::Check(int id, int& state) {
    auto* box = controls_.ItemAs<QCheckBox>(id);
    if (box == nullptr) return;
    if (saving_) state = box->isChecked() ? 1 : 0;
    else box->setChecked(state != 0);
}

}  // namespace talq::ui
