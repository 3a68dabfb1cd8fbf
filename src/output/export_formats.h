// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The picture file formats of SaveDialog, one small exporter class each, in one list whose order
// gives the file types (picture_format.h). Adding a format is one class and one line in the list.
//
// The exporters are shared with ondulix-render: each makes the whole file in memory from a
// PictureSource, and storePicture puts it on the disk, so that the window and the renderer save
// alike.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "common/globals.h"
#include "output/picture_format.h"

class QImage;

namespace scene {
class Canvas;
}

namespace output {

// What a picture file states about its size on paper.
struct PhysicalSize {
    double widthMm = 0.0;  // the whole picture
    double heightMm = 0.0;
    double pixelsPerMetre = 0.0;  // the resolution a bitmap records
};

// Empty when `format` can state `size`; otherwise why not, as a clause in the language:
// "a picture of 80000 x 60000 mm cannot be stated in SVG (0.01 to 32767 mm a side)".
// Vector formats state each side in millimetres within a range of their own; bitmaps state
// whole pixels per metre, at least 1.
QString sizeProblem(PictureFormat format, const PhysicalSize& size, common::TLanguage language);

// A vector picture in device units, and what its files state about its size.
struct VectorPicture {
    std::int32_t width = 1;  // device units
    std::int32_t height = 1;
    // SVG and PDF: the size on paper, stated exactly.
    double widthMm = 1.0;
    double heightMm = 1.0;
    // EMF: the frame in hundredths of a millimetre, which the caller's formula gives.
    std::int32_t frameWidth = 1;
    std::int32_t frameHeight = 1;
    // Where a metafile measures its texts (it has no fonts of its own); may be null.
    scene::Canvas* measuringCanvas = nullptr;
    QString creator = QStringLiteral("Ondulix");
    // Paints the picture in its device units, 0, 0 at the top left.
    std::function<void(scene::Canvas&)> draw;
};

QByteArray svgPicture(const VectorPicture& picture);
QByteArray emfPicture(const VectorPicture& picture);
// One page of the picture's size, the picture filling it. False with a reason on failure.
bool pdfPicture(const VectorPicture& picture, QByteArray& pdf, QString& error);
// `image` encoded as "bmp" or "png". False with a reason on failure.
bool encodeImage(const QImage& image, const char* format, QByteArray& bytes, QString& error);

// Writes `bytes` to `path` safely: a regular file is replaced only once the new one is complete
// and on the disk, so a failure (a full disk among them) leaves an existing file as it was.
// `reason` is the system's: "No space left on device".
bool storePicture(const QString& path, const QByteArray& bytes, QString& reason);
// The same for a path in the file system's own bytes, as a command line gives it.
bool storePicture(const std::string& path, const QByteArray& bytes, QString& reason);

// What the exporters draw from: the vector picture and the bitmap of one drawing, and what each
// format's file states about its size.
class PictureSource {
public:
    virtual ~PictureSource() = default;
    virtual VectorPicture vectorPicture() const = 0;
    // The bitmap, carrying its resolution.
    virtual const QImage& bitmap() const = 0;
    virtual PhysicalSize statedSize(PictureFormat format) const = 0;
};

class GraphicExporter {
public:
    virtual ~GraphicExporter() = default;
    virtual QString name() const = 0;  // "Enhanced Metafile"
    virtual PictureFormat format() const = 0;
    // "emf", without the dot.
    QString extension() const;
    // The name filter SaveDialog shows: "Enhanced Metafile (*.emf)".
    QString filter() const;
    // The whole file of the format's picture; false with a reason on failure.
    virtual bool render(const PictureSource& picture, QByteArray& bytes, QString& error) const = 0;
};

// Index k - 1 is file type k.
std::span<const std::unique_ptr<GraphicExporter>> graphicExporters();
// The exporter of file type 1 .. 5; null for any other number.
const GraphicExporter* exporterForType(int type);
// The exporter of `format`.
const GraphicExporter& exporterFor(PictureFormat format);

// Writes the picture of `exporter` to `path` with storePicture. A size the format cannot state
// is refused before anything is written. `error` is the reason, in the language.
bool savePicture(const GraphicExporter& exporter, const PictureSource& picture, const QString& path,
                 common::TLanguage language, QString& error);

}  // namespace output
