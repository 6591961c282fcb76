// The templates of the status dialog and its two tab pages, as data.
#pragma once

#include "ui/dialog_template.h"

namespace talq::gui {

// 105: the "Memory switch" page, a borderless child.
const ui::DialogTemplate& MemorySwitchTemplate();
// 130: the status dialog.
const ui::DialogTemplate& StatusDialogTemplate();
// 131: the "Printer Setting" page, a borderless child.
const ui::DialogTemplate& PrinterSettingTemplate();

}  // namespace talq::gui
