#include "gui/templates/status_templates.h"

namespace talq::gui {

using namespace ui;
using enum ControlKind;

const DialogTemplate& StatusDialogTemplate() {
    static const DialogTemplate dialog{
        130, "Printer Status (For KTV-520plus/KTV-540/KTV-542/KTV-520plusF V3.0.6a)", 471, 263,
        "MS Sans Serif", 8, {
            {1010, TabControl, "", {7, 7, 374, 215}, kTabStop},
            {kNoId, GroupBox, "Setup Status", {389, 44, 75, 58}},
            {1002, PushButton, "Get Status", {395, 55, 64, 17}, kTabStop},
            {1003, PushButton, "Set Status", {395, 78, 64, 17}, kTabStop | kDisabled},
            {kNoId, GroupBox, "User Status Setting", {389, 114, 75, 82}},
            {1004, PushButton, "Save Status", {395, 127, 64, 17}, kTabStop | kDisabled},
            {1005, PushButton, "Load Status", {395, 151, 64, 17}, kTabStop},
            {1006, PushButton, "Initialize Status", {395, 173, 64, 17}, kTabStop},
            {1007, PushButton, "Exit", {395, 203, 64, 17}, kTabStop},
            {kNoId, Label, "Progess :", {7, 230, 31, 12}, kCentered},
            {10, ProgressBar, "", {44, 229, 337, 13}, kSmooth | kBorder},
        }};
    return dialog;
}

}  // namespace talq::gui
