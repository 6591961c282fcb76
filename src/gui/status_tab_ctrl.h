// The status dialog's tab control: owns the two pages, whose windows are
// children of the dialog laid over the tab control's display area, and shows
// the page of the selected tab.
#pragma once

#include <memory>
#include <string>

#include "gui/memory_switch_page.h"
#include "gui/printer_setting_page.h"
#include "ui/window.h"

namespace talq::gui {

class StatusTabCtrl {
  public:
    static constexpr int switchPageId = 105;
    static constexpr int settingPageId = 131;
    static constexpr int pageCount = 2;

    // Constructs both pages, the memory switch page first; their windows come with CreatePages.
    StatusTabCtrl();
    ~StatusTabCtrl();

    // The tab control `id` of the dialog's window.
    void Attach(ui::Window& dialog, int id);
    // Gives both pages the model, then builds their windows as children of the tab control's
    // parent.
    void CreatePages(int model);
    void InsertItem(int index, const std::string& text);
    // Lays both pages over the display area and shows the selected tab's page.
    void ShowCurrentPage();

    int id() const { return id_; }

    // Declared in the order the constructor makes them.
    std::unique_ptr<MemorySwitchPage> switchPage;
    std::unique_ptr<PrinterSettingPage> settingPage;

  private:
    void PlacePages();

    ui::Window* dialog_ = nullptr;
    int id_ = 0;
};

}  // namespace talq::gui
