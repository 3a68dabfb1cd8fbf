// SPDX-License-Identifier: GPL-3.0-or-later
// svg_to_png: renders an SVG picture into a square PNG of a given size. The build uses it to make
// the application icon's fixed sizes from the one drawing, with the same SVG renderer the program
// uses, so no other graphics tool is needed; the PNG is encoded and saved as the program's
// pictures are.

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <charconv>
#include <cstdio>
#include <string>

#include "output/export_formats.h"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "Usage: svg_to_png INPUT.svg SIZE OUTPUT.png\n");
        return 2;
    }
    const std::string sizeText = argv[2];
    int size = 0;
    const char* end = sizeText.data() + sizeText.size();
    const auto [ptr, ec] = std::from_chars(sizeText.data(), end, size);
    if (ec != std::errc() || ptr != end || size < 1 || size > 4096) {
        std::fprintf(stderr, "svg_to_png: SIZE '%s' is not 1 .. 4096\n", argv[2]);
        return 2;
    }

    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "svg_to_png: cannot read %s as SVG\n", argv[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        renderer.render(&painter, QRectF(0, 0, size, size));
    }
    QByteArray png;
    QString error;
    if (!output::encodeImage(image.convertToFormat(QImage::Format_ARGB32), "png", png, error) ||
        !output::storePicture(std::string(argv[3]), png, error)) {
        std::fprintf(stderr, "svg_to_png: cannot write %s: %s\n", argv[3],
                     error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
