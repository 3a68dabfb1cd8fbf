// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/readout_panel.h"

#include <QLabel>

#include <algorithm>

namespace mainwindow {

namespace {

constexpr int Padding = 6;
// In widths of "M": the Stokes and Jones lines fit, longer words wrap.
constexpr int PreferredEms = 19;

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TReadoutPanel::TReadoutPanel(QWidget* parent) : QFrame(parent), m_title(new QLabel(this))
{
    setObjectName(QStringLiteral("PanelReadout"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->setWordWrap(true);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        m_lines[i] = new QLabel(this);
        m_lines[i]->setObjectName(QStringLiteral("LabelReadout%1").arg(i));
        m_lines[i]->setWordWrap(true);
        m_lines[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    // The state, to be read first.
    QFont state = m_lines[0]->font();
    state.setBold(true);
    m_lines[0]->setFont(state);
}

void TReadoutPanel::show(const scene::TPolarisation& polarisation, common::TLanguage language)
{
    // Shown on every step of the time, when only the field's line changes: a label is set,
    // and the panel laid out again, only where a text changed and the wrapped height with it.
    const int inner = std::max(1, width() - 2 * Padding);
    bool heightChanged = false;
    const auto setText = [this, &heightChanged, inner](QLabel* label, const QString& text) {
        if (label->text() == text) {
            return false;
        }
        label->setText(text);
        heightChanged = heightChanged || wrappedHeight(label, inner) != label->height();
        return true;
    };
    const QString title = fromUtf8(scene::readoutTitle(language));
    if (setText(m_title, title)) {
        setAccessibleName(title);
    }
    const scene::TReadoutLines lines = scene::readoutLines(polarisation, language);
    bool stateChanged = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool changed = setText(m_lines[i], fromUtf8(lines[i]));
        stateChanged = stateChanged || (changed && i == 0);
    }
    if (stateChanged) {
        setAccessibleDescription(stateText());
    }
    if (heightChanged) {
        arrange();
    }
}

QString TReadoutPanel::stateText() const
{
    return m_lines[0]->text();
}

QString TReadoutPanel::lineText(scene::TReadoutLine line) const
{
    return m_lines[static_cast<std::size_t>(line)]->text();
}

int TReadoutPanel::preferredWidth() const
{
    return PreferredEms * fontMetrics().horizontalAdvance(QLatin1Char('M')) + 2 * Padding;
}

void TReadoutPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    arrange();
}

int TReadoutPanel::wrappedHeight(QLabel* label, int width)
{
    // Any text that fits on one line is as high as another that does: laying out the label's
    // document again, as measuring it does, costs more than the rest of a time step's readout.
    OneLine& known = m_oneLine[label];
    const bool oneLine = label->fontMetrics().horizontalAdvance(label->text()) <= width;
    if (oneLine && known.width == width && known.font == label->font()) {
        return known.height;
    }
    int height = label->heightForWidth(width);
    height = height > 0 ? height : label->sizeHint().height();
    if (oneLine) {
        known = OneLine{width, label->font(), height};
    }
    return height;
}

void TReadoutPanel::arrange()
{
    const int inner = std::max(1, width() - 2 * Padding);
    int y = Padding;
    const auto place = [this, &y, inner](QLabel* label, int after) {
        label->setGeometry(Padding, y, inner, wrappedHeight(label, inner));
        y += label->height() + after;
    };
    place(m_title, Padding);
    for (QLabel* line : m_lines) {
        place(line, Padding / 2);
    }
}

}  // namespace mainwindow
