// The About box: the icon and the version line.
#pragma once

#include "ui/dialog.h"

namespace talq::gui {

class AboutDialog : public ui::Dialog {
  public:
    explicit AboutDialog(ui::Window* owner = nullptr);
};

}  // namespace talq::gui
