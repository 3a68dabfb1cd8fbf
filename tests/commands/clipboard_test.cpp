// SPDX-License-Identifier: GPL-3.0-or-later
// Copy puts both pictures of one drawing on the clipboard at once, as the desktop's other
// programs read it: the vector picture as SVG and EMF, and the bitmap.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "commands/graphic_export.h"
#include "commands_fixture.h"
#include "output/export_pictures.h"
#include "platform/qt_services.h"

namespace {

using namespace output_test;

TEST(Copy, LeavesTheVectorPictureAndTheBitmapOnTheClipboard)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    TestScene t(800, 600, [](scene::SceneState& s) { s.ScaleDenominator = 100; });
    FakeWindow window(t.s());
    platform::QtClipboard clipboard;
    FakeSaveDialog dialog;
    FakeAlerts alerts;
    commands::GraphicExport commands(window, clipboard, dialog, alerts, 1280);

    ASSERT_TRUE(commands.SpeedButtonCopyOnClick(commands::ExportSender::Copy));

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_FALSE(data->hasText()) << "the previous content is cleared";
    ASSERT_TRUE(data->hasFormat(QStringLiteral("image/svg+xml")));
    ASSERT_TRUE(data->hasFormat(QStringLiteral("image/emf")));
    ASSERT_TRUE(data->hasImage());

    const output::ExportPictures expected(t.s(), 1280);
    const QImage bitmap = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(bitmap.size(), expected.bitmap().size());
    EXPECT_LT(bitmap.width(), 800) << "cut to the drawing";

    const QByteArray emf = data->data(QStringLiteral("image/emf"));
    ASSERT_GT(emf.size(), 88);
    EXPECT_EQ(le32(emf, 0), 1) << "EMR_HEADER first";
    EXPECT_EQ(emf.mid(40, 4), QByteArray(" EMF"));
    EXPECT_EQ(le32(emf, 16), expected.vectorSize().width - 1);

    const QByteArray svg = data->data(QStringLiteral("image/svg+xml"));
    EXPECT_TRUE(svg.contains("<svg"));
    const QString viewBox = QStringLiteral("viewBox=\"0 0 %1 %2\"")
                                .arg(expected.vectorSize().width)
                                .arg(expected.vectorSize().height);
    EXPECT_TRUE(svg.contains(viewBox.toUtf8())) << svg.left(600).toStdString();

    EXPECT_EQ(window.states,
              (std::vector{commands::TOutputState::Copying, commands::TOutputState::Idle}));
    EXPECT_TRUE(window.errors.empty());
}

}  // namespace
