// SPDX-License-Identifier: GPL-3.0-or-later
// EmfCanvas read by an independent reader: the scene drawn by the engine into a metafile,
// converted to SVG by emf2svg-conv, must show the same lines, colours and labels.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <array>
#include <memory>
#include <vector>

#include "platform/emf_canvas.h"
#include "platform/painter_canvas.h"
#include "scene/projection.h"
#include "scene/render.h"
#include "scene/scene.h"

namespace {

// The drawing area's picture, on which the labels are measured as the window measures them.
class ImageHost : public scene::SceneHost {
public:
    ImageHost() : m_image(800, 600, QImage::Format_RGB32), m_canvas(m_image) {}
    scene::Canvas& screenCanvas() override { return m_canvas; }
    void processPendingEvents() override {}

private:
    QImage m_image;
    platform::PainterCanvas m_canvas;
};

struct SvgPath {
    std::vector<QPointF> points;
    QString stroke;
    QString fill;
    double strokeWidth = 0.0;
    bool dashed = false;
    bool clipped = false;
};

struct SvgText {
    QString text;
    QString fill;
    double x = 0.0;
    double y = 0.0;
};

QString attribute(const QString& element, const QString& name)
{
    const QRegularExpression re(QStringLiteral("\\s%1=\"([^\"]*)\"").arg(name));
    return re.match(element).captured(1);
}

// The drawn paths, without those that only define a clip.
std::vector<SvgPath> pathsOf(QString svg)
{
    static const QRegularExpression definitions(QStringLiteral("<defs>.*?</defs>"));
    svg.remove(definitions);
    std::vector<SvgPath> paths;
    static const QRegularExpression element(QStringLiteral("<path\\s[^>]*>"));
    static const QRegularExpression point(QStringLiteral("(-?[0-9.]+),(-?[0-9.]+)"));
    for (auto m = element.globalMatch(svg); m.hasNext();) {
        const QString e = m.next().captured(0);
        SvgPath p;
        for (auto pm = point.globalMatch(attribute(e, QStringLiteral("d"))); pm.hasNext();) {
            const auto xy = pm.next();
            p.points.emplace_back(xy.captured(1).toDouble(), xy.captured(2).toDouble());
        }
        p.stroke = attribute(e, QStringLiteral("stroke")).toUpper();
        p.fill = attribute(e, QStringLiteral("fill")).toUpper();
        p.strokeWidth = attribute(e, QStringLiteral("stroke-width")).remove("px").toDouble();
        p.dashed = !attribute(e, QStringLiteral("stroke-dasharray")).isEmpty();
        p.clipped = !attribute(e, QStringLiteral("clip-path")).isEmpty();
        paths.push_back(std::move(p));
    }
    return paths;
}

std::vector<SvgText> textsOf(const QString& svg)
{
    std::vector<SvgText> texts;
    static const QRegularExpression element(
        QStringLiteral("<text\\s([^>]*)>\\s*<!\\[CDATA\\[(.*?)\\]\\]>\\s*</text>"));
    for (auto m = element.globalMatch(svg); m.hasNext();) {
        const auto match = m.next();
        const QString e = QStringLiteral(" ") + match.captured(1);
        texts.push_back({match.captured(2), attribute(e, QStringLiteral("fill")).toUpper(),
                         attribute(e, QStringLiteral("x")).toDouble(),
                         attribute(e, QStringLiteral("y")).toDouble()});
    }
    return texts;
}

QString hex(common::TColor c)
{
    return QStringLiteral("#%1%2%3")
        .arg(common::redOf(c), 2, 16, QLatin1Char('0'))
        .arg(common::greenOf(c), 2, 16, QLatin1Char('0'))
        .arg(common::blueOf(c), 2, 16, QLatin1Char('0'))
        .toUpper();
}

class EmfReadBack : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_converter = QStandardPaths::findExecutable(QStringLiteral("emf2svg-conv"));
        if (m_converter.isEmpty()) {
            GTEST_SKIP() << "emf2svg-conv is not installed (Debian package emf2svg, which "
                            "scripts/setup.sh installs)";
        }
        ASSERT_TRUE(m_dir.isValid());
        s.Host = &m_host;
        scene::setAzimuth(s, -45);
        scene::setElevation(s, 30);
        scene::setPhaseShift(s, -90);
        s.DrawWidth = 800;
        s.DrawHeight = 600;
        scene::startScene(s);
    }

    // Draws the projected scene into a metafile of width x height and converts it.
    QString convert(std::int32_t width, std::int32_t height, double factor)
    {
        platform::EmfCanvas canvas(width, height, width * 20, height * 20, &m_host.screenCanvas());
        scene::drawScene(s, 0, 0, width, height, canvas, factor);
        const QString emf = m_dir.filePath(QStringLiteral("scene.emf"));
        const QString svg = m_dir.filePath(QStringLiteral("scene.svg"));
        std::string error;
        EXPECT_TRUE(canvas.save(emf.toStdString(), error)) << error;
        QProcess process;
        process.start(m_converter, {QStringLiteral("-i"), emf, QStringLiteral("-o"), svg});
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        QFile file(svg);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll());
    }

    std::unique_ptr<scene::SceneState> m_state = std::make_unique<scene::SceneState>();
    scene::SceneState& s = *m_state;

private:
    QString m_converter;
    QTemporaryDir m_dir;
    ImageHost m_host;
};

TEST_F(EmfReadBack, WavesLieAtTheProjectedPointsInTheirColours)
{
    const std::vector<SvgPath> paths = pathsOf(convert(800, 600, 1.0));
    struct Wave {
        const std::array<scene::PixelPoint, scene::WaveSampleCount>* points;
        scene::TSceneObject object;
    };
    const std::vector<Wave> waves = {
        {&s.Pix.HorizontalWavePix, scene::TSceneObject::HorizontalWave},
        {&s.Pix.VerticalWavePix, scene::TSceneObject::VerticalWave},
        {&s.Pix.ResultantWavePix, scene::TSceneObject::ResultantWave},
    };
    std::vector<const SvgPath*> long_;
    for (const SvgPath& p : paths) {
        if (p.points.size() == static_cast<std::size_t>(scene::WaveSampleCount)) {
            long_.push_back(&p);
        }
    }
    ASSERT_EQ(long_.size(), waves.size());
    for (std::size_t w = 0; w < waves.size(); ++w) {
        const SvgPath& path = *long_[w];
        EXPECT_EQ(path.stroke, hex(s.style(waves[w].object).Color)) << w;
        EXPECT_EQ(path.fill, QStringLiteral("NONE"));
        EXPECT_DOUBLE_EQ(path.strokeWidth, 1.0);
        EXPECT_TRUE(path.clipped);
        for (std::size_t k = 0; k < path.points.size(); ++k) {
            const scene::PixelPoint expected = (*waves[w].points)[k];
            ASSERT_NEAR(path.points[k].x(), expected.x, 1e-6) << w << " " << k;
            ASSERT_NEAR(path.points[k].y(), expected.y, 1e-6) << w << " " << k;
        }
    }

    // The background fill first, then the surface polygon in its colour at its corners.
    ASSERT_GE(paths.size(), 2u);
    EXPECT_EQ(paths[0].fill, hex(s.style(scene::TSceneObject::Background).Color));
    EXPECT_EQ(paths[0].points.front(), QPointF(0, 0));
    EXPECT_TRUE(std::find(paths[0].points.begin(), paths[0].points.end(), QPointF(801, 601)) !=
                paths[0].points.end());
    const SvgPath& surface = paths[1];
    EXPECT_EQ(surface.fill, hex(s.style(scene::TSceneObject::ReferenceSurface).Color));
    ASSERT_EQ(surface.points.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(surface.points[i],
                  QPointF(s.Pix.ReferenceRectPix[i].x, s.Pix.ReferenceRectPix[i].y));
    }
    // The ellipse keeps its pattern.
    const auto ellipse = std::find_if(paths.begin(), paths.end(), [](const SvgPath& p) {
        return p.points.size() == static_cast<std::size_t>(scene::EllipsePointCount);
    });
    ASSERT_NE(ellipse, paths.end());
    EXPECT_EQ(ellipse->dashed, s.style(scene::TSceneObject::ResultantVectorEllipse).PenStyle !=
                                   common::TPenStyle::Solid);
}

TEST_F(EmfReadBack, LabelsStandAtTheirBoxesInTheTextColour)
{
    const std::vector<SvgText> texts = textsOf(convert(800, 600, 1.0));
    struct Label {
        QString text;
        scene::LabelBox box;
    };
    const std::vector<Label> labels = {
        {QString::fromStdString(s.PropagationAxisLabel), s.Pix.PropagationLabelBox},
        {QString::fromStdString(s.HorizontalAxisLabel), s.Pix.HorizontalLabelBox},
        {QString::fromStdString(s.VerticalAxisLabel), s.Pix.VerticalLabelBox},
    };
    ASSERT_EQ(texts.size(), labels.size());
    for (std::size_t i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(texts[i].text, labels[i].text);
        EXPECT_DOUBLE_EQ(texts[i].x, labels[i].box.left);
        // The reader places the baseline somewhere within the cell that starts at the box top.
        EXPECT_GT(texts[i].y, labels[i].box.top) << i;
        EXPECT_LE(texts[i].y, labels[i].box.top + s.LabelCharHeight) << i;
    }
    EXPECT_EQ(texts[1].fill, hex(s.style(scene::TSceneObject::Text).Color));
    EXPECT_EQ(texts[2].fill, hex(s.style(scene::TSceneObject::Text).Color));
}

TEST_F(EmfReadBack, WidePatternedLinesKeepTheirWidthAndPattern)
{
    // At ten times the resolution the vertical wave is ten (bold twenty) units wide whatever its
    // style.
    s.style(scene::TSceneObject::VerticalWave).PenStyle = common::TPenStyle::Dash;
    scene::projectScene(s, 8000, 6000, s.PixelsPerUnit, 10.0);
    const std::vector<SvgPath> paths = pathsOf(convert(8000, 6000, 10.0));
    const QString colour = hex(s.style(scene::TSceneObject::VerticalWave).Color);
    const auto wave = std::find_if(paths.begin(), paths.end(), [&](const SvgPath& p) {
        return p.stroke == colour &&
               p.points.size() == static_cast<std::size_t>(scene::WaveSampleCount);
    });
    ASSERT_NE(wave, paths.end());
    EXPECT_DOUBLE_EQ(wave->strokeWidth,
                     s.style(scene::TSceneObject::VerticalWave).Bold ? 20.0 : 10.0);
    EXPECT_TRUE(wave->dashed);
    for (std::size_t k = 0; k < wave->points.size(); k += 64) {
        EXPECT_NEAR(wave->points[k].x(), s.Pix.VerticalWavePix[k].x, 1e-6) << k;
        EXPECT_NEAR(wave->points[k].y(), s.Pix.VerticalWavePix[k].y, 1e-6) << k;
    }
}

}  // namespace
