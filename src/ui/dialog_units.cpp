#include "ui/dialog_units.h"

namespace talq::ui {

namespace {

// a·b/c rounded half away from zero, as the dialog manager scales.
int ScaleRounded(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

int HorizontalPixels(int dialogUnits, BaseUnits units) {
    return ScaleRounded(dialogUnits, units.x, 4);
}

int VerticalPixels(int dialogUnits, BaseUnits units) {
    return ScaleRounded(dialogUnits, units.y, 8);
}

PixelRect ToPixels(const DialogRect& rect, BaseUnits units) {
    return {HorizontalPixels(rect.x, units), VerticalPixels(rect.y, units),
            HorizontalPixels(rect.width, units), VerticalPixels(rect.height, units)};
}

}  // namespace talq::ui
