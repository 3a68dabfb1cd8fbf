// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QFrame>
#include <QHash>

#include <array>

#include "common/globals.h"
#include "scene/polarisation.h"
#include "scene/readout.h"

class QLabel;

namespace mainwindow {

// The polarisation readout beside the drawing: a heading and one line per quantity, in the
// language and under the handedness convention in force, following every change of the scene.
class TReadoutPanel : public QFrame {
public:
    explicit TReadoutPanel(QWidget* parent);

    void show(const scene::TPolarisation& polarisation, common::TLanguage language);
    // The state line, as the drawing's description for a screen reader says it.
    QString stateText() const;
    QString lineText(scene::TReadoutLine line) const;
    // The width the panel asks for in the window's font: room for its lines at that size.
    int preferredWidth() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void arrange();
    // The label's height with its text wrapped at this width.
    int wrappedHeight(QLabel* label, int width);

    struct OneLine {
        int width = -1;
        QFont font;
        int height = 0;
    };
    QHash<const QLabel*, OneLine> m_oneLine;  // a one-line text's height, by label

    QLabel* m_title;
    std::array<QLabel*, scene::ReadoutLineCount> m_lines{};
};

}  // namespace mainwindow
