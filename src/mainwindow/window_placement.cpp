// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/window_placement.h"

#include <QWidget>

#include <algorithm>

namespace mainwindow {

namespace {

constexpr Qt::WindowStates NotNormal =
    Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

}  // namespace

WindowPlacement::WindowPlacement(QWidget& window, bool positionKnown)
    : m_window(window), m_positionKnown(positionKnown)
{
}

void WindowPlacement::restore(const settings::TWindowPlacement& stored, int workAreaWidth,
                              int workAreaHeight)
{
    m_minimized = stored.WindowState == 1;
    m_maximized = stored.WindowState == 2;
    m_restoreState = m_minimized ? 0 : stored.WindowState;
    int left = stored.Left;
    int top = stored.Top;
    const int width = std::min(stored.Width, workAreaWidth);
    const int height = std::min(stored.Height, workAreaHeight);
    top = std::max(top, 0);
    left = std::max(left, 32 - width);
    left = std::min(left, workAreaWidth - 32);
    top = std::min(top, workAreaHeight - 32);
    m_window.move(left, top);
    m_window.resize(width, height);
    m_normalGeometry = QRect(left, top, width, height);
    if (m_minimized) {
        m_window.setWindowState(Qt::WindowMinimized);
    } else if (m_maximized) {
        m_window.setWindowState(Qt::WindowMaximized);
    }
}

void WindowPlacement::captureInto(settings::TWindowPlacement& placement) const
{
    const Qt::WindowStates state = m_window.windowState();
    const QRect bounds =
        (state & NotNormal) == 0 ? QRect(m_window.pos(), m_window.size()) : m_normalGeometry;
    if (m_positionKnown) {
        placement.Left = bounds.left();
        placement.Top = bounds.top();
    }
    placement.Width = bounds.width();
    placement.Height = bounds.height();
    placement.WindowState = m_minimized ? 1 : (state & Qt::WindowMaximized) != 0 ? 2 : 0;
}

void WindowPlacement::windowStateChanged(bool starting)
{
    const Qt::WindowStates state = m_window.windowState();
    const bool minimizedNow = (state & Qt::WindowMinimized) != 0;
    if (minimizedNow && !m_minimized) {
        ApplicationOnMinimize(starting);
    } else if (!minimizedNow && m_minimized) {
        ApplicationOnRestore();
    } else if (!minimizedNow) {
        m_maximized = (state & Qt::WindowMaximized) != 0;
    }
    if ((m_window.windowState() & NotNormal) == 0) {
        m_normalGeometry = m_window.geometry();
    }
}

void WindowPlacement::ApplicationOnMinimize(bool starting)
{
    m_restoreState = m_maximized ? 2 : 0;
    if (!starting && !m_maximized) {
        m_normalGeometry = m_window.normalGeometry();
    }
    m_minimized = true;
    m_maximized = false;
}

void WindowPlacement::ApplicationOnRestore()
{
    m_minimized = false;
    m_maximized = m_restoreState == 2;
    if (m_maximized) {
        m_window.setWindowState(Qt::WindowMaximized);
    } else {
        m_window.setWindowState(Qt::WindowNoState);
        m_window.setGeometry(m_normalGeometry);
    }
}

}  // namespace mainwindow
