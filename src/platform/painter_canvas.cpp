// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/painter_canvas.h"

#include "common/numbers.h"

#include <QImage>
#include <QList>
#include <QPaintDevice>
#include <QString>
#include <QTextLayout>
#include <QTextOption>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace platform {

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

namespace {

using scene::TColor;
using scene::TPenStyle;

// Tiles skipped between two changed ones and copied anyway. Putting a layer back is a copy per
// row of each rectangle; the window pays a copy and a request to the display per rectangle,
// which is worth a few tiles more of pixels.
constexpr int RestoreGapTiles = 2;
constexpr int ShownGapTiles = 4;

// Rectangles are clamped to this before they become QRects, whose width arithmetic is int and
// would overflow on the saturated coordinates a huge zoom produces. No device is this large.
constexpr std::int64_t RectLimit = std::int64_t{1} << 24;

// A requested cell height beyond this is searched as this; no label gets anywhere near it.
constexpr int MaxCellHeight = 8192;

int clampCoordinate(std::int64_t v)
{
    return static_cast<int>(std::clamp(v, -RectLimit, RectLimit));
}

// Pixels x1 .. x2-1, y1 .. y2-1; an empty QRect when x2 <= x1 or y2 <= y1.
QRect pixelRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    const int left = clampCoordinate(x1);
    const int top = clampCoordinate(y1);
    const int right = clampCoordinate(x2);
    const int bottom = clampCoordinate(y2);
    if (right <= left || bottom <= top) {
        return QRect(left, top, 0, 0);
    }
    return QRect(left, top, right - left, bottom - top);
}

// On/off lengths in units of the pen width, so that at width 1 they are those of the classic
// cosmetic pens: dash 18-6, dot 3-3, dash-dot 9-6-3-6, dash-dot-dot 9-3-3-3-3-3.
QList<qreal> dashPattern(TPenStyle style)
{
    switch (style) {
        case TPenStyle::Dash:
            return {18, 6};
        case TPenStyle::Dot:
            return {3, 3};
        case TPenStyle::DashDot:
            return {9, 6, 3, 6};
        case TPenStyle::DashDotDot:
            return {9, 3, 3, 3, 3, 3};
        case TPenStyle::Solid:
        case TPenStyle::Clear:
            break;
    }
    return {};
}

struct FontKey {
    std::string name;
    bool bold = false;
    int height = 0;
    int dpi = 0;
    friend auto operator<=>(const FontKey&, const FontKey&) = default;
};

QFont makeFont(const QString& family, bool bold, int pixelSize)
{
    QFont font(family);
    font.setBold(bold);
    font.setPixelSize(pixelSize);
    return font;
}

// The pixel size whose cell height (ascent + descent) comes closest to the requested one; on a
// tie the smaller cell. Sizes are tried outward from a proportional guess, which is usually
// right within a step or two.
int searchPixelSize(const QString& family, bool bold, int height, const QPaintDevice* device)
{
    const auto cellAt = [&](int px) {
        return QFontMetrics(makeFont(family, bold, px), device).height();
    };
    int px = height;
    const int first = cellAt(px);
    if (first > 0 && first != height) {
        px = static_cast<int>(std::clamp<std::int64_t>(
            (std::int64_t{px} * height + first / 2) / first, 1, MaxCellHeight));
    }
    int cell = cellAt(px);
    const int step = cell < height ? 1 : -1;
    // Walk until the cell crosses the requested height; a font whose cells stop growing (or
    // shrinking) ends the walk at the size limits or after a bounded number of steps.
    for (int i = 0; i < 64 && cell != height; ++i) {
        const int nextPx = px + step;
        if (nextPx < 1 || nextPx > MaxCellHeight) {
            break;
        }
        const int nextCell = cellAt(nextPx);
        const bool crossed = step > 0 ? nextCell >= height : nextCell <= height;
        if (crossed) {
            const int nextMiss = std::abs(nextCell - height);
            const int miss = std::abs(cell - height);
            if (nextMiss < miss || (nextMiss == miss && nextCell < cell)) {
                px = nextPx;
            }
            break;
        }
        px = nextPx;
        cell = nextCell;
    }
    return px;
}

// Searching runs a handful of font loads, so each answer is kept for the program's lifetime:
// the screen picture is drawn every animation frame with a new canvas and the same labels.
int pixelSizeFor(const std::string& name, bool bold, int height, const QPaintDevice* device)
{
    static std::mutex mutex;
    static std::map<FontKey, int> cache;
    FontKey key{name, bold, height, device->logicalDpiY()};
    {
        const std::lock_guard lock(mutex);
        if (const auto it = cache.find(key); it != cache.end()) {
            return it->second;
        }
    }
    const int px = searchPixelSize(QString::fromStdString(name), bold, height, device);
    const std::lock_guard lock(mutex);
    cache.emplace(std::move(key), px);
    return px;
}

QString fromUtf8(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

void ChangedTiles::add(const QRect& r)
{
    if (r.isEmpty() || r.top() < 0 || r.left() < 0) {
        return;
    }
    const int first = r.top() / TileSize;
    const int end = r.bottom() / TileSize + 1;
    const int firstTile = r.left() / TileSize;
    const int lastTile = r.right() / TileSize;
    if (static_cast<int>(m_bands.size()) < end) {
        m_bands.resize(static_cast<std::size_t>(end));
    }
    const int firstWord = firstTile / 64;
    const int endWord = lastTile / 64 + 1;
    for (int b = first; b < end; ++b) {
        Band& band = m_bands[static_cast<std::size_t>(b)];
        if (band.words.size() < static_cast<std::size_t>(endWord)) {
            band.words.resize(static_cast<std::size_t>(endWord));  // zeros, as clear() leaves them
        }
        // The rectangle's tiles of each word at once.
        for (int w = firstWord; w < endWord; ++w) {
            const int from = w == firstWord ? firstTile % 64 : 0;
            const int to = w == endWord - 1 ? lastTile % 64 : 63;
            band.words[static_cast<std::size_t>(w)] |= (~std::uint64_t{0} >> (63 - (to - from)))
                                                       << from;
        }
        if (band.endWord <= band.firstWord) {
            band.firstWord = firstWord;
            band.endWord = endWord;
        } else {
            band.firstWord = std::min(band.firstWord, firstWord);
            band.endWord = std::max(band.endWord, endWord);
        }
    }
    if (isEmpty()) {
        m_first = first;
        m_end = end;
    } else {
        m_first = std::min(m_first, first);
        m_end = std::max(m_end, end);
    }
}

void ChangedTiles::unite(const ChangedTiles& other)
{
    other.forEachRect(0, [this](const QRect& r) { add(r); });
}

void ChangedTiles::clear()
{
    for (int b = m_first; b < m_end; ++b) {
        Band& band = m_bands[static_cast<std::size_t>(b)];
        std::fill(band.words.begin() + band.firstWord, band.words.begin() + band.endWord, 0);
        band.firstWord = 0;
        band.endWord = 0;
    }
    m_first = 0;
    m_end = 0;
}

QRegion ChangedTiles::region(int gapTiles) const
{
    // A band's rectangles share its rows and come from the left: the order QRegion keeps.
    QList<QRect> rects;
    forEachRect(gapTiles, [&rects](const QRect& r) { rects.push_back(r); });
    QRegion region;
    region.setRects(rects.constData(), static_cast<int>(rects.size()));
    return region;
}

PainterCanvas::PainterCanvas(QImage& image) : PainterCanvas(image, &image) {}

PainterCanvas::PainterCanvas(QPaintDevice& device) : PainterCanvas(device, nullptr) {}

PainterCanvas::PainterCanvas(QPaintDevice& device, QImage* image)
    : m_device(&device), m_image(image)
{
    if (m_painter.begin(m_device)) {
        m_painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    }
}

PainterCanvas::~PainterCanvas()
{
    finish();
}

void PainterCanvas::finish()
{
    if (m_painter.isActive()) {
        m_painter.end();
    }
}

bool PainterCanvas::isActive() const
{
    return m_painter.isActive();
}

void PainterCanvas::setPlacement(double scale, double dx, double dy)
{
    if (m_painter.isActive()) {
        m_painter.setWorldTransform(QTransform(scale, 0.0, 0.0, scale, dx, dy));
    }
}

void PainterCanvas::applyLinePen()
{
    const scene::CanvasPen& pen = this->pen();
    if (m_builtPen != pen) {
        const int width = std::max(1, pen.width);
        // An odd width centred on a pixel centre covers whole pixels, an even one centred on a
        // pixel edge does.
        m_strokeOffset = (pen.style == TPenStyle::Clear || width % 2 == 1) ? 0.5 : 0.0;
        if (pen.style == TPenStyle::Clear) {
            m_linePen = QPen(Qt::NoPen);
        } else {
            m_linePen = QPen(toQColor(pen.color));
            m_linePen.setWidth(width);
            if (pen.style == TPenStyle::Solid) {
                // Where Qt strokes (files, printers, thin lines), mitred joins look the same as
                // round ones on the waves' many short segments and cost no arc per joint.
                m_linePen.setCapStyle(Qt::RoundCap);
                m_linePen.setJoinStyle(Qt::MiterJoin);
            } else {
                m_linePen.setDashPattern(dashPattern(pen.style));
                m_linePen.setCapStyle(Qt::FlatCap);
                m_linePen.setJoinStyle(Qt::MiterJoin);
                // Lines start at pixel centres; shifting the pattern by half a pixel puts the
                // dash boundaries of straight lines on pixel edges, so the dashes stay crisp.
                if (width % 2 == 1) {
                    m_linePen.setDashOffset(0.5 / width);
                }
            }
        }
        m_builtPen = pen;
    }
    m_painter.setPen(m_linePen);  // cheap when the painter holds this pen already
}

void PainterCanvas::applyFill()
{
    const scene::CanvasFill& fill = this->fill();
    if (m_builtFill == fill) {
        return;
    }
    // The opaque background paints the gaps of patterned lines (and the text cell) in the fill
    // colour; with no fill they stay open.
    if (fill.solid) {
        m_fillBrush = QBrush(toQColor(fill.color));
        m_painter.setBackground(m_fillBrush);
        m_painter.setBackgroundMode(Qt::OpaqueMode);
    } else {
        m_fillBrush = QBrush(Qt::NoBrush);
        m_painter.setBackgroundMode(Qt::TransparentMode);
    }
    m_painter.setBrush(m_fillBrush);
    m_builtFill = fill;
}

void PainterCanvas::applyFont()
{
    const scene::CanvasFont& font = this->font();
    if (m_builtFont == font) {
        return;
    }
    if (!m_builtFont || m_builtFont->name != font.name || m_builtFont->bold != font.bold ||
        m_builtFont->pixelHeight != font.pixelHeight) {
        const int height = std::clamp(font.pixelHeight, 1, MaxCellHeight);
        const QString family = QString::fromStdString(font.name);
        m_font = makeFont(family, font.bold, pixelSizeFor(font.name, font.bold, height, m_device));
        m_metrics.emplace(m_font, m_device);
        if (m_painter.isActive()) {
            m_painter.setFont(m_font);
        }
    }
    if (!m_builtFont || m_builtFont->color != font.color) {
        m_textPen = QPen(toQColor(font.color));
    }
    m_builtFont = font;
}

const QPointF* PainterCanvas::strokePoints(const scene::PixelPoint* points, std::int32_t count)
{
    m_points.resize(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        m_points[static_cast<std::size_t>(i)] =
            QPointF(points[i].x + m_strokeOffset, points[i].y + m_strokeOffset);
    }
    return m_points.data();
}

void PainterCanvas::fillRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    if (!m_painter.isActive() || !fill().solid) {
        return;
    }
    const QRect r = pixelRect(x1, y1, x2, y2);
    if (r.isEmpty()) {
        return;
    }
    applyFill();
    m_painter.fillRect(r, m_fillBrush);
    touch(r, 0);
}

void PainterCanvas::polygon(const scene::PixelPoint* points, std::int32_t count)
{
    if (!m_painter.isActive() || points == nullptr || count < 2) {
        return;
    }
    applyFill();
    applyLinePen();
    m_painter.drawPolygon(strokePoints(points, count), static_cast<int>(count));
    touchPoints(points, count);
}

void PainterCanvas::polyline(const scene::PixelPoint* points, std::int32_t count)
{
    if (!m_painter.isActive() || points == nullptr || count < 2 ||
        pen().style == TPenStyle::Clear) {
        return;
    }
    applyFill();
    applyLinePen();
    const bool round = strokeOnPicture(points, count);
    if (!round) {
        m_painter.drawPolyline(strokePoints(points, count), static_cast<int>(count));
    }
    touchPoints(points, count, true, round);
}

// Solid lines on pictures are drawn by our own raster (see LineRaster): Qt's stroker and
// rasteriser cost several times as much on the waves' thousand short segments, and its thin-line
// stroker three times as much. Other devices keep the outline, which their files or printers
// need anyway.
bool PainterCanvas::strokeOnPicture(const scene::PixelPoint* points, std::int32_t count)
{
    const scene::CanvasPen& pen = this->pen();
    if (m_image == nullptr || pen.style != TPenStyle::Solid ||
        (m_image->format() != QImage::Format_RGB32 &&
         m_image->format() != QImage::Format_ARGB32_Premultiplied)) {
        return false;
    }
    const QTransform device = m_painter.deviceTransform();
    const qreal scale = device.m11();
    const qreal width = m_linePen.widthF() * scale;
    if (!m_painter.worldTransform().isIdentity() || device.type() > QTransform::TxScale ||
        scale != device.m22() || !(scale > 0) || width < 1) {
        return false;
    }
    // A line of one device pixel comes out as Qt's thin lines do, pixel for pixel, where Qt
    // blends them plainly: antialiased, opaque, over what is there.
    const bool thin = width == 1;
    if (thin && (m_painter.opacity() != 1 || !m_painter.testRenderHint(QPainter::Antialiasing) ||
                 m_painter.compositionMode() != QPainter::CompositionMode_SourceOver)) {
        return false;
    }
    m_devicePoints.resize(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        m_devicePoints[static_cast<std::size_t>(i)] = {
            (points[i].x + m_strokeOffset) * scale + device.dx(),
            (points[i].y + m_strokeOffset) * scale + device.dy()};
    }
    const QRect picture(QPoint(0, 0), m_image->deviceIndependentSize().toSize());
    const QRect visible = m_clip ? m_clip->intersected(picture) : picture;
    const auto toDevice = [](int v, qreal factor, qreal offset) {
        return static_cast<int>(std::lround(v * factor + offset));
    };
    LineRaster::Target target;
    target.left = std::max(0, toDevice(visible.left(), scale, device.dx()));
    target.top = std::max(0, toDevice(visible.top(), scale, device.dy()));
    target.right = std::min(m_image->width(), toDevice(visible.right() + 1, scale, device.dx()));
    target.bottom = std::min(m_image->height(), toDevice(visible.bottom() + 1, scale, device.dy()));
    if (visible.isEmpty() || target.right <= target.left || target.bottom <= target.top) {
        return true;  // nothing of it shows
    }
    target.bits = reinterpret_cast<std::uint32_t*>(m_image->bits());
    target.alphaUnused = m_image->format() == QImage::Format_RGB32;
    target.wordsPerLine = m_image->bytesPerLine() / 4;
    const QRgb color = m_linePen.color().rgb();
    if (thin) {
        const LineRaster::ThinLine line{m_linePen.capStyle() != Qt::FlatCap, m_image->width(),
                                        m_image->height()};
        return m_lineRaster.strokeThin(target, m_devicePoints, color, line);
    }
    return m_lineRaster.stroke(target, m_devicePoints, width, color);
}

void PainterCanvas::moveTo(scene::PixelPoint p)
{
    m_current = p;
}

void PainterCanvas::lineTo(scene::PixelPoint p)
{
    const scene::PixelPoint from = m_current;
    m_current = p;
    if (!m_painter.isActive() || pen().style == TPenStyle::Clear) {
        return;
    }
    applyFill();
    applyLinePen();
    const scene::PixelPoint ends[2] = {from, p};
    const bool round = strokeOnPicture(ends, 2);
    if (!round) {
        const qreal o = m_strokeOffset;
        m_painter.drawLine(QPointF(from.x + o, from.y + o), QPointF(p.x + o, p.y + o));
    }
    touchPoints(ends, 2, false, round);
}

void PainterCanvas::ellipse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    if (!m_painter.isActive()) {
        return;
    }
    // The box covers the pixels x1 .. x2-1, i.e. the continuous span x1 .. x2; the outline is
    // stroked half its width inside that span so that its outer edge meets the box.
    const QRectF box = QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
    if (box.isEmpty()) {
        return;
    }
    applyFill();
    applyLinePen();
    const scene::PixelPoint corners[2] = {{x1, y1}, {x2, y2}};
    touchPoints(corners, 2);
    if (pen().style == TPenStyle::Clear) {
        m_painter.drawEllipse(box);
        return;
    }
    const qreal inset = m_linePen.widthF() / 2;
    const QRectF axis = box.adjusted(inset, inset, -inset, -inset);
    if (axis.width() > 0 && axis.height() > 0) {
        m_painter.drawEllipse(axis);
        return;
    }
    // The outline alone fills the box (a dot of radius 0 with a 1-pixel pen, say); a zero-sized
    // path would draw nothing at all.
    const QBrush ink(m_linePen.color());
    if (box.width() <= 1 || box.height() <= 1) {
        m_painter.fillRect(box, ink);
    } else {
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(ink);
        m_painter.drawEllipse(box);
        m_painter.setBrush(m_fillBrush);
    }
}

void PainterCanvas::textOut(std::int32_t x, std::int32_t y, std::string_view utf8)
{
    if (!m_painter.isActive() || utf8.empty()) {
        return;
    }
    applyFill();
    applyFont();
    m_painter.setPen(m_textPen);
    const qreal baseline = static_cast<qreal>(y) + m_metrics->ascent();
    if (m_image != nullptr && m_painter.transform().type() <= QTransform::TxTranslate) {
        // The same glyphs at the same places as drawText's, without shaping them again.
        const KeptText& text = shaped(utf8);
        for (const QGlyphRun& run : text.runs) {
            m_painter.drawGlyphRun(QPointF(x, baseline - text.baseline), run);
        }
    } else {
        // Other devices keep drawText's own way: a PDF keeps the text as text, for one.
        m_painter.drawText(QPointF(x, baseline), fromUtf8(utf8));
    }
    if (m_keepsLayers) {
        // Glyphs may stand out of their cell: by up to a cell height is ample. The width is the
        // one the engine measured before placing the label, kept from then.
        const int height = m_metrics->height();
        touch(QRect(x, y, textWidth(utf8), height), height);
    }
}

PainterCanvas::KeptText& PainterCanvas::keptText(std::string_view utf8)
{
    const scene::CanvasFont& f = font();
    for (KeptText& k : m_kept) {
        if (k.pixelHeight == f.pixelHeight && k.bold == f.bold && k.text == utf8 &&
            k.fontName == f.name) {
            return k;
        }
    }
    KeptText& slot = m_kept[m_nextKept];
    m_nextKept = (m_nextKept + 1) % m_kept.size();
    slot = {f.name, f.bold, f.pixelHeight, std::string(utf8), -1, false, {}, 0.0};
    return slot;
}

std::int32_t PainterCanvas::textWidth(std::string_view utf8)
{
    KeptText& kept = keptText(utf8);
    if (kept.width < 0) {
        applyFont();
        kept.width = m_metrics->horizontalAdvance(fromUtf8(utf8));
    }
    return kept.width;
}

const PainterCanvas::KeptText& PainterCanvas::shaped(std::string_view utf8)
{
    KeptText& kept = keptText(utf8);
    if (kept.shaped) {
        return kept;
    }
    QTextLayout layout(fromUtf8(utf8), m_font, m_device);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    kept.shaped = true;
    kept.runs = line.isValid() ? line.glyphRuns() : QList<QGlyphRun>();
    kept.baseline = line.isValid() ? line.y() + line.ascent() : 0.0;
    return kept;
}

std::int32_t PainterCanvas::textHeight(std::string_view /*utf8*/)
{
    // The cell height, the same for every text of the font.
    applyFont();
    return m_metrics->height();
}

TColor PainterCanvas::readPixel(std::int32_t x, std::int32_t y)
{
    if (m_image == nullptr) {
        return common::NoColor;
    }
    // On a high-density picture the engine's pixel is several device pixels: read its middle.
    const qreal ratio = m_image->devicePixelRatio();
    const int px = static_cast<int>(std::floor((x + 0.5) * ratio));
    const int py = static_cast<int>(std::floor((y + 0.5) * ratio));
    if (!m_image->valid(px, py)) {
        return common::NoColor;
    }
    const QRgb c = m_image->pixel(px, py);
    return common::rgb(static_cast<std::uint32_t>(qRed(c)), static_cast<std::uint32_t>(qGreen(c)),
                       static_cast<std::uint32_t>(qBlue(c)));
}

void PainterCanvas::setClip(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    // A nested clip lies within the one it is nested in.
    const QRect r = pixelRect(x1, y1, x2, y2);
    m_clipStack.push_back(m_clip);
    m_clip = m_clip ? m_clip->intersected(r) : r;
    if (m_painter.isActive()) {
        m_painter.setClipRect(*m_clip);
    }
}

void PainterCanvas::restoreClip()
{
    if (m_clipStack.empty()) {
        return;
    }
    m_clip = m_clipStack.back();
    m_clipStack.pop_back();
    if (!m_painter.isActive()) {
        return;
    }
    if (m_clip) {
        m_painter.setClipRect(*m_clip);
    } else {
        m_painter.setClipping(false);
    }
}

void PainterCanvas::touch(QRect r, int spread)
{
    if (!m_keepsLayers || r.isEmpty()) {
        return;
    }
    touchWithin(r.adjusted(-spread, -spread, spread, spread), touchBounds());
}

QRect PainterCanvas::touchBounds() const
{
    const QRect picture(QPoint(0, 0), m_image->deviceIndependentSize().toSize());
    return m_clip ? m_clip->intersected(picture) : picture;
}

void PainterCanvas::touchWithin(const QRect& r, const QRect& bounds)
{
    const QRect within = r.intersected(bounds);
    m_sinceLayer.add(within);
    m_changed.add(within);
}

void PainterCanvas::touchPoints(const scene::PixelPoint* points, std::int32_t count, bool segments,
                                bool roundJoins)
{
    if (!m_keepsLayers || count < 1) {
        return;
    }
    // Half the width, a mitre up to its limit where Qt mitres, and a pixel of antialiasing on
    // either side.
    const qreal width =
        m_linePen.style() == Qt::NoPen ? 0.0 : std::max<qreal>(1, m_linePen.widthF());
    const qreal mitre = roundJoins ? 0.0 : width * m_linePen.miterLimit();
    const int spread = static_cast<int>(std::ceil(width / 2 + mitre)) + 2;
    // Once for the whole line: a wave notes a few hundred boxes.
    const QRect bounds = touchBounds();
    const auto note = [spread, &bounds, this](std::int32_t left, std::int32_t top,
                                              std::int32_t right, std::int32_t bottom) {
        const QRect r =
            pixelRect(left, top, common::addSaturated(right, 1), common::addSaturated(bottom, 1));
        if (!r.isEmpty()) {
            touchWithin(r.adjusted(-spread, -spread, spread, spread), bounds);
        }
    };
    std::int32_t left = points[0].x;
    std::int32_t right = left;
    std::int32_t top = points[0].y;
    std::int32_t bottom = top;
    if (!segments || count < 3) {
        for (std::int32_t i = 1; i < count; ++i) {
            left = std::min(left, points[i].x);
            right = std::max(right, points[i].x);
            top = std::min(top, points[i].y);
            bottom = std::max(bottom, points[i].y);
        }
        note(left, top, right, bottom);
        return;
    }
    // Runs of segments no larger than a tile, each noted as its box: close to the line, at a
    // fraction of the cost of noting every segment. Neighbouring runs share a point, so a
    // join's mitre, which reaches out from its point, lies in a run's box.
    constexpr std::int32_t Tile = ChangedTiles::TileSize;
    std::int32_t start = 0;
    for (std::int32_t i = 1; i < count; ++i) {
        const scene::PixelPoint p = points[i];
        if ((std::max(bottom, p.y) - std::min(top, p.y) > Tile ||
             std::max(right, p.x) - std::min(left, p.x) > Tile) &&
            i - start > 1) {
            note(left, top, right, bottom);
            start = i - 1;
            left = std::min(points[start].x, p.x);
            right = std::max(points[start].x, p.x);
            top = std::min(points[start].y, p.y);
            bottom = std::max(points[start].y, p.y);
            continue;
        }
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    note(left, top, right, bottom);
}

QRect toDevicePixels(const QRect& r, qreal ratio)
{
    return QRect(QPoint(static_cast<int>(std::floor(r.left() * ratio)),
                        static_cast<int>(std::floor(r.top() * ratio))),
                 QPoint(static_cast<int>(std::ceil((r.right() + 1) * ratio)) - 1,
                        static_cast<int>(std::ceil((r.bottom() + 1) * ratio)) - 1));
}

bool PainterCanvas::keepLayer(std::span<const std::byte> key)
{
    if (!m_keepsLayers || !m_painter.isActive() || m_image->depth() != 32) {
        return false;
    }
    m_layer.keep(reinterpret_cast<const std::uint32_t*>(m_image->constBits()), m_image->width(),
                 m_image->height(), m_image->bytesPerLine() / 4);
    m_layerKey.assign(key.begin(), key.end());
    m_hasLayer = true;
    m_sinceLayer.clear();
    return true;
}

bool PainterCanvas::restoreLayer(std::span<const std::byte> key)
{
    if (!m_hasLayer || !m_painter.isActive() || m_image->depth() != 32 ||
        m_layer.width() != m_image->width() || m_layer.height() != m_image->height() ||
        !std::equal(key.begin(), key.end(), m_layerKey.begin(), m_layerKey.end())) {
        return false;
    }
    // The engine's pixels may be several of the picture's.
    const qreal ratio = m_image->devicePixelRatio();
    // Once: each non-const scanLine() goes through detach().
    auto* const to = reinterpret_cast<std::uint32_t*>(m_image->bits());
    const std::ptrdiff_t wordsPerLine = m_image->bytesPerLine() / 4;
    m_sinceLayer.forEachRect(RestoreGapTiles, [&](const QRect& r) {
        const QRect device = toDevicePixels(r, ratio).intersected(m_image->rect());
        if (!device.isEmpty()) {
            m_layer.putBack(to, wordsPerLine, device.left(), device.top(), device.right() + 1,
                            device.bottom() + 1);
        }
    });
    // What was put back must be shown again even where it was shown since it was drawn over.
    m_changed.unite(m_sinceLayer);
    m_sinceLayer.clear();
    return true;
}

QRegion PainterCanvas::takeChanged()
{
    // The last band may reach below the picture.
    QRegion changed = m_changed.region(ShownGapTiles);
    m_changed.clear();
    if (m_image != nullptr) {
        changed &= QRect(QPoint(0, 0), m_image->deviceIndependentSize().toSize());
    }
    return changed;
}

}  // namespace platform
