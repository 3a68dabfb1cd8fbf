#include "output/export_pictures.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

#include "common/numbers.h"
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

QByteArray ExportPictures::emf() const
{
    scene::Canvas* measuring = m_host ? &m_host->screenCanvas() : nullptr;
    platform::EmfCanvas canvas(m_vector.width, m_vector.height, m_vector.frameWidth,
                               m_vector.frameHeight, measuring);
    scene::drawScene(*m_vectorScene, 0, 0, m_vector.width, m_vector.height, canvas, 10.0);
    const std::vector<std::uint8_t>& bytes = canvas.bytes();
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

QByteArray ExportPictures::svg() const
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(m_vector.width, m_vector.height));
    svg.setViewBox(QRect(0, 0, m_vector.width, m_vector.height));
    svg.setResolution(m_vector.dotsPerInch);
    svg.setTitle(QStringLiteral("Ondulix"));
    {
        platform::PainterCanvas canvas(svg);
        scene::drawScene(*m_vectorScene, 0, 0, m_vector.width, m_vector.height, canvas, 10.0);
        canvas.finish();
    }
    return data;
}

bool ExportPictures::writePdf(QIODevice& device, QString& error) const
{
    // At MetafileDotsPerInch a PDF device unit is a device unit of the vector picture, so the
    // projection made for it fills the page of its physical size.
    const QSizeF page(m_vector.frameWidth / 100.0, m_vector.frameHeight / 100.0);
    // Page sizes are portrait; a wide picture is a portrait page turned.
    const bool wide = page.width() > page.height();
    const QPageSize size(wide ? page.transposed() : page, QPageSize::Millimeter, QString(),
                         QPageSize::ExactMatch);
    QPdfWriter pdf(&device);
    pdf.setResolution(m_vector.dotsPerInch);
    pdf.setCreator(QStringLiteral("Ondulix"));
    pdf.setTitle(QStringLiteral("Ondulix"));
    if (!size.isValid() ||
        !pdf.setPageLayout(QPageLayout(size, wide ? QPageLayout::Landscape : QPageLayout::Portrait,
                                       QMarginsF(0, 0, 0, 0)))) {
        error = QStringLiteral("the page size %1 x %2 mm is not possible")
                    .arg(page.width())
                    .arg(page.height());
        return false;
    }
    platform::PainterCanvas canvas(pdf);
    if (!canvas.isActive()) {
        error = QStringLiteral("the PDF cannot be started");
        return false;
    }
    scene::drawScene(*m_vectorScene, 0, 0, m_vector.width, m_vector.height, canvas, 10.0);
    canvas.finish();
    return true;
}

}  // namespace output
