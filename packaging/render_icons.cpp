// talq-render-icons OUTDIR SIZE...: writes the program's icon, as the dialogs draw it, to
// OUTDIR/SIZE.png for each size, for the desktop's icon theme.
// talq-render-icons --ico FILE SIZE...: writes the same drawing as one Windows icon file with
// an image of each size (src/app/win32/talq-manager.ico is made so; a test renders it again and
// compares). Runs at build time, headless.
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "gui/resources.h"
#include "ui/qt/qt_window.h"

namespace {

QImage Render(int size) {
    const talq::ui::IconDrawing* drawing = talq::gui::IconDrawing(talq::gui::kIconApplication);
    if (drawing == nullptr || size <= 0) return {};
    return talq::ui::qt::RenderIcon(*drawing, size)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

void Put16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// One image of an icon file: PNG at 256 pixels (as Windows keeps its large icons), else a
// 32-bit bitmap, rows bottom-up, with the transparency mask after it.
std::string IconImage(const QImage& image) {
    std::string out;
    const int size = image.width();
    if (size >= 256) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return std::string(png.constData(), static_cast<std::size_t>(png.size()));
    }
    const int maskRow = ((size + 31) / 32) * 4;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(size));
    Put32(out, static_cast<std::uint32_t>(size * 2));  // the colours and the mask
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(size * size * 4 + maskRow * size));
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) Put32(out, image.pixel(x, y));  // BGRA in the file
    }
    for (int y = size - 1; y >= 0; --y) {
        std::string row(static_cast<std::size_t>(maskRow), '\0');
        for (int x = 0; x < size; ++x) {
            if (qAlpha(image.pixel(x, y)) == 0) row[x / 8] |= static_cast<char>(0x80 >> (x % 8));
        }
        out += row;
    }
    return out;
}

int WriteIconFile(const std::string& path, const std::vector<int>& sizes) {
    std::vector<std::string> images;
    for (const int size : sizes) {
        const QImage image = Render(size);
        if (image.isNull() || size > 256) return 1;
        images.push_back(IconImage(image));
    }
    std::string file;
    Put16(file, 0);
    Put16(file, 1);  // an icon
    Put16(file, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        file += static_cast<char>(sizes[i] & 0xFF);  // 256 is written as 0
        file += static_cast<char>(sizes[i] & 0xFF);
        file += '\0';  // no palette
        file += '\0';
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, static_cast<std::uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const std::string& image : images) file += image;
    std::ofstream out(path, std::ios::binary);
    out << file;
    return out.good() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || (std::string(argv[1]) == "--ico" && argc < 4)) {
        std::fprintf(stderr, "usage: talq-render-icons OUTDIR SIZE... | --ico FILE SIZE...\n");
        return 2;
    }
    // No display is needed to paint into a pixmap.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (std::string(argv[1]) == "--ico") {
        std::vector<int> sizes;
        for (int i = 3; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
        if (WriteIconFile(argv[2], sizes) != 0) {
            std::fprintf(stderr, "talq-render-icons: cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    const std::string outDir = argv[1];
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QImage image = Render(size);
        const std::string path = outDir + "/" + argv[i] + ".png";
        if (image.isNull() || !image.save(QString::fromStdString(path), "PNG")) {
            std::fprintf(stderr, "talq-render-icons: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
