// The program's own resources: its icon and its string table.
#pragma once

#include <string>

#include "ui/window.h"

namespace talq::gui {

inline constexpr int kIconApplication = 128;
inline constexpr int kStringAboutBox = 101;
// The system command of the About item.
inline constexpr unsigned kCommandAboutBox = 16;

// Icon resource `id` as a drawing on a 32-unit grid, or nullptr for an unknown id. The
// desktop theme's icons and the Windows icon file are rendered from it.
const ui::IconDrawing* IconDrawing(int id);
// String resource `id`, or empty for an unknown id.
std::string LoadString(int id);

}  // namespace talq::gui
