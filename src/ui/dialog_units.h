// Dialog units to pixels, from the metrics of the dialog font actually used.
#pragma once

#include <QFont>
#include <QRect>

#include "ui/dialog_template.h"

namespace talq::ui {

struct BaseUnits {
    int x = 0;  // average width of A-Z and a-z, rounded
    int y = 0;  // font height
};

// The font named by the template at its point size; a face the system lacks
// falls back to the system's sans font at the same size.
QFont DialogFont(const DialogTemplate& dialog);
BaseUnits BaseUnitsOf(const QFont& font);

// x·baseX/4 and y·baseY/8, each rounded to the nearest pixel.
QRect ToPixels(const DialogRect& rect, BaseUnits units);
int HorizontalPixels(int dialogUnits, BaseUnits units);
int VerticalPixels(int dialogUnits, BaseUnits units);

}  // namespace talq::ui
