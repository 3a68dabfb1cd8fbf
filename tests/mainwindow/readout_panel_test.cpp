// SPDX-License-Identifier: GPL-3.0-or-later
// The polarisation readout beside the drawing and the presets: the panel follows the scene, the
// language and the convention; a preset moves the track bars as the user would.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <memory>

#include "mainwindow/form_main.h"
#include "mainwindow/readout_panel.h"
#include "mainwindow/track_bar.h"

namespace {

using common::TLanguage;
using mainwindow::TFormMain;
using mainwindow::TTrackBar;
using scene::TReadoutLine;

struct PaintCounter : QObject {
    int count = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
};

class Readout : public ::testing::Test {
protected:
    std::unique_ptr<TFormMain> form;

    void SetUp() override
    {
        mainwindow::TFormMainEnvironment e;
        e.workAreaWidth = 1920;
        e.workAreaHeight = 1080;
        e.executablePath = QStringLiteral("/opt/bin/ondulix");
        form = std::make_unique<TFormMain>(e);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    TTrackBar* bar(const char* name) const { return form->control<TTrackBar>(name); }
    mainwindow::TReadoutPanel* panel() const
    {
        return form->findChild<mainwindow::TReadoutPanel*>(QStringLiteral("PanelReadout"));
    }
    QString state() const { return panel()->lineText(TReadoutLine::State); }
    // Every text whole, as high as QLabel would make it, and below the one before, as long as the
    // panel re-lays itself only when a wrapped height changed.
    void expectLaidOut() const
    {
        QList<QLabel*> labels =
            panel()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
        std::sort(labels.begin(), labels.end(),
                  [](QLabel* a, QLabel* b) { return a->y() < b->y(); });
        for (qsizetype i = 0; i < labels.size(); ++i) {
            const QLabel* label = labels[i];
            EXPECT_EQ(label->height(), label->heightForWidth(label->width()))
                << label->text().toStdString();
            if (i > 0) {
                EXPECT_GE(label->y(), labels[i - 1]->geometry().bottom())
                    << label->text().toStdString();
            }
        }
    }
    void press(int key, Qt::KeyboardModifiers modifiers)
    {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : form.get(), key, modifiers);
    }
};

TEST_F(Readout, ThePanelFollowsTheSceneTheTimeAndTheLanguage)
{
    ASSERT_TRUE(panel()->isVisible());
    EXPECT_EQ(state(),
              QStringLiteral("Right-handed circular, seen facing the oncoming wave (optics)"));
    bar("TrackBarPhaseShift")->setValue(0);
    EXPECT_TRUE(state().startsWith(QStringLiteral("Linear"))) << state().toStdString();
    bar("TrackBarVerticalAmplitude")->setValue(50);
    bar("TrackBarPhaseShift")->setValue(90);
    EXPECT_TRUE(state().startsWith(QStringLiteral("Left-handed elliptical")))
        << state().toStdString();
    // The field at the time shown: a quarter period on, E_H is cos(90°) = 0.
    const QString before = panel()->lineText(TReadoutLine::Field);
    form->TimerTimeOnTimer();
    // A step of the timer sets the field's line alone, as the whole readout has it.
    const scene::TReadoutLines whole = scene::readoutLines(
        scene::polarisationOf(scene::polarisationInput(form->controller().scene().Params),
                              form->controller().appSettings().HandednessConvention),
        TLanguage::English);
    EXPECT_EQ(panel()->lineText(TReadoutLine::Field).toStdString(),
              whole[static_cast<std::size_t>(TReadoutLine::Field)]);
    EXPECT_NE(panel()->lineText(TReadoutLine::Field), before);
    bar("TrackBarTime")->setValue(128);
    EXPECT_NE(panel()->lineText(TReadoutLine::Field), before);
    expectLaidOut();
    // A time step repaints the field's line alone, not the panel under it: on every step.
    PaintCounter panelPaints;
    panel()->installEventFilter(&panelPaints);
    QApplication::processEvents();
    panelPaints.count = 0;
    bar("TrackBarTime")->setValue(129);
    QApplication::processEvents();
    EXPECT_EQ(panelPaints.count, 0);
    panel()->removeEventFilter(&panelPaints);
    form->setLanguage(TLanguage::German);
    EXPECT_TRUE(state().startsWith(QStringLiteral("Linkselliptisch"))) << state().toStdString();
    expectLaidOut();
    bar("TrackBarPhaseShift")->setValue(-90);
    bar("TrackBarVerticalAmplitude")->setValue(100);
    expectLaidOut();
}

// The lines paint their text themselves but must look as a selectable QLabel of the same text
// would, wrapped or not, and show a selection while there is one.
TEST_F(Readout, TheLinesLookAsSelectableLabelsAtEveryWidth)
{
    const auto expectAsLabels = [this](const char* where) {
        for (std::size_t i = 0; i < scene::ReadoutLineCount; ++i) {
            auto* line = panel()->findChild<QLabel*>(QStringLiteral("LabelReadout%1").arg(i));
            ASSERT_NE(line, nullptr);
            // First, as painting may fill the label's document again and drop a selection. The
            // line is opaque, a QLabel is not: their pictures differ in format only.
            const QImage shown = line->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const std::unique_ptr<QLabel> label = std::make_unique<QLabel>(line->text(), panel());
            label->setFont(line->font());
            label->setWordWrap(true);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            label->setGeometry(line->geometry());
            label->show();
            if (line->hasSelectedText()) {
                label->setSelection(line->selectionStart(),
                                    static_cast<int>(line->selectedText().size()));
            }
            EXPECT_TRUE(shown == label->grab().toImage().convertToFormat(shown.format()))
                << where << ", " << line->text().toStdString();
        }
    };
    bar("TrackBarTime")->setValue(77);
    const int wide = panel()->width();
    for (TLanguage language : {TLanguage::English, TLanguage::German}) {
        form->setLanguage(language);
        for (int width : {wide, 2 * wide / 3, wide / 2}) {
            panel()->resize(width, panel()->height());
            expectLaidOut();
            expectAsLabels(language == TLanguage::English ? "English" : "German");
        }
    }
    auto* field = panel()->findChild<QLabel*>(QStringLiteral("LabelReadout7"));
    field->setSelection(2, 7);
    ASSERT_TRUE(field->hasSelectedText());
    expectAsLabels("selected");
    // A new text drops the selection.
    bar("TrackBarTime")->setValue(78);
    expectAsLabels("after the selection");
}

TEST_F(Readout, PresetKeysAndTheDropDownSetTheBarsAndTheConventionNamesThem)
{
    struct Row {
        int key;
        int horizontal, vertical, phase;
        const char* state;
    };
    const Row rows[] = {
        {Qt::Key_1, 100, 0, 0, "Linear"},
        {Qt::Key_2, 0, 100, 0, "Linear"},
        {Qt::Key_3, 100, 100, 0, "Linear"},
        {Qt::Key_4, 100, 100, 180, "Linear"},
        {Qt::Key_5, 100, 100, -90, "Right-handed circular"},
        {Qt::Key_6, 100, 100, 90, "Left-handed circular"},
    };
    bar("TrackBarTime")->setValue(40);
    for (const Row& row : rows) {
        press(row.key, Qt::AltModifier);
        EXPECT_EQ(bar("TrackBarHorizontalAmplitude")->value(), row.horizontal) << row.key;
        EXPECT_EQ(bar("TrackBarVerticalAmplitude")->value(), row.vertical) << row.key;
        EXPECT_EQ(bar("TrackBarPhaseShift")->value(), row.phase) << row.key;
        EXPECT_TRUE(state().startsWith(QString::fromLatin1(row.state))) << state().toStdString();
        EXPECT_EQ(form->currentSettings().Scene.PhaseShift, row.phase);
    }
    EXPECT_EQ(bar("TrackBarTime")->value(), 40);  // the time and the view stay

    // Under IEEE the right-handed preset turns the other way, and the names say so at once.
    settings::TSettingsData edited = form->controller().currentSettings();
    edited.App.HandednessConvention = common::THandednessConvention::Ieee;
    form->controller().applySettings(edited, settings::TSettingsChange::Quiet);
    auto* menu = form->findChild<QMenu*>(QStringLiteral("PopupMenuPresets"));
    EXPECT_TRUE(
        menu->actions()[4]->text().startsWith(QStringLiteral("Right-handed circular (IEEE)")));
    EXPECT_TRUE(state().endsWith(QStringLiteral("(IEEE)"))) << state().toStdString();
    menu->actions()[4]->trigger();
    EXPECT_EQ(bar("TrackBarPhaseShift")->value(), 90);
    EXPECT_TRUE(state().startsWith(QStringLiteral("Right-handed circular")))
        << state().toStdString();
}

TEST_F(Readout, TheToggleIsStoredAndTheDrawingGetsTheRoom)
{
    auto* toggle = form->control<QToolButton>("SpeedButtonShowReadout");
    ASSERT_TRUE(toggle->isChecked());
    const int narrow = form->scene().DrawWidth;
    press(Qt::Key_I, Qt::ControlModifier);
    ASSERT_FALSE(toggle->isChecked());
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_FALSE(form->currentSettings().App.ShowReadout);
    EXPECT_GT(form->scene().DrawWidth, narrow + panel()->preferredWidth());
    toggle->click();
    EXPECT_TRUE(panel()->isVisible());
    EXPECT_EQ(form->scene().DrawWidth, narrow);
    // At the minimum size the drawing keeps the room.
    form->resize(form->minimumSize());
    QApplication::processEvents();
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_TRUE(form->currentSettings().App.ShowReadout);
}

}  // namespace
