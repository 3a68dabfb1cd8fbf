// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the keys and the mouse turn the view and move the time: through the track bars, whose
// handlers pass the values on, so the bars always show what is drawn.

#include <QPoint>

class QEvent;
class QWidget;

namespace mainwindow {

class TTrackBar;

struct TViewBars {
    TTrackBar* azimuth = nullptr;
    TTrackBar* elevation = nullptr;
    TTrackBar* time = nullptr;
};

// An arrow or page key without modifiers, for the focused control: Up and Down always step the
// elevation, Left and Right on the elevation bar (and on the time bar while the time runs) step
// the azimuth; at the ends the azimuth and the time wrap around, skipping the end value that
// shows the same picture as the other end. True when the key was used.
bool moveViewBars(int key, QWidget* focus, const TViewBars& bars, bool timeRunning);

// Dragging the drawing with the left button turns the view: across its whole width twice the
// azimuth's range, across its height twice the elevation's. The cursor shows the hand.
class ViewDrag {
public:
    ViewDrag(QWidget& area, const TViewBars& bars) : m_area(area), m_bars(bars) {}
    // An event of the drawing area; enabled is false while the window is busy. Never consumes
    // the event.
    void handle(QEvent* event, bool enabled, int drawWidth, int drawHeight);

private:
    QWidget& m_area;
    TViewBars m_bars;
    QPoint m_origin;
};

}  // namespace mainwindow
