// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

#include <array>

#include "common/globals.h"
#include "scene/polarisation.h"
#include "scene/readout.h"

class QLabel;

namespace mainwindow {

class TReadoutLineLabel;

// The polarisation readout beside the drawing: a heading and one line per quantity, in the
// language and under the handedness convention in force, following every change of the scene.
class TReadoutPanel : public QFrame {
public:
    explicit TReadoutPanel(QWidget* parent);

    void show(const scene::TPolarisation& polarisation, common::TLanguage language);
    // A time step: the field's line alone, in the language the panel shows.
    void showField(const std::array<double, 2>& field, common::TLanguage language);
    // The state line, as the drawing's description for a screen reader says it.
    QString stateText() const;
    QString lineText(scene::TReadoutLine line) const;
    // The width the panel asks for in the window's font: room for its lines at that size.
    int preferredWidth() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Sets a line's text where it differs, and notes where its wrapped height changed with it.
    template <typename Label>
    bool setLineText(Label* label, const QString& text, bool& heightChanged);
    void arrange();
    QLabel* m_title;
    std::array<TReadoutLineLabel*, scene::ReadoutLineCount> m_lines{};
};

}  // namespace mainwindow
