// Builds a template's controls as Qt widgets inside a window and keeps the
// id -> widget map of that template (the same id names different controls in
// different templates).
#pragma once

#include <QIcon>
#include <QWidget>
#include <functional>
#include <map>

#include "ui/dialog_template.h"
#include "ui/dialog_units.h"

class QButtonGroup;

namespace talq::ui {

// The icon resource `id`, for icon controls.
using IconSource = std::function<QIcon(int id)>;

class DialogControls {
  public:
    // Creates every control of `dialog` as a child of `window` in template
    // order, sizes `window` to the dialog, and sets its font and caption.
    void Load(const DialogTemplate& dialog, QWidget& window, const IconSource& icons = {});

    // The control with `id`, or nullptr.
    QWidget* Item(int id) const;
    template <typename Widget>
    Widget* ItemAs(int id) const {
        return qobject_cast<Widget*>(Item(id));
    }
    // The radio group whose first button has `firstId`, or nullptr.
    QButtonGroup* RadioGroup(int firstId) const;

    BaseUnits units() const { return units_; }
    // The closed height of a drop-down list, one line of text.
    int ComboHeight() const { return comboHeight_; }

  private:
    QWidget* Create(const ControlTemplate& control, QWidget& window, const IconSource& icons);
    void PlaceCombo(QWidget& combo, const ControlTemplate& control);
    void FormRadioGroups(const DialogTemplate& dialog, QWidget& window);
    void SetTabOrder(const DialogTemplate& dialog, const std::vector<QWidget*>& widgets);
    void SetBuddies(const DialogTemplate& dialog, const std::vector<QWidget*>& widgets);

    std::map<int, QWidget*> items_;
    std::map<int, QButtonGroup*> radioGroups_;
    BaseUnits units_;
    int comboHeight_ = 0;
};

// The checked button's index in `group`, −1 when none is.
int RadioIndex(const QButtonGroup& group);
// Checks button `index` of `group`; −1 (or any index outside it) clears all.
void SetRadioIndex(QButtonGroup& group, int index);

}  // namespace talq::ui
