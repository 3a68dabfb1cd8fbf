// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/export_formats.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "platform/emf_canvas.h"
#include "platform/painter_canvas.h"
#include "settings/settings_io.h"

namespace output {

namespace {

constexpr double MmPerInch = 25.4;
constexpr double PointsPerInch = 72.0;
constexpr double Int32Max = std::numeric_limits<std::int32_t>::max();

struct SideRange {
    const char* formatName;
    double minMm;
    double maxMm;
};

// The sides a vector format can state. An EMF frame is a 32-bit count of hundredths of a
// millimetre. SVG Tiny 1.2, which the generator declares, has numbers up to 32767.9999; sides
// are stated to 0.01 mm. A PDF page without a user unit is 3 to 14 400 points a side.
SideRange sideRange(PictureFormat format)
{
    switch (format) {
        case PictureFormat::Emf:
            return {"EMF", 0.01, Int32Max / 100.0};
        case PictureFormat::Svg:
            return {"SVG", 0.01, 32767.0};
        case PictureFormat::Pdf:
            return {"PDF", 3.0 * MmPerInch / PointsPerInch, 14400.0 * MmPerInch / PointsPerInch};
        case PictureFormat::Bmp:
        case PictureFormat::Png:
            break;
    }
    return {"", 0.0, 0.0};
}

QString number(double value, common::TLanguage language)
{
    QString text = std::isfinite(value) && std::abs(value) >= 0.01 && std::abs(value) < 1e9
                       ? QString::number(value, 'f', 2)
                       : QString::number(value, 'g', 3);
    if (text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e'))) {
        while (text.endsWith(QLatin1Char('0'))) {
            text.chop(1);
        }
        if (text.endsWith(QLatin1Char('.'))) {
            text.chop(1);
        }
    }
    if (language == common::TLanguage::German) {
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    }
    return text;
}

bool sideFits(double mm, const SideRange& range)
{
    return std::isfinite(mm) && mm >= range.minMm && mm <= range.maxMm;
}

// Qt states the SVG's size from a whole-number resolution; the exact one replaces it.
QByteArray withStatedSize(QByteArray svg, double widthMm, double heightMm)
{
    static const QRegularExpression stated(
        QStringLiteral("<svg width=\"[^\"]*mm\" height=\"[^\"]*mm\""));
    const QString head = QString::fromLatin1(svg.left(256));
    const QRegularExpressionMatch m = stated.match(head);
    if (!m.hasMatch()) {
        return svg;
    }
    const auto mm = [](double v) {
        QByteArray text = QByteArray::number(v, 'f', 3);
        while (text.endsWith('0')) {
            text.chop(1);
        }
        if (text.endsWith('.')) {
            text.chop(1);
        }
        return text;
    };
    const QByteArray exact =
        "<svg width=\"" + mm(widthMm) + "mm\" height=\"" + mm(heightMm) + "mm\"";
    svg.replace(m.capturedStart(), m.capturedLength(), exact);
    return svg;
}

// `value` written in exactly `length` characters, as PDF reals are: the page's numbers are
// replaced in place, so that no offset of the file's cross-reference table moves.
QByteArray fixedLength(double value, qsizetype length)
{
    for (int decimals = static_cast<int>(length); decimals >= 1; --decimals) {
        QByteArray text = QByteArray::number(value, 'f', decimals);
        if (text.size() <= length) {
            return text + QByteArray(length - text.size(), '0');
        }
    }
    return {};
}

// Qt writes the page's size in whole points; the exact size replaces them.
bool setMediaBox(QByteArray& pdf, double widthPoints, double heightPoints)
{
    static const QByteArray key("/MediaBox [0 0 ");
    const qsizetype at = pdf.indexOf(key);
    if (at < 0 || pdf.indexOf(key, at + 1) >= 0) {
        return false;  // one page only
    }
    const qsizetype widthAt = at + key.size();
    const qsizetype space = pdf.indexOf(' ', widthAt);
    const qsizetype close = space < 0 ? -1 : pdf.indexOf(']', space);
    if (close < 0 || close - widthAt > 64) {
        return false;
    }
    const QByteArray width = fixedLength(widthPoints, space - widthAt);
    const QByteArray height = fixedLength(heightPoints, close - space - 1);
    if (width.isEmpty() || height.isEmpty()) {
        return false;
    }
    pdf.replace(widthAt, width.size(), width);
    pdf.replace(space + 1, height.size(), height);
    return true;
}

// Device units per inch of the picture at its stated size.
double dotsPerInch(const VectorPicture& p)
{
    return p.width / (p.widthMm / MmPerInch);
}

int wholeResolution(double dpi)
{
    return static_cast<int>(std::clamp(std::round(dpi), 1.0, 1e7));
}

class EmfExporter : public GraphicExporter {
public:
    QString name() const override { return QStringLiteral("Enhanced Metafile"); }
    PictureFormat format() const override { return PictureFormat::Emf; }
    bool render(const PictureSource& p, QByteArray& bytes, QString&) const override
    {
        bytes = emfPicture(p.vectorPicture());
        return true;
    }
};

class BmpExporter : public GraphicExporter {
public:
    QString name() const override { return QStringLiteral("Bitmap"); }
    PictureFormat format() const override { return PictureFormat::Bmp; }
    bool render(const PictureSource& p, QByteArray& bytes, QString& error) const override
    {
        return encodeImage(p.bitmap(), "bmp", bytes, error);
    }
};

class SvgExporter : public GraphicExporter {
public:
    QString name() const override { return QStringLiteral("Scalable Vector Graphics"); }
    PictureFormat format() const override { return PictureFormat::Svg; }
    bool render(const PictureSource& p, QByteArray& bytes, QString&) const override
    {
        bytes = svgPicture(p.vectorPicture());
        return true;
    }
};

class PngExporter : public GraphicExporter {
public:
    QString name() const override { return QStringLiteral("Portable Network Graphics"); }
    PictureFormat format() const override { return PictureFormat::Png; }
    bool render(const PictureSource& p, QByteArray& bytes, QString& error) const override
    {
        return encodeImage(p.bitmap(), "png", bytes, error);
    }
};

class PdfExporter : public GraphicExporter {
public:
    QString name() const override { return QStringLiteral("Portable Document Format"); }
    PictureFormat format() const override { return PictureFormat::Pdf; }
    bool render(const PictureSource& p, QByteArray& bytes, QString& error) const override
    {
        return pdfPicture(p.vectorPicture(), bytes, error);
    }
};

std::array<std::unique_ptr<GraphicExporter>, 5> makeExporters()
{
    return {std::make_unique<EmfExporter>(), std::make_unique<BmpExporter>(),
            std::make_unique<SvgExporter>(), std::make_unique<PngExporter>(),
            std::make_unique<PdfExporter>()};
}

}  // namespace

QString sizeProblem(PictureFormat format, const PhysicalSize& size, common::TLanguage language)
{
    const bool german = language == common::TLanguage::German;
    if (format == PictureFormat::Bmp || format == PictureFormat::Png) {
        const double ppm = size.pixelsPerMetre;
        if (std::isfinite(ppm) && std::round(ppm) >= 1.0 && std::round(ppm) <= Int32Max) {
            return {};
        }
        const QString name =
            format == PictureFormat::Bmp ? QStringLiteral("BMP") : QStringLiteral("PNG");
        return (german ? QStringLiteral("eine Auflösung von %1 Pixeln je Meter lässt sich in %2 "
                                        "nicht angeben (1 bis 2147483647)")
                       : QStringLiteral("a resolution of %1 pixels per metre cannot be stated in "
                                        "%2 (1 to 2147483647)"))
            .arg(number(ppm, language), name);
    }
    const SideRange range = sideRange(format);
    if (sideFits(size.widthMm, range) && sideFits(size.heightMm, range)) {
        return {};
    }
    return (german ? QStringLiteral("ein Bild von %1 x %2 mm lässt sich in %3 nicht angeben "
                                    "(%4 bis %5 mm je Seite)")
                   : QStringLiteral("a picture of %1 x %2 mm cannot be stated in %3 "
                                    "(%4 to %5 mm a side)"))
        .arg(number(size.widthMm, language), number(size.heightMm, language),
             QString::fromLatin1(range.formatName), number(range.minMm, language),
             number(range.maxMm, language));
}

QByteArray svgPicture(const VectorPicture& picture)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(picture.width, picture.height));
    svg.setViewBox(QRect(0, 0, picture.width, picture.height));
    svg.setResolution(wholeResolution(dotsPerInch(picture)));
    svg.setTitle(QStringLiteral("Ondulix"));
    {
        platform::PainterCanvas canvas(svg);
        picture.draw(canvas);
        canvas.finish();
    }
    return withStatedSize(std::move(data), picture.widthMm, picture.heightMm);
}

QByteArray emfPicture(const VectorPicture& picture)
{
    platform::EmfCanvas canvas(picture.width, picture.height, picture.frameWidth,
                               picture.frameHeight, picture.measuringCanvas);
    picture.draw(canvas);
    const std::vector<std::uint8_t>& bytes = canvas.bytes();
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

bool pdfPicture(const VectorPicture& picture, QByteArray& pdf, QString& error)
{
    pdf.clear();
    const QSizeF page(picture.widthMm, picture.heightMm);
    // Page sizes are portrait; a wide picture is a portrait page turned.
    const bool wide = page.width() > page.height();
    const QPageSize size(wide ? page.transposed() : page, QPageSize::Millimeter, QString(),
                         QPageSize::ExactMatch);
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    // A whole number of dots per inch near the picture's own, so that a PDF unit is about a
    // device unit; the canvas scales by what is left.
    const double dpi = dotsPerInch(picture);
    const int resolution = wholeResolution(dpi);
    QPdfWriter writer(&buffer);
    writer.setResolution(resolution);
    writer.setCreator(picture.creator);
    writer.setTitle(QStringLiteral("Ondulix"));
    const QPageLayout layout(size, wide ? QPageLayout::Landscape : QPageLayout::Portrait,
                             QMarginsF(0, 0, 0, 0));
    if (!size.isValid() || !writer.setPageLayout(layout)) {
        error = QStringLiteral("the page size %1 x %2 mm is not possible")
                    .arg(page.width())
                    .arg(page.height());
        return false;
    }
    const double widthPoints = picture.widthMm / MmPerInch * PointsPerInch;
    const double heightPoints = picture.heightMm / MmPerInch * PointsPerInch;
    {
        platform::PainterCanvas canvas(writer);
        if (!canvas.isActive()) {
            error = QStringLiteral("the PDF cannot be started");
            return false;
        }
        // The writer's page is whole points high and its origin is at that page's top; the
        // picture keeps its top at the top of the exact page.
        const double wholeHeight = layout.fullRectPoints().height();
        canvas.setPlacement(resolution / dpi, 0.0,
                            (wholeHeight - heightPoints) * resolution / PointsPerInch);
        picture.draw(canvas);
        canvas.finish();
    }
    buffer.close();
    if (!setMediaBox(pdf, widthPoints, heightPoints)) {
        error = QStringLiteral("the page size cannot be stated");
        return false;
    }
    return true;
}

bool encodeImage(const QImage& image, const char* format, QByteArray& bytes, QString& error)
{
    bytes.clear();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) {
        error = writer.errorString();
        return false;
    }
    return true;
}

bool storePicture(const QString& path, const QByteArray& bytes, QString& reason)
{
    return storePicture(QFile::encodeName(path).toStdString(), bytes, reason);
}

bool storePicture(const std::string& path, const QByteArray& bytes, QString& reason)
{
    const settings::TFileResult result = settings::writeFileAtomically(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!result.Ok) {
        reason = QString::fromStdString(result.Reason.empty() ? result.Error : result.Reason);
    }
    return result.Ok;
}

QString GraphicExporter::extension() const
{
    const std::string_view text = extensionOf(format());
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString GraphicExporter::filter() const
{
    return QStringLiteral("%1 (*.%2)").arg(name(), extension());
}

std::span<const std::unique_ptr<GraphicExporter>> graphicExporters()
{
    static const std::array<std::unique_ptr<GraphicExporter>, 5> exporters = makeExporters();
    return exporters;
}

const GraphicExporter* exporterForType(int type)
{
    const auto list = graphicExporters();
    if (type < 1 || static_cast<std::size_t>(type) > list.size()) {
        return nullptr;
    }
    return list[static_cast<std::size_t>(type - 1)].get();
}

const GraphicExporter& exporterFor(PictureFormat format)
{
    for (const auto& exporter : graphicExporters()) {
        if (exporter->format() == format) {
            return *exporter;
        }
    }
    return *graphicExporters().front();  // every format has its exporter
}

bool savePicture(const GraphicExporter& exporter, const PictureSource& picture, const QString& path,
                 common::TLanguage language, QString& error)
{
    error = sizeProblem(exporter.format(), picture.statedSize(exporter.format()), language);
    if (!error.isEmpty()) {
        return false;
    }
    QByteArray bytes;
    if (!exporter.render(picture, bytes, error)) {
        return false;
    }
    return storePicture(path, bytes, error);
}

}  // namespace output
