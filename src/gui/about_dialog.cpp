#include "gui/about_dialog.h"

#include "gui/resources.h"
#include "gui/templates/templates.h"

namespace talq::gui {

AboutDialog::AboutDialog(QWidget* parent) : ui::Dialog(AboutTemplate(), parent, &LoadIcon) {
    setWindowIcon(LoadIcon(kIconApplication));
}

}  // namespace talq::gui
