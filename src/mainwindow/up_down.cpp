// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/up_down.h"

#include <QToolButton>

#include <algorithm>

namespace mainwindow {

TUpDown::TUpDown(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    for (QToolButton* button : {m_up, m_down}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setAutoRaise(false);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
}

void TUpDown::setPosition(int position)
{
    m_position = std::clamp(position, m_minimum, std::max(m_minimum, m_maximum));
}

void TUpDown::setMaximum(int maximum)
{
    m_maximum = maximum;
    setPosition(m_position);
}

void TUpDown::setMinimum(int minimum)
{
    m_minimum = minimum;
    setPosition(m_position);
}

void TUpDown::step(int delta)
{
    // The platform control reports a click even at its ends; the handler then finds the
    // position unchanged.
    setPosition(m_position + delta);
    if (onClick) {
        onClick();
    }
}

void TUpDown::resizeEvent(QResizeEvent*)
{
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

}  // namespace mainwindow
