// Dialog units to pixels, from the base units of the dialog font actually
// used, as the dialog manager scales them.
#pragma once

#include "ui/dialog_template.h"
#include "ui/window.h"

namespace talq::ui {

struct BaseUnits {
    int x = 0;  // average width of A-Z and a-z, rounded
    int y = 0;  // font height
};

// x·baseX/4 and y·baseY/8, each rounded to the nearest pixel.
PixelRect ToPixels(const DialogRect& rect, BaseUnits units);
int HorizontalPixels(int dialogUnits, BaseUnits units);
int VerticalPixels(int dialogUnits, BaseUnits units);

}  // namespace talq::ui
