// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsdialog/settings_controls.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

#include "common/numbers.h"
#include "platform/painter_canvas.h"

namespace settingsdialog {

using platform::toQColor;

// --- TSpinEdit -----------------------------------------------------------------------------------

namespace {

using TDecimal = TSpinEdit::TDecimal;

std::int64_t powerOfTen(int exponent)
{
    std::int64_t power = 1;
    for (int i = 0; i < exponent; ++i) {
        power *= 10;
    }
    return power;
}

// Digits with at most one comma and at most FractionDigits digits after it; none for anything
// else, a lone comma included, and for numbers far beyond any range of a box.
std::optional<TDecimal> parseCommaDecimal(QStringView text)
{
    TDecimal number;
    bool comma = false;
    bool digit = false;
    for (const QChar c : text) {
        if (c == u',') {
            if (comma) {
                return std::nullopt;
            }
            comma = true;
            continue;
        }
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        if (comma && ++number.places > TSpinEdit::FractionDigits) {
            return std::nullopt;
        }
        if (number.digits >= powerOfTen(17)) {
            return std::nullopt;
        }
        number.digits = number.digits * 10 + (c.unicode() - u'0');
        digit = true;
    }
    if (!digit) {
        return std::nullopt;
    }
    while (number.places > 0 && number.digits % 10 == 0) {
        number.digits /= 10;
        --number.places;
    }
    return number;
}

std::int64_t wholePart(const TDecimal& number)
{
    return number.digits / powerOfTen(number.places);
}

int nearestWhole(const TDecimal& number)
{
    return common::roundToInt(static_cast<long double>(number.digits) /
                              static_cast<long double>(powerOfTen(number.places)));
}

QString commaText(const TDecimal& number)
{
    const std::int64_t power = powerOfTen(number.places);
    QString text = QString::number(number.digits / power);
    if (number.places > 0) {
        text += u',' + QString::number(number.digits % power).rightJustified(number.places, u'0');
    }
    return text;
}

}  // namespace

TSpinEdit::TSpinEdit(int minimum, int maximum, int tag, QWidget* parent)
    : QSpinBox(parent), m_tag(tag)
{
    setRange(minimum, maximum);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(true);
    // The dialog steps the focused box by the wheel itself; a box under the pointer must not.
    setFocusPolicy(Qt::StrongFocus);
    m_number.digits = value();
    connect(this, &QSpinBox::valueChanged, this, [this] {
        takeNumberFromText();
        report();
    });
    // The spin box itself says nothing while its text is not a number; an empty text must still
    // count, as the minimum. Nor does it when only the fraction changes.
    connect(lineEdit(), &QLineEdit::textChanged, this,
            [this](const QString& text) { editTextChanged(text); });
}

void TSpinEdit::report()
{
    if (onChange) {
        onChange(this);
    }
}

void TSpinEdit::setValue(int value)
{
    if (!m_commaFractions) {
        QSpinBox::setValue(value);
        return;
    }
    const TDecimal before = m_number;
    const int shownBefore = this->value();
    m_number = TDecimal{std::clamp(value, minimum(), maximum()), 0};
    QSpinBox::setValue(value);
    if (this->value() == shownBefore && m_number != before) {
        report();
    }
}

void TSpinEdit::setDecimalValue(double number)
{
    if (!m_commaFractions || !(number > minimum() && number < maximum())) {
        // The bounds, what lies beyond them (NaN as the minimum) and the whole numbers.
        setValue(!(number > minimum()) ? minimum()
                 : number >= maximum() ? maximum()
                                       : common::roundToInt(number));
        return;
    }
    // Within the range, so fixed notation has no exponent and the digits fit.
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed,
                                   FractionDigits)
                         .ptr;
    const auto parsed =
        parseCommaDecimal(QString::fromLatin1(buffer, end - buffer).replace(u'.', u','));
    const TDecimal before = m_number;
    const int shownBefore = value();
    m_number = parsed.value_or(TDecimal{common::roundToInt(number), 0});
    QSpinBox::setValue(nearestWhole(m_number));
    if (value() == shownBefore && m_number != before) {
        report();
    }
}

double TSpinEdit::decimalValue(int shift) const
{
    const TDecimal number = m_commaFractions ? m_number : TDecimal{value(), 0};
    // The decimal itself, rounded once by from_chars; dividing a double would round twice.
    const std::string text =
        std::to_string(number.digits) + 'e' + std::to_string(-(number.places + shift));
    double result = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), result);
    return result;
}

bool TSpinEdit::takeNumberFromText()
{
    if (!m_commaFractions) {
        return false;
    }
    // A text that is not yet a number ("," on its way to ",5") leaves the number as it was.
    TDecimal now = nearestWhole(m_number) == value() ? m_number : TDecimal{value(), 0};
    QString text = lineEdit()->text();
    int pos = 0;
    if (validate(text, pos) == QValidator::Acceptable) {
        const auto typed = parseCommaDecimal(QStringView(text).trimmed());
        now = typed && nearestWhole(*typed) == value() ? *typed : TDecimal{value(), 0};
    }
    const bool changed = now != m_number;
    m_number = now;
    return changed;
}

void TSpinEdit::editTextChanged(const QString& text)
{
    if (!text.trimmed().isEmpty()) {
        if (takeNumberFromText()) {
            report();
        }
        return;
    }
    if (value() != minimum()) {
        setValue(minimum());  // reports the change
        return;
    }
    m_number = TDecimal{minimum(), 0};
    QSpinBox::setValue(minimum());  // shows the minimum again
    report();
}

QValidator::State TSpinEdit::validate(QString& text, int& pos) const
{
    if (!m_commaFractions) {
        return QSpinBox::validate(text, pos);
    }
    const QStringView typed = QStringView(text).trimmed();
    if (typed.isEmpty() || typed == u",") {
        return QValidator::Intermediate;
    }
    const auto number = parseCommaDecimal(typed);
    if (!number) {
        return QValidator::Invalid;
    }
    const std::int64_t whole = wholePart(*number);
    if (whole > maximum() || (whole == maximum() && number->places > 0)) {
        return QValidator::Invalid;  // more digits only make it larger
    }
    return whole < minimum() ? QValidator::Intermediate : QValidator::Acceptable;
}

int TSpinEdit::valueFromText(const QString& text) const
{
    if (!m_commaFractions) {
        return QSpinBox::valueFromText(text);
    }
    const auto number = parseCommaDecimal(QStringView(text).trimmed());
    return number ? std::clamp(nearestWhole(*number), minimum(), maximum()) : minimum();
}

QString TSpinEdit::textFromValue(int value) const
{
    if (m_commaFractions && m_number.places > 0 && nearestWhole(m_number) == value) {
        return commaText(m_number);
    }
    return QSpinBox::textFromValue(value);
}

void TSpinEdit::fixup(QString& text) const
{
    // QSpinBox would take the comma for a group separator and remove it.
    if (!m_commaFractions) {
        QSpinBox::fixup(text);
    }
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const
{
    if (!m_commaFractions || m_number.places == 0 || isReadOnly()) {
        return QSpinBox::stepEnabled();
    }
    // Between two whole numbers of the range, both lie within it.
    StepEnabled enabled = StepNone;
    const std::int64_t whole = wholePart(m_number);
    if (whole < maximum()) {
        enabled |= StepUpEnabled;
    }
    if (whole >= minimum()) {
        enabled |= StepDownEnabled;
    }
    return enabled;
}

void TSpinEdit::stepBy(int steps)
{
    if (!m_commaFractions || m_number.places == 0 || steps == 0) {
        QSpinBox::stepBy(steps);
        return;
    }
    // The first step goes to the whole number next to the fraction in that direction.
    const std::int64_t from = wholePart(m_number) + (steps > 0 ? 0 : 1);
    setValue(static_cast<int>(std::clamp<std::int64_t>(from + steps, minimum(), maximum())));
    if (style()->styleHint(QStyle::SH_SpinBox_SelectOnStep, nullptr, this, nullptr) != 0) {
        selectAll();
    }
}

void TSpinEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        if (onEnter) {
            onEnter();
        }
        return;
    }
    const QString text = event->text();
    if (text.size() == 1 && refused.contains(text.at(0))) {
        event->accept();
        if (beep) {
            beep();
        }
        return;
    }
    QSpinBox::keyPressEvent(event);
}

// --- TCheckBoxTextLeft -------------------------------------------------------------------------

TCheckBoxTextLeft::TCheckBoxTextLeft(QWidget* parent) : QCheckBox(parent)
{
    // Mirrored, the style puts the box at the right end; the text is drawn at the left below.
    setLayoutDirection(Qt::RightToLeft);
}

void TCheckBoxTextLeft::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect box = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    QStyleOptionButton indicator = option;
    indicator.rect = box;
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, indicator);
    const QRect textRect(0, 0, std::max(0, box.left() - 4), height());
    style()->drawItemText(&painter, textRect,
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                          isEnabled(), text(), QPalette::WindowText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = textRect.intersected(
            QRect(QPoint(0, 0), QSize(fontMetrics().horizontalAdvance(text()) + 2, height())));
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool TCheckBoxTextLeft::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

// --- TColorShape ---------------------------------------------------------------------------------

TColorShape::TColorShape(int tag, QWidget* parent) : QWidget(parent), m_tag(tag)
{
    setFixedSize(13, 13);
}

void TColorShape::setColor(common::TColor color)
{
    m_color = color;
    update();
}

void TColorShape::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(rect().adjusted(2, 2, -2, -2), toQColor(m_color));
}

void TColorShape::mouseReleaseEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint()) && onMouseUp) {
        onMouseUp(this);
    }
}

// --- TOwnerDrawComboBox --------------------------------------------------------------------------

namespace {

class EntryDelegate : public QStyledItemDelegate {
public:
    explicit EntryDelegate(TOwnerDrawComboBox& box) : QStyledItemDelegate(&box), m_box(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        if (m_box.drawEntry) {
            painter->save();
            painter->setClipRect(option.rect);
            m_box.drawEntry(*painter, option.rect, index.row(),
                            (option.state & QStyle::State_Selected) != 0);
            painter->restore();
        }
    }
    QSize sizeHint(const QStyleOptionViewItem& /*option*/,
                   const QModelIndex& /*index*/) const override
    {
        return QSize(m_box.width(), m_box.entryHeight());
    }

private:
    TOwnerDrawComboBox& m_box;
};

}  // namespace

TOwnerDrawComboBox::TOwnerDrawComboBox(int tag, int entryHeight, QWidget* parent)
    : QComboBox(parent), m_tag(tag), m_entryHeight(entryHeight)
{
    setItemDelegate(new EntryDelegate(*this));
}

void TOwnerDrawComboBox::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (drawEntry && currentIndex() >= 0) {
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, this);
        painter.save();
        painter.setClipRect(field);
        drawEntry(painter, field, currentIndex(), hasFocus());
        painter.restore();
    }
}

// --- TPreviewImage -------------------------------------------------------------------------------

TPreviewImage::TPreviewImage(int width, int height, QWidget* parent)
    : QWidget(parent), m_picture(width, height, QImage::Format_RGB32)
{
    m_picture.fill(Qt::white);
    setFixedSize(width, height);
}

void TPreviewImage::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}

// --- Drawing rules -------------------------------------------------------------------------------

void drawLineStyleEntry(scene::Canvas& canvas, int width, int height, common::TColor background,
                        common::TColor pen, bool bold, int style)
{
    canvas.setFillColor(background);
    canvas.setFillSolid(true);
    canvas.setPenStyle(common::TPenStyle::Clear);
    canvas.setPenWidth(1);
    canvas.fillRect(0, 0, width, height);
    canvas.setPenColor(pen);
    canvas.setPenWidth(bold ? 2 : 1);
    canvas.setPenStyle(static_cast<common::TPenStyle>(style));
    // (top + bottom) / 2 with the bottom edge excluded, as the entry rectangle has it.
    const int middle = height / 2;
    // To 2 pixels inside the right edge, that pixel excluded as a line's end point is; the
    // canvas draws the end point itself.
    canvas.moveTo({2, middle});
    canvas.lineTo({width - 3, middle});
}

QImage lineStyleEntryPicture(int width, int height, common::TColor background, common::TColor pen,
                             bool bold, int style)
{
    QImage picture(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
    {
        platform::PainterCanvas canvas(picture);
        drawLineStyleEntry(canvas, width, height, background, pen, bold, style);
    }
    return picture;
}

QImage flagPicture(int language)
{
    QImage flag(language == 1 ? QStringLiteral(":/flags/BANNER1.png")
                              : QStringLiteral(":/flags/BANNER0.png"));
    flag = flag.convertToFormat(QImage::Format_RGB888);
    if (language == 1) {
        // The stored stripe is plain yellow; the flag's gold is red 255, green 224, blue 0.
        for (int y = 10; y <= 14 && y < flag.height(); ++y) {
            for (int x = 0; x < flag.width(); ++x) {
                flag.setPixelColor(x, y, QColor(255, 224, 0));
            }
        }
    }
    return flag;
}

QImage flagOnBackground(const QImage& flag, const QColor& background)
{
    if (flag.isNull()) {
        return flag;
    }
    QImage result = flag.convertToFormat(QImage::Format_RGB888);
    const QRgb key = result.pixel(0, result.height() - 1);
    for (int y = 0; y < result.height(); ++y) {
        for (int x = 0; x < result.width(); ++x) {
            if (result.pixel(x, y) == key) {
                result.setPixelColor(x, y, background);
            }
        }
    }
    return result;
}

void drawLanguageEntry(QPainter& painter, const QRect& rect, const QImage* flag,
                       const QString& text, const QColor& background, const QColor& textColor)
{
    painter.fillRect(rect, background);
    int textLeft = rect.left() + 16 + 8;
    if (flag != nullptr && !flag->isNull()) {
        // (top + bottom - height) / 2 with the bottom edge excluded.
        const int bottom = rect.top() + rect.height();
        const int top = (rect.top() + bottom - flag->height()) / 2;
        painter.drawImage(rect.left() + 2, top, flagOnBackground(*flag, background));
        textLeft = rect.left() + flag->width() + 8;
    }
    painter.setPen(textColor);
    const QRect textRect(textLeft, rect.top(), std::max(0, rect.right() + 1 - textLeft),
                         rect.height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

}  // namespace settingsdialog
