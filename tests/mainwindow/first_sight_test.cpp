// SPDX-License-Identifier: GPL-3.0-or-later
// What a teacher meets first in the main window: the captions, the focus mark, the tick labels
// that neither overlap nor leave the window, the toggles' on state, Fit, and the names a screen
// reader speaks.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <vector>

#include "mainwindow/form_main.h"
#include "mainwindow/track_bar.h"
#include "scene/extent.h"

namespace {

using common::TLanguage;
using mainwindow::TFormMain;
using mainwindow::TTrackBar;

constexpr const char* Bars[] = {
    "TrackBarAzimuth",           "TrackBarElevation",  "TrackBarHorizontalAmplitude",
    "TrackBarVerticalAmplitude", "TrackBarPhaseShift", "TrackBarTime"};

class FirstSight : public ::testing::Test {
protected:
    std::unique_ptr<TFormMain> form;

    void start(bool captions = true, TLanguage language = TLanguage::English,
               QSize size = QSize(1024, 768))
    {
        mainwindow::TFormMainEnvironment e;
        e.workAreaWidth = 2560;
        e.workAreaHeight = 1440;
        e.executablePath = QStringLiteral("/opt/bin/ondulix");
        settings::TSettingsData data = mainwindow::defaultFormMainSettings();
        data.App.ShowCaptions = captions;
        data.App.Language = language;
        data.FormMain.Width = size.width();
        data.FormMain.Height = size.height();
        form = std::make_unique<TFormMain>(e, data);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    TTrackBar* bar(const char* name) const { return form->control<TTrackBar>(name); }
    // The visible labels and captions, in window coordinates.
    std::vector<std::pair<QString, QRect>> shownTexts() const
    {
        std::vector<std::pair<QString, QRect>> texts;
        for (QWidget* w : form->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<QLabel*>(w);
            const auto* caption = dynamic_cast<mainwindow::TTrackBarCaption*>(w);
            if ((label == nullptr && caption == nullptr) || !w->isVisibleTo(form.get()) ||
                w->objectName() == QStringLiteral("PanelScale")) {
                continue;
            }
            const QRect r(w->mapTo(form.get(), QPoint(0, 0)), w->size());
            texts.push_back({label != nullptr ? label->text() : caption->text(), r});
        }
        return texts;
    }
};

TEST_F(FirstSight, EachBarSaysWhatItControlsInBothLanguages)
{
    struct Row {
        const char* bar;
        const char* english;
        const char* german;
    };
    const Row rows[] = {
        {"TrackBarAzimuth", "Azimuth", "Azimut"},
        {"TrackBarElevation", "Elevation", "Elevation"},
        {"TrackBarHorizontalAmplitude", "Horizontal amplitude", "Horizontal-Amplitude"},
        {"TrackBarVerticalAmplitude", "Vertical amplitude", "Vertikal-Amplitude"},
        {"TrackBarPhaseShift", "Phase shift", "Phasenverschiebung"},
        {"TrackBarTime", "Time", "Zeit"},
    };
    start();
    for (const TLanguage language : {TLanguage::English, TLanguage::German}) {
        form->setLanguage(language);
        for (const Row& row : rows) {
            const QString wanted =
                QString::fromUtf8(language == TLanguage::German ? row.german : row.english);
            const QString name = QString::fromLatin1(row.bar).mid(8);
            const auto* caption =
                form->findChild<mainwindow::TTrackBarCaption*>(QStringLiteral("Caption") + name);
            ASSERT_NE(caption, nullptr) << row.bar;
            EXPECT_EQ(caption->text(), wanted);
            EXPECT_TRUE(caption->isVisibleTo(form.get())) << row.bar;
            // A screen reader speaks the caption and then the value.
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(bar(row.bar));
            ASSERT_NE(a, nullptr);
            EXPECT_EQ(a->text(QAccessible::Name), wanted);
            EXPECT_EQ(a->text(QAccessible::Description), bar(row.bar)->toolTip());
        }
    }
}

TEST_F(FirstSight, WithoutCaptionsTheRowsAreAsCompactAsBefore)
{
    start(false);
    EXPECT_EQ(form->bottomRowTop(), form->height() - form->labelHeight() - 32);
    for (const char* name : Bars) {
        const QString caption = QStringLiteral("Caption") + QString::fromLatin1(name).mid(8);
        EXPECT_FALSE(form->findChild<QWidget*>(caption)->isVisibleTo(form.get())) << name;
    }
    const int compactImageHeight = form->control<QWidget>("Image")->height();
    form.reset();
    start(true);
    // The captions take a row under the bottom bars and one under the azimuth's labels.
    EXPECT_EQ(form->bottomRowTop(), form->height() - 2 * form->labelHeight() - 32);
    EXPECT_EQ(form->control<QWidget>("Image")->height(),
              compactImageHeight - 2 * form->labelHeight());
}

TEST_F(FirstSight, LabelsKeepABlankApartAndEveryBarStaysInside)
{
    for (const QSize size : {QSize(1024, 768), QSize(1920, 1050)}) {
        for (const bool captions : {true, false}) {
            for (const TLanguage language : {TLanguage::English, TLanguage::German}) {
                start(captions, language, size);
                const QString where = QStringLiteral("%1x%2 captions %3 language %4")
                                          .arg(size.width())
                                          .arg(size.height())
                                          .arg(captions)
                                          .arg(static_cast<int>(language));
                const int blank = form->fontMetrics().horizontalAdvance(QLatin1Char(' '));
                const QRect window = form->rect();
                for (const char* name : Bars) {
                    EXPECT_TRUE(window.contains(bar(name)->geometry().translated(
                        bar(name)->parentWidget()->mapTo(form.get(), QPoint(0, 0)))))
                        << name << " " << where.toStdString();
                }
                const auto texts = shownTexts();
                // Every value's label is there at these sizes: 13 + 7 + 3 + 3 + 5 + 5.
                EXPECT_GE(texts.size(), 36u) << where.toStdString();
                for (std::size_t i = 0; i < texts.size(); ++i) {
                    EXPECT_TRUE(window.contains(texts[i].second))
                        << texts[i].first.toStdString() << " " << where.toStdString();
                    for (std::size_t j = i + 1; j < texts.size(); ++j) {
                        const QRect a = texts[i].second.adjusted(-blank / 2, 0, blank / 2, 0);
                        const QRect b = texts[j].second.adjusted(-blank / 2, 0, blank / 2, 0);
                        EXPECT_FALSE(a.intersects(b))
                            << texts[i].first.toStdString() << " / " << texts[j].first.toStdString()
                            << " " << where.toStdString();
                    }
                }
                form.reset();
            }
        }
    }
}

TEST_F(FirstSight, AtTheMinimumSizeLabelsGoRatherThanOverlap)
{
    start(true, TLanguage::German, QSize(364, 240));
    form->resize(form->minimumSize());
    QApplication::processEvents();
    const auto texts = shownTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        for (std::size_t j = i + 1; j < texts.size(); ++j) {
            EXPECT_FALSE(texts[i].second.intersects(texts[j].second))
                << texts[i].first.toStdString() << " / " << texts[j].first.toStdString();
        }
    }
}

TEST_F(FirstSight, TheFocusedBarAndTheCheckedTogglesShowTheHighlight)
{
    start();
    const QColor highlight = form->palette().color(QPalette::Highlight);
    TTrackBar* phase = bar("TrackBarPhaseShift");
    bar("TrackBarTime")->setFocus();
    QApplication::processEvents();
    EXPECT_NE(phase->grab().toImage().pixelColor(1, phase->height() / 2), highlight);
    phase->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(phase->grab().toImage().pixelColor(1, phase->height() / 2), highlight);

    auto* toggle = form->control<QToolButton>("SpeedButtonShowVerticalWave");
    ASSERT_TRUE(toggle->isChecked());
    EXPECT_EQ(toggle->grab().toImage().pixelColor(1, toggle->height() / 2), highlight);
    toggle->click();
    EXPECT_NE(toggle->grab().toImage().pixelColor(1, toggle->height() / 2), highlight);
}

// Fit takes the largest scale at which the drawing lies inside its area: one step larger does
// not fit.
TEST_F(FirstSight, FitTakesTheLargestStepAtWhichTheDrawingFits)
{
    for (const QSize size : {QSize(1300, 700), QSize(800, 900)}) {
        start(true, TLanguage::English, size);
        scene::SceneState& s = form->scene();
        const auto inside = [&s] {
            const scene::Extent e = scene::computeDrawingExtent(s);
            return e.left >= 0 && e.top >= 0 && e.right < s.DrawWidth && e.bottom < s.DrawHeight;
        };
        const bool fittedBefore = inside();
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : form.get(), Qt::Key_F, Qt::ControlModifier);
        EXPECT_TRUE(inside()) << size.width();
        const std::int32_t fitted = s.ScaleDenominator;
        // 1 : 40 overflows the tall window; the wide one takes a larger scale than 1 : 40.
        EXPECT_EQ(fitted > 40, !fittedBefore) << size.width();
        form->ZoomIn();
        EXPECT_LT(s.ScaleDenominator, fitted);
        EXPECT_FALSE(inside()) << size.width();
        form.reset();
    }
}

TEST_F(FirstSight, ToolbarButtonsAndTheDrawingHaveNamesForScreenReaders)
{
    start(true, TLanguage::German);
    auto* fit = form->control<QToolButton>("SpeedButtonFit");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(fit)->text(QAccessible::Name),
              QStringLiteral("Zeichnung ins Fenster einpassen (Strg+F)"));
    for (QToolButton* button : form->findChildren<QToolButton*>()) {
        EXPECT_FALSE(button->accessibleName().isEmpty())
            << button->objectName().toStdString() << " in "
            << button->parentWidget()->objectName().toStdString();
    }
    QWidget* image = form->control<QWidget>("Image");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(image)->text(QAccessible::Name),
              QStringLiteral("Zeichnung der Wellen"));
    bar("TrackBarAzimuth")->setValue(20);
    const QString description = image->accessibleDescription();
    EXPECT_TRUE(description.contains(QStringLiteral("Azimutwinkel des Beobachters = 20°")))
        << description.toStdString();
    EXPECT_TRUE(description.contains(QStringLiteral("Phasenverschiebung = -90°")))
        << description.toStdString();
}

}  // namespace

namespace {

TEST(ScaleHint, SaysWhereTheScreenWidthCameFrom)
{
    struct Row {
        mainwindow::TScreenWidthSource source;
        const char* says;
    };
    for (const Row& row : {Row{mainwindow::TScreenWidthSource::Stored, "from the settings"},
                           Row{mainwindow::TScreenWidthSource::Display, "reported by the display"},
                           Row{mainwindow::TScreenWidthSource::Default, "assumed (300 mm)"}}) {
        mainwindow::TFormMainEnvironment e;
        e.executablePath = QStringLiteral("/opt/bin/ondulix");
        e.screenWidthSource = row.source;
        TFormMain form(e);
        const QString hint = form.control<QWidget>("PanelScale")->toolTip();
        EXPECT_TRUE(hint.startsWith(QStringLiteral("Scale\n"))) << hint.toStdString();
        EXPECT_TRUE(hint.contains(QString::fromLatin1(row.says))) << hint.toStdString();
    }
}

}  // namespace
