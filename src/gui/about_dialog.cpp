#include "gui/about_dialog.h"

#include "gui/resources.h"
#include "gui/templates/templates.h"

namespace talq::gui {

AboutDialog::AboutDialog(ui::Window* owner) : ui::Dialog(AboutTemplate(), owner, &IconDrawing) {
    window().SetIcon(kIconApplication);
}

}  // namespace talq::gui
