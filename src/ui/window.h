// The window-system seam: one window built from a template (a dialog or a page
// inside one) and its controls, addressed by id. The dialogs read and change
// their controls only through this; each window system implements it
// (ui/qt for Qt Widgets, ui/win32 for Win32 dialogs). The same id names
// different controls in different templates, so a control is always a
// (window, id) pair.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/dialog_template.h"

namespace talq::ui {

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Pixels, in the coordinates of a window's client area.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

// What a user did to a control, as the window system reports it. Changes made
// by code report nothing.
enum class Notification {
    Clicked,          // a button was pressed; Enter and Escape arrive as kIdOk and kIdCancel
    SelectionChange,  // the user chose a list entry or a tab
    EditChange,       // the user typed into an editable list
    Layout,           // a tab control's display area moved or changed size
};

// Where a window reports to the dialog that owns it. Runs on the UI thread.
class WindowEvents {
  public:
    virtual ~WindowEvents() = default;
    // The window is about to be shown for the first time, or run modally.
    virtual void OnFirstShow() {}
    virtual void OnCommand(int id, Notification notification) = 0;
    // A command of the system menu (or its stand-in).
    virtual void OnSysCommand(unsigned command) { (void)command; }
    // The session is ending: log-off or shut-down.
    virtual void OnEndSession() {}
};

// A picture drawn on a 32-unit grid, scaled to any icon size: filled and
// outlined rectangles and lines, colours as 0xRRGGBB.
struct IconShape {
    enum Kind { Rectangle, Line } kind = Rectangle;
    int x = 0;
    int y = 0;
    int x2OrWidth = 0;   // a rectangle's width, a line's end x
    int y2OrHeight = 0;  // a rectangle's height, a line's end y
    unsigned pen = 0x000000;
    unsigned brush = 0xFFFFFF;  // rectangles only
};
struct IconDrawing {
    std::vector<IconShape> shapes;
};
// The icon resource `id`, or nullptr. The Win32 backend loads the executable's
// own icon resource of that id instead.
using IconSource = std::function<const IconDrawing*(int id)>;

class Window {
  public:
    virtual ~Window() = default;

    // The window itself.
    virtual void Show(bool show) = 0;
    virtual bool IsVisible() const = 0;
    virtual std::string Caption() const = 0;
    virtual void SetIcon(int iconId) = 0;
    // A page's place in its parent's client area.
    virtual void Place(const PixelRect& rect) = 0;
    // Puts a page right after its parent's control `id` in the keyboard order, shown over
    // that control (a page after its tab control: Tab goes from the tabs into the page).
    virtual void StackAfter(int id) = 0;

    // Controls, by id. An id the template lacks is ignored (reads as empty).
    virtual bool Has(int id) const = 0;
    virtual std::string Text(int id) const = 0;
    virtual void SetText(int id, std::string_view text) = 0;
    virtual bool IsEnabled(int id) const = 0;
    // A control that has the keyboard focus hands it on to the next enabled control in the
    // keyboard order before it goes off, and takes it back when it comes on again while the
    // focus is still where it went: the keyboard never goes dead under a busy button.
    virtual void Enable(int id, bool enable) = 0;
    // The keyboard focus: whether control `id` (or a part of it) has it, and giving it to `id`.
    virtual bool HasFocus(int id) const = 0;
    virtual void Focus(int id) = 0;
    // Paints the control now: the thread may stay busy with an exchange.
    virtual void Repaint(int id) = 0;
    // Radio buttons and check boxes. Unchecking one radio button leaves the
    // others of its group alone.
    virtual bool IsChecked(int id) const = 0;
    virtual void SetChecked(int id, bool checked) = 0;

    // Lists (drop-down lists and drop-down combos).
    virtual void ResetList(int id) = 0;
    virtual void AddString(int id, std::string_view text) = 0;
    virtual std::vector<std::string> Entries(int id) const = 0;
    // The selected entry, −1 when none is; an editable list the user typed
    // into reads −1 (see ListSelection for the rule the dialogs use).
    virtual int CurSel(int id) const = 0;
    // Selects entry `index`; −1 (or any index outside the list) selects none
    // and blanks the text.
    virtual void SetCurSel(int id, int index) = 0;
    // The text of an editable list's edit field.
    virtual void SetEditText(int id, std::string_view text) = 0;
    // True when the user typed into an editable list after the last choice of
    // an entry (by the user or by code).
    virtual bool TypedSinceChoice(int id) const = 0;

    // Progress bars: range and position, painted at once.
    virtual void SetProgress(int id, int lower, int upper, int position) = 0;

    // Tab controls.
    virtual void InsertTab(int id, int index, std::string_view text) = 0;
    virtual int TabSelection(int id) const = 0;
    // Where a page belongs: the tab control's display area, in the
    // coordinates of this window's client area.
    virtual PixelRect TabDisplayArea(int id) const = 0;
};

// A top-level dialog's window as its Dialog object drives it.
class DialogWindow : public Window {
  public:
    // Runs the window's modal loop (its owner disabled meanwhile) until
    // EndModal; returns the code given there.
    virtual int RunModal() = 0;
    virtual void EndModal(int code) = 0;
    // An item of the system menu; on a system without one, of its stand-in.
    virtual void AddSystemMenuItem(unsigned command, const std::string& text) = 0;
    // Runs `task` on the UI thread after `ms` milliseconds (0: at the next
    // turn of the running loop), unless the window is gone by then.
    virtual void After(int ms, std::function<void()> task) = 0;
};

// The window system's constructors, from the backend the build links.
// `owner` is the window that owns a popup (nullptr: none); a page is a child
// of `parent`. Controls are created hidden-window-first: the window is not
// shown until Show or RunModal.
std::unique_ptr<DialogWindow> CreateDialogWindow(const DialogTemplate& dialog, Window* owner,
                                                 WindowEvents& events, const IconSource& icons);
std::unique_ptr<Window> CreatePageWindow(const DialogTemplate& page, Window& parent,
                                         WindowEvents& events);

}  // namespace talq::ui
