// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/readout_panel.h"

#include <QLabel>

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
    const QString title = fromUtf8(scene::readoutTitle(language));
    m_title->setText(title);
    setAccessibleName(title);
    const scene::TReadoutLines lines = scene::readoutLines(polarisation, language);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        m_lines[i]->setText(fromUtf8(lines[i]));
    }
    setAccessibleDescription(stateText());
    arrange();
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

void TReadoutPanel::arrange()
{
    const int inner = std::max(1, width() - 2 * Padding);
    int y = Padding;
    const auto place = [&y, inner](QLabel* label, int after) {
        const int height = label->heightForWidth(inner);
        label->setGeometry(Padding, y, inner, height > 0 ? height : label->sizeHint().height());
        y += label->height() + after;
    };
    place(m_title, Padding);
    for (QLabel* line : m_lines) {
        place(line, Padding / 2);
    }
}

}  // namespace mainwindow
