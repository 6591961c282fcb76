// Save Status and Load Status: the record to and from a status file the user
// chooses. Neither touches the printer.
#include "gui/status_dialog.h"
#include "status/serial_encoding.h"
#include "status/status_file.h"
#include "ui/prompts.h"

namespace talq::gui {

namespace {

constexpr const char* kStatusFileFilter = "Status Files (*.sts)|*.sts|";

}  // namespace

void StatusDialog::OnSaveStatus() {
    // A name typed without an extension gets ".sts", so that Load Status lists it.
    const auto path = ui::AskFileName(&window(), {.save = true,
                                             .title = "Save current status",
                                             .initialName = "Noname.sts",
                                             .filter = kStatusFileFilter,
                                             .defaultExtension = "sts",
                                             .overwritePrompt = true,
                                             .createPrompt = true,
                                             .mustExist = false});
    if (!path) return;
    std::string reason;
    if (!status::SaveStatusFile(*path, status, &reason)) {
        ui::MessageBox(&window(), "The status could not be saved to \"" + *path + "\": " + reason + ".",
                       ui::MessageIcon::Exclamation);
    }
}

void StatusDialog::OnLoadStatus() {
    const auto path = ui::AskFileName(&window(), {.save = false,
                                             .title = "Load saved status",
                                             .initialName = "*.sts",
                                             .filter = kStatusFileFilter,
                                             .defaultExtension = "",
                                             .overwritePrompt = false,
                                             .createPrompt = false,
                                             .mustExist = true});
    if (!path) return;
    if (!status::HasStatusFileName(ui::FileNameOf(*path))) {
        ui::MessageBox(&window(), "Wrong format files loaded.", ui::MessageIcon::Exclamation);
        return;
    }
    std::string reason;
    switch (status::LoadStatusFile(*path, status, &reason)) {
        case status::LoadOutcome::Loaded:
            break;
        case status::LoadOutcome::Unreadable:
            ui::MessageBox(&window(),
                           "The status could not be loaded from \"" + *path + "\": " + reason + ".",
                           ui::MessageIcon::Exclamation);
            return;
        case status::LoadOutcome::WrongFormat:
            // Short, long or with a pin other than 0/1: Set Status would write it as set pins.
            ui::MessageBox(&window(), "Wrong format files loaded.", ui::MessageIcon::Exclamation);
            return;
    }
    if (model == 1) tabs.settingPage->SetSerialIndexes(status::DecodeSerialSettings(status));
    ShowNewRecord();
}

}  // namespace talq::gui
