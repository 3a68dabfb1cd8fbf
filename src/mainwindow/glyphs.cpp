// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/glyphs.h"

#include <QPainter>
#include <QPolygon>

#include <cstdlib>

namespace mainwindow {

namespace {

using scene::TSceneObject;

QColor colourOf(scene::TColor c)
{
    return QColor(static_cast<int>(common::redOf(c)), static_cast<int>(common::greenOf(c)),
                  static_cast<int>(common::blueOf(c)));
}

// Pixels of a line from (x1, y1) toward (x2, y2): the start included, the end excluded.
void line(QImage& image, int x1, int y1, int x2, int y2, QColor colour)
{
    const int dx = std::abs(x2 - x1);
    const int dy = std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int error = dx - dy;
    int x = x1;
    int y = y1;
    while (x != x2 || y != y2) {
        if (image.rect().contains(x, y)) {
            image.setPixelColor(x, y, colour);
        }
        const int twice = 2 * error;
        if (twice > -dy) {
            error -= dy;
            x += sx;
        }
        if (twice < dx) {
            error += dx;
            y += sy;
        }
    }
}

void filledPolygon(QImage& image, const QPolygon& corners, QColor pen, QColor brush)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(pen, 0));
    painter.setBrush(brush);
    painter.drawPolygon(corners);
}

// One period of a wave over the axis; rows relative to the middle row m, per column.
void wave(QImage& image, int m, QColor axis, QColor colour)
{
    line(image, 0, m, GlyphSize, m, axis);
    struct Column {
        int xFirst, xLast, rowFirst, rowLast;
    };
    const Column columns[] = {
        {1, 1, -2, 0},  {2, 2, -4, -3}, {3, 3, -6, -5}, {4, 6, -7, -7},  {7, 7, -6, -5},
        {8, 8, -4, -3}, {9, 9, -2, 0},  {10, 10, 0, 2}, {11, 11, 3, 4},  {12, 12, 5, 6},
        {13, 15, 7, 7}, {16, 16, 5, 6}, {17, 17, 3, 4}, {18, 18, 0, 2},
    };
    for (const Column& c : columns) {
        for (int x = c.xFirst; x <= c.xLast; ++x) {
            for (int row = c.rowFirst; row <= c.rowLast; ++row) {
                image.setPixelColor(x, m + row, colour);
            }
        }
    }
}

}  // namespace

QImage drawGlyph(int number, const scene::TSceneStyles& styles)
{
    const auto colour = [&styles](TSceneObject object) {
        return colourOf(styles[static_cast<std::size_t>(object)].Color);
    };
    QImage image(GlyphSize, GlyphSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QColor background =
        colour(number == 4 ? TSceneObject::ReferenceSurface : TSceneObject::Background);
    for (int y = 0; y < GlyphSize - 1; ++y) {
        for (int x = 0; x < GlyphSize; ++x) {
            image.setPixelColor(x, y, background);
        }
    }
    const int m = GlyphSize / 2 - 1;
    const QColor axis = colour(TSceneObject::CoordinateSystem);
    switch (number) {
    case 1:
        wave(image, m, axis, colour(TSceneObject::HorizontalWave));
        break;
    case 2:
        wave(image, m, axis, colour(TSceneObject::VerticalWave));
        break;
    case 3:
        wave(image, m, axis, colour(TSceneObject::ResultantWave));
        break;
    case 4: {
        const QColor vector = colour(TSceneObject::ResultantVector);
        line(image, 2, 17, 18, 1, vector);
        filledPolygon(image, QPolygon({QPoint(18, 1), QPoint(11, 4), QPoint(15, 8)}), vector, vector);
        break;
    }
    case 5: {
        const QColor darkRed(128, 0, 0);
        const int arrows[][4] = {
            {0, 0, 4, 4},     {1, 3, 3, 3},     {3, 1, 3, 3},      // top left
            {0, 18, 4, 14},   {1, 15, 3, 15},   {3, 17, 3, 15},    // bottom left
            {19, 0, 15, 4},   {18, 3, 16, 3},   {16, 1, 16, 3},    // top right
            {19, 18, 15, 14}, {18, 15, 16, 15}, {16, 17, 16, 14},  // bottom right
        };
        for (const auto& a : arrows) {
            line(image, a[0], a[1], a[2], a[3], darkRed);
        }
        filledPolygon(image, QPolygon({QPoint(5, 8), QPoint(14, 17), QPoint(14, 10), QPoint(5, 1)}),
                      axis, colour(TSceneObject::ReferenceSurface));
        line(image, 1, 13, 18, 5, axis);
        line(image, 16, 5, 18, 7, axis);
        break;
    }
    default:
        break;
    }
    return image;
}

}  // namespace mainwindow
