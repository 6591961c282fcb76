#include "gui/status_tab_ctrl.h"

#include <QEvent>
#include <QStackedWidget>
#include <QTabWidget>

namespace talq::gui {

StatusTabCtrl::StatusTabCtrl()
    : switchPage(std::make_unique<MemorySwitchPage>()),
      settingPage(std::make_unique<PrinterSettingPage>()) {}

// The pages go before the dialog's window, which would otherwise delete them as its children.
StatusTabCtrl::~StatusTabCtrl() = default;

void StatusTabCtrl::Attach(QTabWidget& tabs) {
    tabs_ = &tabs;
    connect(tabs_, &QTabWidget::currentChanged, this, [this] { ShowCurrentPage(); });
    if (auto* stack = tabs_->findChild<QStackedWidget*>()) stack->installEventFilter(this);
}

void StatusTabCtrl::CreatePages(int model) {
    switchPage->model = model;
    settingPage->model = model;
    QWidget& dialog = *tabs_->parentWidget();
    switchPage->Create(dialog);
    settingPage->Create(dialog);
}

void StatusTabCtrl::InsertItem(int index, const QString& text) {
    // A tab item carries only its text: the pages are not the tab control's children.
    auto* area = new QWidget;
    area->installEventFilter(this);
    tabs_->insertTab(index, area, text);
}

void StatusTabCtrl::ShowCurrentPage() {
    if (tabs_ == nullptr) return;
    const int selected = tabs_->currentIndex();
    PlacePages();
    switchPage->hide();
    settingPage->hide();
    if (selected == 0) switchPage->show();
    if (selected == 1) settingPage->show();
}

void StatusTabCtrl::PlacePages() {
    // The display area is where the tab control puts its own page, in the dialog's coordinates.
    const QWidget* area = tabs_->currentWidget();
    if (area == nullptr) area = tabs_;
    const QRect rect(area->mapTo(tabs_->parentWidget(), QPoint(0, 0)), area->size());
    for (QWidget* page : {static_cast<QWidget*>(switchPage.get()),
                          static_cast<QWidget*>(settingPage.get())}) {
        page->setFixedSize(rect.size());
        page->move(rect.topLeft());
        page->raise();
    }
}

bool StatusTabCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Move) PlacePages();
    return QObject::eventFilter(watched, event);
}

}  // namespace talq::gui
