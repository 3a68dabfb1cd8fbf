// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsdialog/form_settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QWheelEvent>

#include <algorithm>

#include "common/numbers.h"
#include "common/texts.h"
#include "platform/painter_canvas.h"
#include "platform/printer.h"
#include "platform/qt_services.h"
#include "scene/extent.h"
#include "scene/geometry.h"
#include "scene/projection.h"
#include "scene/readout.h"
#include "scene/render.h"
#include "settingsdialog/settings_controls.h"

// The flags are compiled into this library; a static library needs them registered by hand.
static void initialiseFlagResources()
{
    Q_INIT_RESOURCE(flags);
}

namespace settingsdialog {

namespace {

using common::TLanguage;
using scene::TSceneObject;
using settings::TSettingsChange;

constexpr int ClientWidth = 352;
constexpr int ClientHeight = 351;  // a row more than the original 327: the convention
constexpr int ButtonHeight = 25;
constexpr int ButtonWidth = 170;
constexpr int TabSheetInset = 8;  // the dialog's width less a tab sheet's
constexpr int LineStyleEntryHeight = 7;
constexpr int LanguageEntryHeight = 16;
constexpr int PenStyleCount = 6;
constexpr int PrinterTabIndex = 3;
constexpr int WheelNotch = 120;  // angle delta of one notch, in eighths of a degree
constexpr int PreviewRetryMilliseconds = 20;

// The objects as the dialog names their controls, by TSceneObject number.
constexpr const char* ObjectNames[10] = {
    "",
    "Background",
    "Text",
    "CoordinateSystem",
    "ReferenceSurface",
    "HorizontalWave",
    "VerticalWave",
    "ResultantWave",
    "ResultantVector",
    "ResultantVectorEllipse",
};

constexpr const char* AxisLabelEditNames[4] = {"", "EditPropagationAxisLabel",
                                               "EditHorizontalAxisLabel", "EditVerticalAxisLabel"};

// Proportion rows 1 .. 9 in the order of TProportions.
struct TProportionRow {
    double scene::TProportions::*field;
    int maximum;
    bool perMille;  // shown as value × 1000 with "‰", else value × 100 with "%"
};
constexpr TProportionRow ProportionRows[10] = {
    {nullptr, 0, false},
    {&scene::TProportions::ReferenceRectHalfWidth, 250, false},
    {&scene::TProportions::AxisHalfLength, 200, false},
    {&scene::TProportions::AxisLabelSpacing, 30, false},
    {&scene::TProportions::AxisLabelHeight, 30, false},
    {&scene::TProportions::ArrowLength, 30, false},
    {&scene::TProportions::DotRadius, 100, true},
    {&scene::TProportions::Wavelength, 500, false},
    {&scene::TProportions::GraphicMarginFactor, 100, true},
    {&scene::TProportions::ClipboardBugfixScalingFactor, 150, false},
};

constexpr const char* MarginNames[5] = {"", "Left", "Right", "Top", "Bottom"};

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

// Margin t (1 left, 2 right, 3 top, 4 bottom) of an orientation.
std::int32_t& marginOf(common::TPrinterSettings& printer, int tag, std::uint8_t orientation)
{
    const std::size_t o = orientation == 0 ? 0 : 1;
    switch (tag) {
        case 1:
            return printer.MarginLeft[o];
        case 2:
            return printer.MarginRight[o];
        case 3:
            return printer.MarginTop[o];
        default:
            return printer.MarginBottom[o];
    }
}

}  // namespace

// --- Creation ------------------------------------------------------------------------------------

TFormSettings::TFormSettings(settings::LiveSettings& target,
                             const TFormSettingsEnvironment& environment,
                             TFormSettingsServices services, QWidget* mainWindow)
    : QDialog(mainWindow),
      m_target(target),
      m_environment(environment),
      m_mainWindow(mainWindow),
      m_services(std::move(services)),
      m_edit(target.currentSettings()),
      m_snapshot(m_edit)
{
    initialiseFlagResources();
    m_isCreating = true;
    if (!m_services.colorChooser) {
        m_services.colorChooser = std::make_unique<platform::QtColorChooser>();
    }
    if (!printerAvailable()) {
        m_services.printer.reset();
    }
    if (!m_services.screenFonts) {
        m_services.screenFonts = [] { return platform::screenFontNames(); };
    }
    if (!m_services.beep) {
        m_services.beep = [] { QApplication::beep(); };
    }
    if (!m_services.display) {
        m_services.display = std::make_unique<platform::QtDisplay>();
    }
    m_previewRetry.setSingleShot(true);
    m_previewRetry.setInterval(PreviewRetryMilliseconds);
    connect(&m_previewRetry, &QTimer::timeout, this, [this] { drawPagePreview(); });

    setObjectName(QStringLiteral("FormSettings"));
    // A fixed border with only a close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    // The layout's sizes are those of a small dialog face; the desktop's larger one would cut
    // the longer labels short.
    QFont face = font();
    face.setPixelSize(11);
    setFont(face);
    createControls();

    // 1, 2: the flags, and the language list bound to them.
    m_flags = {flagPicture(0), flagPicture(1)};
    ComboBoxLanguage->addItem(QString::fromLatin1(common::LanguageBoxItems[0]));
    ComboBoxLanguage->addItem(QString::fromLatin1(common::LanguageBoxItems[1]));
    ComboBoxLanguage->setCurrentIndex(0);
    // 3.
    setLanguageTexts(m_edit.App.Language);
    // 4.
    for (const std::string& name : m_services.screenFonts()) {
        ComboBoxScreenFontName->addItem(fromStd(name));
    }
    // 5, 6: position and custom colours; the reader keeps the position on the work area.
    settings::TDialogState state;
    if (!m_environment.stateFileName.empty()) {
        state = settings::ReadDialogState(m_environment.stateFileName, m_environment.workArea,
                                          printerAvailable())
                    .State;
    }
    move(state.Left, state.Top);
    m_customColorEntries = state.CustomColors;
    platform::TCustomColors customSlots;
    for (std::size_t i = 0; i < common::CustomColorCount; ++i) {
        customSlots[i] = settings::parseCustomColor(m_customColorEntries[i]);
    }
    m_services.colorChooser->setCustomColors(customSlots);
    // 7: the line-style lists start with their first entry on the Background colour.
    const common::TColor background =
        m_edit.Styles[static_cast<std::size_t>(TSceneObject::Background)].Color;
    for (int k = 3; k <= 9; ++k) {
        m_lineStyleBackgrounds[static_cast<std::size_t>(k)] = background;
        m_lineStyleLists[static_cast<std::size_t>(k)]->setCurrentIndex(0);
    }
    // 8: the Proportions tab was built with the other controls.
    if (printerAvailable()) {
        fetchPageSize();
    }
    // 9: the reader has already turned the Printer tab without a printer into the General tab.
    PageControlSettings->setTabVisible(PrinterTabIndex, printerAvailable());
    PageControlSettings->setCurrentIndex(state.ActiveTabSheetIndex);

    qApp->installEventFilter(this);
    m_isCreating = false;
}

TFormSettings::~TFormSettings()
{
    qApp->removeEventFilter(this);
}

void TFormSettings::apply(TSettingsChange change)
{
    m_target.applySettings(m_edit, change);
}

settings::TDialogState TFormSettings::dialogState() const
{
    settings::TDialogState state;
    state.Left = pos().x();
    state.Top = pos().y();
    state.ActiveTabSheetIndex = PageControlSettings->currentIndex();
    if (m_customColorsConfirmed) {
        const platform::TCustomColors customSlots = m_services.colorChooser->customColors();
        for (std::size_t i = 0; i < common::CustomColorCount; ++i) {
            state.CustomColors[i] = settings::formatCustomColor(customSlots[i]);
        }
    } else {
        // Never confirmed: the customSlots go back as they were read.
        state.CustomColors = m_customColorEntries;
    }
    return state;
}

QLabel* TFormSettings::label(const char* name, QWidget* parent, int x, int y)
{
    auto* result = new QLabel(parent);
    result->setObjectName(QString::fromLatin1(name));
    result->move(x, y);
    return result;
}

void TFormSettings::createControls()
{
    PageControlSettings = new QTabWidget(this);
    PageControlSettings->setObjectName(QStringLiteral("PageControlSettings"));
    // All four tabs in sight: the dialog widens to the tabs' texts rather than scroll them.
    PageControlSettings->setUsesScrollButtons(false);
    PageControlSettings->tabBar()->setStyleSheet(
        QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
    const auto page = [this](const char* name) {
        auto* sheet = new QWidget;
        sheet->setObjectName(QString::fromLatin1(name));
        PageControlSettings->addTab(sheet, QString());
        return sheet;
    };
    TabSheetGeneral = page("TabSheetGeneral");
    TabSheetColorsAndLineStyles = page("TabSheetColorsAndLineStyles");
    TabSheetProportions = page("TabSheetProportions");
    TabSheetPrinter = page("TabSheetPrinter");
    connect(PageControlSettings, &QTabWidget::currentChanged, this,
            [this] { PageControlSettingsOnChange(); });

    ButtonCancel = new QPushButton(this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonOk = new QPushButton(this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelOnClick(); });
    connect(ButtonOk, &QPushButton::clicked, this, [this] { ButtonOkOnClick(); });

    createGeneralTab();
    createColorsTab();
    createProportionsTab();
    createPrinterTab();

    for (TSpinEdit* box : m_spinEdits) {
        box->onEnter = [this] { ButtonOkOnClick(); };
    }
}

void TFormSettings::createGeneralTab()
{
    QWidget* tab = TabSheetGeneral;
    const char* editLabels[4] = {"", "LabelPropagationAxisLabel", "LabelHorizontalAxisLabel",
                                 "LabelVerticalAxisLabel"};
    for (int tag = 1; tag <= 3; ++tag) {
        m_generalLabels.push_back(label(editLabels[tag], tab, 4, 0));
        auto* edit = new QLineEdit(tab);
        edit->setObjectName(QString::fromLatin1(AxisLabelEditNames[tag]));
        edit->setProperty("tag", tag);
        connect(edit, &QLineEdit::textChanged, this, [this, tag] { EditAxisLabelOnChange(tag); });
        m_axisLabelEdits[static_cast<std::size_t>(tag)] = edit;
    }

    m_generalLabels.push_back(label("LabelLanguage", tab, 4, 0));
    ComboBoxLanguage = new TOwnerDrawComboBox(0, LanguageEntryHeight, tab);
    ComboBoxLanguage->setObjectName(QStringLiteral("ComboBoxLanguage"));
    ComboBoxLanguage->drawEntry = [this](QPainter& painter, const QRect& rect, int index,
                                         bool selected) {
        drawLanguage(painter, rect, index, selected);
    };
    // A choice of the user's, not the programmatic selection at creation and opening.
    connect(ComboBoxLanguage, &QComboBox::activated, this,
            [this](int index) { ComboBoxLanguageOnChange(index); });

    m_generalLabels.push_back(label("LabelScreenFontName", tab, 4, 0));
    ComboBoxScreenFontName = new QComboBox(tab);
    ComboBoxScreenFontName->setObjectName(QStringLiteral("ComboBoxScreenFontName"));
    ComboBoxScreenFontName->setEditable(true);
    ComboBoxScreenFontName->setInsertPolicy(QComboBox::NoInsert);
    ComboBoxScreenFontName->setToolTip(QString::fromLatin1(common::ScreenFontNameHint));
    connect(ComboBoxScreenFontName, &QComboBox::editTextChanged, this,
            [this](const QString& text) { ComboBoxScreenFontNameOnChange(text); });

    const auto spin = [this, tab](const char* labelName, const char* name, int min, int max) {
        m_generalLabels.push_back(label(labelName, tab, 4, 0));
        auto* box = new TSpinEdit(min, max, 0, tab);
        box->setObjectName(QString::fromLatin1(name));
        box->onChange = [this](TSpinEdit* sender) { SpinEditGeneralOnChange(sender); };
        m_spinEdits.push_back(box);
        return box;
    };
    // Up to the widest display whose report is believed.
    SpinEditScreenWidth =
        spin("LabelScreenWidth", "SpinEditScreenWidth", 50, platform::MaxPlausibleDisplayWidthMm);
    ButtonScreenWidthFromDisplay = new QPushButton(tab);
    ButtonScreenWidthFromDisplay->setObjectName(QStringLiteral("ButtonScreenWidthFromDisplay"));
    connect(ButtonScreenWidthFromDisplay, &QPushButton::clicked, this,
            [this] { ButtonScreenWidthFromDisplayOnClick(); });
    SpinEditAnimationTimeInterval =
        spin("LabelAnimationTimeInterval", "SpinEditAnimationTimeInterval", 5, 100);
    SpinEditRotateAzimuthTimeInterval =
        spin("LabelRotateAzimuthTimeInterval", "SpinEditRotateAzimuthTimeInterval", 5, 100);

    // The check boxes with their text at the left of the box.
    CheckBoxAutoRepeat = new TCheckBoxTextLeft(tab);
    CheckBoxAutoRepeat->setObjectName(QStringLiteral("CheckBoxAutoRepeat"));
    CheckBoxSaveSettings = new TCheckBoxTextLeft(tab);
    CheckBoxSaveSettings->setObjectName(QStringLiteral("CheckBoxSaveSettings"));
    // These two always copy their state, guard flags or not.
    connect(CheckBoxAutoRepeat, &QCheckBox::toggled, this, [this](bool on) {
        m_edit.App.AutoRepeat = on;
        apply(TSettingsChange::Quiet);
    });
    connect(CheckBoxSaveSettings, &QCheckBox::toggled, this, [this](bool on) {
        m_edit.App.SaveSettings = on;
        apply(TSettingsChange::Quiet);
    });

    CheckBoxShowCaptions = new TCheckBoxTextLeft(tab);
    CheckBoxShowCaptions->setObjectName(QStringLiteral("CheckBoxShowCaptions"));
    connect(CheckBoxShowCaptions, &QCheckBox::toggled, this, [this](bool on) {
        if (guarded()) {
            return;
        }
        m_edit.App.ShowCaptions = on;
        apply(TSettingsChange::Look);
    });

    // What "right-handed" means in the readout and the presets; both follow at once.
    LabelHandednessConvention = label("LabelHandednessConvention", tab, 4, 0);
    ComboBoxHandednessConvention = new QComboBox(tab);
    ComboBoxHandednessConvention->setObjectName(QStringLiteral("ComboBoxHandednessConvention"));
    connect(ComboBoxHandednessConvention, &QComboBox::activated, this, [this](int index) {
        m_edit.App.HandednessConvention = index == 1 ? common::THandednessConvention::Ieee
                                                     : common::THandednessConvention::Optics;
        apply(TSettingsChange::Quiet);
    });
}

void TFormSettings::fillConventions()
{
    const int index = ComboBoxHandednessConvention->currentIndex();
    ComboBoxHandednessConvention->clear();
    for (const auto convention :
         {common::THandednessConvention::Optics, common::THandednessConvention::Ieee}) {
        ComboBoxHandednessConvention->addItem(
            fromStd(scene::conventionName(convention, m_edit.App.Language)));
    }
    ComboBoxHandednessConvention->setCurrentIndex(std::max(0, index));
}

void TFormSettings::createColorsTab()
{
    GroupBoxColorsAndLineStyles = new QGroupBox(TabSheetColorsAndLineStyles);
    QGroupBox* group = GroupBoxColorsAndLineStyles;
    group->setObjectName(QStringLiteral("GroupBoxColorsAndLineStyles"));
    label("LabelObject", group, 4, 20);
    label("LabelBold", group, 0, 20);
    label("LabelLineStyle", group, 0, 20);
    label("LabelColor", group, 0, 20);

    for (int k = 1; k <= 9; ++k) {
        const std::size_t i = static_cast<std::size_t>(k);
        const QString object = QString::fromLatin1(ObjectNames[k]);
        if (k == 1) {
            label("LabelBackground", group, 4, 40);
        } else {
            // The text at the left, the box at the right end of the field.
            auto* box = new TCheckBoxTextLeft(group);
            box->setObjectName(QStringLiteral("CheckBox") + object + QStringLiteral("Bold"));
            box->setProperty("tag", k);
            connect(box, &QCheckBox::toggled, this, [this, k] { CheckBoxBoldOnClick(k); });
            m_boldBoxes[i] = box;
        }
        if (k >= 3) {
            auto* list = new TOwnerDrawComboBox(k, LineStyleEntryHeight, group);
            list->setObjectName(QStringLiteral("ComboBoxLineStyle") + object);
            list->setMaxVisibleItems(PenStyleCount);
            for (int style = 0; style < PenStyleCount; ++style) {
                list->addItem(QString());
            }
            list->drawEntry = [this, k](QPainter& painter, const QRect& rect, int index,
                                        bool selected) {
                drawLineStyle(painter, rect, k, index, selected);
            };
            connect(list, &QComboBox::activated, this,
                    [this, k](int index) { ComboBoxLineStyleOnChange(k, index); });
            m_lineStyleLists[i] = list;
        }
        auto* shape = new TColorShape(k, group);
        shape->setObjectName(QStringLiteral("Shape") + object + QStringLiteral("Color"));
        shape->onMouseUp = [this](TColorShape* sender) { ShapeColorOnMouseUp(sender); };
        m_shapes[i] = shape;
    }
}

void TFormSettings::createProportionsTab()
{
    QWidget* tab = TabSheetProportions;
    for (int i = 1; i <= 9; ++i) {
        const std::size_t row = static_cast<std::size_t>(i);
        const TProportionRow& rule = ProportionRows[i];
        QLabel* text = label("", tab, 4, 28 * i - 17);
        text->setObjectName(QStringLiteral("LabelProportion%1").arg(i));
        text->setProperty("tag", i);
        auto* box = new TSpinEdit(0, rule.maximum, i, tab);
        box->setObjectName(QStringLiteral("SpinEditProportion%1").arg(i));
        box->refused = QStringLiteral("+-.");
        box->setCommaFractions(true);
        box->beep = [this] { m_services.beep(); };
        box->onChange = [this](TSpinEdit* sender) { SpinEditProportionOnChange(sender); };
        QLabel* unit = label("", tab, 0, 28 * i - 17);
        unit->setObjectName(QStringLiteral("LabelProportionUnit%1").arg(i));
        unit->setProperty("tag", i);
        if (rule.perMille) {
            unit->setText(QStringLiteral("‰"));
            unit->setFont(QFont(QStringLiteral("ArialConsole"), 10));
        } else {
            unit->setText(QStringLiteral("%"));
        }
        unit->adjustSize();
        m_proportionLabels[row] = text;
        m_proportionBoxes[row] = box;
        m_proportionUnits[row] = unit;
        m_spinEdits.push_back(box);
    }
    LabelProportionsHint = label("LabelProportionsHint", tab, 0, 11);
    LabelProportionsHint->setWordWrap(true);
    LabelProportionsHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TFormSettings::createPrinterTab()
{
    QWidget* tab = TabSheetPrinter;
    RadioGroupPageOrientation = new QGroupBox(tab);
    RadioGroupPageOrientation->setObjectName(QStringLiteral("RadioGroupPageOrientation"));
    m_orientationButtons = new QButtonGroup(this);
    const char* choiceNames[2] = {"RadioButtonPortrait", "RadioButtonLandscape"};
    for (int index = 0; index < 2; ++index) {
        auto* choice = new QRadioButton(RadioGroupPageOrientation);
        choice->setObjectName(QString::fromLatin1(choiceNames[index]));
        m_orientationButtons->addButton(choice, index);
        m_orientationChoices[static_cast<std::size_t>(index)] = choice;
    }
    // Always carried out, guard flags or not.
    connect(m_orientationButtons, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked) {
            RadioGroupPageOrientationOnClick(index);
        }
    });

    GroupBoxPageMargins = new QGroupBox(tab);
    GroupBoxPageMargins->setObjectName(QStringLiteral("GroupBoxPageMargins"));
    for (int tag = 1; tag <= 4; ++tag) {
        const QString side = QString::fromLatin1(MarginNames[tag]);
        auto* box = new TSpinEdit(5, 100, tag, GroupBoxPageMargins);
        box->setObjectName(QStringLiteral("SpinEditMargin") + side);
        box->onChange = [this](TSpinEdit* sender) { SpinEditMarginOnChange(sender); };
        m_marginBoxes[static_cast<std::size_t>(tag)] = box;
        m_spinEdits.push_back(box);
        QLabel* text = label("", GroupBoxPageMargins, 0, 0);
        text->setObjectName(QStringLiteral("LabelMargin") + side);
        m_marginLabels[static_cast<std::size_t>(tag)] = text;
    }

    ButtonPrinterConfiguration = new QPushButton(tab);
    ButtonPrinterConfiguration->setObjectName(QStringLiteral("ButtonPrinterConfiguration"));
    connect(ButtonPrinterConfiguration, &QPushButton::clicked, this,
            [this] { ButtonPrinterConfigurationOnClick(); });

    LabelPrinterFontName = label("LabelPrinterFontName", tab, 4, 208);
    ComboBoxPrinterFontName = new QComboBox(tab);
    ComboBoxPrinterFontName->setObjectName(QStringLiteral("ComboBoxPrinterFontName"));
    ComboBoxPrinterFontName->setEditable(true);
    ComboBoxPrinterFontName->setInsertPolicy(QComboBox::NoInsert);

    ImagePreviewPortrait = new TPreviewImage(100, 141, tab);
    ImagePreviewPortrait->setObjectName(QStringLiteral("ImagePreviewPortrait"));
    ImagePreviewLandscape = new TPreviewImage(141, 100, tab);
    ImagePreviewLandscape->setObjectName(QStringLiteral("ImagePreviewLandscape"));
}

// --- Layout --------------------------------------------------------------------------------------

// The controls keep the places of the small dialog as long as the texts of the language fit
// them; a column, and the dialog with it, widens to the longest text it holds.
void TFormSettings::layoutForTexts()
{
    const int width =
        std::max({ClientWidth, layoutGeneralTab(ClientWidth), layoutColorsTab(ClientWidth),
                  layoutProportionsTab(), layoutPrinterTab(),
                  PageControlSettings->tabBar()->sizeHint().width() + TabSheetInset});
    // The General tab's inputs and the colour group span the dialog's width.
    layoutGeneralTab(width);
    layoutColorsTab(width);
    setFixedSize(width, ClientHeight);
    PageControlSettings->setGeometry(2, 2, width - 4, ClientHeight - ButtonHeight - 10);
    ButtonCancel->setGeometry(4, ClientHeight - ButtonHeight - 4, ButtonWidth, ButtonHeight);
    ButtonOk->setGeometry(width - ButtonWidth - 4, ClientHeight - ButtonHeight - 4, ButtonWidth,
                          ButtonHeight);
}

int TFormSettings::layoutGeneralTab(int dialogWidth)
{
    constexpr int rightMargin = 20;
    constexpr int rowTop = 8;
    constexpr int rowStep = 24;
    constexpr int inputHeight = 21;
    constexpr int screenWidthBoxWidth = 48;  // four digits and the arrows
    const auto rowY = [](int row) { return rowTop + rowStep * row; };

    int labelsRight = 0;
    for (std::size_t row = 0; row < m_generalLabels.size(); ++row) {
        QLabel* caption = m_generalLabels[row];
        caption->move(4, rowY(static_cast<int>(row)) + 3);
        labelsRight = std::max(labelsRight, caption->geometry().right() + 1);
    }
    const int inputLeft = std::max(200, labelsRight + 6);
    const int buttonWidth = ButtonScreenWidthFromDisplay->sizeHint().width();
    const int inputWidth = std::max(
        {132, screenWidthBoxWidth + 4 + buttonWidth, dialogWidth - rightMargin - inputLeft});
    int right = inputLeft + inputWidth;
    QWidget* inputs[8] = {m_axisLabelEdits[1],           m_axisLabelEdits[2],
                          m_axisLabelEdits[3],           ComboBoxLanguage,
                          ComboBoxScreenFontName,        SpinEditScreenWidth,
                          SpinEditAnimationTimeInterval, SpinEditRotateAzimuthTimeInterval};
    for (int row = 0; row < 8; ++row) {
        inputs[row]->setGeometry(inputLeft, rowY(row), inputWidth, inputHeight);
    }
    SpinEditScreenWidth->resize(inputWidth - 4 - buttonWidth, inputHeight);
    ButtonScreenWidthFromDisplay->setGeometry(right - buttonWidth, rowY(5), buttonWidth,
                                              inputHeight);

    // Auto-repeat at the left; the box of SaveSettings ends where the inputs end.
    const int autoRepeatWidth = std::max(150, CheckBoxAutoRepeat->sizeHint().width());
    CheckBoxAutoRepeat->setGeometry(4, rowY(8), autoRepeatWidth, inputHeight);
    const int saveWidth = std::max(inputWidth + 32, CheckBoxSaveSettings->sizeHint().width());
    const int saveLeft = std::max(4 + autoRepeatWidth + 8, right - saveWidth);
    CheckBoxSaveSettings->setGeometry(saveLeft, rowY(8), saveWidth, inputHeight);
    right = std::max(right, saveLeft + saveWidth);
    const int captionsWidth = std::max(right - 4, CheckBoxShowCaptions->sizeHint().width());
    CheckBoxShowCaptions->setGeometry(4, rowY(9), captionsWidth, inputHeight);
    right = std::max(right, 4 + captionsWidth);
    LabelHandednessConvention->move(4, rowY(10) + 3);
    const int conventionLeft =
        std::max(inputLeft, LabelHandednessConvention->geometry().right() + 1 + 6);
    const int conventionWidth =
        std::max(right - conventionLeft, ComboBoxHandednessConvention->sizeHint().width());
    ComboBoxHandednessConvention->setGeometry(conventionLeft, rowY(10), conventionWidth,
                                              inputHeight);
    right = std::max(right, conventionLeft + conventionWidth);
    return right + rightMargin;
}

int TFormSettings::layoutColorsTab(int dialogWidth)
{
    constexpr int boxFieldWidth = 172;  // the object's name, its bold box at the right end
    constexpr int headerTop = 20;
    QLabel* object = control<QLabel>("LabelObject");
    QLabel* background = control<QLabel>("LabelBackground");
    int field = std::max(boxFieldWidth, object->width() + 34);
    field = std::max(field, background->width() + 8);
    for (int k = 2; k <= 9; ++k) {
        field = std::max(field, m_boldBoxes[static_cast<std::size_t>(k)]->sizeHint().width());
    }
    const int shift = field - boxFieldWidth;
    const int listLeft = 196 + shift;
    const int shapeLeft = 306 + shift;
    control<QLabel>("LabelBold")->move(150 + shift, headerTop);
    control<QLabel>("LabelLineStyle")->move(listLeft, headerTop);
    QLabel* colour = control<QLabel>("LabelColor");
    colour->move(shapeLeft - 8, headerTop);
    for (int k = 1; k <= 9; ++k) {
        const std::size_t i = static_cast<std::size_t>(k);
        const int top = 20 + 20 * k;
        if (m_boldBoxes[i] != nullptr) {
            m_boldBoxes[i]->setGeometry(4, top - 2, field, 17);
        }
        if (m_lineStyleLists[i] != nullptr) {
            m_lineStyleLists[i]->setGeometry(listLeft, top, 100, 13);
        }
        m_shapes[i]->move(shapeLeft, top);
    }
    const int groupWidth =
        std::max(shapeLeft + m_shapes[1]->width(), colour->geometry().right() + 1) + 15;
    GroupBoxColorsAndLineStyles->setGeometry(4, 4, std::max(dialogWidth - 18, groupWidth), 226);
    return groupWidth + 18;
}

int TFormSettings::layoutProportionsTab()
{
    constexpr int boxWidth = 48;
    int labelsRight = 0;
    for (int i = 1; i <= 9; ++i) {
        labelsRight = std::max(labelsRight, 4 + proportionLabel(i)->width());
    }
    const int boxLeft = std::max(180, labelsRight + 6);
    for (int i = 1; i <= 9; ++i) {
        proportionBox(i)->setGeometry(boxLeft, 28 * i - 20, boxWidth, 21);
        proportionUnit(i)->move(boxLeft + boxWidth + 4, 28 * i - 17);
    }
    // The hint wraps in a narrow column beside the boxes; its longest word widens it.
    const int unitWidth = proportionUnit(6)->width();
    const int hintLeft = boxLeft + boxWidth + 8 + unitWidth;
    int hintWidth = 85;
    const QFontMetrics metrics = LabelProportionsHint->fontMetrics();
    for (const QString& word :
         LabelProportionsHint->text().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        hintWidth = std::max(hintWidth, metrics.horizontalAdvance(word) + 1);
    }
    LabelProportionsHint->setGeometry(
        hintLeft, 11, hintWidth, std::max(118, LabelProportionsHint->heightForWidth(hintWidth)));
    const int smallRight = 180 + boxWidth + 8 + unitWidth + 85;
    return ClientWidth + std::max(0, hintLeft + hintWidth - smallRight);
}

int TFormSettings::layoutPrinterTab()
{
    constexpr int columnWidth = 164;  // orientation, margins and the font, at the left
    int column =
        std::max({columnWidth, RadioGroupPageOrientation->minimumSizeHint().width(),
                  GroupBoxPageMargins->minimumSizeHint().width(), LabelPrinterFontName->width()});
    for (QRadioButton* choice : m_orientationChoices) {
        column = std::max(column, 10 + choice->sizeHint().width() + 6);
    }
    RadioGroupPageOrientation->setGeometry(4, 4, column, 64);
    for (std::size_t index = 0; index < 2; ++index) {
        m_orientationChoices[index]->setGeometry(10, 18 + 21 * static_cast<int>(index), column - 16,
                                                 20);
    }
    GroupBoxPageMargins->setGeometry(4, 72, column, 130);
    struct Place {
        int boxX, boxY, labelY;
    };
    // Top centre with its label above; left and right in the middle row and bottom centre, their
    // labels below; centred in a wider group.
    const Place places[5] = {{0, 0, 0}, {8, 52, 75}, {108, 52, 75}, {58, 34, 17}, {58, 92, 115}};
    const int inset = (column - columnWidth) / 2;
    for (std::size_t tag = 1; tag <= 4; ++tag) {
        const Place& at = places[tag];
        m_marginBoxes[tag]->setGeometry(inset + at.boxX, at.boxY, 48, 21);
        m_marginLabels[tag]->move(inset + at.boxX + 2, at.labelY);
    }
    ComboBoxPrinterFontName->setGeometry(4, 224, column, 21);

    // The set-up button and, below it, the two pictures sharing their centre.
    const int rightLeft = 4 + column + 8;
    const int buttonWidth = std::max(160, ButtonPrinterConfiguration->sizeHint().width());
    ButtonPrinterConfiguration->setGeometry(rightLeft, 8, buttonWidth, ButtonHeight);
    const QPoint centre(rightLeft + buttonWidth / 2, 140);
    ImagePreviewPortrait->move(centre.x() - 50, centre.y() - 70);
    ImagePreviewLandscape->move(centre.x() - 70, centre.y() - 50);
    return rightLeft + buttonWidth + 16;
}

// --- Texts ---------------------------------------------------------------------------------------

void TFormSettings::setLanguageTexts(TLanguage language)
{
    setWindowTitle(
        fromStd(common::formSettingsTitle(m_environment.exeBaseName.toStdString(), language)));
    for (const common::TControlText& row : common::formSettingsTexts()) {
        const QString text = fromUtf8(row.text(language));
        const QString name = QString::fromLatin1(row.Control);
        switch (row.Property) {
            case common::TTextProperty::Caption: {
                auto* widget = findChild<QWidget*>(name);
                if (widget == nullptr) {
                    break;  // "Apply" has no button in this dialog
                }
                if (const int tab = PageControlSettings->indexOf(widget); tab >= 0) {
                    PageControlSettings->setTabText(tab, text);
                } else if (auto* caption = qobject_cast<QLabel*>(widget)) {
                    caption->setText(text);
                    if (!caption->wordWrap()) {
                        caption->adjustSize();
                    }
                } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                    button->setText(text);
                } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
                    group->setTitle(text);
                }
                break;
            }
            case common::TTextProperty::Hint:
                if (auto* widget = findChild<QWidget*>(name)) {
                    widget->setToolTip(text);
                }
                break;
            case common::TTextProperty::Item0:
            case common::TTextProperty::Item1:
                if (name == QStringLiteral("RadioGroupPageOrientation")) {
                    m_orientationChoices[row.Property == common::TTextProperty::Item0 ? 0 : 1]
                        ->setText(text);
                }
                break;
            case common::TTextProperty::Title:
                break;
        }
    }
    for (int i = 1; i <= 9; ++i) {
        QLabel* caption = m_proportionLabels[static_cast<std::size_t>(i)];
        caption->setText(fromUtf8(common::proportionLabel(i, language)));
        caption->adjustSize();
    }
    layoutForTexts();
}

// --- Opening and closing -------------------------------------------------------------------------

void TFormSettings::SpeedButtonSettingsOnClick()
{
    if (isVisible()) {
        return;  // already open further up the call chain
    }
    QCoreApplication::processEvents();
    // Modal, but with a loop of its own: the opening lets events run, and a close that comes
    // then must not leave a loop waiting for a dialog that is gone.
    show();
    if (isVisible()) {
        QEventLoop loop;
        m_modalLoop = &loop;
        loop.exec(QEventLoop::DialogExec);
        m_modalLoop = nullptr;
    }
    if (m_dialogResult == TDialogResult::Ok) {
        m_target.acceptSettings();
    }
    m_target.redrawScene();
    // The window, not one of its controls: the control that had the focus gets it back, and the
    // key that opened the dialog, travelling on from it, does not reach the window a second time.
    if (m_mainWindow != nullptr) {
        m_mainWindow->activateWindow();
    }
}

void TFormSettings::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {  // the window system showing it again is no opening
        FormSettingsOnShow();
    }
}

void TFormSettings::FormSettingsOnShow()
{
    m_isFilling = true;
    const int tab = PageControlSettings->currentIndex();
    m_edit = m_target.currentSettings();
    m_snapshot = m_edit;
    fillControls();
    setLanguageTexts(m_edit.App.Language);
    ButtonOk->setFocus();
    // Timers and window events run; the user's keys and clicks wait until the controls are filled,
    // as the guard flags would swallow them.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    PageControlSettings->setCurrentIndex(tab);
    if (printerAvailable() && PageControlSettings->currentWidget() == TabSheetPrinter) {
        showPreviewOf(printerSettings().Orientation);
        drawPagePreview();
    }
    ButtonOk->setFocus();
    m_target.redrawScene();
    m_dialogResult = TDialogResult::Cancel;
    m_isFilling = false;
}

void TFormSettings::restoreSnapshot()
{
    m_edit = m_snapshot;
    apply(TSettingsChange::All);
    if (printerAvailable()) {
        fetchPageSize();
    }
}

void TFormSettings::fillControls()
{
    const common::TAppSettings& app = m_edit.App;
    const QString fontName = fromStd(app.ScreenFontName);
    const std::string* labels[4] = {nullptr, &app.PropagationAxisLabel, &app.HorizontalAxisLabel,
                                    &app.VerticalAxisLabel};
    for (int tag = 1; tag <= 3; ++tag) {
        QLineEdit* edit = m_axisLabelEdits[static_cast<std::size_t>(tag)];
        edit->setText(fromStd(*labels[tag]));
        QFont font = edit->font();
        font.setFamily(fontName);
        edit->setFont(font);
    }
    ComboBoxLanguage->setCurrentIndex(app.Language == TLanguage::German ? 1 : 0);
    ComboBoxScreenFontName->setEditText(fontName);
    SpinEditScreenWidth->setValue(
        common::roundToInt(static_cast<long double>(app.ScreenWidth) * 1000));
    // The dialog may open on another screen than last time.
    ButtonScreenWidthFromDisplay->setEnabled(m_services.display->physicalWidthMm(this).has_value());
    SpinEditAnimationTimeInterval->setValue(app.AnimationTimeInterval);
    SpinEditRotateAzimuthTimeInterval->setValue(app.RotateAzimuthTimeInterval);
    CheckBoxAutoRepeat->setChecked(app.AutoRepeat);
    CheckBoxSaveSettings->setChecked(app.SaveSettings);
    CheckBoxShowCaptions->setChecked(app.ShowCaptions);
    fillConventions();
    ComboBoxHandednessConvention->setCurrentIndex(
        app.HandednessConvention == common::THandednessConvention::Ieee ? 1 : 0);
    const scene::TSceneStyles& styles = m_edit.Styles;

    for (int k = 2; k <= 9; ++k) {
        m_boldBoxes[static_cast<std::size_t>(k)]->setChecked(
            styles[static_cast<std::size_t>(k)].Bold);
    }
    const common::TColor background =
        styles[static_cast<std::size_t>(TSceneObject::Background)].Color;
    for (int k = 3; k <= 9; ++k) {
        const std::size_t i = static_cast<std::size_t>(k);
        const int code = static_cast<int>(styles[i].PenStyle);
        // A code outside the six entries shows as solid.
        m_lineStyleLists[i]->setCurrentIndex(code >= 0 && code < PenStyleCount ? code : 0);
        m_lineStyleBackgrounds[i] = background;
        m_lineStyleLists[i]->update();
    }
    for (int k = 1; k <= 9; ++k) {
        m_shapes[static_cast<std::size_t>(k)]->setColor(styles[static_cast<std::size_t>(k)].Color);
    }

    for (int i = 1; i <= 9; ++i) {
        const TProportionRow& rule = ProportionRows[i];
        const long double factor = rule.perMille ? 1000.0L : 100.0L;
        // A fraction there shows after a comma, as typing it does.
        m_proportionBoxes[static_cast<std::size_t>(i)]->setDecimalValue(
            static_cast<double>(static_cast<long double>(m_edit.Proportions.*rule.field) * factor));
    }
    PageControlSettings->setTabVisible(PrinterTabIndex, printerAvailable());
    if (printerAvailable()) {
        fillPrinterTab();
    }
}

void TFormSettings::fillPrinterTab()
{
    const common::TPrinterSettings& printer = printerSettings();
    // The print command may have changed the printer since the last opening.
    fetchPageSize();
    const std::uint8_t orientation = printer.Orientation == 0 ? 0 : 1;
    m_orientationChoices[orientation]->setChecked(true);
    fillPrinterFonts();
    ComboBoxPrinterFontName->setEditText(fromStd(printer.FontName));
    showMarginsOf(orientation);
    showPreviewOf(orientation);
}

void TFormSettings::done(int /*result*/)
{
    if (!isVisible()) {
        return;
    }
    if (m_dialogResult == TDialogResult::Cancel) {
        restoreSnapshot();
    }
    ButtonCancel->setFocus();
    QDialog::done(m_dialogResult == TDialogResult::Ok ? QDialog::Accepted : QDialog::Rejected);
    if (m_modalLoop != nullptr) {
        m_modalLoop->exit();
    }
}

void TFormSettings::ButtonOkOnClick()
{
    m_dialogResult = TDialogResult::Ok;
    done(QDialog::Accepted);
}

void TFormSettings::ButtonCancelOnClick()
{
    m_dialogResult = TDialogResult::Cancel;
    done(QDialog::Rejected);
}

// --- General tab ---------------------------------------------------------------------------------

void TFormSettings::EditAxisLabelOnChange(int tag)
{
    if (guarded()) {
        return;
    }
    common::TAppSettings& app = m_edit.App;
    const std::string text = m_axisLabelEdits[static_cast<std::size_t>(tag)]->text().toStdString();
    (tag == 1   ? app.PropagationAxisLabel
     : tag == 2 ? app.HorizontalAxisLabel
                : app.VerticalAxisLabel) = text;
    apply(TSettingsChange::Scale);
}

void TFormSettings::ComboBoxLanguageOnChange(int index)
{
    const TLanguage language = index == 1 ? TLanguage::German : TLanguage::English;
    setLanguageTexts(language);
    m_edit.App.Language = language;
    fillConventions();
    apply(TSettingsChange::Language);
}

void TFormSettings::ComboBoxScreenFontNameOnChange(const QString& text)
{
    if (guarded()) {
        return;
    }
    m_edit.App.ScreenFontName = text.toStdString();
    for (int tag = 1; tag <= 3; ++tag) {
        QLineEdit* edit = m_axisLabelEdits[static_cast<std::size_t>(tag)];
        QFont font = edit->font();
        font.setFamily(text);
        edit->setFont(font);
    }
    apply(TSettingsChange::Look);
}

void TFormSettings::SpinEditGeneralOnChange(TSpinEdit* sender)
{
    if (guarded()) {
        return;
    }
    const int value = sender->value();
    if (sender == SpinEditScreenWidth) {
        m_edit.App.ScreenWidth = value / 1000.0;
        apply(TSettingsChange::Scale);
    } else if (sender == SpinEditAnimationTimeInterval) {
        m_edit.App.AnimationTimeInterval = value;
        apply(TSettingsChange::Quiet);
    } else if (sender == SpinEditRotateAzimuthTimeInterval) {
        m_edit.App.RotateAzimuthTimeInterval = value;
        apply(TSettingsChange::Quiet);
    }
}

void TFormSettings::ButtonScreenWidthFromDisplayOnClick()
{
    // The box applies it as a typed width.
    if (const std::optional<int> width = m_services.display->physicalWidthMm(this)) {
        SpinEditScreenWidth->setValue(*width);
    }
}

// --- Colors and line styles tab ------------------------------------------------------------------

void TFormSettings::CheckBoxBoldOnClick(int tag)
{
    const std::size_t k = static_cast<std::size_t>(tag);
    if (m_lineStyleLists[k] != nullptr) {
        m_lineStyleLists[k]->update();  // its lines change width at once
    }
    if (guarded()) {
        return;
    }
    m_edit.Styles[k].Bold = m_boldBoxes[k]->isChecked();
    apply(TSettingsChange::Look);
}

void TFormSettings::ComboBoxLineStyleOnChange(int tag, int index)
{
    ButtonOk->setFocus();  // the list gives up the focus after every choice
    if (guarded()) {
        return;
    }
    m_edit.Styles[static_cast<std::size_t>(tag)].PenStyle = static_cast<common::TPenStyle>(index);
    apply(TSettingsChange::Look);
}

void TFormSettings::ShapeColorOnMouseUp(TColorShape* sender)
{
    const int k = sender->tag();
    if (const std::optional<common::TColor> chosen =
            m_services.colorChooser->choose(sender->color(), this)) {
        m_customColorsConfirmed = true;
        sender->setColor(*chosen);
        if (k == 1) {
            for (int list = 3; list <= 9; ++list) {
                m_lineStyleBackgrounds[static_cast<std::size_t>(list)] = *chosen;
                m_lineStyleLists[static_cast<std::size_t>(list)]->update();
            }
        } else if (k == 3) {
            m_lineStyleLists[3]->update();
            m_lineStyleLists[4]->update();  // the surface's outline is drawn in this colour
        } else if (k >= 5) {
            m_lineStyleLists[static_cast<std::size_t>(k)]->update();
        }
    }
    ButtonOk->setFocus();
    if (guarded()) {
        return;
    }
    // Stored again even when cancelled: the colour then stays what it was.
    m_edit.Styles[static_cast<std::size_t>(k)].Color = sender->color();
    apply(TSettingsChange::Look);
}

void TFormSettings::drawLineStyle(QPainter& painter, const QRect& rect, int tag, int index,
                                  bool selected)
{
    const std::size_t k = static_cast<std::size_t>(tag);
    // The surface's outline is drawn in the coordinate system's colour.
    const common::TColor pen = m_shapes[tag == 4 ? 3 : k]->color();
    const bool bold = m_boldBoxes[k]->isChecked();
    painter.drawImage(rect.topLeft(),
                      lineStyleEntryPicture(rect.width(), rect.height(), m_lineStyleBackgrounds[k],
                                            pen, bold, index));
    if (selected) {
        painter.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

void TFormSettings::drawLanguage(QPainter& painter, const QRect& rect, int index, bool selected)
{
    const QPalette& colours = ComboBoxLanguage->palette();
    const QColor background = selected ? colours.highlight().color() : colours.base().color();
    const QColor text = selected ? colours.highlightedText().color() : colours.text().color();
    const QImage* flag =
        index >= 0 && index < 2 ? &m_flags[static_cast<std::size_t>(index)] : nullptr;
    drawLanguageEntry(painter, rect, flag, ComboBoxLanguage->itemText(index), background, text);
}

// --- Proportions tab -----------------------------------------------------------------------------

void TFormSettings::SpinEditProportionOnChange(TSpinEdit* sender)
{
    if (guarded()) {
        return;
    }
    const TProportionRow& rule = ProportionRows[sender->tag()];
    // An empty box has already been set to 0 by the box itself.
    m_edit.Proportions.*rule.field = sender->decimalValue(rule.perMille ? 3 : 2);
    apply(TSettingsChange::Geometry);
}

// --- Printer tab ---------------------------------------------------------------------------------

void TFormSettings::fetchPageSize()
{
    if (!m_services.printer) {
        return;
    }
    m_services.printer->setOrientation(printerSettings().Orientation == 0 ? 0 : 1);
    m_pageSize = m_services.printer->pageSizeMm();
}

void TFormSettings::fillPrinterFonts()
{
    const QString text = ComboBoxPrinterFontName->currentText();
    ComboBoxPrinterFontName->clear();
    if (m_services.printer) {
        for (const std::string& name : m_services.printer->fontNames()) {
            ComboBoxPrinterFontName->addItem(fromStd(name));
        }
    }
    ComboBoxPrinterFontName->setEditText(text);
}

void TFormSettings::showMarginsOf(std::uint8_t orientation)
{
    common::TPrinterSettings& printer = printerSettings();
    for (int tag = 1; tag <= 4; ++tag) {
        m_marginBoxes[static_cast<std::size_t>(tag)]->setValue(marginOf(printer, tag, orientation));
    }
}

void TFormSettings::showPreviewOf(std::uint8_t orientation)
{
    ImagePreviewPortrait->setVisible(orientation == 0);
    ImagePreviewLandscape->setVisible(orientation != 0);
}

void TFormSettings::RadioGroupPageOrientationOnClick(int index)
{
    const std::uint8_t orientation = index == 0 ? 0 : 1;
    printerSettings().Orientation = orientation;
    apply(TSettingsChange::Quiet);
    showMarginsOf(orientation);
    showPreviewOf(orientation);
    fetchPageSize();
    drawPagePreview();
}

void TFormSettings::SpinEditMarginOnChange(TSpinEdit* sender)
{
    if (guarded()) {
        return;
    }
    common::TPrinterSettings& printer = printerSettings();
    marginOf(printer, sender->tag(), printer.Orientation) = sender->value();
    apply(TSettingsChange::Quiet);
    drawPagePreview();
}

void TFormSettings::ButtonPrinterConfigurationOnClick()
{
    if (!m_services.printer) {
        return;
    }
    platform::Printer& printer = *m_services.printer;
    printer.setOrientation(printerSettings().Orientation == 0 ? 0 : 1);
    QCoreApplication::processEvents();
    if (!printer.showPageSetup(this)) {
        return;
    }
    const int orientation = printer.orientation() == 0 ? 0 : 1;
    QRadioButton* choice = m_orientationChoices[static_cast<std::size_t>(orientation)];
    if (choice->isChecked()) {
        // Selecting it again would not report; the orientation's steps run all the same, as the
        // paper may have changed.
        RadioGroupPageOrientationOnClick(orientation);
    } else {
        choice->setChecked(true);
    }
    fillPrinterFonts();
}

void TFormSettings::PageControlSettingsOnChange()
{
    if (printerAvailable() && PageControlSettings->currentWidget() == TabSheetPrinter) {
        const std::uint8_t orientation = printerSettings().Orientation == 0 ? 0 : 1;
        showPreviewOf(orientation);
        drawPagePreview();
    }
}

void TFormSettings::RefreshPrintPreview()
{
    if (printerAvailable() && isVisible() &&
        PageControlSettings->currentWidget() == TabSheetPrinter) {
        drawPagePreview();
    }
}

void TFormSettings::drawPagePreview()
{
    if (m_drawingPreview) {
        return;
    }
    m_drawingPreview = true;
    const common::TPrinterSettings& printer = printerSettings();
    const std::uint8_t orientation = printer.Orientation == 0 ? 0 : 1;
    TPreviewImage* picture = orientation == 0 ? ImagePreviewPortrait : ImagePreviewLandscape;
    const scene::PageLayout page = platform::pageLayoutOf(printer, m_pageSize);
    bool drawn = false;
    {
        platform::PainterCanvas canvas(picture->picture());
        drawn = m_target.drawPagePreview(canvas, page, picture->picture().width(),
                                         picture->picture().height());
    }
    if (drawn) {
        picture->update();
    } else {
        // Inside another drawing the scene would not be drawn; try again shortly.
        m_previewRetry.start();
    }
    m_drawingPreview = false;
}

// --- Keys and wheel ------------------------------------------------------------------------------

TSpinEdit* TFormSettings::focusedSpinEdit() const
{
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) {
        return nullptr;
    }
    for (TSpinEdit* box : m_spinEdits) {
        if (focus == box || box->isAncestorOf(focus)) {
            return box;
        }
    }
    return nullptr;
}

bool TFormSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel) {
        return QDialog::eventFilter(watched, event);
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        return false;
    }
    if (TSpinEdit* box = focusedSpinEdit()) {
        // Away from the user is +1; fine-grained wheels add up to whole notches. stepBy keeps
        // the value within the range.
        m_wheelRemainder += static_cast<QWheelEvent*>(event)->angleDelta().y();
        const int notches = m_wheelRemainder / WheelNotch;
        m_wheelRemainder -= notches * WheelNotch;
        if (notches != 0) {
            box->stepBy(notches);
        }
        return true;
    }
    m_wheelRemainder = 0;
    // A spin box without the focus ignores the wheel.
    for (TSpinEdit* box : m_spinEdits) {
        if (widget == box || box->isAncestorOf(widget)) {
            return true;
        }
    }
    return false;
}

}  // namespace settingsdialog
