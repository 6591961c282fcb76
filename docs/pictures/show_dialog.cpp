// talq-show-dialog main|about|status: shows one of the program's dialogs as
// its user sees it, without a printer, until the window is closed; for the
// pictures in docs/ (scripts/pictures.sh). The status dialog shows the
// factory values of a KTV-520plus on its memory switch page.
#include <cstdio>
#include <memory>
#include <string>

#include "gui/about_dialog.h"
#include "gui/main_dialog.h"
#include "gui/resources.h"
#include "gui/status_dialog.h"
#include "ui/application.h"

int main(int argc, char** argv) {
    const std::string which = argc > 1 ? argv[1] : "";
    talq::ui::Application application(argc, argv, &talq::gui::IconDrawing,
                                      talq::gui::kIconApplication);
    std::unique_ptr<talq::ui::Dialog> dialog;
    if (which == "main") {
        dialog = std::make_unique<talq::gui::MainDialog>();
    } else if (which == "about") {
        dialog = std::make_unique<talq::gui::AboutDialog>();
    } else if (which == "status") {
        auto status = std::make_unique<talq::gui::StatusDialog>();
        status->model = 0;
        status->InitDialog();
        status->OnInitializeStatus();
        dialog = std::move(status);
    } else {
        std::fprintf(stderr, "usage: talq-show-dialog main|about|status\n");
        return 2;
    }
    dialog->DoModal();
    return 0;
}
