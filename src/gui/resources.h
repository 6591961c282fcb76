// The program's own resources: its icon and its string table.
#pragma once

#include <QIcon>
#include <string>

namespace talq::gui {

inline constexpr int kIconApplication = 128;
inline constexpr int kStringAboutBox = 101;
// The system command of the About item.
inline constexpr unsigned kCommandAboutBox = 16;

// Icon resource `id` (32 x 32 and 16 x 16), or a null icon for an unknown id.
QIcon LoadIcon(int id);
// String resource `id`, or empty for an unknown id.
std::string LoadString(int id);

}  // namespace talq::gui
