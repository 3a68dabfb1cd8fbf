// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QToolButton>

namespace mainwindow {

// A toolbar button that stays down: while it is on, its square is filled with the palette's
// highlight colour, faintly, and framed in it, so that the state reads at a glance in light and
// dark palettes alike; the platform's thin sunken frame alone did not.
class TToolbarToggle : public QToolButton {
public:
    explicit TToolbarToggle(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace mainwindow
