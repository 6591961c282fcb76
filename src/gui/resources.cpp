#include "gui/resources.h"

namespace talq::gui {

namespace {

using Shape = ui::IconShape;

// The application icon in colours of the 16-colour palette: a receipt
// printer with a slip of paper coming out of it. Drawn on a 32-unit grid.
ui::IconDrawing PrinterDrawing() {
    ui::IconDrawing drawing;
    auto& shapes = drawing.shapes;
    // The slip with its printed lines.
    shapes.push_back({Shape::Rectangle, 9, 2, 14, 14, 0x000000, 0xFFFFFF});
    for (int y = 5; y <= 11; y += 3) shapes.push_back({Shape::Line, 11, y, 20, y, 0x000080, 0});
    // The body, the paper slot and the power lamp.
    shapes.push_back({Shape::Rectangle, 3, 13, 26, 16, 0x000000, 0x808080});
    shapes.push_back({Shape::Rectangle, 5, 15, 22, 5, 0x000000, 0xC0C0C0});
    shapes.push_back({Shape::Rectangle, 8, 16, 16, 1, 0x000000, 0x000000});
    shapes.push_back({Shape::Rectangle, 23, 23, 3, 3, 0x000000, 0x00FF00});
    return drawing;
}

}  // namespace

const ui::IconDrawing* IconDrawing(int id) {
    static const ui::IconDrawing printer = PrinterDrawing();
    return id == kIconApplication ? &printer : nullptr;
}

std::string LoadString(int id) {
    return id == kStringAboutBox ? "&About TALQ..." : std::string();
}

}  // namespace talq::gui
