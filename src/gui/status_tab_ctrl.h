// The status dialog's tab control: owns the two pages, whose windows are
// children of the dialog laid over the tab control's display area, and shows
// the page of the selected tab.
#pragma once

#include <QObject>
#include <memory>

#include "gui/memory_switch_page.h"
#include "gui/printer_setting_page.h"

class QTabWidget;

namespace talq::gui {

class StatusTabCtrl : public QObject {
  public:
    static constexpr int switchPageId = 105;
    static constexpr int settingPageId = 131;
    static constexpr int pageCount = 2;

    // Constructs both pages, the memory switch page first; their windows come with CreatePages.
    StatusTabCtrl();
    ~StatusTabCtrl() override;

    // The tab control of the dialog's template.
    void Attach(QTabWidget& tabs);
    // Gives both pages the model, then builds their windows as children of the tab control's
    // parent.
    void CreatePages(int model);
    void InsertItem(int index, const QString& text);
    // Lays both pages over the display area and shows the selected tab's page.
    void ShowCurrentPage();

    QTabWidget* widget() const { return tabs_; }

    // Declared in the order the constructor makes them.
    std::unique_ptr<MemorySwitchPage> switchPage;
    std::unique_ptr<PrinterSettingPage> settingPage;

  protected:
    // The display area is only known once the tab control has laid itself out.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PlacePages();

    QTabWidget* tabs_ = nullptr;
};

}  // namespace talq::gui
