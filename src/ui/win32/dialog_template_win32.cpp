#include "dialog_template_win32.h"

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include <string>

#include "wide_text.h"

namespace talq::ui::win32 {

namespace {

class TemplateWriter {
  public:
    void Word(std::uint16_t value) { data_.push_back(value); }
    void DoubleWord(std::uint32_t value) {
        Word(static_cast<std::uint16_t>(value & 0xFFFF));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    void Text(const std::wstring& text) {
        for (const wchar_t c : text) Word(static_cast<std::uint16_t>(c));
        Word(0);
    }
    void Ordinal(std::uint16_t value) {
        Word(0xFFFF);
        Word(value);
    }
    // Each item starts on a double-word boundary.
    void AlignToDoubleWord() {
        if (data_.size() % 2 != 0) Word(0);
    }
    std::vector<std::uint16_t> Take() { return std::move(data_); }

  private:
    std::vector<std::uint16_t> data_;
};

DWORD CommonStyle(unsigned style) {
    DWORD result = 0;
    if (style & kGroup) result |= WS_GROUP;
    if (style & kTabStop) result |= WS_TABSTOP;
    if (style & kDisabled) result |= WS_DISABLED;
    if (style & kVScroll) result |= WS_VSCROLL;
    if (style & kBorder) result |= WS_BORDER;
    return result;
}

DWORD KindStyle(const ControlTemplate& control) {
    switch (control.kind) {
        case ControlKind::PushButton:
            return BS_PUSHBUTTON;
        case ControlKind::DefaultPushButton:
            return BS_DEFPUSHBUTTON;
        case ControlKind::RadioButton:
            return BS_AUTORADIOBUTTON;
        case ControlKind::CheckBox:
            return BS_AUTOCHECKBOX;
        case ControlKind::GroupBox:
            return BS_GROUPBOX;
        case ControlKind::Label: {
            DWORD style = (control.style & kCentered) ? SS_CENTER : SS_LEFT;
            if (control.style & kSunken) style |= SS_SUNKEN;
            if (control.style & kNoPrefix) style |= SS_NOPREFIX;
            return style;
        }
        case ControlKind::Icon:
            return SS_ICON;
        case ControlKind::DropDownList:
            return CBS_DROPDOWNLIST;
        case ControlKind::DropDownCombo:
            return CBS_DROPDOWN | CBS_AUTOHSCROLL;
        case ControlKind::ProgressBar:
            return (control.style & kSmooth) ? PBS_SMOOTH : 0;
        case ControlKind::TabControl:
            return WS_CLIPSIBLINGS;
    }
    return 0;
}

}  // namespace

const wchar_t* ControlClass(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
        case ControlKind::RadioButton:
        case ControlKind::CheckBox:
        case ControlKind::GroupBox:
            return L"BUTTON";
        case ControlKind::Label:
        case ControlKind::Icon:
            return L"STATIC";
        case ControlKind::DropDownList:
        case ControlKind::DropDownCombo:
            return L"COMBOBOX";
        case ControlKind::ProgressBar:
            return PROGRESS_CLASSW;
        case ControlKind::TabControl:
            return WC_TABCONTROLW;
    }
    return L"STATIC";
}

std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& dialog, bool page) {
    const bool child = page || (dialog.window & kChild) != 0;
    DWORD style = DS_SETFONT;
    DWORD exStyle = 0;
    if (child) {
        style |= WS_CHILD | DS_CONTROL;
    } else {
        style |= DS_MODALFRAME | WS_POPUP | WS_CAPTION;
        if (dialog.window & kSystemMenu) style |= WS_SYSMENU;
        if (dialog.window & kMinimizeBox) style |= WS_MINIMIZEBOX;
        if (dialog.window & kTaskbar) exStyle |= WS_EX_APPWINDOW;
    }

    TemplateWriter out;
    out.Word(1);        // dlgVer
    out.Word(0xFFFF);   // signature: extended template
    out.DoubleWord(0);  // helpID
    out.DoubleWord(exStyle);
    out.DoubleWord(style);
    out.Word(static_cast<std::uint16_t>(dialog.controls.size()));
    out.Word(0);
    out.Word(0);
    out.Word(static_cast<std::uint16_t>(dialog.width));
    out.Word(static_cast<std::uint16_t>(dialog.height));
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(child ? std::wstring() : Widen(dialog.caption));
    out.Word(static_cast<std::uint16_t>(dialog.pointSize));
    out.Word(FW_NORMAL);
    out.Word(DEFAULT_CHARSET << 8);  // italic 0, charset
    out.Text(Widen(dialog.fontFace));

    for (const ControlTemplate& control : dialog.controls) {
        out.AlignToDoubleWord();
        out.DoubleWord(0);  // helpID
        out.DoubleWord(0);  // exStyle
        out.DoubleWord(WS_CHILD | WS_VISIBLE | KindStyle(control) | CommonStyle(control.style));
        out.Word(static_cast<std::uint16_t>(control.rect.x));
        out.Word(static_cast<std::uint16_t>(control.rect.y));
        out.Word(static_cast<std::uint16_t>(control.rect.width));
        out.Word(static_cast<std::uint16_t>(control.rect.height));
        out.DoubleWord(static_cast<std::uint32_t>(control.id));
        out.Text(ControlClass(control.kind));
        if (control.kind == ControlKind::Icon) {
            // The icon resource by number, loaded by the static control itself.
            out.Ordinal(static_cast<std::uint16_t>(std::stoi(control.text)));
        } else {
            out.Text(Widen(control.text));
        }
        out.Word(0);  // no creation data
    }
    return out.Take();
}

}  // namespace talq::ui::win32
