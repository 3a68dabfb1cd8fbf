// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/export_pictures.h"

#include <algorithm>
#include <cmath>

#include "common/numbers.h"
#include "output/scene_picture.h"
#include "platform/emf_canvas.h"
#include "platform/painter_canvas.h"
#include "scene/extent.h"
#include "scene/projection.h"
#include "scene/render.h"

namespace output {

// Lends the window's screen canvas for measuring labels but lets no event run: the export's
// drawings happen between the window's frames, not inside them.
class ExportPictures::QuietHost : public scene::SceneHost {
public:
    explicit QuietHost(scene::SceneHost& screen) : m_screen(screen) {}
    scene::Canvas& screenCanvas() override { return m_screen.screenCanvas(); }
    void processPendingEvents() override {}

private:
    scene::SceneHost& m_screen;
};

std::int32_t metafileDotsPerInch(std::int32_t primaryScreenWidthPixels, double screenWidth,
                                 double scalingFactor)
{
    if (!(scalingFactor > 0.0)) {
        return 1;
    }
    const long double dpi =
        static_cast<long double>(primaryScreenWidthPixels) / screenWidth * 0.0254L / scalingFactor;
    return std::max(common::roundToInt(dpi), 1);
}

namespace {

// A copy that can be projected and drawn on its own: the window's own drawing may be in
// progress when a shortcut starts the export from inside its event pump.
std::unique_ptr<scene::SceneState> privateCopy(const scene::SceneState& s, scene::SceneHost* host)
{
    auto copy = std::make_unique<scene::SceneState>(s);
    copy->Host = host;
    copy->DrawingInProgress = false;
    return copy;
}

// Steps 5 to 7 and 9: the extent with its margin, cut to the area, moved to the origin.
QSize cutToExtent(scene::SceneState& s, std::int32_t areaWidth, std::int32_t areaHeight)
{
    const scene::Extent e = scene::computeDrawingExtent(s);
    const std::int32_t width = std::min(e.width, areaWidth);
    const std::int32_t height = std::min(e.height, areaHeight);
    scene::translateScene(s, -std::max(e.left, 0), -std::max(e.top, 0));
    // A picture needs a pixel even where the area has none.
    return {std::max(width, 1), std::max(height, 1)};
}

}  // namespace

ExportPictures::ExportPictures(const scene::SceneState& s, std::int32_t primaryScreenWidthPixels)
{
    if (s.Host != nullptr) {
        m_host = std::make_unique<QuietHost>(*s.Host);
    }
    scene::SceneHost* host = m_host.get();

    m_vector.dotsPerInch = metafileDotsPerInch(primaryScreenWidthPixels, s.ScreenWidth,
                                               s.Proportions.ClipboardBugfixScalingFactor);
    const std::int32_t areaWidth = common::roundToInt(static_cast<long double>(s.DrawWidth) * 10);
    const std::int32_t areaHeight = common::roundToInt(static_cast<long double>(s.DrawHeight) * 10);
    m_vectorScene = privateCopy(s, host);
    scene::projectScene(*m_vectorScene, areaWidth, areaHeight, s.PixelsPerUnit, 10.0);
    const QSize vector = cutToExtent(*m_vectorScene, areaWidth, areaHeight);
    m_vector.width = vector.width();
    m_vector.height = vector.height();
    m_vector.frameWidth =
        std::max(platform::emfFrameLength(m_vector.width, m_vector.dotsPerInch), 1);
    m_vector.frameHeight =
        std::max(platform::emfFrameLength(m_vector.height, m_vector.dotsPerInch), 1);
    m_screenPixelsPerMetre = s.ScreenPixelsPerMetre;
    m_vector.widthMm = m_vector.width / (10.0 * m_screenPixelsPerMetre) * 1000.0;
    m_vector.heightMm = m_vector.height / (10.0 * m_screenPixelsPerMetre) * 1000.0;

    const std::unique_ptr<scene::SceneState> screen = privateCopy(s, host);
    scene::projectScene(*screen, s.DrawWidth, s.DrawHeight, s.PixelsPerUnit, 1.0);
    const QSize bitmap = cutToExtent(*screen, s.DrawWidth, s.DrawHeight);
    m_bitmap = QImage(bitmap, QImage::Format_RGB32);
    // The screen's pixel pitch, so that a program that honours it shows the true scale.
    const int dotsPerMetre = std::max(1, common::roundToInt(s.ScreenPixelsPerMetre));
    m_bitmap.setDotsPerMeterX(dotsPerMetre);
    m_bitmap.setDotsPerMeterY(dotsPerMetre);
    platform::PainterCanvas canvas(m_bitmap);
    scene::drawScene(*screen, 0, 0, bitmap.width(), bitmap.height(), canvas, 1.0);
    canvas.finish();
}

ExportPictures::~ExportPictures() = default;

VectorPicture ExportPictures::vectorPicture() const
{
    PictureDescription d;
    d.width = m_vector.width;
    d.height = m_vector.height;
    d.deviceFactor = 10.0;
    d.widthMm = m_vector.widthMm;
    d.heightMm = m_vector.heightMm;
    d.frameWidth = m_vector.frameWidth;
    d.frameHeight = m_vector.frameHeight;
    return scenePicture(*m_vectorScene, d, m_host ? &m_host->screenCanvas() : nullptr);
}

QByteArray ExportPictures::emf() const
{
    return emfPicture(vectorPicture());
}

QByteArray ExportPictures::svg() const
{
    return svgPicture(vectorPicture());
}

bool ExportPictures::pdf(QByteArray& bytes, QString& error) const
{
    return pdfPicture(vectorPicture(), bytes, error);
}

PhysicalSize ExportPictures::statedSize(PictureFormat format) const
{
    switch (format) {
        case PictureFormat::Emf:
            return {m_vector.frameWidth / 100.0, m_vector.frameHeight / 100.0, 0.0};
        case PictureFormat::Svg:
        case PictureFormat::Pdf:
            return {m_vector.widthMm, m_vector.heightMm, 0.0};
        case PictureFormat::Bmp:
        case PictureFormat::Png:
            break;
    }
    return {m_bitmap.width() / m_screenPixelsPerMetre * 1000.0,
            m_bitmap.height() / m_screenPixelsPerMetre * 1000.0, m_screenPixelsPerMetre};
}

}  // namespace output
