// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The settings dialog's own kinds of control: spin boxes that behave as the dialog needs, colour
// swatches, owner-drawn drop-down lists and the page-preview pictures; and the drawing rules of
// the list entries and the flags, kept apart from the widgets so that tests can check them.

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QSpinBox>
#include <QWidget>

#include <cstdint>
#include <functional>

#include "common/colors.h"
#include "scene/canvas.h"

namespace settingsdialog {

// A spin box that reports every change of its value, programmatic ones included (the dialog's
// guard flags sort those out), and:
// - an empty text sets the box to its minimum, which is then applied;
// - a value typed outside the range is brought to the nearer bound when the box loses the focus;
// - Enter is consumed and runs onEnter;
// - the characters in `refused` are not entered, and beep runs instead.
// With comma fractions on, the box also takes up to FractionDigits digits after a comma ("2,5"),
// as the settings file does, and keeps showing them; value() is then the nearest whole number
// and decimalValue() the number itself. The arrows step from a fraction to the whole numbers.
class TSpinEdit : public QSpinBox {
public:
    static constexpr int FractionDigits = 6;

    TSpinEdit(int minimum, int maximum, int tag, QWidget* parent);
    int tag() const { return m_tag; }

    void setCommaFractions(bool on) { m_commaFractions = on; }
    // Hides QSpinBox::setValue: a whole number drops the fraction shown.
    void setValue(int value);
    // Shows `number` with at most FractionDigits digits after the comma, within the range.
    void setDecimalValue(double number);
    // The number shown divided by 10 to the power `shift`: the double nearest to that decimal,
    // so that 2,5 with shift 2 is exactly what "0.025" reads as.
    double decimalValue(int shift = 0) const;
    void stepBy(int steps) override;

    std::function<void(TSpinEdit*)> onChange;
    std::function<void()> onEnter;
    QString refused;
    std::function<void()> beep;

    // The number as the box holds it: `digits` times 10 to the power -places, without trailing
    // zeros after the comma.
    struct TDecimal {
        std::int64_t digits = 0;
        int places = 0;
        bool operator==(const TDecimal&) const = default;
    };

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QValidator::State validate(QString& text, int& pos) const override;
    int valueFromText(const QString& text) const override;
    QString textFromValue(int value) const override;
    void fixup(QString& text) const override;
    StepEnabled stepEnabled() const override;

private:
    void editTextChanged(const QString& text);
    // Takes the number from the text when the text shows the current value, else the value;
    // true when the number changed.
    bool takeNumberFromText();
    void report();

    int m_tag;
    bool m_commaFractions = false;
    TDecimal m_number;
};

// A check box whose text stands at the left edge and whose box at the right end of its field.
class TCheckBoxTextLeft : public QCheckBox {
public:
    explicit TCheckBoxTextLeft(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

// A square of the object's colour with a 2-pixel outline; onMouseUp runs when a mouse button is
// released over it.
class TColorShape : public QWidget {
public:
    TColorShape(int tag, QWidget* parent);
    int tag() const { return m_tag; }
    common::TColor color() const { return m_color; }
    void setColor(common::TColor color);

    std::function<void(TColorShape*)> onMouseUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_tag;
    common::TColor m_color = 0;
};

// A drop-down list whose entries, in the list and in the closed box, are drawn by drawEntry.
class TOwnerDrawComboBox : public QComboBox {
public:
    TOwnerDrawComboBox(int tag, int entryHeight, QWidget* parent);
    int tag() const { return m_tag; }
    int entryHeight() const { return m_entryHeight; }

    // Paints entry `index` into `rect`; `selected` for the highlighted entry of the open list.
    std::function<void(QPainter&, const QRect&, int index, bool selected)> drawEntry;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_tag;
    int m_entryHeight;
};

// A picture of fixed size that the widget shows as it is.
class TPreviewImage : public QWidget {
public:
    TPreviewImage(int width, int height, QWidget* parent);
    QImage& picture() { return m_picture; }
    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

// Entry `style` (pen style code 0 .. 5) of a line-style list, on a canvas as large as the entry:
// the Background colour, and a horizontal line at the middle row from 2 pixels inside the left
// edge to 2 pixels inside the right edge.
void drawLineStyleEntry(scene::Canvas& canvas, int width, int height, common::TColor background,
                        common::TColor pen, bool bold, int style);
// The same entry as a picture.
QImage lineStyleEntryPicture(int width, int height, common::TColor background, common::TColor pen,
                             bool bold, int style);

// The flag pictures, 16 x 16, whose bottom-left pixel is the transparent key colour: 0 English
// ("BANNER0"), 1 German ("BANNER1" with its gold stripe).
QImage flagPicture(int language);
// The flag with its key colour replaced by `background`.
QImage flagOnBackground(const QImage& flag, const QColor& background);
// An entry of the language list: the flag 2 pixels from the left, centred vertically, the text
// 8 pixels right of it in one line, without mnemonic prefixes.
void drawLanguageEntry(QPainter& painter, const QRect& rect, const QImage* flag,
                       const QString& text, const QColor& background, const QColor& textColor);

}  // namespace settingsdialog
