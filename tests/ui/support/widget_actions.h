// What a user does to a dialog's controls, for widget tests.
#pragma once

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <string>

namespace talq::test {

// A left click at the widget's centre, as the mouse delivers it.
inline void Click(QWidget& widget) {
    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, widget.rect().center());
}

// The user picks entry `index` of a list: the selection moves and the list
// reports `activated`, as a choice in its drop-down does.
inline void Choose(QComboBox& combo, int index) {
    combo.setCurrentIndex(index);
    Q_EMIT combo.activated(index);
}

inline void PressKey(QWidget& widget, Qt::Key key) { QTest::keyClick(&widget, key); }

// The widget's top-level window as it would be drawn now.
inline QImage Render(QWidget& widget) { return widget.grab().toImage(); }

// True when every pixel of `image` has one colour.
inline bool IsBlank(const QImage& image) {
    if (image.isNull()) return true;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != first) return false;
        }
    }
    return true;
}

// The text of the label a screen reader names `widget` by, or "" when none.
inline std::string LabelledBy(QWidget& widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&widget);
    for (const auto& [label, relation] : accessible->relations(QAccessible::Label)) {
        return label->text(QAccessible::Name).toStdString();
    }
    return "";
}

// The text of each entry of a list.
inline std::vector<std::string> Entries(const QComboBox& combo) {
    std::vector<std::string> entries;
    for (int i = 0; i < combo.count(); ++i) entries.push_back(combo.itemText(i).toStdString());
    return entries;
}

}  // namespace talq::test
