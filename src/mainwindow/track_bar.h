// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSlider>
#include <QWidget>

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
    // The focused bar is framed in the palette's highlight colour: the arrow keys act on it.
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int m_tag;
};

// What a track bar controls, in the window's font: a line of text, or for the vertical bar a
// line turned to read upwards.
class TTrackBarCaption : public QWidget {
public:
    TTrackBarCaption(Qt::Orientation orientation, QWidget* parent);
    void setText(const QString& text);
    const QString& text() const { return m_text; }
    // The text's size along its line and across it.
    int textLength() const;
    int textThickness() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation m_orientation;
    QString m_text;
};

}  // namespace mainwindow
