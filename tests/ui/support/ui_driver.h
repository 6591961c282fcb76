// What a user does to a dialog, through the window system the build links:
// written once for the dialog stories, implemented per backend
// (qt_driver.cpp drives Qt widgets, win32_driver.cpp sends window messages).
// Every action goes to a control as (window, id), and each refuses what a
// user could not do: a disabled or hidden control, or one whose window is
// disabled or hidden, fails the test instead of acting.
#pragma once

#include <string>
#include <string_view>

#include "ui/window.h"

namespace talq::test {

enum class Key { Enter, Escape, Tab, Down, Up, F1 };

// Clicks the button `id` (push button, radio button, check box).
void Press(ui::Window& window, int id);
// Picks entry `index` of list `id` as a choice in its drop-down does.
void Choose(ui::Window& window, int id, int index);
// Types `text` over the edit field of editable list `id`.
void Type(ui::Window& window, int id, std::string_view text);
// Picks tab `index` of tab control `id`.
void ChooseTab(ui::Window& window, int id, int index);
// Presses `key` in `window`, with the focus where it is.
void PressKey(ui::Window& window, Key key);
// Gives control `id` the keyboard focus.
void Focus(ui::Window& window, int id);
// The id of the control of `window` that has the keyboard focus (or would have it, were the
// window active); ui::kNoId when none of its own controls has it.
int FocusedControl(ui::Window& window);
// Where a top-level window stands on the screen, its frame included, and the work area of
// the screen it is on.
ui::PixelRect FrameOf(ui::Window& window);
ui::PixelRect WorkAreaOf(ui::Window& window);
// Runs what the window system has queued for the UI thread, without waiting.
void ProcessEvents();

}  // namespace talq::test
