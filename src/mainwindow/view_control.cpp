// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/view_control.h"

#include <QMouseEvent>
#include <QWidget>

#include "mainwindow/shortcuts.h"
#include "mainwindow/track_bar.h"

namespace mainwindow {

bool moveViewBars(int key, QWidget* focus, const TViewBars& bars, bool timeRunning)
{
    const auto stepAzimuth = [&bars](int delta) {
        bars.azimuth->setFocus();
        bars.azimuth->setValue(bars.azimuth->value() + delta * bars.azimuth->singleStep());
        return true;
    };
    const bool left = key == Qt::Key_Left;
    const bool right = key == Qt::Key_Right;
    if ((left || right) && focus == bars.elevation) {
        return stepAzimuth(left ? -1 : 1);
    }
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && focus != bars.elevation) {
        bars.elevation->setFocus();
        bars.elevation->setValue(bars.elevation->value() + (key == Qt::Key_Up ? -1 : 1));
        return true;
    }
    const auto wrap = [key](TTrackBar* bar) {
        const int v = bar->value();
        if (key == Qt::Key_PageUp && v == bar->minimum()) {
            bar->setValue(bar->maximum() - bar->pageStep());
        } else if (key == Qt::Key_PageDown && v == bar->maximum()) {
            bar->setValue(bar->minimum() + bar->pageStep());
        } else if (key == Qt::Key_Left && v == bar->minimum()) {
            bar->setValue(bar->maximum() - bar->singleStep());
        } else if (key == Qt::Key_Right && v == bar->maximum()) {
            bar->setValue(bar->minimum() + bar->singleStep());
        } else {
            return false;
        }
        return true;
    };
    if (focus == bars.azimuth) {
        return wrap(bars.azimuth);
    }
    if (focus == bars.time) {
        if (timeRunning) {
            return (left || right) && stepAzimuth(left ? -1 : 1);
        }
        return wrap(bars.time);
    }
    return false;
}

void ViewDrag::handle(QEvent* event, bool enabled, int drawWidth, int drawHeight)
{
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && mouse->buttons() == Qt::LeftButton &&
                significantModifiers(mouse->modifiers()) == Qt::NoModifier) {
                m_origin = mouse->position().toPoint();
                m_area.setCursor(Qt::ClosedHandCursor);
            }
            break;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (!enabled || mouse->buttons() != Qt::LeftButton ||
                significantModifiers(mouse->modifiers()) != Qt::NoModifier || drawWidth <= 0 ||
                drawHeight <= 0) {
                break;
            }
            const QPoint at = mouse->position().toPoint();
            // Integer steps, the product before the division, so that slow moves add up.
            TTrackBar& azimuth = *m_bars.azimuth;
            TTrackBar& elevation = *m_bars.elevation;
            const int azimuthRange = azimuth.maximum() - azimuth.minimum();
            const int elevationRange = elevation.maximum() - elevation.minimum();
            const int dA = (m_origin.x() - at.x()) * azimuthRange * 2 / drawWidth;
            const int dE = (m_origin.y() - at.y()) * elevationRange * 2 / drawHeight;
            azimuth.setValue(azimuth.value() + dA);
            elevation.setValue(elevation.value() + dE);
            if (dA != 0) {
                m_origin.setX(at.x());
            }
            if (dE != 0) {
                m_origin.setY(at.y());
            }
            break;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && mouse->buttons() == Qt::NoButton &&
                significantModifiers(mouse->modifiers()) == Qt::NoModifier) {
                m_area.setCursor(Qt::OpenHandCursor);
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace mainwindow
