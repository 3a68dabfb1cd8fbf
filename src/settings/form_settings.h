// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// TFormSettings: the one dialog for every adjustable setting. Created once, right after the main
// window, kept hidden between uses, opened modally by the main window's settings button, its
// popup item "Settings" and Ctrl+E. Every change applies at once to the main window's settings
// and drawing; OK keeps the changes, Cancel, Esc and the close box restore the snapshot taken at
// opening. Destroyed at program end, before the main window, writing its own state when
// SaveSettings is true.
//
//   mainwindow::TFormMain form(environment, settings);
//   settings::TFormSettings formSettings(form);   // installs form.onSettings, form.onAnimationStep

#include <QDialog>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/globals.h"
#include "platform/printer.h"
#include "scene/scene.h"
#include "settings/settings_file.h"
#include "settings/settings_services.h"

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

namespace mainwindow {
class TFormMain;
}
namespace platform {
class PrintDialogService;
class UnitPrinter;
}  // namespace platform

namespace settings {

class TColorShape;
class TOwnerDrawComboBox;
class TPreviewImage;
class TSpinEdit;

// What Cancel writes back: everything the dialog can change, as it stood at opening.
struct TSettingsSnapshot {
    std::string PropagationAxisLabel;
    std::string HorizontalAxisLabel;
    std::string VerticalAxisLabel;
    common::TLanguage Language = common::TLanguage::English;
    std::string ScreenFontName;
    double ScreenWidth = 0.0;
    std::int32_t AnimationTimeInterval = 0;
    std::int32_t RotateAzimuthTimeInterval = 0;
    bool AutoRepeat = false;
    bool SaveSettings = false;
    // The eight bold flags, the seven pen styles and the nine colours (the other fields of the
    // array are never changed by the dialog).
    scene::TSceneStyles Styles{};
    scene::TProportions Proportions;
    // Only with a printer: Orientation, FontName and the eight margins.
    bool HasPrinter = false;
    std::uint8_t Orientation = 1;
    std::string FontName;
    std::array<std::int32_t, 2> MarginLeft{};
    std::array<std::int32_t, 2> MarginRight{};
    std::array<std::int32_t, 2> MarginTop{};
    std::array<std::int32_t, 2> MarginBottom{};
};

enum class TDialogResult { Ok, Cancel };

// The system behind the dialog; an empty member gets the real one.
struct TFormSettingsServices {
    std::unique_ptr<ColorChooser> colorChooser;  // QColorDialog
    std::unique_ptr<platform::Printer> printer;  // a printer of its own, when one is available
    std::function<std::vector<std::string>()> screenFonts;  // the installed fonts
    std::function<void()> beep;                             // QApplication::beep
};

class TFormSettings : public QDialog {
public:
    explicit TFormSettings(mainwindow::TFormMain& main, TFormSettingsServices services = {});
    ~TFormSettings() override;

    // The main window's SpeedButtonSettingsOnClick: shows the dialog modally, then the main
    // window redraws its glyphs and rescales. Installed as the main window's onSettings.
    void SpeedButtonSettingsOnClick();
    // The page preview follows the animation: redrawn when a printer is available, the dialog is
    // visible and its Printer tab active. Installed as the main window's onAnimationStep.
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
    const TSettingsSnapshot& snapshot() const { return m_snapshot; }
    // Position, current tab and custom colours as WriteDialogState stores them at program end.
    TDialogState dialogState() const;
    // Writes the dialog's state at program end, once; the destructor does it if nobody did.
    TFileResult writeStateAtEnd();
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
    scene::SceneState& scene();
    common::TPrinterSettings& printerSettings();
    bool printerAvailable() const;

    void createControls();
    void createGeneralTab();
    void createColorsTab();
    void createProportionsTab();
    void createPrinterTab();
    QLabel* label(const char* name, QWidget* parent, int x, int y);

    // SetLanguageFormSettings: the dialog's texts in that language.
    void setLanguageTexts(common::TLanguage language);
    void FormSettingsOnShow();
    TSettingsSnapshot takeSnapshot();
    void restoreSnapshot();
    void fillControls();
    void fillPrinterTab();

    // The main view: DrawScene without projecting, or projecting first; either is put off to
    // the main window's TimerRedraw while another drawing runs.
    void redraw();
    void rescaleAndRedraw();
    void rebuildGeometry();

    void EditAxisLabelOnChange(int tag);
    void ComboBoxLanguageOnChange(int index);
    void ComboBoxScreenFontNameOnChange(const QString& text);
    void SpinEditGeneralOnChange(TSpinEdit* sender);
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

    mainwindow::TFormMain& m_main;
    // The printer and its dialogs when none were given.
    std::unique_ptr<platform::UnitPrinter> m_ownPrinter;
    std::unique_ptr<platform::PrintDialogService> m_ownPrintDialogs;
    TFormSettingsServices m_services;
    bool m_isCreating = true;
    bool m_isFilling = false;
    TDialogResult m_dialogResult = TDialogResult::Cancel;
    TSettingsSnapshot m_snapshot;
    platform::TPageSizeMm m_pageSize;

    // Custom colour slots as read; replaced by the chooser's once it has been confirmed.
    std::array<std::string, CustomColorCount> m_customColorEntries{};
    bool m_customColorsConfirmed = false;

    std::array<QImage, 2> m_flags;
    int m_wheelRemainder = 0;
    bool m_drawingPreview = false;
    QEventLoop* m_modalLoop = nullptr;
    bool m_stateWritten = false;
    QTimer m_previewRetry;

    // Controls, named as the dialog names them.
    QTabWidget* PageControlSettings = nullptr;
    QWidget* TabSheetGeneral = nullptr;
    QWidget* TabSheetColorsAndLineStyles = nullptr;
    QWidget* TabSheetProportions = nullptr;
    QWidget* TabSheetPrinter = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QPushButton* ButtonOk = nullptr;

    std::array<QLineEdit*, 4> m_axisLabelEdits{};  // tags 1 .. 3
    TOwnerDrawComboBox* ComboBoxLanguage = nullptr;
    QComboBox* ComboBoxScreenFontName = nullptr;
    TSpinEdit* SpinEditScreenWidth = nullptr;
    TSpinEdit* SpinEditAnimationTimeInterval = nullptr;
    TSpinEdit* SpinEditRotateAzimuthTimeInterval = nullptr;
    QCheckBox* CheckBoxAutoRepeat = nullptr;
    QCheckBox* CheckBoxSaveSettings = nullptr;

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
    QPushButton* ButtonPrinterConfiguration = nullptr;
    QComboBox* ComboBoxPrinterFontName = nullptr;
    TPreviewImage* ImagePreviewPortrait = nullptr;
    TPreviewImage* ImagePreviewLandscape = nullptr;

    std::vector<TSpinEdit*> m_spinEdits;  // every spin box the wheel steps
};

}  // namespace settings
