// Dialogs and pages as Qt widgets: a QDialog per dialog template, a QWidget
// per page, both filled by the template loader, reporting what the user does
// to their WindowEvents as the dialog manager reports it.
#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "ui/handler_faults.h"
#include "ui/qt/dialog_controls.h"
#include "ui/qt/qt_window.h"

namespace talq::ui::qt {

// What both kinds of window share: the widget, its controls and the reports.
class QtControls {
  public:
    virtual ~QtControls() = default;
    virtual QWidget* Widget() const = 0;
    const DialogControls& Controls() const { return controls_; }

    // A fault out of a handler of this window ends its dialog's run (see ui/handler_faults.h);
    // from then on the dialog reports nothing more.
    virtual void Stop(std::exception_ptr fault, const std::string& action) noexcept = 0;
    virtual bool Stopped() const = 0;
    // What the user did, in the words of the message that shows such a fault.
    virtual std::string ActionOf(int id, Notification notification) const noexcept = 0;

  protected:
    DialogControls controls_;
};

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The typed-since-choice flag of an editable list, kept on the widget.
constexpr const char* kTypedProperty = "talqTypedSinceChoice";
// Set on a dialog whose buttons take no Qt auto-default (no default button in its template).
constexpr const char* kNoAutoDefaultProperty = "talqNoAutoDefault";

void SetTyped(QComboBox& combo, bool typed) {
    combo.setProperty(kTypedProperty, typed);
}

// The control that handed the keyboard focus on when it went off, and the control that has
// held it since.
struct FocusLoan {
    QPointer<QWidget> lender;
    QPointer<QWidget> holder;
};
FocusLoan loan;

// The focus within the widget's window, whether that window is active or not.
bool HoldsFocus(const QWidget& widget) {
    const QWidget* focus = widget.window()->focusWidget();
    return focus != nullptr && (focus == &widget || widget.isAncestorOf(focus));
}

// Forwards to the window's WindowEvents until the window goes: nothing is
// reported while the widgets are torn down. Whatever a handler lets out stops
// here, before Qt's frames (where it would be undefined), and stops the window.
class Reporter {
  public:
    Reporter(WindowEvents& events, QtControls& window) : events_(&events), window_(window) {}
    void Command(int id, Notification notification) {
        Run([&] { events_->OnCommand(id, notification); }, id, notification);
    }
    void FirstShow() {
        if (events_ == nullptr || shown_) return;
        shown_ = true;
        Run([&] { events_->OnFirstShow(); });
    }
    void SysCommand(unsigned command) {
        Run([&] { events_->OnSysCommand(command); });
    }
    void EndSession() {
        Run([&] { events_->OnEndSession(); });
    }
    // A task the window runs for its dialog (After), guarded the same way.
    void Task(const std::function<void()>& task) { Run(task); }
    void Stop() { events_ = nullptr; }

  private:
    template <typename Handler>
    void Run(const Handler& handler, int id = kNoId,
             Notification notification = Notification::Layout) {
        if (events_ == nullptr || window_.Stopped()) return;
        try {
            handler();
        } catch (...) {
            window_.Stop(std::current_exception(), window_.ActionOf(id, notification));
        }
    }

    WindowEvents* events_;
    QtControls& window_;
    bool shown_ = false;
};

// A tab control's display area moves with its stack and its tab areas.
class LayoutWatch : public QObject {
  public:
    LayoutWatch(QObject* parent, Reporter& reporter, int id)
        : QObject(parent), reporter_(reporter), id_(id) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move) {
            reporter_.Command(id_, Notification::Layout);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    Reporter& reporter_;
    int id_;
};

// The session's end reaches the application as a Quit event (the session manager's last word:
// the question before it, commitDataRequest, may still be cancelled by another program).
class SessionEndWatch : public QObject {
  public:
    SessionEndWatch(QObject* parent, Reporter& reporter) : QObject(parent), reporter_(reporter) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit) {
            reporter_.EndSession();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    Reporter& reporter_;
};

class DialogWidget : public QDialog {
  public:
    DialogWidget(QWidget* owner, Reporter& reporter) : QDialog(owner), reporter_(reporter) {}

    void accept() override { reporter_.Command(kIdOk, Notification::Clicked); }
    // Escape and the close box.
    void reject() override { reporter_.Command(kIdCancel, Notification::Clicked); }

  protected:
    void showEvent(QShowEvent* event) override {
        reporter_.FirstShow();
        QDialog::showEvent(event);
    }

    // Enter as the dialog manager takes it: the focused push button, else the
    // default button, else the dialog's OK. The keypad's Enter is the same key.
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
                           (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (!enter) {
            QDialog::keyPressEvent(event);
            return;
        }
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        if (focused != nullptr && focused->isEnabled()) {
            focused->click();
            return;
        }
        for (QPushButton* button : findChildren<QPushButton*>()) {
            if (button->isDefault() && button->isVisible()) {
                if (button->isEnabled()) button->click();
                return;
            }
        }
        reporter_.Command(kIdOk, Notification::Clicked);
    }

  private:
    Reporter& reporter_;
};

class PageWidget : public QWidget {
  public:
    PageWidget(QWidget& parent, Reporter& reporter) : QWidget(&parent), reporter_(reporter) {}

  protected:
    void showEvent(QShowEvent* event) override {
        reporter_.FirstShow();
        QWidget::showEvent(event);
    }

  private:
    Reporter& reporter_;
};

// The controls' operations, on top of either Window or DialogWindow.
template <typename Interface>
class ControlsWindow : public Interface, public QtControls {
  public:
    explicit ControlsWindow(WindowEvents& events) : reporter_(events, *this) {}
    ~ControlsWindow() override {
        reporter_.Stop();
        // A dialog deletes its pages' widgets with its own; QPointer knows.
        delete widget_.data();
    }

    QWidget* Widget() const override { return widget_.data(); }
    std::string ActionOf(int id, Notification notification) const noexcept override {
        try {
            return ui::ActionOf(*this, id, notification);
        } catch (...) {
            return {};
        }
    }

    void Show(bool show) override {
        if (widget_) widget_->setVisible(show);
    }
    bool IsVisible() const override { return widget_ && widget_->isVisible(); }
    std::string Caption() const override {
        return widget_ ? widget_->windowTitle().toStdString() : std::string();
    }
    void SetIcon(int iconId) override {
        const IconDrawing* drawing = icons_ ? icons_(iconId) : nullptr;
        if (drawing == nullptr || !widget_) return;
        QIcon icon;
        icon.addPixmap(RenderIcon(*drawing, 32));
        icon.addPixmap(RenderIcon(*drawing, 16));
        widget_->setWindowIcon(icon);
    }
    void Place(const PixelRect& rect) override {
        if (!widget_) return;
        widget_->setFixedSize(rect.width, rect.height);
        widget_->move(rect.x, rect.y);
    }
    void StackAfter(int) override {}

    bool Has(int id) const override { return Item(id) != nullptr; }
    std::string Text(int id) const override {
        QWidget* widget = Item(id);
        if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdString();
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            return button->text().toStdString();
        }
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            return combo->currentText().toStdString();
        }
        return {};
    }
    void SetText(int id, std::string_view text) override {
        QWidget* widget = Item(id);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(ToQString(text));
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(ToQString(text));
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            if (combo->isEditable())
                combo->setEditText(ToQString(text));
            else
                SetCurSel(id, combo->findText(ToQString(text)));
        }
    }
    bool IsEnabled(int id) const override {
        QWidget* widget = Item(id);
        return widget != nullptr && widget->isEnabled();
    }
    void Enable(int id, bool enable) override {
        QWidget* widget = Item(id);
        if (widget == nullptr) return;
        const bool held = HoldsFocus(*widget);
        // Qt hands the focus on to the next control itself when the one that has it goes off.
        widget->setEnabled(enable);
        QWidget* focus = widget->window()->focusWidget();
        if (!enable && held && focus != nullptr && !HoldsFocus(*widget)) {
            // Handed on again by the holder: the first lender stays.
            if (loan.holder != widget) loan.lender = widget;
            loan.holder = focus;
        } else if (enable && loan.lender == widget) {
            // Back on with the focus still where it went: it comes back.
            if (focus == loan.holder) widget->setFocus(Qt::OtherFocusReason);
            loan = {};
        }
    }
    bool HasFocus(int id) const override {
        QWidget* widget = Item(id);
        return widget != nullptr && HoldsFocus(*widget);
    }
    void Focus(int id) override {
        if (QWidget* widget = Item(id)) widget->setFocus(Qt::OtherFocusReason);
    }
    void Repaint(int id) override {
        if (QWidget* widget = Item(id)) widget->repaint();
    }
    bool IsChecked(int id) const override {
        auto* button = qobject_cast<QAbstractButton*>(Item(id));
        return button != nullptr && button->isChecked();
    }
    void SetChecked(int id, bool checked) override {
        auto* button = qobject_cast<QAbstractButton*>(Item(id));
        if (button == nullptr) return;
        // An exclusive group keeps one button checked; clearing one needs it off a moment.
        QButtonGroup* group = button->group();
        const bool exclusive = group != nullptr && group->exclusive();
        if (exclusive && !checked) group->setExclusive(false);
        button->setChecked(checked);
        if (exclusive && !checked) group->setExclusive(true);
    }

    void ResetList(int id) override {
        if (auto* combo = qobject_cast<QComboBox*>(Item(id))) {
            combo->clear();
            SetTyped(*combo, false);
        }
    }
    void AddString(int id, std::string_view text) override {
        auto* combo = qobject_cast<QComboBox*>(Item(id));
        if (combo == nullptr) return;
        // Qt selects the first entry added to an empty list; a dialog's list selects only
        // what it is told to.
        const int selected = combo->currentIndex();
        const QString edited = combo->currentText();
        combo->addItem(ToQString(text));
        if (selected < 0 && combo->currentIndex() >= 0) {
            combo->setCurrentIndex(-1);
            if (combo->isEditable()) combo->setEditText(edited);
        }
    }
    std::vector<std::string> Entries(int id) const override {
        std::vector<std::string> entries;
        if (auto* combo = qobject_cast<QComboBox*>(Item(id))) {
            for (int i = 0; i < combo->count(); ++i) {
                entries.push_back(combo->itemText(i).toStdString());
            }
        }
        return entries;
    }
    int CurSel(int id) const override {
        auto* combo = qobject_cast<QComboBox*>(Item(id));
        if (combo == nullptr || TypedSinceChoice(id)) return -1;
        const int index = combo->currentIndex();
        if (index < 0) return -1;
        // An edit field set to another text by code has left the entry too.
        if (combo->isEditable() && combo->currentText() != combo->itemText(index)) return -1;
        return index;
    }
    void SetCurSel(int id, int index) override {
        auto* combo = qobject_cast<QComboBox*>(Item(id));
        if (combo == nullptr) return;
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
        SetTyped(*combo, false);
    }
    void SetEditText(int id, std::string_view text) override {
        auto* combo = qobject_cast<QComboBox*>(Item(id));
        if (combo != nullptr && combo->isEditable()) combo->setEditText(ToQString(text));
    }
    bool TypedSinceChoice(int id) const override {
        auto* combo = qobject_cast<QComboBox*>(Item(id));
        return combo != nullptr && combo->property(kTypedProperty).toBool();
    }

    void SetProgress(int id, int lower, int upper, int position) override {
        auto* bar = qobject_cast<QProgressBar*>(Item(id));
        if (bar == nullptr) return;
        bar->setRange(lower, upper);
        bar->setValue(position);
        // The thread stays busy with the exchange; paint now, not at the next turn of the loop.
        bar->repaint();
    }

    void InsertTab(int id, int index, std::string_view text) override {
        auto* tabs = qobject_cast<QTabWidget*>(Item(id));
        if (tabs == nullptr) return;
        // A tab item carries only its text: the pages are not the tab control's children.
        auto* area = new QWidget;
        area->installEventFilter(LayoutWatchOf(*tabs, id));
        insertingTab_ = true;
        tabs->insertTab(index, area, ToQString(text));
        insertingTab_ = false;
    }
    int TabSelection(int id) const override {
        auto* tabs = qobject_cast<QTabWidget*>(Item(id));
        return tabs == nullptr ? -1 : tabs->currentIndex();
    }
    PixelRect TabDisplayArea(int id) const override {
        auto* tabs = qobject_cast<QTabWidget*>(Item(id));
        if (tabs == nullptr || !widget_) return {};
        // Where the tab control puts its own page, in this window's coordinates.
        const QWidget* area = tabs->currentWidget();
        if (area == nullptr) area = tabs;
        const QPoint origin = area->mapTo(widget_.data(), QPoint(0, 0));
        return {origin.x(), origin.y(), area->width(), area->height()};
    }

  protected:
    // Nothing once the widget is gone (a page's goes with its dialog's).
    QWidget* Item(int id) const { return widget_ ? controls_.Item(id) : nullptr; }

    // Loads the template into `widget` (owned from now on) and wires its controls' reports.
    void Build(QWidget* widget, const DialogTemplate& dialog, const IconSource& icons) {
        widget_ = widget;
        icons_ = icons;
        controls_.Load(dialog, *widget, icons);
        for (const auto& [id, control] : controls_.items()) Wire(id, *control);
        for (const ControlTemplate& control : dialog.controls) {
            QWidget* item = controls_.Item(control.id);
            if (item != nullptr && item->focusPolicy() != Qt::NoFocus)
                keyboardOrder_.push_back(item);
        }
    }

    Reporter reporter_;
    QPointer<QWidget> widget_;
    IconSource icons_;
    // The controls that take the focus, in the template's order.
    std::vector<QWidget*> keyboardOrder_;

  private:
    void Wire(int id, QWidget& control) {
        Reporter* reporter = &reporter_;
        if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
            QObject::connect(button, &QAbstractButton::clicked, button,
                             [reporter, id] { reporter->Command(id, Notification::Clicked); });
        } else if (auto* combo = qobject_cast<QComboBox*>(&control)) {
            QObject::connect(combo, &QComboBox::activated, combo, [reporter, combo, id] {
                SetTyped(*combo, false);
                reporter->Command(id, Notification::SelectionChange);
            });
            if (QLineEdit* edit = combo->lineEdit()) {
                QObject::connect(edit, &QLineEdit::textEdited, combo, [reporter, combo, id] {
                    SetTyped(*combo, true);
                    reporter->Command(id, Notification::EditChange);
                });
            }
        } else if (auto* tabs = qobject_cast<QTabWidget*>(&control)) {
            QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [this, id] {
                if (!insertingTab_) reporter_.Command(id, Notification::SelectionChange);
            });
            if (auto* stack = tabs->findChild<QStackedWidget*>()) {
                stack->installEventFilter(LayoutWatchOf(*tabs, id));
            }
        }
    }

    // One watch per tab control, owned by it.
    LayoutWatch* LayoutWatchOf(QTabWidget& tabs, int id) {
        LayoutWatch*& watch = layoutWatches_[id];
        if (watch == nullptr) watch = new LayoutWatch(&tabs, reporter_, id);
        return watch;
    }

    std::map<int, LayoutWatch*> layoutWatches_;
    bool insertingTab_ = false;
};

bool HasDefaultButton(const DialogTemplate& dialog) {
    for (const auto& control : dialog.controls) {
        if (control.kind == ControlKind::DefaultPushButton) return true;
    }
    return false;
}

void TakeAutoDefaultFrom(QWidget& widget) {
    for (auto* button : widget.findChildren<QPushButton*>()) button->setAutoDefault(false);
}

class QtDialogWindow;
// The dialogs running modally, the innermost last.
std::vector<QtDialogWindow*> running;

class QtDialogWindow : public ControlsWindow<DialogWindow> {
  public:
    QtDialogWindow(const DialogTemplate& dialog, Window* owner, WindowEvents& events,
                   const IconSource& icons)
        : ControlsWindow(events) {
        QWidget* ownerWidget = owner != nullptr ? TopWidget(*owner) : nullptr;
        auto* widget =
            new DialogWidget(ownerWidget != nullptr ? ownerWidget->window() : nullptr, reporter_);
        Build(widget, dialog, icons);
        // Without a default button Enter goes to the focused button or the dialog's OK;
        // Qt would make the focused (or first) push button a default of its own.
        if (!HasDefaultButton(dialog)) {
            widget->setProperty(kNoAutoDefaultProperty, true);
            TakeAutoDefaultFrom(*widget);
        }
        if (owner == nullptr) {
            if (QCoreApplication* application = QCoreApplication::instance()) {
                application->installEventFilter(new SessionEndWatch(widget, reporter_));
            }
        }
    }

    int RunModal() override {
        auto* dialog = static_cast<QDialog*>(widget_.data());
        if (dialog == nullptr) return kIdCancel;
        int code = kIdCancel;
        if (!caught_.Caught()) {
            running.push_back(this);
            code = dialog->exec();
            running.pop_back();
        }
        // Outside Qt's frames now: the fault goes on to whoever ran the dialog.
        caught_.Rethrow();
        return code;
    }
    void Stop(std::exception_ptr fault, const std::string& action) noexcept override {
        caught_.Catch(this, action, std::move(fault));
        auto* dialog = static_cast<QDialog*>(widget_.data());
        if (dialog == nullptr) return;
        if (std::find(running.begin(), running.end(), this) == running.end()) {
            dialog->done(kIdCancel);
            return;
        }
        // Its loop may not be going yet (a page shown with the dialog), and a dialog hidden
        // before would leave it running: the end waits for the loop.
        QTimer::singleShot(0, dialog, [dialog] { dialog->done(kIdCancel); });
    }
    bool Stopped() const override { return caught_.Caught(); }

    void EndModal(int code) override {
        if (auto* dialog = static_cast<QDialog*>(widget_.data())) dialog->done(code);
    }
    void AddSystemMenuItem(unsigned command, const std::string& text) override {
        if (!widget_) return;
        // No system menu of ours to extend here: the item sits in the dialog's context menu
        // (right click on the dialog), the first one also on F1.
        auto* item = new QAction(QString::fromStdString(text), widget_.data());
        if (widget_->actions().isEmpty()) item->setShortcut(Qt::Key_F1);
        Reporter* reporter = &reporter_;
        QObject::connect(item, &QAction::triggered, widget_.data(),
                         [reporter, command] { reporter->SysCommand(command); });
        widget_->addAction(item);
        widget_->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
    void After(int ms, std::function<void()> task) override {
        if (!widget_) return;
        QTimer::singleShot(ms, widget_.data(), [reporter = &reporter_, task = std::move(task)] {
            reporter->Task(task);
        });
    }

  private:
    CaughtFault caught_;
};

class QtPageWindow : public ControlsWindow<Window> {
  public:
    QtPageWindow(const DialogTemplate& page, Window& parent, WindowEvents& events)
        : ControlsWindow(events), parent_(parent) {
        QWidget* parentWidget = TopWidget(parent);
        auto* widget = new PageWidget(*parentWidget, reporter_);
        widget->hide();
        Build(widget, page, {});
        if (parentWidget->window()->property(kNoAutoDefaultProperty).toBool()) {
            TakeAutoDefaultFrom(*widget);
        }
    }

    void StackAfter(int id) override {
        QWidget* control = WidgetOf(parent_, id);
        if (!widget_ || control == nullptr) return;
        // Painted over the control; the window's one keyboard chain takes the page's controls,
        // in their own order, right after it.
        widget_->raise();
        QWidget* previous = control;
        for (QWidget* item : keyboardOrder_) {
            QWidget::setTabOrder(previous, item);
            previous = item;
        }
    }

    // The page's dialog shows the fault and ends.
    void Stop(std::exception_ptr fault, const std::string& action) noexcept override {
        if (auto* dialog = dynamic_cast<QtControls*>(&parent_)) dialog->Stop(fault, action);
    }
    bool Stopped() const override {
        auto* dialog = dynamic_cast<const QtControls*>(&parent_);
        return dialog != nullptr && dialog->Stopped();
    }

  private:
    Window& parent_;
};

}  // namespace

void StopRunningDialog(std::exception_ptr fault) noexcept {
    if (running.empty()) {
        // No run to end: it is only shown.
        CaughtFault().Catch(nullptr, {}, std::move(fault));
        return;
    }
    running.back()->Stop(std::move(fault), {});
}

QWidget* WidgetOf(Window& window, int id) {
    auto* controls = dynamic_cast<QtControls*>(&window);
    return controls == nullptr ? nullptr : controls->Controls().Item(id);
}

QWidget* TopWidget(Window& window) {
    auto* controls = dynamic_cast<QtControls*>(&window);
    return controls == nullptr ? nullptr : controls->Widget();
}

}  // namespace talq::ui::qt

namespace talq::ui {

std::unique_ptr<DialogWindow> CreateDialogWindow(const DialogTemplate& dialog, Window* owner,
                                                 WindowEvents& events, const IconSource& icons) {
    return std::make_unique<qt::QtDialogWindow>(dialog, owner, events, icons);
}

std::unique_ptr<Window> CreatePageWindow(const DialogTemplate& page, Window& parent,
                                         WindowEvents& events) {
    return std::make_unique<qt::QtPageWindow>(page, parent, events);
}

}  // namespace talq::ui
