// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/toolbar_toggle.h"

#include <QPainter>

namespace mainwindow {

namespace {

constexpr int FrameWidth = 2;
constexpr int FillAlpha = 80;  // of 255: the glyph's colours stay readable over it

}  // namespace

TToolbarToggle::TToolbarToggle(QWidget* parent) : QToolButton(parent)
{
    setCheckable(true);
    setAttribute(Qt::WA_Hover);  // repainted as the pointer comes and goes
}

void TToolbarToggle::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    QColor highlight = colours.color(QPalette::Highlight);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    if (isChecked()) {
        QColor fill = highlight;
        fill.setAlpha(FillAlpha);
        painter.fillRect(rect(), fill);
        QPen pen(highlight, FrameWidth);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    } else if (underMouse() && isEnabled()) {
        highlight.setAlpha(FillAlpha);
        painter.setPen(highlight);
        painter.drawRect(box);
    }
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QPixmap glyph = icon().pixmap(iconSize(), devicePixelRatioF(), mode);
    const QSize size = glyph.deviceIndependentSize().toSize();
    const QPoint at((width() - size.width()) / 2, (height() - size.height()) / 2);
    painter.drawPixmap(at, glyph);
}

}  // namespace mainwindow
