// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf_canvas.h"

#include "common/utf8.h"

#include <QSaveFile>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace platform {

namespace {

using scene::TColor;
using scene::TPenStyle;

// Record types.
constexpr std::uint32_t EmrHeader = 1;
constexpr std::uint32_t EmrPolygon = 3;
constexpr std::uint32_t EmrPolyline = 4;
constexpr std::uint32_t EmrEof = 14;
constexpr std::uint32_t EmrSetBkMode = 18;
constexpr std::uint32_t EmrSetTextAlign = 22;
constexpr std::uint32_t EmrSetTextColor = 24;
constexpr std::uint32_t EmrSetBkColor = 25;
constexpr std::uint32_t EmrMoveToEx = 27;
constexpr std::uint32_t EmrIntersectClipRect = 30;
constexpr std::uint32_t EmrSaveDc = 33;
constexpr std::uint32_t EmrRestoreDc = 34;
constexpr std::uint32_t EmrSelectObject = 37;
constexpr std::uint32_t EmrCreatePen = 38;
constexpr std::uint32_t EmrCreateBrushIndirect = 39;
constexpr std::uint32_t EmrDeleteObject = 40;
constexpr std::uint32_t EmrEllipse = 42;
constexpr std::uint32_t EmrLineTo = 54;
constexpr std::uint32_t EmrExtCreateFontIndirectW = 82;
constexpr std::uint32_t EmrExtTextOutW = 84;
constexpr std::uint32_t EmrPolygon16 = 86;
constexpr std::uint32_t EmrPolyline16 = 87;
constexpr std::uint32_t EmrExtCreatePen = 95;

// Stock objects are addressed with the high bit set.
constexpr std::uint32_t Stock = 0x80000000u;
constexpr std::uint32_t StockWhiteBrush = Stock | 0;
constexpr std::uint32_t StockNullBrush = Stock | 5;
constexpr std::uint32_t StockBlackPen = Stock | 7;
constexpr std::uint32_t StockNullPen = Stock | 8;
constexpr std::uint32_t StockSystemFont = Stock | 13;

constexpr std::uint32_t PsGeometric = 0x00010000u;
constexpr std::uint32_t PsEndcapFlat = 0x00000200u;
constexpr std::uint32_t PsJoinMiter = 0x00002000u;
constexpr std::uint32_t BsSolid = 0;
constexpr std::uint32_t BkTransparent = 1;
constexpr std::uint32_t BkOpaque = 2;
constexpr std::uint32_t TaTopLeftNoUpdate = 0;
constexpr std::uint32_t GmCompatible = 1;
constexpr std::uint32_t DefaultCharset = 1;

constexpr std::uint32_t EmfSignature = 0x464D4520u;  // " EMF"
constexpr std::uint32_t EmfVersion = 0x00010000u;
constexpr std::size_t HeaderSize = 108;  // with both header extensions
constexpr std::size_t FaceNameChars = 32;
constexpr std::size_t FullNameChars = 64;
constexpr std::size_t StyleChars = 32;

// Without a measuring canvas a character is taken as this fraction of the cell height wide,
// about the mean advance of a proportional sans-serif face.
constexpr double EstimatedAdvance = 0.55;

// Application name and an empty picture title, each ended by a null, as players expect.
constexpr char16_t Description[] = u"Ondulix\0";
constexpr std::size_t DescriptionChars = sizeof(Description) / sizeof(char16_t);

std::int32_t saturate(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool fitsShort(const scene::PixelPoint& p)
{
    return p.x >= std::numeric_limits<std::int16_t>::min() &&
           p.x <= std::numeric_limits<std::int16_t>::max() &&
           p.y >= std::numeric_limits<std::int16_t>::min() &&
           p.y <= std::numeric_limits<std::int16_t>::max();
}

std::uint32_t gdiPenStyle(TPenStyle style)
{
    // The canvas codes are GDI's PS_SOLID .. PS_NULL.
    return static_cast<std::uint32_t>(style);
}

// Code points of a UTF-16 text (a surrogate pair is one).
std::size_t codePoints(const std::u16string& text)
{
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char16_t c) { return c < 0xDC00 || c > 0xDFFF; }));
}

}  // namespace

std::int32_t emfFrameLength(std::int32_t units, std::int32_t dotsPerInch)
{
    const std::int64_t dpi = std::max<std::int32_t>(dotsPerInch, 1);
    return saturate(std::int64_t{units} * 2540 / dpi);
}

std::u16string utf8ToUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::optional<char32_t> decoded = common::nextCodePoint(utf8, i);
        if (!decoded) {
            out.push_back(u'\uFFFD');
            continue;
        }
        char32_t cp = *decoded;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FFu)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

EmfCanvas::EmfCanvas(std::int32_t width, std::int32_t height, std::int32_t frameWidth,
                     std::int32_t frameHeight, scene::Canvas* measuringCanvas)
    : m_width(std::max(width, 1)),
      m_height(std::max(height, 1)),
      m_frameWidth(std::max(frameWidth, 1)),
      m_frameHeight(std::max(frameHeight, 1)),
      m_measure(measuringCanvas)
{
    m_selected = {StockBlackPen, StockWhiteBrush, StockSystemFont};

    // The reference device has the picture's pixel pitch. Its size is the picture's, enlarged
    // by a whole factor until it is some hundred millimetres, so that the whole millimetres of
    // its physical size still give the pitch precisely.
    std::int64_t k = 1;
    while (k < 1024 && std::int64_t{std::min(m_frameWidth, m_frameHeight)} * k < 20000 &&
           std::int64_t{std::max(m_width, m_height)} * k * 2 <=
               std::numeric_limits<std::int32_t>::max() &&
           std::int64_t{std::max(m_frameWidth, m_frameHeight)} * k * 20 <=
               std::numeric_limits<std::int32_t>::max()) {
        k *= 2;
    }
    const auto millimetres = [&](std::int32_t frame) {
        return saturate(std::max<std::int64_t>(1, (std::int64_t{frame} * k + 50) / 100));
    };

    beginRecord(EmrHeader);
    putRect(0, 0, m_width - 1, m_height - 1);            // bounds, inclusive, device units
    putRect(0, 0, m_frameWidth - 1, m_frameHeight - 1);  // frame, inclusive, 0.01 mm
    put32(EmfSignature);
    put32(EmfVersion);
    put32(0);  // bytes, completed by finish()
    put32(0);  // records, completed by finish()
    put16(0);  // handles, completed by finish()
    put16(0);
    put32(static_cast<std::uint32_t>(DescriptionChars));
    put32(static_cast<std::uint32_t>(HeaderSize));
    put32(0);  // no palette
    putI32(saturate(m_width * k));
    putI32(saturate(m_height * k));
    putI32(millimetres(m_frameWidth));
    putI32(millimetres(m_frameHeight));
    put32(0);  // no pixel format
    put32(0);
    put32(0);                                               // not OpenGL
    putI32(saturate(std::int64_t{m_frameWidth} * k * 10));  // micrometres
    putI32(saturate(std::int64_t{m_frameHeight} * k * 10));
    for (std::size_t i = 0; i < DescriptionChars; ++i) {
        put16(static_cast<std::uint16_t>(Description[i]));
    }
    endRecord();

    // Text positions are the top-left corner of the cell, and text never moves the position.
    simpleRecord(EmrSetTextAlign, TaTopLeftNoUpdate);
}

void EmfCanvas::beginRecord(std::uint32_t type)
{
    m_recordStart = m_bytes.size();
    put32(type);
    put32(0);
}

void EmfCanvas::endRecord()
{
    while (m_bytes.size() % 4 != 0) {
        m_bytes.push_back(0);
    }
    patch32(m_recordStart + 4, static_cast<std::uint32_t>(m_bytes.size() - m_recordStart));
    ++m_records;
}

void EmfCanvas::put32(std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8) {
        m_bytes.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

void EmfCanvas::put16(std::uint16_t v)
{
    m_bytes.push_back(static_cast<std::uint8_t>(v));
    m_bytes.push_back(static_cast<std::uint8_t>(v >> 8));
}

void EmfCanvas::putFloat(float v)
{
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof v);
    std::memcpy(&bits, &v, sizeof bits);
    put32(bits);
}

void EmfCanvas::putRect(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b)
{
    putI32(saturate(l));
    putI32(saturate(t));
    putI32(saturate(r));
    putI32(saturate(b));
}

void EmfCanvas::patch32(std::size_t offset, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        m_bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

void EmfCanvas::simpleRecord(std::uint32_t type, std::uint32_t value)
{
    beginRecord(type);
    put32(value);
    endRecord();
}

void EmfCanvas::finish()
{
    if (m_finished) {
        return;
    }
    while (!m_saved.empty()) {
        restoreClip();
    }
    // Deselect our objects so that each can be deleted; a selected object cannot be.
    const Selection stock = {StockBlackPen, StockWhiteBrush, StockSystemFont};
    for (const Kind kind : {PenKind, BrushKind, FontKind}) {
        if ((m_selected[kind] & Stock) == 0) {
            select(kind, stock[kind]);
        }
    }
    deleteUnselected();

    beginRecord(EmrEof);
    put32(0);   // no palette entries
    put32(16);  // where they would start
    put32(20);  // the size of this record, for reading backwards
    endRecord();

    patch32(48, static_cast<std::uint32_t>(m_bytes.size()));
    patch32(52, m_records);
    const std::uint32_t handles = std::min<std::uint32_t>(m_highestHandle + 1, 0xFFFF);
    m_bytes[56] = static_cast<std::uint8_t>(handles);
    m_bytes[57] = static_cast<std::uint8_t>(handles >> 8);
    m_finished = true;
}

const std::vector<std::uint8_t>& EmfCanvas::bytes()
{
    finish();
    return m_bytes;
}

bool EmfCanvas::save(const std::string& path, std::string& error)
{
    const std::vector<std::uint8_t>& data = bytes();
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    const auto size = static_cast<qint64>(data.size());
    if (file.write(reinterpret_cast<const char*>(data.data()), size) != size) {
        error = file.errorString().toStdString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString().toStdString();
        return false;
    }
    return true;
}

// ---- objects

std::uint32_t EmfCanvas::freeSlot()
{
    for (std::uint32_t i = 1; i < m_slots.size(); ++i) {
        if (!m_slots[i].alive) {
            return i;
        }
    }
    m_slots.emplace_back();
    return static_cast<std::uint32_t>(m_slots.size() - 1);
}

void EmfCanvas::select(Kind kind, std::uint32_t handle)
{
    if (m_selected[kind] != handle || !m_selectionKnown[kind]) {
        beginRecord(EmrSelectObject);
        put32(handle);
        endRecord();
        m_selected[kind] = handle;
        m_selectionKnown[kind] = true;
    }
    deleteUnselected();
}

void EmfCanvas::deleteUnselected()
{
    const auto held = [&](std::uint32_t handle) {
        if (std::find(m_selected.begin(), m_selected.end(), handle) != m_selected.end()) {
            return true;
        }
        return std::any_of(m_saved.begin(), m_saved.end(), [&](const Selection& s) {
            return std::find(s.begin(), s.end(), handle) != s.end();
        });
    };
    for (std::uint32_t i = 1; i < m_slots.size(); ++i) {
        if (m_slots[i].alive && !held(i)) {
            beginRecord(EmrDeleteObject);
            put32(i);
            endRecord();
            m_slots[i].alive = false;
        }
    }
}

void EmfCanvas::applyPen()
{
    const scene::CanvasPen& wanted = pen();
    if (wanted.style == TPenStyle::Clear) {
        applyNullPen();
        return;
    }
    const std::int32_t width = std::max(wanted.width, 1);
    const auto matches = [&](const Slot& s) {
        return s.alive && s.kind == PenKind && s.pen.color == wanted.color &&
               s.pen.style == wanted.style && s.pen.width == width;
    };
    const std::uint32_t current = m_selected[PenKind];
    if ((current & Stock) == 0 && matches(m_slots[current])) {
        select(PenKind, current);
        return;
    }
    for (std::uint32_t i = 1; i < m_slots.size(); ++i) {
        if (matches(m_slots[i])) {
            select(PenKind, i);
            return;
        }
    }
    const std::uint32_t handle = freeSlot();
    Slot& slot = m_slots[handle];
    slot = Slot{true, PenKind, {wanted.color, wanted.style, width}, 0, {}, false, 0};
    m_highestHandle = std::max(m_highestHandle, handle);
    const std::uint32_t colour = wanted.color & 0xFFFFFFu;
    if (wanted.style == TPenStyle::Solid || width == 1) {
        beginRecord(EmrCreatePen);
        put32(handle);
        put32(gdiPenStyle(wanted.style));
        putI32(width);
        put32(0);
        put32(colour);
        endRecord();
    } else {
        beginRecord(EmrExtCreatePen);
        put32(handle);
        put32(0);  // no brush bitmap: offBmi, cbBmi, offBits, cbBits
        put32(0);
        put32(0);
        put32(0);
        put32(PsGeometric | PsEndcapFlat | PsJoinMiter | gdiPenStyle(wanted.style));
        putI32(width);
        put32(BsSolid);
        put32(colour);
        put32(0);  // hatch
        put32(0);  // no user style entries
        endRecord();
    }
    select(PenKind, handle);
}

void EmfCanvas::applyNullPen()
{
    select(PenKind, StockNullPen);
}

void EmfCanvas::applyBrush()
{
    const scene::CanvasFill& wanted = fill();
    if (!wanted.solid) {
        select(BrushKind, StockNullBrush);
        return;
    }
    const auto matches = [&](const Slot& s) {
        return s.alive && s.kind == BrushKind && s.brushColor == wanted.color;
    };
    const std::uint32_t current = m_selected[BrushKind];
    if ((current & Stock) == 0 && matches(m_slots[current])) {
        select(BrushKind, current);
        return;
    }
    for (std::uint32_t i = 1; i < m_slots.size(); ++i) {
        if (matches(m_slots[i])) {
            select(BrushKind, i);
            return;
        }
    }
    const std::uint32_t handle = freeSlot();
    m_slots[handle] = Slot{true, BrushKind, {}, wanted.color, {}, false, 0};
    m_highestHandle = std::max(m_highestHandle, handle);
    beginRecord(EmrCreateBrushIndirect);
    put32(handle);
    put32(BsSolid);
    put32(wanted.color & 0xFFFFFFu);
    put32(0);  // hatch
    endRecord();
    select(BrushKind, handle);
}

void EmfCanvas::applyBackground()
{
    const scene::CanvasFill& f = fill();
    const std::uint32_t mode = f.solid ? BkOpaque : BkTransparent;
    if (m_bkMode != mode) {
        simpleRecord(EmrSetBkMode, mode);
        m_bkMode = mode;
    }
    if (f.solid && m_bkColor != f.color) {
        simpleRecord(EmrSetBkColor, f.color & 0xFFFFFFu);
        m_bkColor = f.color;
    }
}

void EmfCanvas::applyFont()
{
    const scene::CanvasFont& wanted = font();
    const std::int32_t height = std::max(wanted.pixelHeight, 1);
    const auto matches = [&](const Slot& s) {
        return s.alive && s.kind == FontKind && s.fontHeight == height &&
               s.fontBold == wanted.bold && s.fontName == wanted.name;
    };
    const std::uint32_t current = m_selected[FontKind];
    if ((current & Stock) == 0 && matches(m_slots[current])) {
        select(FontKind, current);
        return;
    }
    for (std::uint32_t i = 1; i < m_slots.size(); ++i) {
        if (matches(m_slots[i])) {
            select(FontKind, i);
            return;
        }
    }
    const std::uint32_t handle = freeSlot();
    m_slots[handle] = Slot{true, FontKind, {}, 0, wanted.name, wanted.bold, height};
    m_highestHandle = std::max(m_highestHandle, handle);

    std::u16string face = utf8ToUtf16(wanted.name);
    face.resize(std::min(face.size(), FaceNameChars - 1));  // room for the terminating null
    beginRecord(EmrExtCreateFontIndirectW);
    put32(handle);
    // LOGFONTW; a positive height is the cell height.
    putI32(height);
    putI32(0);  // width: the face's own aspect
    putI32(0);  // escapement
    putI32(0);  // orientation
    putI32(wanted.bold ? 700 : 400);
    m_bytes.push_back(0);  // italic
    m_bytes.push_back(0);  // underline
    m_bytes.push_back(0);  // strike-out
    m_bytes.push_back(static_cast<std::uint8_t>(DefaultCharset));
    m_bytes.push_back(0);  // output precision: default
    m_bytes.push_back(0);  // clip precision: default
    m_bytes.push_back(0);  // quality: default
    m_bytes.push_back(0);  // pitch and family: any
    for (std::size_t i = 0; i < FaceNameChars; ++i) {
        put16(i < face.size() ? static_cast<std::uint16_t>(face[i]) : 0);
    }
    // The rest of a LogFontPanose (full name, style, version, style size, match, reserved,
    // vendor, culture, PANOSE and padding), left empty: the face name alone chooses the font.
    const std::size_t rest = (FullNameChars + StyleChars) * 2 + 6 * 4 + 10 + 2;
    m_bytes.insert(m_bytes.end(), rest, 0);
    endRecord();
    select(FontKind, handle);
}

void EmfCanvas::applyTextColor()
{
    const TColor colour = font().color & 0xFFFFFFu;
    if (m_textColor != colour) {
        simpleRecord(EmrSetTextColor, colour);
        m_textColor = colour;
    }
}

// ---- primitives

void EmfCanvas::polyRecord(std::uint32_t type32, std::uint32_t type16,
                           const scene::PixelPoint* points, std::int32_t count)
{
    std::int32_t left = points[0].x;
    std::int32_t right = points[0].x;
    std::int32_t top = points[0].y;
    std::int32_t bottom = points[0].y;
    bool small = true;
    for (std::int32_t i = 0; i < count; ++i) {
        left = std::min(left, points[i].x);
        right = std::max(right, points[i].x);
        top = std::min(top, points[i].y);
        bottom = std::max(bottom, points[i].y);
        small = small && fitsShort(points[i]);
    }
    // The 16-bit form halves the size of the long wave polylines.
    beginRecord(small ? type16 : type32);
    putRect(left, top, right, bottom);
    put32(static_cast<std::uint32_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        if (small) {
            put16(static_cast<std::uint16_t>(points[i].x));
            put16(static_cast<std::uint16_t>(points[i].y));
        } else {
            putI32(points[i].x);
            putI32(points[i].y);
        }
    }
    endRecord();
}

void EmfCanvas::fillRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    if (m_finished || !fill().solid || x2 <= x1 || y2 <= y1) {
        return;
    }
    // A polygon without outline fills up to, not including, its right and bottom edges, as the
    // canvas wants; GDI's Rectangle with the null pen would stop one pixel short.
    applyNullPen();
    applyBrush();
    const scene::PixelPoint corners[4] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
    polyRecord(EmrPolygon, EmrPolygon16, corners, 4);
}

void EmfCanvas::polygon(const scene::PixelPoint* points, std::int32_t count)
{
    if (m_finished || points == nullptr || count < 2) {
        return;
    }
    applyPen();
    applyBrush();
    applyBackground();
    polyRecord(EmrPolygon, EmrPolygon16, points, count);
}

void EmfCanvas::polyline(const scene::PixelPoint* points, std::int32_t count)
{
    if (m_finished || points == nullptr || count < 2 || pen().style == TPenStyle::Clear) {
        return;
    }
    applyPen();
    applyBackground();
    polyRecord(EmrPolyline, EmrPolyline16, points, count);
}

void EmfCanvas::moveTo(scene::PixelPoint p)
{
    m_current = p;
}

void EmfCanvas::lineTo(scene::PixelPoint p)
{
    const scene::PixelPoint from = m_current;
    m_current = p;
    if (m_finished || pen().style == TPenStyle::Clear) {
        return;
    }
    applyPen();
    applyBackground();
    // Some players gather a run of MoveTo and LineTo records into one path and end it at any
    // other record, so a line after a pen change starts with a MoveTo of its own.
    if (m_devicePosition != from || m_bytes.size() != m_pathEnd) {
        beginRecord(EmrMoveToEx);
        putI32(from.x);
        putI32(from.y);
        endRecord();
    }
    beginRecord(EmrLineTo);
    putI32(p.x);
    putI32(p.y);
    endRecord();
    m_devicePosition = p;
    m_pathEnd = m_bytes.size();
}

void EmfCanvas::ellipse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    if (m_finished) {
        return;
    }
    const std::int32_t left = std::min(x1, x2);
    const std::int32_t right = std::max(x1, x2);
    const std::int32_t top = std::min(y1, y2);
    const std::int32_t bottom = std::max(y1, y2);
    if (right == left || bottom == top) {
        return;
    }
    applyPen();
    applyBrush();
    applyBackground();
    // GDI's Ellipse, like the canvas, stops short of the box's right and bottom edges.
    beginRecord(EmrEllipse);
    putRect(left, top, right, bottom);
    endRecord();
}

std::vector<std::int32_t> EmfCanvas::advances(const std::u16string& text)
{
    // Each character's advance is the growth of the measured width of the text up to it, so that
    // kerning and rounding add up to the measured width of the whole text. The second unit of a
    // surrogate pair advances by nothing.
    std::vector<std::int32_t> dx(text.size(), 0);
    const std::int32_t cell = std::max(font().pixelHeight, 1);
    if (m_measure == nullptr) {
        const auto each = static_cast<std::int32_t>(std::lround(cell * EstimatedAdvance));
        for (std::size_t i = 0; i < text.size(); ++i) {
            dx[i] = (text[i] >= 0xDC00 && text[i] <= 0xDFFF) ? 0 : each;
        }
        return dx;
    }
    const QString whole = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    std::int32_t previous = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size();
        const std::size_t next = i + (pair ? 2 : 1);
        const std::int32_t width =
            textWidth(whole.left(static_cast<qsizetype>(next)).toStdString());
        dx[i] = width - previous;
        previous = width;
        i = next;
    }
    return dx;
}

void EmfCanvas::textOut(std::int32_t x, std::int32_t y, std::string_view utf8)
{
    if (m_finished || utf8.empty()) {
        return;
    }
    const std::u16string text = utf8ToUtf16(utf8);
    const std::vector<std::int32_t> dx = advances(text);
    std::int64_t width = 0;
    for (const std::int32_t d : dx) {
        width += d;
    }
    applyFont();
    applyTextColor();
    applyBackground();

    const std::uint32_t chars = static_cast<std::uint32_t>(text.size());
    const std::uint32_t stringOffset = 76;
    const std::uint32_t stringBytes = (chars * 2 + 3) / 4 * 4;
    beginRecord(EmrExtTextOutW);
    putRect(x, y, std::int64_t{x} + std::max<std::int64_t>(width, 1) - 1,
            std::int64_t{y} + std::max(font().pixelHeight, 1) - 1);
    put32(GmCompatible);
    // Hundredths of a millimetre per device unit.
    putFloat(static_cast<float>(static_cast<double>(m_frameWidth) / m_width));
    putFloat(static_cast<float>(static_cast<double>(m_frameHeight) / m_height));
    putI32(x);  // reference point: the cell's top-left corner
    putI32(y);
    put32(chars);
    put32(stringOffset);
    put32(0);               // options: no clipping or opaque rectangle
    putRect(0, 0, -1, -1);  // that rectangle, unused
    put32(stringOffset + stringBytes);
    for (const char16_t c : text) {
        put16(static_cast<std::uint16_t>(c));
    }
    while ((m_bytes.size() - m_recordStart) % 4 != 0) {
        m_bytes.push_back(0);
    }
    for (const std::int32_t d : dx) {
        putI32(d);
    }
    endRecord();
}

std::int32_t EmfCanvas::textWidth(std::string_view utf8)
{
    if (m_measure == nullptr) {
        const auto chars = static_cast<double>(codePoints(utf8ToUtf16(utf8)));
        return saturate(std::llround(chars * std::max(font().pixelHeight, 1) * EstimatedAdvance));
    }
    const scene::CanvasFont kept = m_measure->font();
    m_measure->setFontName(font().name);
    m_measure->setFontBold(font().bold);
    m_measure->setFontPixelHeight(font().pixelHeight);
    const std::int32_t width = m_measure->textWidth(utf8);
    m_measure->setFontName(kept.name);
    m_measure->setFontBold(kept.bold);
    m_measure->setFontPixelHeight(kept.pixelHeight);
    return width;
}

std::int32_t EmfCanvas::textHeight(std::string_view utf8)
{
    if (m_measure == nullptr) {
        return std::max(font().pixelHeight, 1);  // the cell height, by the font's definition
    }
    const scene::CanvasFont kept = m_measure->font();
    m_measure->setFontName(font().name);
    m_measure->setFontBold(font().bold);
    m_measure->setFontPixelHeight(font().pixelHeight);
    const std::int32_t height = m_measure->textHeight(utf8);
    m_measure->setFontName(kept.name);
    m_measure->setFontBold(kept.bold);
    m_measure->setFontPixelHeight(kept.pixelHeight);
    return height;
}

TColor EmfCanvas::readPixel(std::int32_t /*x*/, std::int32_t /*y*/)
{
    return common::NoColor;
}

void EmfCanvas::setClip(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    if (m_finished) {
        return;
    }
    beginRecord(EmrSaveDc);
    endRecord();
    m_saved.push_back(m_selected);
    // An empty or inverted rectangle clips everything away, as it does on the screen.
    if (x2 <= x1 || y2 <= y1) {
        x2 = x1;
        y2 = y1;
    }
    beginRecord(EmrIntersectClipRect);
    putRect(x1, y1, x2, y2);  // GDI excludes the right and bottom edges, as the canvas does
    endRecord();
}

void EmfCanvas::restoreClip()
{
    if (m_finished || m_saved.empty()) {
        return;
    }
    beginRecord(EmrRestoreDc);
    putI32(-1);
    endRecord();
    // The device takes back the objects and attributes of the SaveDC. Not every player does, so
    // everything is set again before it is used next.
    m_selected = m_saved.back();
    m_saved.pop_back();
    m_selectionKnown = {};
    m_bkMode.reset();
    m_bkColor.reset();
    m_textColor.reset();
    m_devicePosition.reset();
    deleteUnselected();
}

}  // namespace platform
