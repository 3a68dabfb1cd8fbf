// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The two pictures of the drawing that copying and saving deliver: the vector picture, projected
// at ten times the screen's resolution, and the bitmap at screen resolution, each cut to the
// drawing's extent with its margin but never beyond the drawing area (times ten for the vector
// picture).
//
// Both are made from a private copy of the scene, so the shared projection of the drawing area
// is left as it was, and no queued event runs while they are built: a timer cannot move the
// scene between the two pictures.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

#include "output/export_formats.h"
#include "scene/scene.h"

namespace output {

// Round(primaryScreenWidthPixels / screenWidth x 0.0254 / scalingFactor), evaluated left to right
// in extended precision. A scaling factor of 0 or below, or a result below 1, gives 1: the
// physical size of the vector picture divides by it.
std::int32_t metafileDotsPerInch(std::int32_t primaryScreenWidthPixels, double screenWidth,
                                 double scalingFactor);

struct VectorPictureSize {
    std::int32_t width = 0;        // MetafileWidth, device units
    std::int32_t height = 0;       // MetafileHeight
    std::int32_t dotsPerInch = 1;  // MetafileDotsPerInch
    // The physical size in hundredths of a millimetre: width x 2540 div dotsPerInch (at least 1).
    // The metafile states it.
    std::int32_t frameWidth = 0;
    std::int32_t frameHeight = 0;
    // The true size of the drawing at 1 : N, which SVG and PDF state: a tenth of a device unit
    // per screen pixel.
    double widthMm = 0.0;
    double heightMm = 0.0;
};

class ExportPictures : public PictureSource {
public:
    // Builds both pictures from the scene as it stands (model, styles, scale and drawing area).
    // The scene itself is not changed.
    ExportPictures(const scene::SceneState& s, std::int32_t primaryScreenWidthPixels);
    ~ExportPictures() override;
    ExportPictures(const ExportPictures&) = delete;
    ExportPictures& operator=(const ExportPictures&) = delete;

    const VectorPictureSize& vectorSize() const { return m_vector; }
    // BitmapWidth x BitmapHeight in the display's colour format, carrying the screen's pixel
    // pitch as its resolution.
    const QImage& bitmap() const override { return m_bitmap; }

    // The vector picture in each vector format, drawn on demand from the same projection.
    QByteArray emf() const;
    // One SVG unit per device unit; width and height in millimetres state the true size.
    QByteArray svg() const;
    // One page of the true size, the picture filling it. False with a reason on failure.
    bool pdf(QByteArray& bytes, QString& error) const;

    // What a file of `format` states about the picture's size on paper.
    PhysicalSize statedSize(PictureFormat format) const override;

    // The vector picture at ten times the screen's resolution, drawn through scenePicture.
    VectorPicture vectorPicture() const override;

private:
    class QuietHost;

    VectorPictureSize m_vector;
    double m_screenPixelsPerMetre = 0.0;
    QImage m_bitmap;
    std::unique_ptr<QuietHost> m_host;
    std::unique_ptr<scene::SceneState> m_vectorScene;  // the ten-fold projection, moved to 0, 0
};

}  // namespace output
