// Builds a template's controls as Qt widgets inside a window and keeps the
// id -> widget map of that template (the same id names different controls in
// different templates).
#pragma once

#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#include "ui/dialog_template.h"
#include "ui/dialog_units.h"
#include "ui/qt/qt_window.h"
#include "ui/window.h"

class QButtonGroup;

namespace talq::ui::qt {

// The font named by the template at its point size; a face the system lacks
// falls back to the system's sans font at the same size.
QFont DialogFont(const DialogTemplate& dialog);
BaseUnits BaseUnitsOf(const QFont& font);
QRect ToRect(const PixelRect& rect);

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
    // Every control with an id, by id.
    const std::map<int, QWidget*>& items() const { return items_; }

    BaseUnits units() const { return units_; }
    // The closed height of a drop-down list, one line of text.
    int ComboHeight() const { return comboHeight_; }

  private:
    QWidget* Create(const ControlTemplate& control, QWidget& window, const IconSource& icons);
    void PlaceCombo(QWidget& combo, const ControlTemplate& control);
    void FormRadioGroups(const DialogTemplate& dialog, QWidget& window);
    void SetTabOrder(const DialogTemplate& dialog, const std::vector<QWidget*>& widgets);
    void NameLists(const DialogTemplate& dialog, const std::vector<QWidget*>& widgets);

    std::map<int, QWidget*> items_;
    std::map<int, QButtonGroup*> radioGroups_;
    BaseUnits units_;
    int comboHeight_ = 0;
};

}  // namespace talq::ui::qt
