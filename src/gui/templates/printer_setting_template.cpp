#include <string>
#include <vector>

#include "gui/templates/status_templates.h"
#include "status/code_pages.h"

namespace talq::gui {

using namespace ui;
using enum ControlKind;

// The baud list depends on the model: the page fills it when it starts.
const DialogTemplate& PrinterSettingTemplate() {
    static const std::vector<std::string> codePages(status::kCodePageTexts.begin(),
                                                    status::kCodePageTexts.end());
    static const DialogTemplate page{
        131, "", 287, 103, "MS Sans Serif", 8, {
            {kNoId, GroupBox, "Communication Status", {7, 7, 112, 89}},
            {kNoId, Label, "Baund Rate :", {12, 23, 45, 8}},
            {1013, DropDownList, "", {60, 20, 53, 73}, kTabStop | kDisabled},
            {kNoId, Label, "Data Bits :", {12, 41, 45, 8}},
            {1014, DropDownList, "", {60, 39, 53, 46}, kTabStop | kDisabled, {"7", "8"}},
            {kNoId, Label, "Parity :", {12, 59, 45, 8}},
            {1015, DropDownList, "", {60, 57, 53, 49}, kTabStop | kDisabled,
             {"None", "Odd", "Even"}},
            {kNoId, Label, "Flow Control :", {12, 76, 45, 8}},
            {1017, DropDownList, "", {60, 74, 53, 36}, kTabStop | kDisabled,
             {"DTR/DSR", "Xon/Xoff"}},
            {kNoId, GroupBox, "", {130, 7, 150, 33}},
            {kNoId, Label, "Printer Model :", {135, 15, 59, 8}},
            {1061, Label, "", {212, 15, 62, 8}},
            {kNoId, Label, "Firmware Version :", {135, 28, 64, 8}},
            {1059, Label, "", {212, 28, 62, 8}},
            {kNoId, GroupBox, "Default Code Page", {130, 41, 149, 33}},
            {11, DropDownList, "", {137, 53, 137, 150}, kTabStop | kDisabled | kVScroll,
             codePages},
        },
        kChild};
    return page;
}

}  // namespace talq::gui
