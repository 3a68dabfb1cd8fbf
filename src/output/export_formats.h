#pragma once

// The picture file formats of SaveDialog, one small class each, in one list whose order gives
// the file types: 1 enhanced metafile and 2 bitmap, as the settings have always stored them,
// then 3 SVG, 4 PNG and 5 PDF. Adding a format is one class and one line in the list.

#include <QString>

#include <memory>
#include <span>

class QIODevice;

namespace output {

class ExportPictures;

class GraphicExporter {
public:
    virtual ~GraphicExporter() = default;
    virtual QString name() const = 0;       // "Enhanced Metafile"
    virtual QString extension() const = 0;  // "emf", without the dot
    // The name filter SaveDialog shows: "Enhanced Metafile (*.emf)".
    QString filter() const;
    // Writes the format's picture into `device`; false with a reason on failure.
    virtual bool write(const ExportPictures& pictures, QIODevice& device, QString& error) const = 0;
};

// Index k - 1 is file type k.
std::span<const std::unique_ptr<GraphicExporter>> graphicExporters();
// The exporter of file type 1 .. 5; null for any other number.
const GraphicExporter* exporterForType(int type);

// Writes the picture of `exporter` to `path` atomically: into a temporary file in the same
// folder, renamed over `path` only when complete, so a failure leaves an existing file intact.
bool savePicture(const GraphicExporter& exporter, const ExportPictures& pictures,
                 const QString& path, QString& error);

// `fileName` with its extension replaced by `extension` (no dot), or the extension appended
// when it has none; folders and the rest of the name stay. A leading dot of the name is not an
// extension.
QString changeExtension(const QString& fileName, const QString& extension);

}  // namespace output
