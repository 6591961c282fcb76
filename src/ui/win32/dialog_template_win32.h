// A template table as the dialog manager reads it: an in-memory extended
// dialog template (DLGTEMPLATEEX and its items), so the tables stay the one
// source of every dialog.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/dialog_template.h"

namespace talq::ui::win32 {

// Word-aligned template data for CreateDialogIndirectParamW: a page
// (WS_CHILD | DS_CONTROL) when `page`, else a popup dialog.
std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& dialog, bool page);

// The window class a control of `kind` is made of.
const wchar_t* ControlClass(ControlKind kind);

}  // namespace talq::ui::win32
