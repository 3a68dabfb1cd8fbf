// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <functional>

class QToolButton;

namespace mainwindow {

// Two arrow buttons over a position within minimum .. maximum, without wrap-around. The upper
// arrow raises the position by one, the lower lowers it; after a click that moved it, onClick
// runs.
class TUpDown : public QWidget {
public:
    explicit TUpDown(QWidget* parent);

    int position() const { return m_position; }
    void setPosition(int position);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    void setMaximum(int maximum);
    void setMinimum(int minimum);

    void clickUp() { step(+1); }
    void clickDown() { step(-1); }

    std::function<void()> onClick;

    // Up raises the position by one, down lowers it.
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void step(int delta);

    QToolButton* m_up;
    QToolButton* m_down;
    int m_minimum = 1;
    int m_maximum = 1;
    int m_position = 1;
};

}  // namespace mainwindow
