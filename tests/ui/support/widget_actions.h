// What the Qt-only tests look at and do beyond the neutral driver.
#pragma once

#include <QAccessible>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <string>

namespace talq::test {

// A key pressed on the widget itself (the neutral driver presses where the focus is).
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

}  // namespace talq::test
