// Mirrors member fields with controls by id, in either direction: from the
// controls into the fields (saving) or from the fields into the controls.
// Setting a control from here runs no handler: handlers listen to `clicked`
// and `activated`, which only the user causes.
#pragma once

#include <string>

#include "ui/dialog_controls.h"

class QComboBox;

namespace talq::ui {

class DataExchange {
  public:
    DataExchange(const DialogControls& controls, bool saveAndValidate)
        : controls_(controls), saving_(saveAndValidate) {}

    bool saving() const { return saving_; }

    // The window text of a label, button or combo box.
    void Text(int id, std::string& value);
    // The checked button's index in the radio group starting at `firstId`; −1 none.
    void Radio(int firstId, int& index);
    // The selected entry of a combo box; −1 none. Text typed into an editable
    // combo box that is not its selected entry reads as −1.
    void ComboIndex(int id, int& index);
    // A check box: 0 clear, 1 checked.
    void Check(int id, int& state);

  private:
    const DialogControls& controls_;
    bool saving_;
};

// The selected entry of `combo` as the exchange reads it.
int SelectedIndex(const QComboBox& combo);

}  // namespace talq::ui
