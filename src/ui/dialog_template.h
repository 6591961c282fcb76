// Dialog templates as data: one table per dialog, transcribed from its
// definition, which each window system's loader turns into its own controls.
#pragma once

#include <string>
#include <vector>

namespace talq::ui {

// Controls without an id of their own (labels, group boxes, icons).
inline constexpr int kNoId = -1;

enum class ControlKind {
    PushButton,
    DefaultPushButton,
    RadioButton,  // automatic radio button
    CheckBox,     // automatic check box
    GroupBox,
    Label,
    Icon,           // `text` holds the icon resource id, e.g. "128"
    DropDownList,   // combo box that only selects
    DropDownCombo,  // combo box that also accepts typing
    ProgressBar,
    TabControl,
};

// Style flags of a control.
enum Style : unsigned {
    kGroup = 1u << 0,     // starts a group: a radio group begins at a radio with it
    kTabStop = 1u << 1,   // reached by the Tab key
    kDisabled = 1u << 2,  // created disabled
    kVScroll = 1u << 3,   // a list with a vertical scroll bar
    kCentered = 1u << 4,  // label text centred
    kSunken = 1u << 5,    // label with a sunken edge
    kNoPrefix = 1u << 6,  // '&' in a label is shown, not a mnemonic
    kSmooth = 1u << 7,    // progress bar without blocks
    kBorder = 1u << 8,
};

// Position and size in dialog units.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlTemplate {
    int id = kNoId;
    ControlKind kind = ControlKind::Label;
    std::string text;
    DialogRect rect;
    unsigned style = 0;
    // The fixed entries of a list, in order; never sorted.
    std::vector<std::string> items = {};
};

// What kind of window a template makes.
enum WindowStyle : unsigned {
    kChild = 1u << 0,        // a page inside another dialog (else a popup of its own)
    kSystemMenu = 1u << 1,   // title bar with the system menu and the close box
    kMinimizeBox = 1u << 2,
    kTaskbar = 1u << 3,      // a button of its own on the taskbar
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    int width = 0;   // dialog units
    int height = 0;  // dialog units
    std::string fontFace = "MS Sans Serif";
    int pointSize = 8;
    // In creation order, which is also the keyboard order.
    std::vector<ControlTemplate> controls;
    unsigned window = kSystemMenu;  // WindowStyle flags
};

}  // namespace talq::ui
