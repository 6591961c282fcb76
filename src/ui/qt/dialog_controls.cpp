#include "ui/qt/dialog_controls.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>

#include "ui/list_names.h"

namespace talq::ui::qt {

QFont DialogFont(const DialogTemplate& dialog) {
    QFont font(QString::fromStdString(dialog.fontFace));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(dialog.pointSize);
    return font;
}

BaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

QRect ToRect(const PixelRect& rect) {
    return {rect.x, rect.y, rect.width, rect.height};
}

QPixmap RenderIcon(const IconDrawing& drawing, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.scale(size / 32.0, size / 32.0);
    const auto colour = [](unsigned rgb) {
        return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                      static_cast<int>(rgb & 0xFF));
    };
    for (const IconShape& shape : drawing.shapes) {
        painter.setPen(colour(shape.pen));
        if (shape.kind == IconShape::Line) {
            painter.drawLine(shape.x, shape.y, shape.x2OrWidth, shape.y2OrHeight);
        } else {
            painter.setBrush(colour(shape.brush));
            painter.drawRect(shape.x, shape.y, shape.x2OrWidth, shape.y2OrHeight);
        }
    }
    return pixmap;
}

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

bool IsList(ControlKind kind) {
    return kind == ControlKind::DropDownList || kind == ControlKind::DropDownCombo;
}

QWidget* CreateWidget(const ControlTemplate& control, QWidget& window, const IconSource& icons) {
    switch (control.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton: {
            auto* button = new QPushButton(Text(control.text), &window);
            button->setDefault(control.kind == ControlKind::DefaultPushButton);
            return button;
        }
        case ControlKind::RadioButton:
            return new QRadioButton(Text(control.text), &window);
        case ControlKind::CheckBox:
            return new QCheckBox(Text(control.text), &window);
        case ControlKind::GroupBox:
            return new QGroupBox(Text(control.text), &window);
        case ControlKind::Label: {
            auto* label = new QLabel(Text(control.text), &window);
            label->setTextFormat(Qt::PlainText);
            if (control.style & kCentered) label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            if (control.style & kSunken) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            return label;
        }
        case ControlKind::Icon: {
            auto* label = new QLabel(&window);
            const IconDrawing* drawing = icons ? icons(std::stoi(control.text)) : nullptr;
            if (drawing != nullptr) label->setPixmap(RenderIcon(*drawing, 32));
            return label;
        }
        case ControlKind::DropDownList:
        case ControlKind::DropDownCombo: {
            auto* combo = new QComboBox(&window);
            if (control.kind == ControlKind::DropDownCombo) {
                combo->setEditable(true);
                combo->setInsertPolicy(QComboBox::NoInsert);
            }
            for (const auto& item : control.items) combo->addItem(Text(item));
            // Nothing is selected until the dialog selects it.
            combo->setCurrentIndex(-1);
            return combo;
        }
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(&window);
            bar->setTextVisible(false);
            bar->setRange(0, 100);
            bar->setValue(0);
            return bar;
        }
        case ControlKind::TabControl:
            return new QTabWidget(&window);
    }
    return nullptr;
}

Qt::FocusPolicy FocusPolicyOf(const ControlTemplate& control) {
    switch (control.kind) {
        case ControlKind::Label:
        case ControlKind::Icon:
        case ControlKind::GroupBox:
        case ControlKind::ProgressBar:
            return Qt::NoFocus;
        default:
            return (control.style & kTabStop) ? Qt::StrongFocus : Qt::ClickFocus;
    }
}

// Arrow keys in a radio group move as the dialog manager moves them: to the
// next (right, down) or previous (left, up) enabled button in template order,
// wrapping at the ends, and click it unless it is already checked. Qt's own
// moves by position on screen and stops at the ends.
class RadioGroupKeys : public QObject {
  public:
    explicit RadioGroupKeys(QButtonGroup& group) : QObject(&group), group_(group) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool forward = key == Qt::Key_Right || key == Qt::Key_Down;
        if (!forward && key != Qt::Key_Left && key != Qt::Key_Up) return false;
        const QList<QAbstractButton*> buttons = group_.buttons();
        const qsizetype count = buttons.size();
        const qsizetype from = buttons.indexOf(qobject_cast<QAbstractButton*>(watched));
        if (from < 0) return false;
        for (qsizetype step = 1; step < count; ++step) {
            QAbstractButton* target = buttons[(from + (forward ? step : count - step)) % count];
            if (!target->isEnabled() || target->isHidden()) continue;
            target->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            if (!target->isChecked()) target->click();
            break;
        }
        return true;
    }

  private:
    QButtonGroup& group_;
};

}  // namespace

void DialogControls::Load(const DialogTemplate& dialog, QWidget& window, const IconSource& icons) {
    const QFont font = DialogFont(dialog);
    window.setFont(font);
    window.setWindowTitle(Text(dialog.caption));
    units_ = BaseUnitsOf(font);
    window.setFixedSize(HorizontalPixels(dialog.width, units_),
                        VerticalPixels(dialog.height, units_));
    // A closed drop-down list shows one line of text.
    comboHeight_ = QComboBox(&window).sizeHint().height();

    std::vector<QWidget*> widgets;
    for (const auto& control : dialog.controls) widgets.push_back(Create(control, window, icons));
    // A group box drawn over the controls it frames would take their clicks.
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        if (dialog.controls[i].kind == ControlKind::GroupBox) widgets[i]->lower();
    }
    FormRadioGroups(dialog, window);
    SetTabOrder(dialog, widgets);
    NameLists(dialog, widgets);
}

QWidget* DialogControls::Create(const ControlTemplate& control, QWidget& window,
                                const IconSource& icons) {
    QWidget* widget = CreateWidget(control, window, icons);
    widget->setGeometry(ToRect(ToPixels(control.rect, units_)));
    if (control.kind == ControlKind::Icon) widget->resize(32, 32);
    if (IsList(control.kind)) PlaceCombo(*widget, control);
    widget->setFocusPolicy(FocusPolicyOf(control));
    widget->setEnabled((control.style & kDisabled) == 0);
    if (control.id != kNoId) {
        widget->setObjectName(QString::number(control.id));
        items_[control.id] = widget;
    }
    return widget;
}

void DialogControls::PlaceCombo(QWidget& widget, const ControlTemplate& control) {
    auto& combo = static_cast<QComboBox&>(widget);
    const QRect dropped = ToRect(ToPixels(control.rect, units_));
    combo.resize(dropped.width(), comboHeight_);
    // The template's height includes the drop-down part: one row per line of
    // the dialog font. A list without a scroll bar shows all its fixed entries;
    // one with a scroll bar drops down to the template's height and scrolls.
    const int rows = std::max(1, (dropped.height() - comboHeight_) / std::max(1, units_.y));
    const bool scrolls = (control.style & kVScroll) != 0;
    combo.setMaxVisibleItems(scrolls ? rows
                                     : std::max(rows, static_cast<int>(control.items.size())));
    // Styles that pop a list up over the current entry ignore the row count.
    if (scrolls) combo.setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    combo.view()->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAsNeeded
                                                     : Qt::ScrollBarAlwaysOff);
}

void DialogControls::FormRadioGroups(const DialogTemplate& dialog, QWidget& window) {
    QButtonGroup* group = nullptr;
    RadioGroupKeys* keys = nullptr;
    int index = 0;
    for (const auto& control : dialog.controls) {
        const bool isRadio = control.kind == ControlKind::RadioButton;
        if (control.style & kGroup) group = nullptr;
        if (!isRadio) continue;
        if (group == nullptr) {
            group = new QButtonGroup(&window);
            group->setExclusive(true);
            keys = new RadioGroupKeys(*group);
            radioGroups_[control.id] = group;
            index = 0;
        }
        auto* button = qobject_cast<QAbstractButton*>(items_.at(control.id));
        group->addButton(button, index++);
        button->installEventFilter(keys);
    }
}

void DialogControls::SetTabOrder(const DialogTemplate& dialog,
                                 const std::vector<QWidget*>& widgets) {
    QWidget* previous = nullptr;
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        if (FocusPolicyOf(dialog.controls[i]) == Qt::NoFocus) continue;
        if (previous != nullptr) QWidget::setTabOrder(previous, widgets[i]);
        previous = widgets[i];
    }
}

void DialogControls::NameLists(const DialogTemplate& dialog, const std::vector<QWidget*>& widgets) {
    // Screen readers on Linux name a list by its label's "labelled by" relation; a list alone
    // with no label of its own is called by its frame's title.
    for (const ListName& name : ListNames(dialog)) {
        if (name.label) {
            if (auto* label = qobject_cast<QLabel*>(widgets[*name.label])) {
                label->setBuddy(widgets[name.list]);
            }
        } else {
            widgets[name.list]->setAccessibleName(Text(name.name));
        }
    }
}

QWidget* DialogControls::Item(int id) const {
    const auto found = items_.find(id);
    return found == items_.end() ? nullptr : found->second;
}

QButtonGroup* DialogControls::RadioGroup(int firstId) const {
    const auto found = radioGroups_.find(firstId);
    return found == radioGroups_.end() ? nullptr : found->second;
}

}  // namespace talq::ui::qt
