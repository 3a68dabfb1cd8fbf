// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSlider>

namespace mainwindow {

// A slider that behaves like the platform track bar the window was laid out for: Left and Up
// step down, Right and Down step up, Page Up and Page Down by the page step, Home and End to the
// ends. It carries the tag its change handler tells the family members apart by.
class TTrackBar : public QSlider {
public:
    TTrackBar(Qt::Orientation orientation, int tag, QWidget* parent);

    int tag() const { return m_tag; }
    // Horizontal (vertical for a vertical bar) pixel position, in this widget's coordinates, of
    // the thumb's centre when the bar stands at value.
    int valuePixel(int value) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_tag;
};

}  // namespace mainwindow
