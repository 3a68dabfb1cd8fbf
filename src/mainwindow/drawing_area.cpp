// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/drawing_area.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>

#include "scene/projection.h"
#include "scene/render.h"

namespace mainwindow {

namespace {
// How long a resize waits while a drawing still runs; the deferred redraw uses the same delay.
constexpr int RetryMilliseconds = 20;
}  // namespace

DrawingArea::DrawingArea(scene::SceneState& state, QWidget* parent)
    : QWidget(parent), m_state(state)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A window of its own, so that the picture can be put there without the toolkit's buffer;
    // the widgets around stay in the main window's.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        setAttribute(Qt::WA_DontCreateNativeAncestors);
        setAttribute(Qt::WA_NativeWindow);
    }
    makePicture(QSize(1, 1));
}

DrawingArea::~DrawingArea() = default;

scene::Canvas& DrawingArea::screenCanvas()
{
    // The engine draws on what it is given: the window system must be done reading it.
    if (m_presenter != nullptr) {
        m_presenter->waitUntilShown();
    }
    return *m_canvas;
}

QPaintEngine* DrawingArea::paintEngine() const
{
    // Painted on screen by the presenter, not through a paint engine.
    return m_presenter != nullptr ? nullptr : QWidget::paintEngine();
}

void DrawingArea::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_presenterTried || !testAttribute(Qt::WA_NativeWindow) || m_state.DrawingInProgress) {
        return;
    }
    m_presenterTried = true;
    m_presenter = platform::ScreenPresenter::create(winId());
    if (m_presenter == nullptr) {
        return;
    }
    setAttribute(Qt::WA_PaintOnScreen);
    makePicture(size());
    reprojectAndRedraw();
}

void DrawingArea::stopShowingDirectly()
{
    setAttribute(Qt::WA_PaintOnScreen, false);
    m_presenter.reset();
}

void DrawingArea::processPendingEvents()
{
    QCoreApplication::processEvents();
}

void DrawingArea::makePicture(QSize size)
{
    m_canvas.reset();  // ends painting on the old picture before it goes
    // Drawn at the screen's density so lines stay sharp; the scene keeps working in
    // device-independent pixels, on which the true scale rests.
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize = size.expandedTo(QSize(1, 1)) * ratio;
    m_picture = QImage();
    if (m_presenter != nullptr) {
        m_picture = m_presenter->makePicture(deviceSize);
        if (m_picture.isNull()) {
            stopShowingDirectly();
        }
    }
    if (m_picture.isNull()) {
        m_picture = QImage(deviceSize, QImage::Format_RGB32);
        m_picture.fill(Qt::white);
    }
    m_picture.setDevicePixelRatio(ratio);
    m_canvas = std::make_unique<platform::PainterCanvas>(m_picture);
    m_canvas->setKeepsLayers(true);
    m_state.DrawWidth = size.width();
    m_state.DrawHeight = size.height();
}

void DrawingArea::reprojectAndRedraw()
{
    scene::projectScene(m_state, m_state.DrawWidth, m_state.DrawHeight, m_state.PixelsPerUnit, 1.0);
    // Through screenCanvas(): the picture may still be on its way to the screen.
    scene::drawScene(m_state, 0, 0, m_state.DrawWidth, m_state.DrawHeight, screenCanvas(), 1.0);
    m_canvas->takeChanged();
    update();
}

void DrawingArea::paintEvent(QPaintEvent* event)
{
    // The raster painter writes straight into the picture, so it can be shown while its canvas
    // stays open for the next drawing.
    // Only the region's own rectangles: the moving parts' bounding box is most of the area.
    const qreal ratio = m_picture.devicePixelRatio();
    // Painted on screen unless the window is being rendered elsewhere (grab(), render()).
    if (m_presenter != nullptr && redirected(nullptr) == nullptr) {
        QRegion device;
        for (const QRect& r : event->region()) {
            device += platform::toDevicePixels(r, ratio);
        }
        if (m_presenter->show(m_picture, device)) {
            return;
        }
        // Not its picture (it never should be): from here on through the window's buffer.
        stopShowingDirectly();
        update();
        return;
    }
    QPainter painter(this);
    for (const QRect& r : event->region()) {
        const QRectF source(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio);
        painter.drawImage(QRectF(r), m_picture, source);
    }
}

void DrawingArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The picture must not be replaced under a drawing that lets events run at its end.
    if (m_state.DrawingInProgress) {
        if (!m_resizePending) {
            m_resizePending = true;
            QTimer::singleShot(RetryMilliseconds, this, [this] {
                m_resizePending = false;
                QResizeEvent again(size(), size());
                resizeEvent(&again);
            });
        }
        return;
    }
    makePicture(size());
    reprojectAndRedraw();
}

}  // namespace mainwindow
