#include "gui/resources.h"

#include <QPainter>
#include <QPixmap>

namespace talq::gui {

namespace {

// The application icon in colours of the 16-colour palette: a receipt
// printer with a slip of paper coming out of it. Drawn on a 32-unit grid.
QPixmap DrawPrinter(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.scale(size / 32.0, size / 32.0);
    painter.setPen(QColor(0, 0, 0));
    // The slip with its printed lines.
    painter.setBrush(QColor(255, 255, 255));
    painter.drawRect(9, 2, 14, 14);
    painter.setPen(QColor(0, 0, 128));
    for (int y = 5; y <= 11; y += 3) painter.drawLine(11, y, 20, y);
    // The body, the paper slot and the power lamp.
    painter.setPen(QColor(0, 0, 0));
    painter.setBrush(QColor(128, 128, 128));
    painter.drawRect(3, 13, 26, 16);
    painter.setBrush(QColor(192, 192, 192));
    painter.drawRect(5, 15, 22, 5);
    painter.setBrush(QColor(0, 0, 0));
    painter.drawRect(8, 16, 16, 1);
    painter.setBrush(QColor(0, 255, 0));
    painter.drawRect(23, 23, 3, 3);
    return pixmap;
}

}  // namespace

QIcon LoadIcon(int id) {
    QIcon icon;
    if (id != kIconApplication) return icon;
    icon.addPixmap(DrawPrinter(32));
    icon.addPixmap(DrawPrinter(16));
    return icon;
}

std::string LoadString(int id) {
    return id == kStringAboutBox ? "&About TALQ..." : std::string();
}

}  // namespace talq::gui
