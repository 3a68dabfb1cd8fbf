// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/track_bar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleOptionSlider>

namespace mainwindow {

namespace {

constexpr int FocusFrameWidth = 2;

// The window was laid out for a track bar whose track is inset 11 pixels at each end; a thumb
// 22 pixels long gives the same insets in any style, so the tick labels keep their spacing.
class TrackBarStyle : public QProxyStyle {
public:
    TrackBarStyle() : QProxyStyle(QApplication::style()->name()) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_SliderLength) {
            return 22;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QStyle* trackBarStyle()
{
    static QStyle* style = [] {
        auto* proxy = new TrackBarStyle;
        proxy->setParent(qApp);  // lives as long as the application
        return proxy;
    }();
    return style;
}

}  // namespace

TTrackBar::TTrackBar(Qt::Orientation orientation, int tag, QWidget* parent)
    : QSlider(orientation, parent), m_tag(tag)
{
    setFocusPolicy(Qt::StrongFocus);
    setStyle(trackBarStyle());
    // A vertical bar has its minimum at the top.
    setInvertedAppearance(orientation == Qt::Vertical);
}

int TTrackBar::valuePixel(int value) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    if (orientation() == Qt::Horizontal) {
        const int span = groove.width() - handle.width();
        return groove.x() + handle.width() / 2 +
               QStyle::sliderPositionFromValue(minimum(), maximum(), value, span, option.upsideDown);
    }
    const int span = groove.height() - handle.height();
    return groove.y() + handle.height() / 2 +
           QStyle::sliderPositionFromValue(minimum(), maximum(), value, span, option.upsideDown);
}

void TTrackBar::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        QSlider::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        setValue(value() - singleStep());
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        setValue(value() + singleStep());
        break;
    case Qt::Key_PageUp:
        setValue(value() - pageStep());
        break;
    case Qt::Key_PageDown:
        setValue(value() + pageStep());
        break;
    case Qt::Key_Home:
        setValue(minimum());
        break;
    case Qt::Key_End:
        setValue(maximum());
        break;
    default:
        QSlider::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TTrackBar::paintEvent(QPaintEvent* event)
{
    QSlider::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), FocusFrameWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const int inset = FocusFrameWidth / 2;
    painter.drawRect(rect().adjusted(inset, inset, -inset - 1, -inset - 1));
}

void TTrackBar::focusInEvent(QFocusEvent* event)
{
    QSlider::focusInEvent(event);
    update();
}

void TTrackBar::focusOutEvent(QFocusEvent* event)
{
    QSlider::focusOutEvent(event);
    update();
}

TTrackBarCaption::TTrackBarCaption(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), m_orientation(orientation)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TTrackBarCaption::setText(const QString& text)
{
    m_text = text;
    const QSize size(textLength(), textThickness());
    resize(m_orientation == Qt::Horizontal ? size : size.transposed());
    update();
}

int TTrackBarCaption::textLength() const
{
    return fontMetrics().horizontalAdvance(m_text);
}

int TTrackBarCaption::textThickness() const
{
    return fontMetrics().height();
}

void TTrackBarCaption::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    if (m_orientation == Qt::Vertical) {
        // Reads from the bottom up, as a vertical axis is labelled.
        painter.translate(0, height());
        painter.rotate(-90);
    }
    painter.drawText(QRect(0, 0, textLength(), textThickness()), Qt::AlignCenter, m_text);
}

}  // namespace mainwindow
