#include "gui/templates/templates.h"

namespace talq::gui {

const ui::DialogTemplate& AboutTemplate() {
    using enum ui::ControlKind;
    using namespace ui;
    static const DialogTemplate about{
        kAboutTemplate, "About TALQ", 235, 55, "MS Sans Serif", 8,
        {
            {kNoId, Icon, "128", {11, 17, 20, 20}},
            {kNoId, Label, "TALQ Version 1.0", {40, 10, 119, 8}, kNoPrefix},
            {kNoId, Label, "KTV printer memory switches", {40, 25, 119, 8}},
            {1, DefaultPushButton, "OK", {178, 7, 50, 14}, kGroup | kTabStop},
        }};
    return about;
}

}  // namespace talq::gui
