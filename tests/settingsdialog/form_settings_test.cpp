// SPDX-License-Identifier: GPL-3.0-or-later
// The settings dialog driven as a user drives it: opened with Ctrl+E on the main window, keys and
// clicks on its controls inside the modal loop, closed with its buttons, Esc or the close box.
// The colour chooser and the printer are fakes behind the dialog's interfaces.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "fake_printer_device.h"
#include "mainwindow/drawing_area.h"
#include "mainwindow/form_main.h"
#include "mainwindow/track_bar.h"
#include "settings/ini_file.h"
#include "settings/settings_file.h"
#include "settingsdialog/form_settings.h"
#include "settingsdialog/settings_controls.h"

namespace {

using common::rgb;
using common::TColor;
using common::TLanguage;
using mainwindow::TFormMain;
using scene::TSceneObject;
using settingsdialog::TFormSettings;
using settingsdialog::TSpinEdit;

class FakeColorChooser : public platform::ColorChooser {
public:
    platform::TCustomColors customSlots{};
    std::optional<TColor> answer;  // none: the user cancels
    std::optional<TColor> lastInitial;

    void setCustomColors(const platform::TCustomColors& colors) override { customSlots = colors; }
    platform::TCustomColors customColors() const override { return customSlots; }
    std::optional<TColor> choose(TColor initial, QWidget*) override
    {
        lastInitial = initial;
        return answer;
    }
};

class FakePrinter : public platform::Printer {
public:
    std::uint8_t current = 1;
    std::map<std::uint8_t, platform::TPageSizeMm> sizes = {{0, {210, 297}}, {1, {297, 210}}};
    std::vector<std::string> fonts = {"Arial", "Courier"};
    std::function<bool(FakePrinter&)> setup = [](FakePrinter&) { return false; };
    int setups = 0;

    std::uint8_t orientation() const override { return current; }
    void setOrientation(std::uint8_t orientation) override { current = orientation; }
    platform::TPageSizeMm pageSizeMm() override { return sizes[current]; }
    std::vector<std::string> fontNames() const override { return fonts; }
    bool showPageSetup(QWidget*) override
    {
        ++setups;
        return setup(*this);
    }
    // The dialog never paints a page.
    platform::PrinterDevice& device() override { return paper; }
    output_test::FakePrinterDevice paper{{}, {}};
};

class FakeDisplay : public platform::DisplayService {
public:
    std::optional<int> width;
    std::optional<int> physicalWidthMm(const QWidget*) const override { return width; }
};

struct Start {
    settings::TSettingsData data = mainwindow::defaultFormMainSettings();
    bool printerAvailable = true;
    int workAreaWidth = 1920;
    int workAreaHeight = 1040;
    bool hasArguments = false;
    std::string iniText;  // the settings file before the start
};

class FormSettingsTest : public ::testing::Test {
public:
    QTemporaryDir folder;
    std::unique_ptr<TFormMain> main;
    std::unique_ptr<TFormSettings> dialog;
    FakeColorChooser* chooser = nullptr;
    FakePrinter* printer = nullptr;
    FakeDisplay* display = nullptr;
    int beeps = 0;

    std::string iniPath() const
    {
        return folder.filePath(QStringLiteral("ondulix.ini")).toStdString();
    }

    void start(const Start& how = {})
    {
        if (!how.iniText.empty()) {
            QFile file(QString::fromStdString(iniPath()));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(how.iniText.data(), static_cast<qint64>(how.iniText.size()));
        }
        mainwindow::TFormMainEnvironment e;
        e.desktopWidth = 1280;
        e.desktopHeight = 1024;
        e.workAreaWidth = how.workAreaWidth;
        e.workAreaHeight = how.workAreaHeight;
        e.printerAvailable = how.printerAvailable;
        e.executablePath = QStringLiteral("/opt/bin/ondulix");
        e.hasArguments = how.hasArguments;
        e.settingsFileName = iniPath();
        main = std::make_unique<TFormMain>(e, how.data);
        main->resize(900, 700);
        main->show();
        QApplication::setActiveWindow(main.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));

        settingsdialog::TFormSettingsServices services;
        auto fakeChooser = std::make_unique<FakeColorChooser>();
        chooser = fakeChooser.get();
        services.colorChooser = std::move(fakeChooser);
        auto fakePrinter = std::make_unique<FakePrinter>();
        printer = fakePrinter.get();
        services.printer = std::move(fakePrinter);
        services.screenFonts = [] {
            return std::vector<std::string>{"Arial", "DejaVu Sans", "Liberation Serif"};
        };
        services.beep = [this] { ++beeps; };
        auto fakeDisplay = std::make_unique<FakeDisplay>();
        display = fakeDisplay.get();
        services.display = std::move(fakeDisplay);
        settingsdialog::TFormSettingsEnvironment environment;
        environment.exeBaseName = main->exeBaseName();
        environment.printerAvailable = how.printerAvailable;
        environment.workArea = {how.workAreaWidth, how.workAreaHeight};
        environment.stateFileName = iniPath();
        dialog = std::make_unique<TFormSettings>(main->controller(), environment,
                                                 std::move(services), main.get());
        main->onSettings = [this] { dialog->SpeedButtonSettingsOnClick(); };
        main->onAnimationStep = [this] { dialog->RefreshPrintPreview(); };
    }
    void TearDown() override
    {
        if (main) {
            main->onSettings = nullptr;
            main->onAnimationStep = nullptr;
        }
        dialog.reset();
        main.reset();
    }

    template <typename T = QWidget>
    T* control(const char* name) const
    {
        T* found = dialog->control<T>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    TSpinEdit* spin(const char* name) const { return control<TSpinEdit>(name); }
    scene::SceneState& s() { return main->scene(); }
    QImage mainPicture() const
    {
        return main->control<mainwindow::DrawingArea>("Image")->picture();
    }
    QString mainHint(const char* name) const { return main->control<QWidget>(name)->toolTip(); }

    // Ctrl+E on the main window; `whileOpen` runs inside the modal loop and closes the dialog.
    void openAndDo(const std::function<void()>& whileOpen)
    {
        bool ran = false;
        runWhenOpen([this, &ran, whileOpen] {
            ran = true;
            whileOpen();
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog is still open";
                dialog->reject();
            }
        });
        QWidget* focus = QApplication::focusWidget();
        QWidget* target = focus != nullptr && focus->window() == main.get() ? focus : main.get();
        QTest::keyClick(target, Qt::Key_E, Qt::ControlModifier);
        EXPECT_TRUE(ran);
    }
    // The dialog lets queued events run before it shows itself and while it fills its controls:
    // wait until it is open and filled.
    void runWhenOpen(const std::function<void()>& action)
    {
        QTimer::singleShot(0, dialog.get(), [this, action] {
            if (!dialog->isVisible() || dialog->isFilling()) {
                runWhenOpen(action);
            } else {
                // A desktop makes the modal dialog the active window; the offscreen platform
                // leaves that to the test.
                QApplication::setActiveWindow(dialog.get());
                action();
            }
        });
    }

    void click(const char* name)
    {
        QWidget* widget = control<QWidget>(name);
        // A radio button answers on its circle and its text only.
        const QPoint at = qobject_cast<QRadioButton*>(widget) != nullptr
                              ? QPoint(8, widget->height() / 2)
                              : widget->rect().center();
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    }
    void showTab(const char* name)
    {
        auto* tabs = control<QTabWidget>("PageControlSettings");
        tabs->setCurrentWidget(control<QWidget>(name));
    }
    // Replaces the box's text as typed.
    void type(TSpinEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    void pickColor(const char* shape, TColor colour)
    {
        chooser->answer = colour;
        click(shape);
    }
};

bool sameStyles(const scene::TSceneStyles& a, const scene::TSceneStyles& b)
{
    for (std::size_t k = 1; k < a.size(); ++k) {
        if (a[k].Color != b[k].Color || a[k].Bold != b[k].Bold || a[k].PenStyle != b[k].PenStyle) {
            return false;
        }
    }
    return true;
}

bool sameProportions(const scene::TProportions& a, const scene::TProportions& b)
{
    return a.ReferenceRectHalfWidth == b.ReferenceRectHalfWidth &&
           a.AxisHalfLength == b.AxisHalfLength && a.AxisLabelSpacing == b.AxisLabelSpacing &&
           a.AxisLabelHeight == b.AxisLabelHeight && a.ArrowLength == b.ArrowLength &&
           a.DotRadius == b.DotRadius && a.Wavelength == b.Wavelength &&
           a.GraphicMarginFactor == b.GraphicMarginFactor &&
           a.ClipboardBugfixScalingFactor == b.ClipboardBugfixScalingFactor;
}

// Everything the dialog can change, as the main window holds it.
struct Observed {
    std::string labels[3];
    TLanguage language;
    std::string font;
    double screenWidth;
    int animation, rotation;
    bool autoRepeat, saveSettings;
    scene::TSceneStyles styles;
    scene::TProportions proportions;
    common::TPrinterSettings printer;
    TColor hiddenAxis, hiddenText;
    QString settingsHint, phaseHint;
    QImage picture, glyph1;
};

class FormSettingsVisitTest : public FormSettingsTest {
protected:
    Observed observe()
    {
        Observed o;
        const scene::SceneState& st = s();
        o.labels[0] = st.PropagationAxisLabel;
        o.labels[1] = st.HorizontalAxisLabel;
        o.labels[2] = st.VerticalAxisLabel;
        o.language = main->language();
        o.font = st.ScreenFontName;
        o.screenWidth = st.ScreenWidth;
        o.animation = main->timerTime().interval();
        o.rotation = main->timerRotateAzimuth().interval();
        o.autoRepeat = main->autoRepeat();
        o.saveSettings = main->saveSettings();
        o.styles = st.Styles;
        o.proportions = st.Proportions;
        o.printer = main->printerSettings();
        o.hiddenAxis = st.HiddenAxisColor;
        o.hiddenText = st.HiddenTextColor;
        o.settingsHint = mainHint("SpeedButtonSettings");
        o.phaseHint = mainHint("TrackBarPhaseShift");
        o.picture = mainPicture();
        o.glyph1 = main->glyph(1);
        return o;
    }
    // Every change a user makes in one visit: language, texts, font, spin boxes, check boxes,
    // colours, bold flags, pen styles, proportions and margins.
    void changeEverything()
    {
        auto* language = control<QComboBox>("ComboBoxLanguage");
        language->setFocus();
        QTest::keyClick(language, Qt::Key_Down);
        auto* edit = control<QLineEdit>("EditHorizontalAxisLabel");
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("Ex"));
        auto* font = control<QComboBox>("ComboBoxScreenFontName");
        font->lineEdit()->selectAll();
        QTest::keyClicks(font, QStringLiteral("DejaVu Sans"));
        type(spin("SpinEditScreenWidth"), QStringLiteral("400"));
        type(spin("SpinEditAnimationTimeInterval"), QStringLiteral("60"));
        type(spin("SpinEditRotateAzimuthTimeInterval"), QStringLiteral("7"));
        click("CheckBoxAutoRepeat");
        click("CheckBoxSaveSettings");

        showTab("TabSheetColorsAndLineStyles");
        pickColor("ShapeHorizontalWaveColor", rgb(0, 200, 100));
        pickColor("ShapeReferenceSurfaceColor", rgb(90, 90, 10));
        pickColor("ShapeBackgroundColor", rgb(255, 255, 210));
        click("CheckBoxCoordinateSystemBold");
        click("CheckBoxHorizontalWaveBold");
        auto* lineStyle = control<QComboBox>("ComboBoxLineStyleVerticalWave");
        lineStyle->setFocus();
        QTest::keyClick(lineStyle, Qt::Key_Down);

        showTab("TabSheetProportions");
        type(dialog->proportionBox(5), QStringLiteral("30"));
        type(dialog->proportionBox(7), QStringLiteral("250"));
        type(dialog->proportionBox(6), QStringLiteral("40"));

        showTab("TabSheetPrinter");
        type(spin("SpinEditMarginLeft"), QStringLiteral("33"));
        click("RadioButtonPortrait");
        type(spin("SpinEditMarginBottom"), QStringLiteral("44"));
    }
    void visit(const char* closeWith)
    {
        openAndDo([this, closeWith] {
            changeEverything();
            // While open, the main window already shows the changes.
            EXPECT_EQ(main->language(), TLanguage::German);
            EXPECT_EQ(mainHint("SpeedButtonSettings"), QStringLiteral("Einstellungen (Strg+E)"));
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral(" ondulix - Einstellungen"));
            EXPECT_EQ(s().HorizontalAxisLabel, "Ex");
            EXPECT_DOUBLE_EQ(s().Proportions.ArrowLength, 0.30);
            click(closeWith);
        });
    }
};

TEST_F(FormSettingsVisitTest, CancelReturnsEverythingToItsOpeningState)
{
    start();
    const Observed before = observe();
    visit("ButtonCancel");
    const Observed after = observe();
    EXPECT_EQ(dialog->dialogResult(), settingsdialog::TDialogResult::Cancel);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(after.labels[i], before.labels[i]);
    }
    EXPECT_EQ(after.language, TLanguage::English);
    EXPECT_EQ(after.font, before.font);
    EXPECT_EQ(after.screenWidth, before.screenWidth);
    EXPECT_EQ(after.animation, before.animation);
    EXPECT_EQ(after.rotation, before.rotation);
    EXPECT_EQ(after.autoRepeat, before.autoRepeat);
    EXPECT_EQ(after.saveSettings, before.saveSettings);
    EXPECT_TRUE(sameStyles(after.styles, before.styles));
    EXPECT_TRUE(sameProportions(after.proportions, before.proportions));
    EXPECT_EQ(after.printer.Orientation, before.printer.Orientation);
    EXPECT_EQ(after.printer.MarginLeft, before.printer.MarginLeft);
    EXPECT_EQ(after.printer.MarginBottom, before.printer.MarginBottom);
    EXPECT_EQ(printer->current, before.printer.Orientation);  // the printer too
    EXPECT_EQ(after.hiddenAxis, before.hiddenAxis);
    EXPECT_EQ(after.hiddenText, before.hiddenText);
    EXPECT_EQ(after.settingsHint, QStringLiteral("Settings (Ctrl+E)"));
    EXPECT_EQ(after.phaseHint, before.phaseHint);
    EXPECT_DOUBLE_EQ(s().ArrowHalfWidth, 0.25 * before.proportions.ArrowLength);
    EXPECT_TRUE(after.glyph1 == before.glyph1);
    EXPECT_TRUE(after.picture == before.picture) << "the drawing differs from the one at opening";
}

TEST_F(FormSettingsVisitTest, OkKeepsEverything)
{
    start();
    const Observed before = observe();
    visit("ButtonOk");
    const Observed after = observe();
    EXPECT_EQ(dialog->dialogResult(), settingsdialog::TDialogResult::Ok);
    EXPECT_EQ(after.labels[1], "Ex");
    EXPECT_EQ(after.language, TLanguage::German);
    EXPECT_EQ(after.font, "DejaVu Sans");
    EXPECT_DOUBLE_EQ(after.screenWidth, 0.4);
    EXPECT_EQ(after.animation, 60);
    EXPECT_EQ(after.rotation, 7);
    EXPECT_NE(after.autoRepeat, before.autoRepeat);
    EXPECT_NE(after.saveSettings, before.saveSettings);
    const auto style = [&after](TSceneObject object) {
        return after.styles[static_cast<std::size_t>(object)];
    };
    EXPECT_EQ(style(TSceneObject::HorizontalWave).Color, rgb(0, 200, 100));
    EXPECT_EQ(style(TSceneObject::ReferenceSurface).Color, rgb(90, 90, 10));
    EXPECT_EQ(style(TSceneObject::Background).Color, rgb(255, 255, 210));
    EXPECT_TRUE(style(TSceneObject::CoordinateSystem).Bold);
    EXPECT_FALSE(style(TSceneObject::HorizontalWave).Bold);
    EXPECT_EQ(style(TSceneObject::VerticalWave).PenStyle, common::TPenStyle::Dash);
    EXPECT_DOUBLE_EQ(after.proportions.ArrowLength, 0.30);
    EXPECT_DOUBLE_EQ(after.proportions.Wavelength, 2.5);
    EXPECT_DOUBLE_EQ(after.proportions.DotRadius, 0.04);
    EXPECT_EQ(after.printer.Orientation, 0);
    EXPECT_EQ(after.printer.MarginLeft[1], 33);  // typed while landscape was chosen
    EXPECT_EQ(after.printer.MarginBottom[0], 44);
    EXPECT_EQ(after.printer.MarginBottom[1], 15);
    EXPECT_EQ(after.hiddenAxis,
              common::mixColors(50, rgb(90, 90, 10), style(TSceneObject::CoordinateSystem).Color));
    EXPECT_EQ(after.settingsHint, QStringLiteral("Einstellungen (Strg+E)"));
    // OK recomputes the values derived from the proportions.
    EXPECT_DOUBLE_EQ(s().ArrowHalfWidth, 0.25 * 0.30);
    EXPECT_DOUBLE_EQ(s().TwoWavelengths, 5.0);
    // The main window's glyphs show the new wave colour.
    EXPECT_EQ(after.glyph1.pixelColor(4, 2), QColor(0, 200, 100));
    EXPECT_FALSE(after.picture == before.picture);
}

TEST_F(FormSettingsTest, EscAndTheCloseBoxActAsCancelAndEnterInASpinBoxAsOk)
{
    start();
    struct Row {
        const char* how;
        std::function<void(FormSettingsTest&)> close;
        double screenWidthAfter;
        settingsdialog::TDialogResult result;
    };
    const Row rows[] = {
        {"Esc",
         [](FormSettingsTest& t) {
             QTest::keyClick(t.spin("SpinEditScreenWidth"), Qt::Key_Escape);
         },
         0.3, settingsdialog::TDialogResult::Cancel},
        {"close box", [](FormSettingsTest& t) { t.dialog->close(); }, 0.3,
         settingsdialog::TDialogResult::Cancel},
        {"Enter",
         [](FormSettingsTest& t) {
             QTest::keyClick(t.spin("SpinEditScreenWidth"), Qt::Key_Return);
         },
         0.5, settingsdialog::TDialogResult::Ok},
    };
    for (const Row& row : rows) {
        s().ScreenWidth = 0.3;
        openAndDo([this, &row] {
            type(spin("SpinEditScreenWidth"), QStringLiteral("500"));
            EXPECT_DOUBLE_EQ(s().ScreenWidth, 0.5) << row.how;
            row.close(*this);
        });
        EXPECT_FALSE(dialog->isVisible()) << row.how;
        EXPECT_DOUBLE_EQ(s().ScreenWidth, row.screenWidthAfter) << row.how;
        EXPECT_EQ(dialog->dialogResult(), row.result) << row.how;
    }
}

// "From display" is offered only while the display reports its width, and puts it into the box
// as typing it would: at once on the main view, undone by Cancel.
TEST_F(FormSettingsTest, TheDisplaysWidthGoesIntoTheBoxAsTyped)
{
    start();
    struct Row {
        std::optional<int> reported;
        const char* closeWith;
        double widthAfter;
    };
    const Row rows[] = {
        {std::nullopt, "ButtonOk", 0.3},
        {412, "ButtonCancel", 0.3},
        {412, "ButtonOk", 0.412},
        {1600, "ButtonOk", 1.6},  // a wall display, wider than a desk monitor
    };
    for (const Row& row : rows) {
        const std::string name = std::to_string(row.reported.value_or(0)) + " " + row.closeWith;
        display->width = row.reported;
        openAndDo([&] {
            auto* button = control<QPushButton>("ButtonScreenWidthFromDisplay");
            EXPECT_EQ(button->isEnabled(), row.reported.has_value()) << name;
            if (row.reported) {
                click("ButtonScreenWidthFromDisplay");
                EXPECT_EQ(spin("SpinEditScreenWidth")->value(), *row.reported) << name;
                EXPECT_DOUBLE_EQ(s().ScreenWidth, *row.reported / 1000.0) << name;
            }
            click(row.closeWith);
        });
        EXPECT_DOUBLE_EQ(s().ScreenWidth, row.widthAfter) << name;
    }
}

TEST_F(FormSettingsTest, FillingOnOpeningWritesNoSetting)
{
    // Values the boxes cannot show as they are: filling clamps or rounds the boxes, the settings
    // stay as they were.
    Start how;
    how.data.App.AnimationTimeInterval = 500;
    how.data.App.RotateAzimuthTimeInterval = 2;
    how.data.App.ScreenWidth = 0.2994;
    how.data.Proportions.ArrowLength = 0.1234;
    how.data.Proportions.DotRadius = 0.5;
    how.data.Printer.MarginLeft = {300, 3};
    how.data.Printer.Orientation = 1;
    start(how);
    openAndDo([this] {
        EXPECT_EQ(spin("SpinEditAnimationTimeInterval")->value(), 100);
        EXPECT_EQ(spin("SpinEditRotateAzimuthTimeInterval")->value(), 5);
        EXPECT_EQ(spin("SpinEditScreenWidth")->value(), 299);
        EXPECT_EQ(dialog->proportionBox(5)->value(), 12);
        EXPECT_EQ(dialog->proportionBox(5)->text(), QStringLiteral("12,34"));
        EXPECT_EQ(dialog->proportionBox(6)->value(), 100);
        EXPECT_EQ(spin("SpinEditMarginLeft")->value(), 5);
        click("ButtonOk");
    });
    EXPECT_EQ(main->timerTime().interval(), 500);
    EXPECT_EQ(main->timerRotateAzimuth().interval(), 2);
    EXPECT_DOUBLE_EQ(s().ScreenWidth, 0.2994);
    EXPECT_DOUBLE_EQ(s().Proportions.ArrowLength, 0.1234);
    EXPECT_DOUBLE_EQ(s().Proportions.DotRadius, 0.5);
    EXPECT_EQ(main->printerSettings().MarginLeft[0], 300);
    EXPECT_EQ(main->printerSettings().MarginLeft[1], 3);
}

// The captions box acts on the main window while the dialog is open, as a change of the look;
// Cancel puts the opening's state back, OK keeps it for the settings file.
TEST_F(FormSettingsTest, CaptionsBoxActsAtOnceAndCancelPutsItBack)
{
    start();
    std::vector<settings::TSettingsChange> changes;
    auto& controller = main->controller();
    const auto windowsOwn = controller.onSettingsApplied;
    controller.onSettingsApplied = [&changes, windowsOwn](settings::TSettingsChange change) {
        changes.push_back(change);
        if (windowsOwn) {
            windowsOwn(change);
        }
    };
    struct Row {
        const char* closeWith;
        bool before, after;
    };
    const Row rows[] = {
        {"ButtonCancel", true, true},
        {"ButtonOk", true, false},
        {"ButtonOk", false, true},
    };
    for (const Row& row : rows) {
        openAndDo([&] {
            auto* box = control<QCheckBox>("CheckBoxShowCaptions");
            EXPECT_EQ(box->isChecked(), row.before) << row.closeWith;
            changes.clear();
            click("CheckBoxShowCaptions");
            EXPECT_EQ(main->appSettings().ShowCaptions, !row.before) << row.closeWith;
            EXPECT_EQ(changes, std::vector{settings::TSettingsChange::Look}) << row.closeWith;
            click(row.closeWith);
        });
        EXPECT_EQ(main->appSettings().ShowCaptions, row.after) << row.closeWith;
        EXPECT_EQ(main->currentSettings().App.ShowCaptions, row.after) << row.closeWith;
    }
    controller.onSettingsApplied = windowsOwn;
}

TEST_F(FormSettingsTest, CreationKeepsTheLanguageAndSpeaksIt)
{
    Start how;
    how.data.App.Language = TLanguage::German;
    start(how);
    EXPECT_EQ(main->language(), TLanguage::German);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral(" ondulix - Einstellungen"));
    auto* tabs = control<QTabWidget>("PageControlSettings");
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Allgemein"));
    EXPECT_EQ(control<QPushButton>("ButtonCancel")->text(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(dialog->proportionLabel(7)->text(), QString::fromUtf8("Wellenlänge"));
    EXPECT_EQ(control<QGroupBox>("GroupBoxPageMargins")->title(),
              QStringLiteral(" Seitenränder in mm "));
    EXPECT_EQ(control<QRadioButton>("RadioButtonLandscape")->text(), QStringLiteral("Querformat"));
    // Texts no language touches.
    EXPECT_EQ(control<QWidget>("ComboBoxScreenFontName")->toolTip(), QStringLiteral("Screen font"));
    auto* language = control<QComboBox>("ComboBoxLanguage");
    EXPECT_EQ(language->itemText(0), QStringLiteral("English"));
    EXPECT_EQ(language->itemText(1), QStringLiteral("Deutsch"));
    openAndDo([this, language] {
        EXPECT_EQ(language->currentIndex(), 1);
        language->setFocus();
        QTest::keyClick(language, Qt::Key_Up);  // English, at once
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral(" ondulix - Settings"));
        EXPECT_EQ(mainHint("SpeedButtonHelp"), QStringLiteral("Help (F1)"));
        EXPECT_TRUE(mainHint("TrackBarTime").startsWith(QStringLiteral("Time = ")));
        click("ButtonCancel");
    });
    EXPECT_EQ(main->language(), TLanguage::German);
    EXPECT_EQ(mainHint("SpeedButtonHelp"), QStringLiteral("Hilfe (F1)"));
}

// What of a control's text is out of sight: empty when a label's text fits its width (a wrapped
// label's every word and all its lines), and a button's, check box's or group's fits the size
// its style asks for.
std::string cutOff(QWidget* widget)
{
    const QFontMetrics metrics = widget->fontMetrics();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        const QString text = label->text();
        if (!label->wordWrap()) {
            return metrics.horizontalAdvance(text) <= label->width() ? "" : text.toStdString();
        }
        for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (metrics.horizontalAdvance(word) > label->width()) {
                return word.toStdString();
            }
        }
        return label->heightForWidth(label->width()) <= label->height() ? "" : "lines";
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->sizeHint().width() <= button->width() ? "" : button->text().toStdString();
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        return group->minimumSizeHint().width() <= group->width() ? ""
                                                                  : group->title().toStdString();
    }
    return "";
}

// The controls of a page and of its groups, each inside its parent, with its text in sight and
// clear of its neighbours.
void expectEveryTextInSight(QWidget* page, const std::string& where)
{
    std::vector<QWidget*> controls;
    for (QWidget* widget : page->findChildren<QWidget*>()) {
        QWidget* parent = widget->parentWidget();
        if (!widget->isHidden() &&
            (parent == page || qobject_cast<QGroupBox*>(parent) != nullptr)) {
            controls.push_back(widget);
        }
    }
    ASSERT_FALSE(controls.empty()) << where;
    for (QWidget* widget : controls) {
        const std::string name = where + " " + widget->objectName().toStdString();
        EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry())) << name;
        EXPECT_EQ(cutOff(widget), "") << name;
        for (QWidget* other : controls) {
            if (other != widget && other->parentWidget() == widget->parentWidget()) {
                EXPECT_FALSE(widget->geometry().intersects(other->geometry()))
                    << name << " covers " << other->objectName().toStdString();
            }
        }
    }
}

// No label, box, button or tab of the dialog is cut off or covered, in either language; with
// ONDULIX_SHOT_FOLDER set, every tab's picture is saved there.
TEST_F(FormSettingsTest, EveryTextIsInSightInBothLanguages)
{
    start();
    const QString shots = qEnvironmentVariable("ONDULIX_SHOT_FOLDER");
    const char* tabs[] = {"TabSheetGeneral", "TabSheetColorsAndLineStyles", "TabSheetProportions",
                          "TabSheetPrinter"};
    openAndDo([&] {
        for (const TLanguage language : {TLanguage::English, TLanguage::German}) {
            auto* box = control<QComboBox>("ComboBoxLanguage");
            box->setFocus();
            QTest::keyClick(box, language == TLanguage::German ? Qt::Key_Down : Qt::Key_Up);
            ASSERT_EQ(main->language(), language);
            const std::string where = language == TLanguage::German ? "German" : "English";
            auto* pages = control<QTabWidget>("PageControlSettings");
            EXPECT_LE(pages->tabBar()->sizeHint().width(), pages->width()) << where;
            EXPECT_TRUE(dialog->rect().contains(pages->geometry())) << where;
            for (const char* name : {"ButtonCancel", "ButtonOk"}) {
                auto* button = control<QPushButton>(name);
                EXPECT_EQ(cutOff(button), "") << where << " " << name;
                EXPECT_TRUE(dialog->rect().contains(button->geometry())) << where << " " << name;
            }
            for (const char* tab : tabs) {
                showTab(tab);
                QCoreApplication::processEvents();
                expectEveryTextInSight(control<QWidget>(tab), where + " " + tab);
                if (!shots.isEmpty()) {
                    QDir().mkpath(shots);
                    dialog->grab().save(
                        QDir(shots).filePath(QStringLiteral("settings-%1-%2.png")
                                                 .arg(QString::fromStdString(where).toLower(),
                                                      QString::fromLatin1(tab + 8))));
                }
            }
        }
        click("ButtonCancel");
    });
}

// Whether a list's picture shows a colour anywhere.
bool shows(QWidget* widget, TColor colour)
{
    const QImage picture = widget->grab().toImage();
    const QColor wanted = platform::toQColor(colour);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixelColor(x, y) == wanted) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(FormSettingsTest, ColourChangesRecolourTheirLineStyleLists)
{
    start();
    struct Row {
        const char* shape;
        TColor colour;
        std::vector<int> lists;  // the lists that show the colour afterwards
    };
    const Row rows[] = {
        {"ShapeBackgroundColor", rgb(11, 201, 33), {3, 4, 5, 6, 7, 8, 9}},
        {"ShapeCoordinateSystemColor", rgb(201, 12, 91), {3, 4}},
        {"ShapeReferenceSurfaceColor", rgb(31, 77, 203), {}},
        {"ShapeHorizontalWaveColor", rgb(123, 45, 6), {5}},
        {"ShapeResultantVectorEllipseColor", rgb(7, 140, 140), {9}},
    };
    const char* lists[10] = {"",
                             "",
                             "",
                             "ComboBoxLineStyleCoordinateSystem",
                             "ComboBoxLineStyleReferenceSurface",
                             "ComboBoxLineStyleHorizontalWave",
                             "ComboBoxLineStyleVerticalWave",
                             "ComboBoxLineStyleResultantWave",
                             "ComboBoxLineStyleResultantVector",
                             "ComboBoxLineStyleResultantVectorEllipse"};
    openAndDo([&] {
        showTab("TabSheetColorsAndLineStyles");
        for (const Row& row : rows) {
            pickColor(row.shape, row.colour);
            EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("ButtonOk")) << row.shape;
            for (int k = 3; k <= 9; ++k) {
                const bool expected =
                    std::find(row.lists.begin(), row.lists.end(), k) != row.lists.end();
                EXPECT_EQ(shows(control<QWidget>(lists[k]), row.colour), expected)
                    << row.shape << " list " << k;
            }
        }
        // A cancelled chooser keeps the colour and stores it again unchanged.
        chooser->answer.reset();
        click("ShapeHorizontalWaveColor");
        EXPECT_EQ(chooser->lastInitial, rgb(123, 45, 6));
        EXPECT_EQ(s().style(TSceneObject::HorizontalWave).Color, rgb(123, 45, 6));
        click("ButtonOk");
    });
    EXPECT_EQ(s().style(TSceneObject::CoordinateSystem).Color, rgb(201, 12, 91));
    EXPECT_EQ(s().HiddenAxisColor, common::mixColors(50, rgb(31, 77, 203), rgb(201, 12, 91)));
}

// Rows of the closed list's middle column that show a colour.
int rowsShowing(QWidget* widget, TColor colour)
{
    const QImage picture = widget->grab().toImage();
    int rows = 0;
    for (int y = 0; y < picture.height(); ++y) {
        rows += picture.pixelColor(picture.width() / 3, y) == platform::toQColor(colour) ? 1 : 0;
    }
    return rows;
}

TEST_F(FormSettingsTest, BoldBoxWidensItsListsLinesAtOnce)
{
    start();
    const TColor blue = s().style(TSceneObject::HorizontalWave).Color;
    openAndDo([&] {
        showTab("TabSheetColorsAndLineStyles");
        auto* list = control<QWidget>("ComboBoxLineStyleHorizontalWave");
        ASSERT_TRUE(s().style(TSceneObject::HorizontalWave).Bold);
        EXPECT_EQ(rowsShowing(list, blue), 2);
        click("CheckBoxHorizontalWaveBold");
        EXPECT_FALSE(s().style(TSceneObject::HorizontalWave).Bold);
        EXPECT_EQ(rowsShowing(list, blue), 1);
        click("CheckBoxHorizontalWaveBold");
        EXPECT_EQ(rowsShowing(list, blue), 2);
        click("ButtonCancel");
    });
}

TEST_F(FormSettingsTest, LineStyleChoiceStoresTheCodeAndGivesUpTheFocus)
{
    Start how;
    how.data.Styles[static_cast<std::size_t>(TSceneObject::ResultantWave)].PenStyle =
        common::TPenStyle::DashDot;
    start(how);
    openAndDo([this] {
        showTab("TabSheetColorsAndLineStyles");
        auto* list = control<QComboBox>("ComboBoxLineStyleResultantWave");
        EXPECT_EQ(list->currentIndex(), 3);
        EXPECT_EQ(list->count(), 6);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        EXPECT_EQ(s().style(TSceneObject::ResultantWave).PenStyle, common::TPenStyle::DashDotDot);
        EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("ButtonOk"));
        click("ButtonOk");
    });
}

TEST_F(FormSettingsTest, ProportionBoxesApplyTheirRows)
{
    start();
    struct Row {
        int row;
        const char* typed;
        double scene::TProportions::*field;
        double expected;
    };
    const Row rows[] = {
        {1, "200", &scene::TProportions::ReferenceRectHalfWidth, 2.0},
        {3, "5", &scene::TProportions::AxisLabelSpacing, 0.05},
        {5, "30", &scene::TProportions::ArrowLength, 0.30},
        {5, "31", &scene::TProportions::ArrowLength,
         0.03},  // 31 is past the maximum: only "3" goes in
        {6, "25", &scene::TProportions::DotRadius, 0.025},
        {7, "450", &scene::TProportions::Wavelength, 4.5},
        {8, "7", &scene::TProportions::GraphicMarginFactor, 0.007},
        {9, "150", &scene::TProportions::ClipboardBugfixScalingFactor, 1.5},
    };
    openAndDo([&] {
        showTab("TabSheetProportions");
        for (const Row& row : rows) {
            type(dialog->proportionBox(row.row), QString::fromLatin1(row.typed));
            EXPECT_DOUBLE_EQ(s().Proportions.*row.field, row.expected)
                << "row " << row.row << " " << row.typed;
        }
        // The model follows at once: the wavelength 4.5 puts the first sample at -2λ.
        EXPECT_DOUBLE_EQ(s().Model.HorizontalWave[0].X, -9.0);
        // 30 is the arrow length's maximum, also for the arrow key.
        TSpinEdit* arrow = dialog->proportionBox(5);
        type(arrow, QStringLiteral("30"));
        QTest::keyClick(arrow, Qt::Key_Up);
        EXPECT_EQ(arrow->value(), 30);
        EXPECT_DOUBLE_EQ(s().Proportions.ArrowLength, 0.30);
        // An empty box is 0.
        TSpinEdit* dot = dialog->proportionBox(6);
        dot->setFocus();
        dot->selectAll();
        QTest::keyClick(dot, Qt::Key_Backspace);
        EXPECT_EQ(dot->value(), 0);
        EXPECT_EQ(s().Proportions.DotRadius, 0.0);
        click("ButtonOk");
    });
}

TEST_F(FormSettingsTest, ProportionBoxesTakeACommaFractionAsTheFileDoes)
{
    start();
    struct Row {
        int row;
        const char* typed;
        double scene::TProportions::*field;
        double expected;  // the decimal itself, as reading "0.011" from the file gives it
        const char* shown;
    };
    const Row rows[] = {
        {5, "2,5", &scene::TProportions::ArrowLength, 0.025, "2,5"},
        {6, "2,5", &scene::TProportions::DotRadius, 0.0025, "2,5"},
        {8, "2,5", &scene::TProportions::GraphicMarginFactor, 0.0025, "2,5"},
        {4, "1,1", &scene::TProportions::AxisLabelHeight, 0.011, "1,1"},  // not 1.1 / 100
        {9, "2,55", &scene::TProportions::ClipboardBugfixScalingFactor, 0.0255, "2,55"},
        {3, "0,05", &scene::TProportions::AxisLabelSpacing, 0.0005, "0,05"},
        {1, "12,50", &scene::TProportions::ReferenceRectHalfWidth, 0.125, "12,5"},
        {2, "12,", &scene::TProportions::AxisHalfLength, 0.12, "12"},
    };
    settings::IniFile written;
    openAndDo([&] {
        showTab("TabSheetProportions");
        for (const Row& row : rows) {
            TSpinEdit* box = dialog->proportionBox(row.row);
            type(box, QString::fromLatin1(row.typed));
            EXPECT_EQ(s().Proportions.*row.field, row.expected) << row.typed;
            EXPECT_EQ(box->text(), QString::fromLatin1(row.typed));
        }
        // Losing the focus keeps the fraction.
        dialog->proportionBox(7)->setFocus();
        for (const Row& row : rows) {
            EXPECT_EQ(dialog->proportionBox(row.row)->text(), QString::fromLatin1(row.shown))
                << row.typed;
        }
        click("ButtonOk");
    });
    for (const Row& row : rows) {
        EXPECT_EQ(s().Proportions.*row.field, row.expected) << row.typed;
    }
    settings::WriteSettings(written, main->currentSettings(), settings::TNumberFormat{});
    EXPECT_EQ(written.readString("General", "ArrowLength", ""), "0.025");
    EXPECT_EQ(written.readString("General", "AxisLabelHeight", ""), "0.011");
    // The next opening shows them as they were typed.
    openAndDo([&] {
        for (const Row& row : rows) {
            EXPECT_EQ(dialog->proportionBox(row.row)->text(), QString::fromLatin1(row.shown))
                << row.typed;
        }
        click("ButtonCancel");
    });
    EXPECT_EQ(s().Proportions.DotRadius, 0.0025);
}

TEST_F(FormSettingsTest, ProportionBoxesRefusePlusMinusAndPointWithABeep)
{
    start();
    openAndDo([this] {
        showTab("TabSheetProportions");
        TSpinEdit* box = dialog->proportionBox(2);
        type(box, QStringLiteral("12"));
        for (const char* key : {"+", "-", "."}) {
            const int before = beeps;
            QTest::keyClicks(box, QString::fromLatin1(key));
            EXPECT_EQ(beeps, before + 1) << key;
            EXPECT_EQ(box->text(), QStringLiteral("12")) << key;
        }
        const int before = beeps;
        QTest::keyClicks(box, QStringLiteral(","));
        EXPECT_EQ(beeps, before);
        // The General tab's boxes take no such rule.
        QTest::keyClicks(spin("SpinEditScreenWidth"), QStringLiteral("."));
        EXPECT_EQ(beeps, before);
        click("ButtonCancel");
    });
    EXPECT_DOUBLE_EQ(s().Proportions.AxisHalfLength, 1.5);
}

TEST_F(FormSettingsTest, EmptyGeneralBoxFallsBackToItsMinimum)
{
    start();
    openAndDo([this] {
        TSpinEdit* width = spin("SpinEditScreenWidth");
        width->setFocus();
        width->selectAll();
        QTest::keyClick(width, Qt::Key_Delete);
        EXPECT_EQ(width->value(), 50);
        EXPECT_DOUBLE_EQ(s().ScreenWidth, 0.05);
        TSpinEdit* animation = spin("SpinEditAnimationTimeInterval");
        animation->setFocus();
        animation->selectAll();
        QTest::keyClick(animation, Qt::Key_Backspace);
        EXPECT_EQ(main->timerTime().interval(), 5);
        click("ButtonOk");
    });
}

TEST_F(FormSettingsTest, WheelStepsOnlyTheFocusedSpinBox)
{
    start();
    const auto wheel = [](QWidget* target, int delta) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    };
    openAndDo([&] {
        TSpinEdit* width = spin("SpinEditScreenWidth");
        TSpinEdit* rotation = spin("SpinEditRotateAzimuthTimeInterval");
        width->setFocus();
        wheel(width, 120);
        EXPECT_EQ(width->value(), 301);
        EXPECT_DOUBLE_EQ(s().ScreenWidth, 0.301);
        wheel(control<QWidget>("EditPropagationAxisLabel"), -240);  // anywhere in the dialog
        EXPECT_EQ(width->value(), 299);
        wheel(rotation, 120);  // the box under the pointer has no focus
        EXPECT_EQ(rotation->value(), 50);
        EXPECT_EQ(width->value(), 300);
        // Half notches add up.
        wheel(width, 60);
        EXPECT_EQ(width->value(), 300);
        wheel(width, 60);
        EXPECT_EQ(width->value(), 301);
        // At the range's end the box stays there.
        type(width, QStringLiteral("2000"));
        wheel(width, 360);
        EXPECT_EQ(width->value(), 2000);
        // Another control focused: the wheel steps no box.
        control<QWidget>("EditVerticalAxisLabel")->setFocus();
        wheel(width, 120);
        EXPECT_EQ(width->value(), 2000);
        click("ButtonCancel");
    });
}

TEST_F(FormSettingsTest, DialogIsPlacedOnTheWorkArea)
{
    struct Row {
        const char* ini;
        int workWidth, workHeight;
        QPoint expected;
    };
    const Row rows[] = {
        {"[FormSettings]\r\nLeft=-50\r\nTop=5000\r\n", 1920, 1040, QPoint(0, 1008)},
        {"[General]\r\nLanguage=0\r\n", 1920, 1040, QPoint(0, 0)},
        {"[FormSettings]\r\nLeft=3000\r\nTop=-7\r\n", 1280, 1000, QPoint(1248, 0)},
        {"[FormSettings]\r\nLeft=100\r\nTop=200\r\n", 1280, 1000, QPoint(100, 200)},
    };
    for (const Row& row : rows) {
        Start how;
        how.iniText = row.ini;
        how.workAreaWidth = row.workWidth;
        how.workAreaHeight = row.workHeight;
        how.data.App.SaveSettings = false;  // leave the file for the next row
        start(how);
        EXPECT_EQ(dialog->pos(), row.expected) << row.ini;
        TearDown();
    }
}

TEST_F(FormSettingsTest, StoredTabOpensUnlessItIsThePrinterWithoutPrinter)
{
    struct Row {
        int stored;
        bool printerAvailable;
        int shown;
    };
    for (const Row& row :
         {Row{1, true, 1}, Row{3, true, 3}, Row{3, false, 0}, Row{7, true, 0}, Row{-1, true, 0}}) {
        Start how;
        how.iniText =
            "[FormSettings]\r\nActiveTabSheetIndex=" + std::to_string(row.stored) + "\r\n";
        how.printerAvailable = row.printerAvailable;
        how.data.App.SaveSettings = false;
        start(how);
        auto* tabs = control<QTabWidget>("PageControlSettings");
        EXPECT_EQ(tabs->currentIndex(), row.shown) << row.stored;
        EXPECT_EQ(tabs->isTabVisible(3), row.printerAvailable);
        TearDown();
    }
}

TEST_F(FormSettingsTest, OrientationShowsThatOrientationsOwnMargins)
{
    Start how;
    how.data.Printer.Orientation = 1;
    how.data.Printer.MarginLeft = {10, 20};
    how.data.Printer.MarginRight = {11, 21};
    how.data.Printer.MarginTop = {12, 22};
    how.data.Printer.MarginBottom = {13, 23};
    start(how);
    const auto shown = [this] {
        return std::array<int, 4>{
            spin("SpinEditMarginLeft")->value(), spin("SpinEditMarginRight")->value(),
            spin("SpinEditMarginTop")->value(), spin("SpinEditMarginBottom")->value()};
    };
    openAndDo([&] {
        showTab("TabSheetPrinter");
        EXPECT_EQ(shown(), (std::array<int, 4>{20, 21, 22, 23}));
        EXPECT_TRUE(control<QWidget>("ImagePreviewLandscape")->isVisible());
        EXPECT_FALSE(control<QWidget>("ImagePreviewPortrait")->isVisible());
        click("RadioButtonPortrait");
        EXPECT_EQ(main->printerSettings().Orientation, 0);
        EXPECT_EQ(printer->current, 0);
        EXPECT_EQ(dialog->pageSize().Width, 210);
        EXPECT_EQ(shown(), (std::array<int, 4>{10, 11, 12, 13}));
        EXPECT_TRUE(control<QWidget>("ImagePreviewPortrait")->isVisible());
        EXPECT_FALSE(control<QWidget>("ImagePreviewLandscape")->isVisible());
        type(spin("SpinEditMarginTop"), QStringLiteral("40"));
        EXPECT_EQ(main->printerSettings().MarginTop, (std::array<std::int32_t, 2>{40, 22}));
        click("RadioButtonLandscape");
        EXPECT_EQ(shown(), (std::array<int, 4>{20, 21, 22, 23}));
        EXPECT_EQ(dialog->pageSize().Width, 297);
        click("ButtonOk");
    });
    EXPECT_EQ(main->printerSettings().MarginTop, (std::array<std::int32_t, 2>{40, 22}));
    EXPECT_EQ(main->printerSettings().MarginLeft, (std::array<std::int32_t, 2>{10, 20}));
}

TEST_F(FormSettingsTest, PrinterConfigurationFollowsTheChosenPrinter)
{
    Start how;
    how.data.Printer.Orientation = 1;
    how.data.Printer.MarginLeft = {10, 20};
    how.data.Printer.FontName = "Arial";
    start(how);
    auto* fonts = control<QComboBox>("ComboBoxPrinterFontName");
    openAndDo([&] {
        showTab("TabSheetPrinter");
        EXPECT_EQ(fonts->count(), 2);
        EXPECT_EQ(fonts->currentText(), QStringLiteral("Arial"));
        // Cancelled: nothing changes.
        printer->setup = [](FakePrinter& p) {
            p.current = 0;
            return false;
        };
        click("ButtonPrinterConfiguration");
        EXPECT_EQ(printer->setups, 1);
        EXPECT_EQ(main->printerSettings().Orientation, 1);
        EXPECT_TRUE(control<QRadioButton>("RadioButtonLandscape")->isChecked());
        EXPECT_EQ(fonts->count(), 2);
        // Confirmed with another printer in portrait.
        printer->setup = [](FakePrinter& p) {
            p.current = 0;
            p.sizes[0] = {216, 279};
            p.fonts = {"Courier", "Helvetica", "Times"};
            return true;
        };
        click("ButtonPrinterConfiguration");
        EXPECT_EQ(main->printerSettings().Orientation, 0);
        EXPECT_TRUE(control<QRadioButton>("RadioButtonPortrait")->isChecked());
        EXPECT_EQ(spin("SpinEditMarginLeft")->value(), 10);
        EXPECT_EQ(dialog->pageSize().Width, 216);
        EXPECT_EQ(dialog->pageSize().Height, 279);
        EXPECT_TRUE(control<QWidget>("ImagePreviewPortrait")->isVisible());
        EXPECT_EQ(fonts->count(), 3);
        EXPECT_EQ(fonts->itemText(1), QStringLiteral("Helvetica"));
        EXPECT_EQ(fonts->currentText(),
                  QStringLiteral("Arial"));  // FontName is shown, not replaced
        // The same orientation again still takes the new paper.
        printer->setup = [](FakePrinter& p) {
            p.sizes[0] = {148, 210};
            return true;
        };
        click("ButtonPrinterConfiguration");
        EXPECT_EQ(dialog->pageSize().Width, 148);
        click("ButtonOk");
    });
    EXPECT_EQ(main->printerSettings().FontName, "Arial");
}

// Whether every pixel is white.
bool blank(const QImage& picture)
{
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixelColor(x, y) != QColor(Qt::white)) {
                return false;
            }
        }
    }
    return true;
}

TEST_F(FormSettingsTest, PreviewFollowsTheAnimationOnThePrinterTabOnly)
{
    Start how;
    how.data.Printer.Orientation = 1;
    start(how);
    auto* preview = control<settingsdialog::TPreviewImage>("ImagePreviewLandscape");
    openAndDo([&] {
        showTab("TabSheetPrinter");
        const QImage first = preview->picture();
        EXPECT_FALSE(blank(first));
        for (int step = 0; step < 40; ++step) {
            main->TimerTimeOnTimer();
        }
        const QImage moved = preview->picture();
        EXPECT_FALSE(moved == first);
        // After the preview the main view's redraws still draw the main view's projection.
        pickColor("ShapeVerticalWaveColor", rgb(250, 0, 250));
        const QImage redrawn = mainPicture();
        main->control<mainwindow::DrawingArea>("Image")->reprojectAndRedraw();
        EXPECT_TRUE(redrawn == mainPicture());
        showTab("TabSheetGeneral");
        const QImage hidden = preview->picture();
        for (int step = 0; step < 40; ++step) {
            main->TimerTimeOnTimer();
        }
        EXPECT_TRUE(preview->picture() == hidden);
        click("ButtonCancel");
    });
    // Closed: no preview either.
    const QImage closed = preview->picture();
    main->TimerRotateAzimuthOnTimer();
    EXPECT_TRUE(preview->picture() == closed);
}

TEST_F(FormSettingsTest, PrinterWithoutPaperGivesABlankPreview)
{
    Start how;
    how.data.Printer.Orientation = 0;
    start(how);
    printer->sizes[0] = {0, 0};
    openAndDo([this] {
        showTab("TabSheetPrinter");
        EXPECT_EQ(dialog->pageSize().Height, 0);
        EXPECT_TRUE(
            blank(control<settingsdialog::TPreviewImage>("ImagePreviewPortrait")->picture()));
        type(spin("SpinEditMarginRight"), QStringLiteral("30"));  // redrawn, still blank
        EXPECT_TRUE(
            blank(control<settingsdialog::TPreviewImage>("ImagePreviewPortrait")->picture()));
        click("ButtonCancel");
    });
}

std::string fileText(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// The state the application writes at the end: position, tab, and the custom colours as read
// until the chooser has been confirmed once.
TEST_F(FormSettingsTest, StateHoldsPositionTabAndTheCustomColoursAsTheyStand)
{
    for (const bool confirmColour : {false, true}) {
        Start how;
        how.iniText = "[Colors]\r\nColorA=00FF00\r\nColorB=FFFFFFFF\r\nColorC=zz\r\n";
        start(how);
        EXPECT_EQ(chooser->customSlots[0], rgb(0, 0xFF, 0));
        EXPECT_FALSE(chooser->customSlots[1].has_value());
        dialog->move(120, 80);
        openAndDo([&] {
            showTab("TabSheetProportions");
            if (confirmColour) {
                chooser->customSlots[3] = rgb(0x12, 0x34, 0x56);
                pickColor("ShapeTextColor", rgb(1, 2, 3));
            }
            click("ButtonOk");
        });
        ASSERT_TRUE(settings::WriteDialogState(iniPath(), dialog->dialogState()).Ok);
        const settings::IniFile ini = settings::IniFile::fromFileBytes(fileText(iniPath()));
        const auto value = [&ini](const char* section, const char* key) {
            return ini.readString(section, key, "(none)");
        };
        EXPECT_EQ(value("FormSettings", "Left"), "120");
        EXPECT_EQ(value("FormSettings", "Top"), "80");
        EXPECT_EQ(value("FormSettings", "ActiveTabSheetIndex"), "2");
        EXPECT_EQ(value("Colors", "ColorA"), "00FF00");
        if (confirmColour) {
            // The chooser's customSlots, as six hexadecimal digits or FFFFFFFF for an empty one.
            EXPECT_EQ(value("Colors", "ColorB"), "FFFFFFFF");
            EXPECT_EQ(value("Colors", "ColorC"), "FFFFFFFF");
            EXPECT_EQ(value("Colors", "ColorD"), "563412");
            EXPECT_EQ(value("Colors", "ColorP"), "FFFFFFFF");
        } else {
            // Never confirmed: written back as read.
            EXPECT_EQ(value("Colors", "ColorC"), "zz");
            EXPECT_EQ(value("Colors", "ColorD"), "");
        }
        TearDown();
        QFile::remove(QString::fromStdString(iniPath()));
    }
}

// The convention changes the window's readout and preset names at once; Cancel puts it back,
// OK keeps it for the settings file.
TEST_F(FormSettingsTest, TheHandednessConventionActsAtOnceAndCancelRestoresIt)
{
    start();
    const auto readoutState = [this] {
        return main->findChild<QLabel*>(QStringLiteral("LabelReadout0"))->text();
    };
    const auto presetName = [this] {
        return main->findChild<QMenu*>(QStringLiteral("PopupMenuPresets"))->actions()[4]->text();
    };
    ASSERT_TRUE(readoutState().endsWith(QStringLiteral("(optics)")))
        << readoutState().toStdString();
    for (const bool ok : {false, true}) {
        openAndDo([&] {
            auto* box = control<QComboBox>("ComboBoxHandednessConvention");
            ASSERT_EQ(box->count(), 2);
            EXPECT_EQ(box->currentIndex(), 0);
            box->setCurrentIndex(1);
            emit box->activated(1);
            EXPECT_TRUE(readoutState().endsWith(QStringLiteral("(IEEE)")))
                << readoutState().toStdString();
            EXPECT_TRUE(presetName().startsWith(QStringLiteral("Right-handed circular (IEEE)")));
            click(ok ? "ButtonOk" : "ButtonCancel");
        });
        const bool ieee =
            main->currentSettings().App.HandednessConvention == common::THandednessConvention::Ieee;
        EXPECT_EQ(ieee, ok);
        EXPECT_EQ(readoutState().endsWith(QStringLiteral("(IEEE)")), ok)
            << readoutState().toStdString();
    }
}

TEST_F(FormSettingsTest, GlyphsAndDrawingFollowAfterClosing)
{
    start();
    const QImage before = main->glyph(2);
    openAndDo([this] {
        showTab("TabSheetColorsAndLineStyles");
        pickColor("ShapeVerticalWaveColor", rgb(0, 120, 0));
        EXPECT_EQ(main->glyph(2).pixelColor(4, 2), QColor(0, 120, 0));  // at once
        click("ButtonCancel");
    });
    EXPECT_TRUE(main->glyph(2) == before);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
