#include <string>

#include "gui/templates/status_templates.h"

namespace talq::gui {

using namespace ui;
using enum ControlKind;

namespace {

// Rows of pins 1..8: buttons and captions stand a dialog unit apart on some rows.
constexpr int kButtonRowY[8] = {24, 37, 51, 65, 77, 90, 104, 117};
constexpr int kCaptionRowY[8] = {23, 37, 51, 64, 78, 91, 104, 117};

DialogTemplate Build() {
    DialogTemplate page{105, "", 364, 176, "MS Sans Serif", 8, {}, kChild};
    auto& controls = page.controls;
    // Each pin's left button (value 0) starts its own radio group, then comes its right one.
    for (int k = 0; k < 8; ++k) {
        controls.push_back({1049 + k, RadioButton, "Reserved", {161, kButtonRowY[k], 90, 8},
                            kGroup | kTabStop | kDisabled});
        controls.push_back({1040 + k, RadioButton, "Reserved", {260, kButtonRowY[k], 90, 8},
                            kDisabled});
    }
    for (int k = 0; k < 8; ++k) {
        controls.push_back({1063 + k, Label, "[PIN " + std::to_string(k + 1) + "] Reserved",
                            {16, kCaptionRowY[k], 130, 8}, k == 0 ? unsigned{kGroup} : 0u});
    }
    controls.push_back({kNoId, GroupBox, "Talquist Status Display", {7, 7, 350, 127}});
    controls.push_back({1000, Label, "1", {270, 139, 87, 11}, kCentered | kSunken});
    controls.push_back({1009, PushButton, "< &Back", {269, 156, 42, 13}, kTabStop | kDisabled});
    controls.push_back({1010, PushButton, "&Next >", {315, 156, 42, 13}, kTabStop | kDisabled});
    return page;
}

}  // namespace

const DialogTemplate& MemorySwitchTemplate() {
    static const DialogTemplate page = Build();
    return page;
}

}  // namespace talq::gui
