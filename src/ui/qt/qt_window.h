// The Qt side of a ui::Window, for code that must see the widgets themselves:
// the Qt-only tests (rendering, hit tests, accessibility) and the Qt backend.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <exception>

#include "ui/window.h"

namespace talq::ui::qt {

// Control `id` of `window`, or nullptr.
QWidget* WidgetOf(Window& window, int id);
// The window's own widget: the QDialog of a dialog, the QWidget of a page.
QWidget* TopWidget(Window& window);
// A fault out of a handler that belongs to no window (a watched descriptor's): it ends the
// innermost dialog running modally, as a fault of its own handlers would.
void StopRunningDialog(std::exception_ptr fault) noexcept;
// `drawing` painted at `size` x `size` pixels on a transparent ground.
QPixmap RenderIcon(const IconDrawing& drawing, int size);

}  // namespace talq::ui::qt
