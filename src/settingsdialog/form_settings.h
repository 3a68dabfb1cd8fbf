// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// TFormSettings: the one dialog for every adjustable setting. Created once, right after the main
// window, kept hidden between uses, opened modally by the main window's settings button, its
// popup item "Settings" and Ctrl+E. The dialog edits a copy of the settings record and hands it to
// the scene behind the main window (a settings::LiveSettings) after every change, so each change
// shows at once; OK keeps the changes, Cancel, Esc and the close box hand back the copy taken at
// opening. At program end the application writes the dialog's state when SaveSettings is true.
//
//   settingsdialog::TFormSettings dialog(controller, dialogEnvironment, services, &mainWindow);
//   mainWindow.onSettings = [&dialog] { dialog.SpeedButtonSettingsOnClick(); };

#include <QDialog>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/globals.h"
#include "platform/printer.h"
#include "platform/services.h"
#include "scene/scene.h"
#include "settings/live_settings.h"
#include "settings/settings_file.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QEventLoop;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace settingsdialog {

class TColorShape;
class TOwnerDrawComboBox;
class TPreviewImage;
class TSpinEdit;

enum class TDialogResult { Ok, Cancel };

// What the application tells the dialog about its surroundings.
struct TFormSettingsEnvironment {
    QString exeBaseName = QStringLiteral("ondulix");  // in the title
    bool printerAvailable = true;                     // without a printer the Printer tab is hidden
    settings::TWorkArea workArea;                     // keeps the stored position reachable
    std::string stateFileName;  // where the dialog's state is read; empty: the defaults
};

// The system behind the dialog; an empty member gets the real one, except the printer: without
// one the Printer tab shows no page size, fonts or page set-up.
struct TFormSettingsServices {
    std::unique_ptr<platform::ColorChooser> colorChooser;   // QColorDialog
    std::unique_ptr<platform::Printer> printer;             // the program's printer
    std::function<std::vector<std::string>()> screenFonts;  // the installed fonts
    std::function<void()> beep;                             // QApplication::beep
    std::unique_ptr<platform::DisplayService> display;      // the screens' reported sizes
};

class TFormSettings : public QDialog {
public:
    TFormSettings(settings::LiveSettings& target, const TFormSettingsEnvironment& environment,
                  TFormSettingsServices services = {}, QWidget* mainWindow = nullptr);
    ~TFormSettings() override;

    // The main window's SpeedButtonSettingsOnClick: shows the dialog modally, then the main
    // view is projected and drawn again and the main window gets the focus back.
    void SpeedButtonSettingsOnClick();
    // The page preview follows the animation: redrawn when a printer is available, the dialog is
    // visible and its Printer tab active. Called after every step of the main window's timers.
    void RefreshPrintPreview();

    // The control with that name, for tests.
    template <typename T>
    T* control(const char* name) const
    {
        return findChild<T*>(QString::fromLatin1(name));
    }
    bool isCreating() const { return m_isCreating; }
    bool isFilling() const { return m_isFilling; }
    TDialogResult dialogResult() const { return m_dialogResult; }
    // The record as the dialog has it: the copy it edits while it is open.
    const settings::TSettingsData& edited() const { return m_edit; }
    // Position, current tab and custom colours as WriteDialogState stores them at program end.
    settings::TDialogState dialogState() const;
    platform::TPageSizeMm pageSize() const { return m_pageSize; }
    // The proportion row controls, rows 1 .. 9.
    TSpinEdit* proportionBox(int row) const
    {
        return m_proportionBoxes.at(static_cast<std::size_t>(row));
    }
    QLabel* proportionLabel(int row) const
    {
        return m_proportionLabels.at(static_cast<std::size_t>(row));
    }
    QLabel* proportionUnit(int row) const
    {
        return m_proportionUnits.at(static_cast<std::size_t>(row));
    }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool guarded() const { return m_isCreating || m_isFilling; }
    common::TPrinterSettings& printerSettings() { return m_edit.Printer; }
    bool printerAvailable() const { return m_environment.printerAvailable; }
    // The copy goes to the main view; `change` says what the edit touched.
    void apply(settings::TSettingsChange change);

    void createControls();
    void createGeneralTab();
    void createColorsTab();
    void createProportionsTab();
    void createPrinterTab();
    QLabel* label(const char* name, QWidget* parent, int x, int y);
    // The places of the controls for the texts they hold; each tab's says the dialog width it
    // needs.
    void layoutForTexts();
    int layoutGeneralTab(int dialogWidth);
    int layoutColorsTab(int dialogWidth);
    int layoutProportionsTab();
    int layoutPrinterTab();

    // SetLanguageFormSettings: the dialog's texts in that language.
    void setLanguageTexts(common::TLanguage language);
    void FormSettingsOnShow();
    void restoreSnapshot();
    void fillControls();
    void fillPrinterTab();

    void EditAxisLabelOnChange(int tag);
    void ComboBoxLanguageOnChange(int index);
    void ComboBoxScreenFontNameOnChange(const QString& text);
    void SpinEditGeneralOnChange(TSpinEdit* sender);
    void ButtonScreenWidthFromDisplayOnClick();
    void CheckBoxBoldOnClick(int tag);
    void ComboBoxLineStyleOnChange(int tag, int index);
    void ShapeColorOnMouseUp(TColorShape* sender);
    void SpinEditProportionOnChange(TSpinEdit* sender);
    void RadioGroupPageOrientationOnClick(int index);
    void SpinEditMarginOnChange(TSpinEdit* sender);
    void ButtonPrinterConfigurationOnClick();
    void PageControlSettingsOnChange();
    void ButtonOkOnClick();
    void ButtonCancelOnClick();

    void showMarginsOf(std::uint8_t orientation);
    void showPreviewOf(std::uint8_t orientation);
    void fetchPageSize();
    void drawPagePreview();
    void fillPrinterFonts();
    TSpinEdit* focusedSpinEdit() const;

    void drawLineStyle(QPainter& painter, const QRect& rect, int tag, int index, bool selected);
    void drawLanguage(QPainter& painter, const QRect& rect, int index, bool selected);

    settings::LiveSettings& m_target;
    TFormSettingsEnvironment m_environment;
    QWidget* m_mainWindow = nullptr;
    TFormSettingsServices m_services;
    bool m_isCreating = true;
    bool m_isFilling = false;
    TDialogResult m_dialogResult = TDialogResult::Cancel;
    settings::TSettingsData m_edit;      // the copy being edited
    settings::TSettingsData m_snapshot;  // as it stood at opening, for Cancel
    platform::TPageSizeMm m_pageSize;

    // Custom colour slots as read; replaced by the chooser's once it has been confirmed.
    std::array<std::string, common::CustomColorCount> m_customColorEntries{};
    bool m_customColorsConfirmed = false;

    std::array<QImage, 2> m_flags;
    int m_wheelRemainder = 0;
    bool m_drawingPreview = false;
    QEventLoop* m_modalLoop = nullptr;
    QTimer m_previewRetry;

    // Controls, named as the dialog names them.
    QTabWidget* PageControlSettings = nullptr;
    QWidget* TabSheetGeneral = nullptr;
    QWidget* TabSheetColorsAndLineStyles = nullptr;
    QWidget* TabSheetProportions = nullptr;
    QWidget* TabSheetPrinter = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QPushButton* ButtonOk = nullptr;

    std::vector<QLabel*> m_generalLabels;          // of the General tab's rows, from the top
    std::array<QLineEdit*, 4> m_axisLabelEdits{};  // tags 1 .. 3
    TOwnerDrawComboBox* ComboBoxLanguage = nullptr;
    QComboBox* ComboBoxScreenFontName = nullptr;
    TSpinEdit* SpinEditScreenWidth = nullptr;
    QPushButton* ButtonScreenWidthFromDisplay = nullptr;
    TSpinEdit* SpinEditAnimationTimeInterval = nullptr;
    TSpinEdit* SpinEditRotateAzimuthTimeInterval = nullptr;
    QCheckBox* CheckBoxAutoRepeat = nullptr;
    QCheckBox* CheckBoxSaveSettings = nullptr;
    QCheckBox* CheckBoxShowCaptions = nullptr;
    QLabel* LabelHandednessConvention = nullptr;
    QComboBox* ComboBoxHandednessConvention = nullptr;
    void fillConventions();

    QGroupBox* GroupBoxColorsAndLineStyles = nullptr;
    // Indexed by object number 1 .. 9; objects without such a control hold null.
    std::array<QCheckBox*, 10> m_boldBoxes{};
    std::array<TOwnerDrawComboBox*, 10> m_lineStyleLists{};
    std::array<common::TColor, 10> m_lineStyleBackgrounds{};
    std::array<TColorShape*, 10> m_shapes{};

    std::array<QLabel*, 10> m_proportionLabels{};
    std::array<TSpinEdit*, 10> m_proportionBoxes{};
    std::array<QLabel*, 10> m_proportionUnits{};
    QLabel* LabelProportionsHint = nullptr;

    QGroupBox* RadioGroupPageOrientation = nullptr;
    QButtonGroup* m_orientationButtons = nullptr;
    std::array<QRadioButton*, 2> m_orientationChoices{};
    QGroupBox* GroupBoxPageMargins = nullptr;
    std::array<TSpinEdit*, 5> m_marginBoxes{};  // tags 1 left, 2 right, 3 top, 4 bottom
    std::array<QLabel*, 5> m_marginLabels{};
    QPushButton* ButtonPrinterConfiguration = nullptr;
    QLabel* LabelPrinterFontName = nullptr;
    QComboBox* ComboBoxPrinterFontName = nullptr;
    TPreviewImage* ImagePreviewPortrait = nullptr;
    TPreviewImage* ImagePreviewLandscape = nullptr;

    std::vector<TSpinEdit*> m_spinEdits;  // every spin box the wheel steps
};

}  // namespace settingsdialog
