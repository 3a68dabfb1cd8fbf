// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "common/globals.h"
#include "mainwindow/scene_controller.h"
#include "mainwindow/shortcuts.h"
#include "mainwindow/window_placement.h"
#include "scene/polarisation.h"
#include "scene/scene.h"
#include "settings/ini_file.h"
#include "settings/settings_file.h"

class QFrame;
class QLabel;
class QMenu;
class QToolButton;

namespace platform {
class ProcessLauncher;
}

namespace mainwindow {

class DrawingArea;
class ViewDrag;
class TTrackBar;
class TTrackBarCaption;
class TReadoutPanel;
class TUpDown;

enum class TProgramState : std::uint8_t {
    Idle = 0,
    Starting = 1,
    Closing = 2,
    Copying = 3,
    Printing = 6,
    Saving = 7,
};

// Where the screen width the window starts with came from.
enum class TScreenWidthSource : std::uint8_t {
    Stored,   // the settings file
    Display,  // the display's report of its size, on a start without a stored width
    Default,  // neither: the record's default
};

// What the window learns about its surroundings before it starts; tests choose their own.
struct TFormMainEnvironment {
    int desktopWidth = 1280;  // the whole desktop, device-independent pixels
    int desktopHeight = 1024;
    int workAreaWidth = 1280;  // the desktop less panels and task bars
    int workAreaHeight = 1024;
    bool printerAvailable = true;
    QString executablePath;     // full path of the running program
    bool hasArguments = false;  // started with command-line arguments: no settings written
    // False where the display server keeps the window's position to itself (Wayland): the
    // placement read at start is then written back unchanged rather than a guess.
    bool windowPositionKnown = true;
    std::string settingsFileName;  // empty: nothing is written at close
    std::string personalFolder;    // the user's documents folder, ending in "/"
    settings::TNumberFormat numberFormat;
    // What opens the help page: the desktop's HTML viewer with "%1" for the page, found once at
    // start; the page itself follows the language. Empty: help starts nothing.
    std::string helpOpenCommand;
    std::string exeFolder;  // the program's folder, where the help pages are looked up first
    // Where the settings' ScreenWidth came from, for the hint of the scale.
    TScreenWidthSource screenWidthSource = TScreenWidthSource::Default;
};

// The defaults of every setting, as a first start without a settings file has them.
settings::TSettingsData defaultFormMainSettings();

// The program's main window: toolbar, drawing area, six track bars, animation buttons and timers.
class TFormMain : public QWidget {
public:
    // Start-up takes every value from the settings record through the track bars and the
    // controls, whether the record was read from the file or holds the defaults.
    explicit TFormMain(const TFormMainEnvironment& environment,
                       const settings::TSettingsData& settings = defaultFormMainSettings());
    ~TFormMain() override;

    scene::SceneState& scene() { return m_controller.scene(); }
    SceneController& controller() { return m_controller; }
    TProgramState programState() const { return m_programState; }
    bool animationRunning() const { return m_controller.animationRunning(); }
    int scaleIndex() const { return m_controller.scaleIndex(); }
    int labelHeight() const { return m_labelHeight; }
    int bottomRowTop() const { return m_bottomRowTop; }
    const QImage& glyph(int number) const
    {
        return m_glyphs.at(static_cast<std::size_t>(number - 1));
    }

    // The control with that name, for tests and the application's wiring.
    template <typename T>
    T* control(const char* name) const
    {
        return findChild<T*>(QString::fromLatin1(name));
    }

    // Timer steps, callable directly so that tests need not wait.
    void TimerTimeOnTimer() { m_controller.TimerTimeOnTimer(); }
    void TimerRotateAzimuthOnTimer() { m_controller.TimerRotateAzimuthOnTimer(); }
    void TimerRedrawOnTimer() { m_controller.TimerRedrawOnTimer(); }
    QTimer& timerTime() { return m_controller.timerTime(); }
    QTimer& timerRotateAzimuth() { return m_controller.timerRotateAzimuth(); }
    QTimer& timerRedraw() { return m_controller.timerRedraw(); }

    void ZoomIn();
    void ZoomOut();
    // The largest scale of the zoom steps at which the whole drawing fits the drawing area.
    void Fit();
    // A preset's amplitudes and phase onto the track bars, as if the user had moved them.
    void applyPreset(scene::TPreset preset);

    // Reacts to a key before the focused control: the window's shortcuts, then the arrows and
    // page keys on the track bars; true when the key is consumed.
    bool FormMainOnKeyDown(int key, Qt::KeyboardModifiers modifiers);

    // The settings as they stand now, as closing writes them.
    settings::TSettingsData currentSettings() const;
    const std::string& graphFileName() const { return m_graphFileName; }
    const std::string& helpCommand() const { return m_helpCommand; }
    // SetLanguageFormMain: the texts of the window in that language and every track-bar hint.
    void setLanguage(common::TLanguage language);

    // Actions of other subsystems, installed by the application once they exist. Help starts the
    // help command by default.
    std::function<void()> onCopy, onSave, onSaveAs, onPrint, onSettings, onExportAnimation;
    // What starts the help viewer; without one, help starts nothing.
    void setHelpLauncher(platform::ProcessLauncher* launcher) { m_helpLauncher = launcher; }
    // Runs after every step of the animation and of the rotation (the settings dialog's
    // RefreshPrintPreview).
    std::function<void()> onAnimationStep;
    // Runs when the window has closed; the application writes the settings and ends there.
    std::function<void()> onClosed;
    // Runs when the window's language changes; the application puts Qt's own dialogs and key
    // names into that language.
    std::function<void(common::TLanguage)> onLanguageChanged;

    const TFormMainEnvironment& environment() const { return m_environment; }
    const QString& exeBaseName() const { return m_exeBaseName; }
    common::TLanguage language() const { return m_controller.appSettings().Language; }
    bool autoRepeat() const { return m_controller.autoRepeat(); }
    bool saveSettings() const { return m_controller.appSettings().SaveSettings; }
    common::TPrinterSettings& printerSettings() { return m_controller.printerSettings(); }

    // What the export and print commands change: ProgramState while they run, GraphFileName,
    // and GraphFilePath and GraphFileType in the record written at close.
    void setProgramState(TProgramState state) { m_programState = state; }
    common::TAppSettings& appSettings() { return m_controller.appSettings(); }
    void setGraphFileName(const std::string& path) { m_graphFileName = path; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void connectTimers();
    void createTickLabels();
    void applySettings(const settings::TSettingsData& settings);
    void layoutToolbar();
    void layoutBottomRows();
    void placeTickLabels();
    TTrackBarCaption* captionOf(const TTrackBar* bar) const;
    void drawGlyphs();
    void applyTexts();
    void setUpScale(const settings::TSettingsData& settings);
    void applyScale();
    void showScale();

    // Change handlers of the track bars, one per family.
    void TrackBarObservationAngleOnChange(TTrackBar* sender);
    void TrackBarAmplitudeOnChange(TTrackBar* sender);
    void TrackBarPhaseShiftOnChange();
    void TrackBarTimeOnChange();
    void updateAllHints();
    // A timer's step moves one bar: only its hint can have changed.
    void updateHint(TTrackBar* bar);
    // The readout and the drawing's description follow the scene.
    void updateReadout();
    // The readout alone.
    void showReadout();
    // A change of the time, which moves the field's line alone and the description not at all.
    void showReadoutField();
    void updatePresetNames();
    void SpeedButtonShowReadoutOnClick();
    bool readoutFits() const;
    void showHintNearPointer(int dx, int dy);
    // Where the pointer was found last, kept while a timer runs until the pointer moves: asking
    // the window system on every step is a round trip to its server.
    std::optional<QPoint> m_pointerAt;
    std::optional<QPoint> m_hintAt;
    QPointer<QWidget> m_hintControl;

    void SpeedButtonStartOnClick();
    void SpeedButtonPauseOnClick();
    void BitBtnRewindOnClick();
    void SpeedButtonRotateAzimuthOnClick();
    void SpeedButtonShowWaveOnClick(QToolButton* sender);
    void SpeedButtonCoordinateSystemCenteredOnClick();
    void UpDownScaleOnClick();
    void toggle(QToolButton* button);
    void runCommand(TCommand command);
    void run(const std::function<void()>& action);
    void runPendingCommand();

    void startHelp(bool waitCursor);
    void rebuildHelpCommand();

    TFormMainEnvironment m_environment;
    std::string m_helpCommand;  // HelpCommand for the current language
    platform::ProcessLauncher* m_helpLauncher = nullptr;
    std::string m_graphFileName;
    SceneController m_controller;
    TProgramState m_programState = TProgramState::Starting;
    QString m_exeBaseName;

    // Controls, named as the window names them.
    std::array<QToolButton*, 12> m_toolbar{};
    QToolButton* SpeedButtonCopy = nullptr;
    QToolButton* SpeedButtonSave = nullptr;
    QToolButton* SpeedButtonSaveAs = nullptr;
    QToolButton* SpeedButtonPrint = nullptr;
    QToolButton* SpeedButtonCoordinateSystemCentered = nullptr;
    QToolButton* SpeedButtonShowHorizontalWave = nullptr;
    QToolButton* SpeedButtonShowVerticalWave = nullptr;
    QToolButton* SpeedButtonShowResultantWave = nullptr;
    QToolButton* SpeedButtonShowResultantVector = nullptr;
    QToolButton* SpeedButtonRotateAzimuth = nullptr;
    QToolButton* SpeedButtonSettings = nullptr;
    QToolButton* SpeedButtonHelp = nullptr;
    QLabel* PanelScale = nullptr;
    QToolButton* SpeedButtonFit = nullptr;
    QToolButton* SpeedButtonShowReadout = nullptr;
    QToolButton* SpeedButtonExportAnimation = nullptr;
    QToolButton* SpeedButtonPresets = nullptr;
    QMenu* PopupMenuPresets = nullptr;
    TReadoutPanel* PanelReadout = nullptr;
    TUpDown* UpDownScale = nullptr;
    QFrame* PanelImage = nullptr;
    DrawingArea* Image = nullptr;
    QWidget* PanelTrackBarElevation = nullptr;
    TTrackBar* TrackBarElevation = nullptr;
    TTrackBar* TrackBarAzimuth = nullptr;
    TTrackBar* TrackBarHorizontalAmplitude = nullptr;
    TTrackBar* TrackBarVerticalAmplitude = nullptr;
    TTrackBar* TrackBarPhaseShift = nullptr;
    TTrackBar* TrackBarTime = nullptr;
    QToolButton* SpeedButtonStart = nullptr;
    QToolButton* SpeedButtonPause = nullptr;
    QToolButton* BitBtnRewind = nullptr;
    QMenu* PopupMenuImage = nullptr;
    QTimer m_timerCommand;  // runs a command that came in while a step or a drawing was under way
    std::function<void()> m_pendingCommand;

    std::vector<QLabel*> m_azimuthTicks, m_elevationTicks, m_horizontalTicks, m_verticalTicks,
        m_phaseTicks, m_timeTicks;
    std::vector<std::pair<TTrackBar*, TTrackBarCaption*>> m_captions;
    int m_labelHeight = 0;
    int m_imageLeft = 0;        // the drawing panel's left edge, after the elevation's column
    int m_azimuthLabelTop = 0;  // the azimuth's tick labels
    int m_bottomRowTop = 0;
    std::array<QImage, 5> m_glyphs;

    std::unique_ptr<ViewDrag> m_drag;  // made with the drawing area
    WindowPlacement m_placement{*this, m_environment.windowPositionKnown};
};

}  // namespace mainwindow
