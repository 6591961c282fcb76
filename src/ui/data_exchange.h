// Mirrors member fields with controls by id, in either direction: from the
// controls into the fields (saving) or from the fields into the controls.
// Setting a control from here runs no handler: only the user's actions do.
#pragma once

#include <string>

#include "ui/dialog_template.h"
#include "ui/window.h"

namespace talq::ui {

class DataExchange {
  public:
    DataExchange(Window& window, const DialogTemplate& dialog, bool saveAndValidate)
        : window_(window), template_(dialog), saving_(saveAndValidate) {}

    bool saving() const { return saving_; }

    // The window text of a label, button or list.
    void Text(int id, std::string& value);
    // The checked button's index in the radio group starting at `firstId`; −1 none.
    void Radio(int firstId, int& index);
    // The selected entry of a list; −1 none (see ListSelection).
    void ComboIndex(int id, int& index);
    // A check box: 0 clear, 1 checked.
    void Check(int id, int& state);

  private:
    Window& window_;
    const DialogTemplate& template_;
    bool saving_;
};

// The selected entry of list `id` as the dialogs read it: −1 when nothing is
// selected, and −1 when the user typed into an editable list after the last
// choice, even a text equal to an entry (the Windows combo box forgets its
// selection at any typing; Qt's would keep it).
int ListSelection(const Window& window, int id);

// Radio groups as the dialog manager forms them: a group starts at a radio
// button with kGroup (or at the first radio after any control with kGroup)
// and runs over the radio buttons that follow in template order.
std::vector<int> RadioGroup(const DialogTemplate& dialog, int firstId);
// The checked button's index in the group starting at `firstId`, −1 none.
int RadioIndex(const Window& window, const DialogTemplate& dialog, int firstId);
// Checks button `index` of the group; −1 (or any index outside it) clears all. A focus on
// the group moves to the checked button.
void SetRadioIndex(Window& window, const DialogTemplate& dialog, int firstId, int index);

}  // namespace talq::ui
