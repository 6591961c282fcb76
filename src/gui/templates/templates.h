// The dialog templates of the connection dialog and the About box.
#pragma once

#include "ui/dialog_template.h"

namespace talq::gui {

inline constexpr int kAboutTemplate = 100;
inline constexpr int kMainTemplate = 102;

const ui::DialogTemplate& AboutTemplate();
const ui::DialogTemplate& MainTemplate();

}  // namespace talq::gui
