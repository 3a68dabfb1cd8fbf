#include "settings/settings_controls.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>

#include "platform/painter_canvas.h"

namespace settings {

QColor toQColor(common::TColor c)
{
    return QColor(static_cast<int>(common::redOf(c)), static_cast<int>(common::greenOf(c)),
                  static_cast<int>(common::blueOf(c)));
}

common::TColor fromQColor(const QColor& c)
{
    return common::rgb(static_cast<std::uint32_t>(c.red()), static_cast<std::uint32_t>(c.green()),
                       static_cast<std::uint32_t>(c.blue()));
}

// --- TSpinEdit -----------------------------------------------------------------------------------

TSpinEdit::TSpinEdit(int minimum, int maximum, int tag, QWidget* parent)
    : QSpinBox(parent), m_tag(tag)
{
    setRange(minimum, maximum);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(true);
    // The dialog steps the focused box by the wheel itself; a box under the pointer must not.
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QSpinBox::valueChanged, this, [this] {
        if (onChange) {
            onChange(this);
        }
    });
    // The spin box itself says nothing while its text is not a number; an empty text must still
    // count, as the minimum.
    connect(lineEdit(), &QLineEdit::textChanged, this,
            [this](const QString& text) { editTextChanged(text); });
}

void TSpinEdit::editTextChanged(const QString& text)
{
    if (!text.trimmed().isEmpty()) {
        return;
    }
    if (value() != minimum()) {
        setValue(minimum());  // reports the change
        return;
    }
    setValue(minimum());  // shows the minimum again
    if (onChange) {
        onChange(this);
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

}  // namespace settings
