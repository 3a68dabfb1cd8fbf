#include "output/export_formats.h"

#include <QImageWriter>
#include <QSaveFile>

#include <array>

#include "output/export_pictures.h"

namespace output {

namespace {

bool writeBytes(QIODevice& device, const QByteArray& data, QString& error)
{
    if (device.write(data) != data.size()) {
        error = device.errorString();
        return false;
    }
    return true;
}

bool writeImage(const QImage& image, const char* format, QIODevice& device, QString& error)
{
    QImageWriter writer(&device, format);
    if (!writer.write(image)) {
        // A failing device explains more than the writer's generic message.
        error = device.errorString().isEmpty() ||
                        device.errorString() == QStringLiteral("Unknown error")
                    ? writer.errorString()
                    : device.errorString();
        return false;
    }
    return true;
}

class EmfExporter : public GraphicExporter {
public:
    QString name() const override { return QStringLiteral("Enhanced Metafile"); }
    QString extension() const override { return QStringLiteral("emf"); }
    bool write(const ExportPictures& p, QIODevice& device, QString& error) const override
    {
        return writeBytes(device, p.emf(), error);
    }
};

class BmpExporter : public GraphicExporter {
public:
    QString name() const override { return QStringLiteral("Bitmap"); }
    QString extension() const override { return QStringLiteral("bmp"); }
    bool write(const ExportPictures& p, QIODevice& device, QString& error) const override
    {
        return writeImage(p.bitmap(), "bmp", device, error);
    }
};

class SvgExporter : public GraphicExporter {
public:
    QString name() const override { return QStringLiteral("Scalable Vector Graphics"); }
    QString extension() const override { return QStringLiteral("svg"); }
    bool write(const ExportPictures& p, QIODevice& device, QString& error) const override
    {
        return writeBytes(device, p.svg(), error);
    }
};

class PngExporter : public GraphicExporter {
public:
    QString name() const override { return QStringLiteral("Portable Network Graphics"); }
    QString extension() const override { return QStringLiteral("png"); }
    bool write(const ExportPictures& p, QIODevice& device, QString& error) const override
    {
        return writeImage(p.bitmap(), "png", device, error);
    }
};

class PdfExporter : public GraphicExporter {
public:
    QString name() const override { return QStringLiteral("Portable Document Format"); }
    QString extension() const override { return QStringLiteral("pdf"); }
    bool write(const ExportPictures& p, QIODevice& device, QString& error) const override
    {
        return p.writePdf(device, error);
    }
};

std::array<std::unique_ptr<GraphicExporter>, 5> makeExporters()
{
    return {std::make_unique<EmfExporter>(), std::make_unique<BmpExporter>(),
            std::make_unique<SvgExporter>(), std::make_unique<PngExporter>(),
            std::make_unique<PdfExporter>()};
}

}  // namespace

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

bool savePicture(const GraphicExporter& exporter, const ExportPictures& pictures,
                 const QString& path, QString& error)
{
    QSaveFile file(path);
    // Never write into the file itself, not even where no temporary file can be made.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    if (!exporter.write(pictures, file, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

QString changeExtension(const QString& fileName, const QString& extension)
{
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype nameStart = slash + 1;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > nameStart ? fileName.left(dot) : fileName;
    return stem + QLatin1Char('.') + extension;
}

}  // namespace output
