// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/readout_panel.h"

#include <QLabel>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace mainwindow {

// A selectable line of the readout. With a text control, QLabel fills and lays out its document
// again for each new text, to measure it and again to paint it: on every time step the field's
// line cost more than the rest of the readout. This label lays the text out once per text, width
// and font, as the document would, and paints that; the document is still there for selecting
// and copying, and paints while a selection stands.
class TReadoutLineLabel : public QLabel {
public:
    using QLabel::QLabel;

    // As heightForWidth, the label's height with its text wrapped at this width.
    int wrappedHeight(int width)
    {
        if (text().isEmpty()) {
            return QLabel::heightForWidth(width);
        }
        layOut(width);
        return m_height;
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        // A selection is QLabel's to paint; one left from the text before goes when it does.
        if (hasSelectedText() || text().isEmpty()) {
            QLabel::paintEvent(event);
            return;
        }
        layOut(contentsRect().width());
        QPainter painter(this);
        drawFrame(&painter);
        const QRect inside = contentsRect();
        // Centred upright, as QLabel does when the label is higher than its text.
        const qreal top =
            inside.top() + std::floor(std::max((inside.height() - m_extent) / 2, 0.0));
        painter.setPen(palette().color(isEnabled() ? foregroundRole() : QPalette::Text));
        m_layout.draw(&painter, QPointF(inside.left(), top));
    }

private:
    void layOut(int width)
    {
        if (width == m_width && text() == m_layout.text() && font() == m_layout.font()) {
            return;
        }
        m_width = width;
        m_layout.setText(text());
        m_layout.setFont(font());
        QTextOption option(Qt::AlignLeft);
        option.setWrapMode(QTextOption::WordWrap);
        m_layout.setTextOption(option);
        // Kept after endLayout(): without it the layout drops its shaped glyphs there, and every
        // paint itemizes and shapes the text again.
        m_layout.setCacheEnabled(true);
        // Lines below each other with their leading, as in a document without margins.
        qreal y = 0;
        m_layout.beginLayout();
        for (QTextLine line = m_layout.createLine(); line.isValid(); line = m_layout.createLine()) {
            line.setLeadingIncluded(true);
            line.setLineWidth(width);
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        m_layout.endLayout();
        m_extent = y;
        m_height = static_cast<int>(std::ceil(y));
    }

    QTextLayout m_layout;
    int m_width = -1;
    qreal m_extent = 0;
    int m_height = 0;
};

namespace {

constexpr int Padding = 6;
// In widths of "M": the Stokes and Jones lines fit, longer words wrap.
constexpr int PreferredEms = 19;

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The label's height with its text wrapped at this width.
int wrappedHeight(QLabel* label, int width)
{
    // The heading has no text control: QLabel measures it with the font's metrics alone.
    const int height = label->heightForWidth(width);
    return height > 0 ? height : label->sizeHint().height();
}

int wrappedHeight(TReadoutLineLabel* label, int width)
{
    return label->wrappedHeight(width);
}

}  // namespace

TReadoutPanel::TReadoutPanel(QWidget* parent) : QFrame(parent), m_title(new QLabel(this))
{
    setObjectName(QStringLiteral("PanelReadout"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // The field's line is new on every time step; laid out without shaping it costs a third of
    // what it does with it. Latin and Greek text looks the same either way, and the labels'
    // documents take the panel's font, so selecting shows the same glyphs.
    QFont unshaped = font();
    unshaped.setStyleStrategy(QFont::PreferNoShaping);
    setFont(unshaped);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->setWordWrap(true);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        m_lines[i] = new TReadoutLineLabel(this);
        // Filled with the window's colour that shows behind it anyway, the line is opaque: a new
        // text repaints the line alone, not the panel and the window under it as well.
        m_lines[i]->setAutoFillBackground(true);
        m_lines[i]->setObjectName(QStringLiteral("LabelReadout%1").arg(i));
        m_lines[i]->setWordWrap(true);
        m_lines[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    // The state, to be read first.
    QFont state = m_lines[0]->font();
    state.setBold(true);
    m_lines[0]->setFont(state);
}

// A label is set, and the panel laid out again, only where a text changed and the wrapped
// height with it.
template <typename Label>
bool TReadoutPanel::setLineText(Label* label, const QString& text, bool& heightChanged)
{
    if (label->text() == text) {
        return false;
    }
    label->setText(text);
    heightChanged = heightChanged ||
                    wrappedHeight(label, std::max(1, width() - 2 * Padding)) != label->height();
    return true;
}

void TReadoutPanel::show(const scene::TPolarisation& polarisation, common::TLanguage language)
{
    bool heightChanged = false;
    const QString title = fromUtf8(scene::readoutTitle(language));
    if (setLineText(m_title, title, heightChanged)) {
        setAccessibleName(title);
    }
    const scene::TReadoutLines lines = scene::readoutLines(polarisation, language);
    bool stateChanged = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool changed = setLineText(m_lines[i], fromUtf8(lines[i]), heightChanged);
        stateChanged = stateChanged || (changed && i == 0);
    }
    if (stateChanged) {
        setAccessibleDescription(stateText());
    }
    if (heightChanged) {
        arrange();
    }
}

void TReadoutPanel::showField(const std::array<double, 2>& field, common::TLanguage language)
{
    // On every step of the time, which changes no other line.
    constexpr auto Field = static_cast<std::size_t>(scene::TReadoutLine::Field);
    bool heightChanged = false;
    setLineText(m_lines[Field], fromUtf8(scene::fieldLine(field, language)), heightChanged);
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

void TReadoutPanel::arrange()
{
    const int inner = std::max(1, width() - 2 * Padding);
    int y = Padding;
    const auto place = [&y, inner](auto* label, int after) {
        label->setGeometry(Padding, y, inner, wrappedHeight(label, inner));
        y += label->height() + after;
    };
    place(m_title, Padding);
    for (TReadoutLineLabel* line : m_lines) {
        place(line, Padding / 2);
    }
}

}  // namespace mainwindow
