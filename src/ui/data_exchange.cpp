#include "ui/data_exchange.h"

namespace talq::ui {

namespace {

bool IsRadio(const ControlTemplate& control) { return control.kind == ControlKind::RadioButton; }

}  // namespace

int ListSelection(const Window& window, int id) {
    if (window.TypedSinceChoice(id)) return -1;
    return window.CurSel(id);
}

std::vector<int> RadioGroup(const DialogTemplate& dialog, int firstId) {
    std::vector<int> group;
    bool inGroup = false;
    for (const auto& control : dialog.controls) {
        if (inGroup && (control.style & kGroup) != 0) break;
        if (!inGroup && control.id == firstId && IsRadio(control)) inGroup = true;
        if (inGroup && IsRadio(control)) group.push_back(control.id);
    }
    return group;
}

int RadioIndex(const Window& window, const DialogTemplate& dialog, int firstId) {
    const std::vector<int> group = RadioGroup(dialog, firstId);
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (window.IsChecked(group[i])) return static_cast<int>(i);
    }
    return -1;
}

void SetRadioIndex(Window& window, const DialogTemplate& dialog, int firstId, int index) {
    const std::vector<int> group = RadioGroup(dialog, firstId);
    bool focused = false;
    for (const int id : group) focused = focused || window.HasFocus(id);
    // Clear first, so that no moment has two buttons checked.
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (static_cast<int>(i) != index) window.SetChecked(group[i], false);
    }
    if (index >= 0 && static_cast<std::size_t>(index) < group.size()) {
        const int checked = group[static_cast<std::size_t>(index)];
        window.SetChecked(checked, true);
        // A group's focus sits on its checked button, where the arrow keys start from.
        if (focused) window.Focus(checked);
    }
}

void DataExchange::Text(int id, std::string& value) {
    if (saving_) value = window_.Text(id);
    else window_.SetText(id, value);
}

void DataExchange::Radio(int firstId, int& index) {
    if (RadioGroup(template_, firstId).empty()) return;
    if (saving_) index = RadioIndex(window_, template_, firstId);
    else SetRadioIndex(window_, template_, firstId, index);
}

void DataExchange::ComboIndex(int id, int& index) {
    if (!window_.Has(id)) return;
    if (saving_) index = ListSelection(window_, id);
    else window_.SetCurSel(id, index);
}

void DataExchange::Check(int id, int& state) {
    if (!window_.Has(id)) return;
    if (saving_) state = window_.IsChecked(id) ? 1 : 0;
    else window_.SetChecked(id, state != 0);
}

}  // namespace talq::ui
