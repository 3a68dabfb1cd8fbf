// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/form_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QSignalBlocker>
#include <QStringList>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "common/texts.h"
#include "mainwindow/drawing_area.h"
#include "mainwindow/glyphs.h"
#include "mainwindow/hint_style.h"
#include "mainwindow/readout_panel.h"
#include "mainwindow/shortcuts.h"
#include "mainwindow/track_bar.h"
#include "mainwindow/up_down.h"
#include "mainwindow/view_control.h"
#include "platform/qt_system.h"
#include "scene/extent.h"
#include "scene/geometry.h"
#include "scene/projection.h"
#include "scene/render.h"

// The pictures are compiled into this library; a static library needs them registered by hand.
static void initialiseResources()
{
    Q_INIT_RESOURCE(ondulix);
}

namespace mainwindow {

namespace {

}  // namespace

settings::TSettingsData defaultFormMainSettings()
{
    return settings::defaultSettingsData(std::string());
}

TFormMain::TFormMain(const TFormMainEnvironment& environment,
                     const settings::TSettingsData& settings)
    : m_environment(environment)
{
    initialiseResources();
    m_programState = TProgramState::Starting;
    scene::SceneState& s = m_controller.scene();
    s.DesktopWidthPixels = m_environment.desktopWidth;

    const QFileInfo exe(m_environment.executablePath);
    m_exeBaseName =
        exe.completeBaseName().isEmpty() ? QStringLiteral("ondulix") : exe.completeBaseName();

    createControls();
    connectTimers();
    s.Host = Image;
    m_drag = std::make_unique<ViewDrag>(
        *Image, TViewBars{TrackBarAzimuth, TrackBarElevation, TrackBarTime});

    // The settings go through the track bars: their handlers store the parameters and hints
    // while the scene is not ready yet, so nothing is projected or drawn.
    applySettings(settings);
    m_graphFileName = settings.App.GraphFilePath +
                      std::string(common::defaultDocumentName(settings.App.Language));
    createTickLabels();
    m_labelHeight = m_elevationTicks[3]->height();

    setMinimumSize(364, 240);
    m_placement.restore(settings.FormMain, m_environment.workAreaWidth,
                        m_environment.workAreaHeight);
    setWindowTitle(QString::fromStdString(common::formMainTitle(m_exeBaseName.toStdString())));

    layoutToolbar();
    SpeedButtonPrint->setEnabled(m_environment.printerAvailable);
    drawGlyphs();
    layoutBottomRows();

    const common::TAppSettings& app = settings.App;
    SpeedButtonCoordinateSystemCentered->setChecked(app.CoordinateSystemCentered);
    SpeedButtonShowHorizontalWave->setChecked(app.ShowHorizontalWave);
    SpeedButtonShowVerticalWave->setChecked(app.ShowVerticalWave);
    SpeedButtonShowResultantWave->setChecked(app.ShowResultantWave);
    SpeedButtonShowResultantVector->setChecked(app.ShowResultantVector);
    SpeedButtonShowReadout->setChecked(app.ShowReadout);
    setUpScale(settings);
    m_controller.startScene();
    TrackBarObservationAngleOnChange(TrackBarAzimuth);  // the first picture

    setLanguage(app.Language);
    qApp->installEventFilter(this);
    m_programState = TProgramState::Idle;
}

TFormMain::~TFormMain()
{
    qApp->removeEventFilter(this);
    m_controller.scene().Host = nullptr;
    delete PanelImage;  // the drawing area goes while the scene it draws still exists
}

void TFormMain::connectTimers()
{
    m_controller.onTimeStep = [this](int step) {
        const QSignalBlocker quiet(TrackBarTime);
        TrackBarTime->setValue(step);
        updateHint(TrackBarTime);
        showReadoutField();
        showHintNearPointer(10, 0);
    };
    m_controller.onAzimuthStep = [this](int degrees) {
        const QSignalBlocker quiet(TrackBarAzimuth);
        TrackBarAzimuth->setValue(degrees);
        updateHint(TrackBarAzimuth);
        showHintNearPointer(10, 0);
    };
    m_controller.onAnimationStopped = [this] { SpeedButtonPause->setChecked(true); };
    m_controller.onStep = [this] {
        if (onAnimationStep) {
            onAnimationStep();
        }
    };
    m_controller.onSettingsApplied = [this](settings::TSettingsChange change) {
        using settings::TSettingsChange;
        if (change == TSettingsChange::Language || change == TSettingsChange::All) {
            setLanguage(m_controller.appSettings().Language);
        }
        // Each glyph shows the objects' current colours.
        if (change == TSettingsChange::Look || change == TSettingsChange::All) {
            drawGlyphs();
            layoutBottomRows();  // the captions may have been switched
        }
        // The convention may have changed with any edit.
        updatePresetNames();
        updateReadout();
    };
    m_timerCommand.setSingleShot(true);
    m_timerCommand.setInterval(0);
    connect(&m_timerCommand, &QTimer::timeout, this, [this] { runPendingCommand(); });
}

void TFormMain::applySettings(const settings::TSettingsData& settings)
{
    m_controller.applyLook(settings);

    // Positions are clamped by the bars; every handler runs once so that each parameter matches
    // its bar even where the loaded value equals the bar's initial position.
    TrackBarAzimuth->setValue(settings.Scene.Azimuth);
    TrackBarElevation->setValue(-settings.Scene.Elevation);
    TrackBarHorizontalAmplitude->setValue(settings.Scene.HorizontalAmplitude);
    TrackBarVerticalAmplitude->setValue(settings.Scene.VerticalAmplitude);
    TrackBarPhaseShift->setValue(settings.Scene.PhaseShift);
    TrackBarObservationAngleOnChange(TrackBarAzimuth);
    TrackBarObservationAngleOnChange(TrackBarElevation);
    TrackBarAmplitudeOnChange(TrackBarHorizontalAmplitude);
    TrackBarAmplitudeOnChange(TrackBarVerticalAmplitude);
    TrackBarPhaseShiftOnChange();
}

void TFormMain::drawGlyphs()
{
    QToolButton* const buttons[] = {SpeedButtonShowHorizontalWave, SpeedButtonShowVerticalWave,
                                    SpeedButtonShowResultantWave, SpeedButtonShowResultantVector,
                                    SpeedButtonCoordinateSystemCentered};
    for (int n = 1; n <= 5; ++n) {
        m_glyphs[static_cast<std::size_t>(n - 1)] = drawGlyph(n, m_controller.scene().Styles);
        buttons[n - 1]->setIcon(
            QIcon(QPixmap::fromImage(m_glyphs[static_cast<std::size_t>(n - 1)])));
    }
}

void TFormMain::setLanguage(common::TLanguage language)
{
    m_controller.appSettings().Language = language;
    applyTexts();
    rebuildHelpCommand();
    if (onLanguageChanged) {
        onLanguageChanged(language);  // Qt's own dialogs follow
    }
}

void TFormMain::rebuildHelpCommand()
{
    if (m_environment.helpOpenCommand.empty()) {
        m_helpCommand.clear();
        return;
    }
    platform::QtSystemEnvironment system;
    m_helpCommand = platform::buildHelpCommand(
        m_environment.helpOpenCommand,
        platform::helpFileName(system, m_environment.exeFolder, language()));
}

void TFormMain::applyTexts()
{
    const common::TLanguage language = this->language();
    const bool german = language == common::TLanguage::German;
    for (const common::TControlText& entry : common::formMainTexts()) {
        const std::string_view utf8 = entry.text(language);
        const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        const QString name = QString::fromLatin1(entry.Control);
        if (entry.Property == common::TTextProperty::Hint) {
            if (auto* control = findChild<QWidget*>(name)) {
                control->setToolTip(text);
                control->setToolTipDuration(HintHideMilliseconds);
                // A screen reader names a toolbar button by what its hint says.
                if (qobject_cast<QToolButton*>(control) != nullptr) {
                    control->setAccessibleName(text);
                }
            }
        } else if (entry.Property == common::TTextProperty::Caption) {
            if (auto* item = findChild<QAction*>(name)) {
                // The menu shows the shortcut; the key itself is the window's.
                const bool copy = entry.Control == std::string_view("PopupMenuImageCopy");
                item->setText(text + QStringLiteral("\t") +
                              (german ? QStringLiteral("Strg+") : QStringLiteral("Ctrl+")) +
                              (copy ? QLatin1Char('C') : QLatin1Char('E')));
            } else if (auto* bar = findChild<TTrackBar*>(name)) {
                captionOf(bar)->setText(text);
                bar->setAccessibleName(text);
            } else if (auto* control = findChild<QWidget*>(name)) {
                control->setAccessibleName(text);
            }
        }
    }
    for (TTrackBar* bar : {TrackBarElevation, TrackBarAzimuth, TrackBarHorizontalAmplitude,
                           TrackBarVerticalAmplitude, TrackBarPhaseShift, TrackBarTime}) {
        bar->setToolTipDuration(HintHideMilliseconds);
    }
    updateAllHints();
    // The scale is true only with the screen's width: the hint says where the width came from.
    const common::TMessage source = m_environment.screenWidthSource == TScreenWidthSource::Stored
                                        ? common::TMessage::ScreenWidthFromSettings
                                    : m_environment.screenWidthSource == TScreenWidthSource::Display
                                        ? common::TMessage::ScreenWidthFromDisplay
                                        : common::TMessage::ScreenWidthAssumed;
    const std::string widthMm = std::to_string(
        static_cast<long long>(std::lround(m_controller.scene().ScreenWidth * 1000.0)));
    PanelScale->setToolTip(
        PanelScale->toolTip() + QStringLiteral("\n") +
        QString::fromStdString(common::messageText(source, language, {widthMm})));
    updatePresetNames();
    updateReadout();
    if (m_labelHeight != 0) {
        layoutBottomRows();  // the captions' widths follow the language
    }
}

// --- Track bars -----------------------------------------------------------------------------

void TFormMain::updateAllHints()
{
    for (TTrackBar* bar : {TrackBarElevation, TrackBarAzimuth, TrackBarHorizontalAmplitude,
                           TrackBarVerticalAmplitude, TrackBarPhaseShift, TrackBarTime}) {
        updateHint(bar);
    }
}

void TFormMain::updateHint(TTrackBar* bar)
{
    const QString hint = trackBarHint(bar->objectName().toStdString(), bar->value(), language());
    if (bar->toolTip() != hint) {
        bar->setToolTip(hint);
        bar->setAccessibleDescription(hint);
    }
}

void TFormMain::showReadout()
{
    const scene::TPolarisation polarisation =
        scene::polarisationOf(scene::polarisationInput(m_controller.scene().Params),
                              m_controller.appSettings().HandednessConvention);
    PanelReadout->show(polarisation, language());
}

void TFormMain::showReadoutField()
{
    PanelReadout->showField(scene::fieldOf(scene::polarisationInput(m_controller.scene().Params)),
                            language());
}

void TFormMain::updateReadout()
{
    showReadout();
    // What the drawing shows, for a screen reader: the five values and the state.
    QStringList values;
    for (TTrackBar* bar : {TrackBarElevation, TrackBarAzimuth, TrackBarHorizontalAmplitude,
                           TrackBarVerticalAmplitude, TrackBarPhaseShift}) {
        values.push_back(bar->toolTip());
    }
    values.push_back(PanelReadout->stateText());
    const QString description = values.join(QStringLiteral("; "));
    if (Image->accessibleDescription() != description) {
        Image->setAccessibleDescription(description);
    }
}

void TFormMain::updatePresetNames()
{
    const common::THandednessConvention convention =
        m_controller.appSettings().HandednessConvention;
    const QList<QAction*> items = PopupMenuPresets->actions();
    for (std::size_t i = 0; i < scene::PresetTable.size() && i < std::size_t(items.size()); ++i) {
        const std::string name =
            scene::presetName(scene::PresetTable[i].Preset, language(), convention);
        items[static_cast<qsizetype>(i)]->setText(QString::fromStdString(name) +
                                                  QStringLiteral("\tAlt+%1").arg(i + 1));
    }
}

void TFormMain::applyPreset(scene::TPreset preset)
{
    const scene::TPresetValues values =
        scene::presetValues(preset, m_controller.appSettings().HandednessConvention);
    TrackBarHorizontalAmplitude->setValue(values.HorizontalAmplitude);
    TrackBarVerticalAmplitude->setValue(values.VerticalAmplitude);
    TrackBarPhaseShift->setValue(values.PhaseShift);
}

void TFormMain::SpeedButtonShowReadoutOnClick()
{
    m_controller.appSettings().ShowReadout = SpeedButtonShowReadout->isChecked();
    layoutBottomRows();  // the drawing area, resized, draws itself anew
}

void TFormMain::showHintNearPointer(int dx, int dy)
{
    // Loading the settings moves the bars too; no hint pops up before the window is there.
    if (m_programState == TProgramState::Starting) {
        return;
    }
    const bool stepping = m_controller.animationRunning() || m_controller.rotating();
    if (!stepping || !m_pointerAt) {
        m_pointerAt = QCursor::pos();
    }
    const QPoint at = *m_pointerAt + QPoint(dx, dy);
    // The control found there is kept as long as the pointer is: finding it is a round trip too.
    if (!stepping || m_hintAt != at || m_hintControl.isNull()) {
        m_hintAt = at;
        m_hintControl = QApplication::widgetAt(at);
    }
    QWidget* control = m_hintControl;
    if (control != nullptr && control->window() == this && !control->toolTip().isEmpty()) {
        QToolTip::showText(at, control->toolTip(), control, QRect(), HintHideMilliseconds);
    }
}

void TFormMain::TrackBarObservationAngleOnChange(TTrackBar* sender)
{
    const bool rotating = m_controller.rotating();
    if (sender->tag() == 1) {
        updateAllHints();
        showHintNearPointer(10, 0);
        m_controller.setAzimuth(sender->value(), rotating);
    } else {
        updateAllHints();
        showHintNearPointer(0, 2);
        m_controller.setElevation(-sender->value(), rotating);
    }
    updateReadout();  // the drawing's description names the view
}

void TFormMain::TrackBarAmplitudeOnChange(TTrackBar* sender)
{
    updateAllHints();
    showHintNearPointer(10, 0);
    m_controller.setAmplitude(sender->tag() == 1, sender->value());
    updateReadout();
}

void TFormMain::TrackBarPhaseShiftOnChange()
{
    updateAllHints();
    showHintNearPointer(10, 0);
    m_controller.setPhaseShift(TrackBarPhaseShift->value());
    updateReadout();
}

void TFormMain::TrackBarTimeOnChange()
{
    updateAllHints();
    showHintNearPointer(10, 0);
    // While the time runs a step that meets a drawing is dropped; the next step draws.
    m_controller.setTime(TrackBarTime->value(), m_controller.animationRunning());
    showReadoutField();
}

// --- Animation --------------------------------------------------------------------------------

void TFormMain::SpeedButtonStartOnClick()
{
    m_controller.startAnimation();
    TrackBarTime->setFocus();
}

void TFormMain::SpeedButtonPauseOnClick()
{
    m_controller.pauseAnimation();
    TrackBarTime->setFocus();
}

void TFormMain::BitBtnRewindOnClick()
{
    SpeedButtonPause->setChecked(true);
    m_controller.rewind();
    TrackBarTime->setFocus();
}

void TFormMain::SpeedButtonRotateAzimuthOnClick()
{
    m_controller.setRotating(SpeedButtonRotateAzimuth->isChecked());
}

// --- Scale ------------------------------------------------------------------------------------

void TFormMain::setUpScale(const settings::TSettingsData& settings)
{
    m_controller.setUpScale(settings.Scales, settings.Scale);
    showScale();
    UpDownScale->setMaximum(std::max(1, m_controller.scaleCount()));
    UpDownScale->setPosition(m_controller.scaleIndex());
}

void TFormMain::showScale()
{
    PanelScale->setText(QStringLiteral("1 : ") +
                        QString::number(m_controller.scene().ScaleDenominator));
}

void TFormMain::applyScale()
{
    showScale();
    m_controller.applyScale();
}

void TFormMain::ZoomIn()
{
    if (m_controller.zoomIn()) {
        UpDownScale->setPosition(m_controller.scaleIndex());
        showScale();
    }
}

void TFormMain::ZoomOut()
{
    if (m_controller.zoomOut()) {
        UpDownScale->setPosition(m_controller.scaleIndex());
        showScale();
    }
}

void TFormMain::Fit()
{
    if (m_controller.fitToArea()) {
        UpDownScale->setPosition(m_controller.scaleIndex());
        showScale();
    }
}

void TFormMain::UpDownScaleOnClick()
{
    if (m_controller.setScaleIndex(UpDownScale->position())) {
        showScale();
    }
}

// --- Toolbar ----------------------------------------------------------------------------------

void TFormMain::SpeedButtonShowWaveOnClick(QToolButton* sender)
{
    scene::SceneState& s = m_controller.scene();
    const bool down = sender->isChecked();
    switch (sender->property("tag").toInt()) {
        case 1:
            s.ShowHorizontalWave = down;
            break;
        case 2:
            s.ShowVerticalWave = down;
            break;
        case 3:
            s.ShowResultantWave = down;
            break;
        case 4:
            s.ShowResultantVector = down;
            break;
        default:
            break;
    }
    m_controller.redraw();
}

void TFormMain::SpeedButtonCoordinateSystemCenteredOnClick()
{
    m_controller.scene().CoordinateSystemCentered =
        SpeedButtonCoordinateSystemCentered->isChecked();
    scene::computeSceneCentre(m_controller.scene());
    m_controller.reproject();
    m_controller.redraw();
}

void TFormMain::toggle(QToolButton* button)
{
    button->setChecked(!button->isChecked());
    emit button->clicked(button->isChecked());
}

void TFormMain::run(const std::function<void()>& action)
{
    if (!action) {
        return;
    }
    // A drawing lets queued events run at its end, and the time and rotation steps draw: a
    // dialog opened in there would hold that step, and with it its timer, until it closes. Such
    // a command waits for the event loop itself.
    if (m_controller.busy()) {
        m_pendingCommand = action;
        m_timerCommand.start();
        return;
    }
    action();
}

void TFormMain::runPendingCommand()
{
    std::function<void()> action = std::move(m_pendingCommand);
    m_pendingCommand = nullptr;
    run(action);
}

// --- Keys, wheel, mouse -----------------------------------------------------------------------

bool TFormMain::FormMainOnKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (const TShortcut* shortcut = findShortcut(key, modifiers)) {
        runCommand(shortcut->command);
        return shortcut->consumed;
    }
    if (significantModifiers(modifiers) != Qt::NoModifier) {
        return false;
    }
    return moveViewBars(key, QApplication::focusWidget(),
                        {TrackBarAzimuth, TrackBarElevation, TrackBarTime},
                        m_controller.animationRunning());
}

void TFormMain::runCommand(TCommand command)
{
    switch (command) {
        case TCommand::Copy:
            run(onCopy);
            break;
        case TCommand::Save:
            run(onSave);
            break;
        case TCommand::SaveAs:
            run(onSaveAs);
            break;
        case TCommand::Print:
            if (m_environment.printerAvailable) {
                run(onPrint);
            }
            break;
        case TCommand::Settings:
            run(onSettings);
            break;
        case TCommand::Help:
            startHelp(false);
            break;
        case TCommand::ShowHorizontalWave:
            toggle(SpeedButtonShowHorizontalWave);
            break;
        case TCommand::ShowVerticalWave:
            toggle(SpeedButtonShowVerticalWave);
            break;
        case TCommand::ShowResultantWave:
            toggle(SpeedButtonShowResultantWave);
            break;
        case TCommand::ShowResultantVector:
            toggle(SpeedButtonShowResultantVector);
            break;
        case TCommand::CoordinateSystemCentered:
            toggle(SpeedButtonCoordinateSystemCentered);
            break;
        case TCommand::RotateAzimuth:
            toggle(SpeedButtonRotateAzimuth);
            break;
        case TCommand::StopMotion:
            SpeedButtonRotateAzimuth->setChecked(false);
            SpeedButtonRotateAzimuthOnClick();
            SpeedButtonPause->setChecked(true);
            SpeedButtonPauseOnClick();
            break;
        case TCommand::StartOrPause:
            if (SpeedButtonStart->isChecked()) {
                SpeedButtonPause->setChecked(true);
                SpeedButtonPauseOnClick();
            } else {
                SpeedButtonStart->setChecked(true);
                SpeedButtonStartOnClick();
            }
            break;
        case TCommand::Rewind:
            BitBtnRewindOnClick();
            break;
        case TCommand::ZoomIn:
            ZoomIn();
            break;
        case TCommand::ZoomOut:
            ZoomOut();
            break;
        case TCommand::Fit:
            Fit();
            break;
        case TCommand::ShowReadout:
            toggle(SpeedButtonShowReadout);
            break;
        case TCommand::ExportAnimation:
            run(onExportAnimation);
            break;
        case TCommand::Preset1:
        case TCommand::Preset2:
        case TCommand::Preset3:
        case TCommand::Preset4:
        case TCommand::Preset5:
        case TCommand::Preset6:
            applyPreset(scene::PresetTable[static_cast<std::size_t>(command) -
                                           static_cast<std::size_t>(TCommand::Preset1)]
                            .Preset);
            break;
    }
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::Enter:
        case QEvent::Leave:
        case QEvent::DragMove:
        case QEvent::TabletMove:
        case QEvent::NonClientAreaMouseMove:
            m_pointerAt.reset();  // the next hint asks where the pointer is
            m_hintAt.reset();
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            // Another control of the window may now lie under the pointer (the hint itself is
            // a window of its own).
            if (const auto* moved = qobject_cast<QWidget*>(watched);
                moved != nullptr && moved->window() == this) {
                m_hintAt.reset();
            }
            break;
        default:
            break;
    }
    if (watched == Image) {
        const scene::SceneState& s = m_controller.scene();
        m_drag->handle(event, m_programState == TProgramState::Idle, s.DrawWidth, s.DrawHeight);
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        // Seen once, at the control the key goes to first; an ignored key travels on to the
        // parents and must not trigger twice.
        QWidget* focus = QApplication::focusWidget();
        QWidget* first = focus != nullptr && focus->window() == this ? focus : this;
        if (widget != first) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        return FormMainOnKeyDown(key->key(), key->modifiers());
    }
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (significantModifiers(wheel->modifiers()) == Qt::ControlModifier) {
            if (wheel->angleDelta().y() < 0) {
                ZoomOut();
            } else {
                ZoomIn();
            }
            return true;
        }
    }
    return false;
}

// --- Window -----------------------------------------------------------------------------------

void TFormMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_labelHeight == 0) {
        return;  // still being built
    }
    layoutBottomRows();
}

settings::TSettingsData TFormMain::currentSettings() const
{
    settings::TSettingsData data = m_controller.currentSettings();
    m_placement.captureInto(data.FormMain);
    return data;
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    m_programState = TProgramState::Closing;
    m_controller.setRotating(false);
    event->accept();
    if (onClosed) {
        onClosed();
    }
}

void TFormMain::startHelp(bool waitCursor)
{
    if (waitCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QCoreApplication::processEvents();
    }
    if (m_helpLauncher != nullptr) {
        platform::startHelpCommand(m_helpCommand, *m_helpLauncher);
    }
    if (waitCursor) {
        QApplication::restoreOverrideCursor();
    }
}

void TFormMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        m_placement.windowStateChanged(m_programState == TProgramState::Starting);
    }
}

}  // namespace mainwindow
