// talq-render-icons OUTDIR SIZE...: writes the program's icon, as the dialogs draw it, to
// OUTDIR/SIZE.png for each size, for the desktop's icon theme. Runs at build time, headless.
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gui/resources.h"
#include "ui/qt/qt_window.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: talq-render-icons OUTDIR SIZE...\n");
        return 2;
    }
    // No display is needed to paint into a pixmap.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const std::string outDir = argv[1];
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const talq::ui::IconDrawing* drawing = talq::gui::IconDrawing(talq::gui::kIconApplication);
        const QPixmap pixmap =
            drawing != nullptr && size > 0 ? talq::ui::qt::RenderIcon(*drawing, size) : QPixmap();
        const std::string path = outDir + "/" + argv[i] + ".png";
        if (size <= 0 || pixmap.isNull() || !pixmap.save(QString::fromStdString(path), "PNG")) {
            std::fprintf(stderr, "talq-render-icons: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
