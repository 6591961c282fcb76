// The About box: the icon and the version line.
#pragma once

#include "ui/dialog.h"

namespace talq::gui {

class AboutDialog : public ui::Dialog {
  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace talq::gui
