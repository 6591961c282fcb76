#include "gui/status_tab_ctrl.h"

namespace talq::gui {

StatusTabCtrl::StatusTabCtrl()
    : switchPage(std::make_unique<MemorySwitchPage>()),
      settingPage(std::make_unique<PrinterSettingPage>()) {}

// The pages' windows go before the dialog's window, their parent.
StatusTabCtrl::~StatusTabCtrl() = default;

void StatusTabCtrl::Attach(ui::Window& dialog, int id) {
    dialog_ = &dialog;
    id_ = id;
}

void StatusTabCtrl::CreatePages(int model) {
    switchPage->model = model;
    settingPage->model = model;
    switchPage->Create(*dialog_);
    settingPage->Create(*dialog_);
}

void StatusTabCtrl::InsertItem(int index, const std::string& text) {
    // A tab item carries only its text: the pages are not the tab control's children.
    dialog_->InsertTab(id_, index, text);
}

void StatusTabCtrl::ShowCurrentPage() {
    if (dialog_ == nullptr || !switchPage->created() || !settingPage->created()) return;
    const int selected = dialog_->TabSelection(id_);
    PlacePages();
    switchPage->window().Show(selected == 0);
    settingPage->window().Show(selected == 1);
}

void StatusTabCtrl::PlacePages() {
    const ui::PixelRect area = dialog_->TabDisplayArea(id_);
    for (ui::Page* page : {static_cast<ui::Page*>(switchPage.get()),
                           static_cast<ui::Page*>(settingPage.get())}) {
        page->window().Place(area);
        page->window().StackAfter(id_);
    }
}

}  // namespace talq::gui
