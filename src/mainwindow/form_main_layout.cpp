// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls: how they are made, named and connected, and where they stand.

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include <algorithm>

#include "mainwindow/drawing_area.h"
#include "mainwindow/form_main.h"
#include "mainwindow/glyphs.h"
#include "mainwindow/readout_panel.h"
#include "mainwindow/toolbar_toggle.h"
#include "mainwindow/track_bar.h"
#include "mainwindow/up_down.h"

namespace mainwindow {

namespace {

constexpr int BottomRowHeight = 32;
constexpr int ButtonSize = 32;
constexpr int PanelImageTop = 2 + ToolbarButtonSize + 3;

QString angleText(int degrees)
{
    return (degrees > 0 ? QStringLiteral("+") : QString()) + QString::number(degrees) +
           QStringLiteral("°");
}

// In the window's font, readable on a projector; the layout makes room for it.
QLabel* tickLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->adjustSize();
    return label;
}

// Where a horizontal bar's labels and caption reach, relative to the bar's left edge.
struct TFootprint {
    int left = 0;
    int right = 0;
};

TFootprint footprint(const TTrackBar& bar, const QLabel& first, const QLabel& last,
                     const TTrackBarCaption* caption)
{
    const int low = bar.valuePixel(bar.minimum());
    const int high = bar.valuePixel(bar.maximum());
    TFootprint f{std::min(0, low - first.width() / 2),
                 std::max(bar.width(), high + last.width() - last.width() / 2)};
    if (caption != nullptr) {
        const int centre = (low + high) / 2;
        f.left = std::min(f.left, centre - caption->width() / 2);
        f.right = std::max(f.right, centre - caption->width() / 2 + caption->width());
    }
    return f;
}

// Hides every label that would come closer than `gap` to one shown before it along the row, or
// reach outside 0 .. limit: at small sizes labels go rather than overlap.
void dropCrowdedLabels(std::vector<QWidget*> labels, int gap, int limit, Qt::Orientation along)
{
    const auto start = [along](const QWidget* w) {
        return along == Qt::Horizontal ? w->x() : w->y();
    };
    const auto length = [along](const QWidget* w) {
        return along == Qt::Horizontal ? w->width() : w->height();
    };
    std::sort(labels.begin(), labels.end(),
              [&start](const QWidget* a, const QWidget* b) { return start(a) < start(b); });
    int end = -gap;
    for (QWidget* label : labels) {
        const bool fits =
            start(label) >= 0 && start(label) + length(label) <= limit && start(label) >= end + gap;
        label->setVisible(fits);
        if (fits) {
            end = start(label) + length(label);
        }
    }
}

}  // namespace

void TFormMain::createControls()
{
    const auto toolButton = [this](const char* name, const char* icon, bool checkable) {
        QToolButton* button = checkable ? new TToolbarToggle(this) : new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(true);
        button->setIconSize(QSize(GlyphSize, GlyphSize));
        if (icon != nullptr) {
            button->setIcon(QIcon(QStringLiteral(":/icons/") + QString::fromLatin1(icon)));
        }
        return button;
    };
    SpeedButtonCopy = toolButton("SpeedButtonCopy", "copy.svg", false);
    SpeedButtonSave = toolButton("SpeedButtonSave", "save.svg", false);
    SpeedButtonSaveAs = toolButton("SpeedButtonSaveAs", "save-as.svg", false);
    SpeedButtonPrint = toolButton("SpeedButtonPrint", "print.svg", false);
    SpeedButtonCoordinateSystemCentered =
        toolButton("SpeedButtonCoordinateSystemCentered", nullptr, true);
    SpeedButtonShowHorizontalWave = toolButton("SpeedButtonShowHorizontalWave", nullptr, true);
    SpeedButtonShowVerticalWave = toolButton("SpeedButtonShowVerticalWave", nullptr, true);
    SpeedButtonShowResultantWave = toolButton("SpeedButtonShowResultantWave", nullptr, true);
    SpeedButtonShowResultantVector = toolButton("SpeedButtonShowResultantVector", nullptr, true);
    SpeedButtonRotateAzimuth = toolButton("SpeedButtonRotateAzimuth", "rotate.svg", true);
    SpeedButtonSettings = toolButton("SpeedButtonSettings", "settings.svg", false);
    SpeedButtonHelp = toolButton("SpeedButtonHelp", "help.svg", false);
    m_toolbar = {SpeedButtonCopy,
                 SpeedButtonSave,
                 SpeedButtonSaveAs,
                 SpeedButtonPrint,
                 SpeedButtonCoordinateSystemCentered,
                 SpeedButtonShowHorizontalWave,
                 SpeedButtonShowVerticalWave,
                 SpeedButtonShowResultantWave,
                 SpeedButtonShowResultantVector,
                 SpeedButtonRotateAzimuth,
                 SpeedButtonSettings,
                 SpeedButtonHelp};
    SpeedButtonSave->setEnabled(false);
    const std::pair<QToolButton*, int> showButtons[] = {{SpeedButtonShowHorizontalWave, 1},
                                                        {SpeedButtonShowVerticalWave, 2},
                                                        {SpeedButtonShowResultantWave, 3},
                                                        {SpeedButtonShowResultantVector, 4}};
    for (const auto& [button, tag] : showButtons) {
        button->setProperty("tag", tag);
        QToolButton* sender = button;
        connect(button, &QToolButton::clicked, this,
                [this, sender] { SpeedButtonShowWaveOnClick(sender); });
    }
    connect(SpeedButtonCoordinateSystemCentered, &QToolButton::clicked, this,
            [this] { SpeedButtonCoordinateSystemCenteredOnClick(); });
    connect(SpeedButtonRotateAzimuth, &QToolButton::clicked, this,
            [this] { SpeedButtonRotateAzimuthOnClick(); });
    connect(SpeedButtonCopy, &QToolButton::clicked, this, [this] { run(onCopy); });
    connect(SpeedButtonSave, &QToolButton::clicked, this, [this] { run(onSave); });
    connect(SpeedButtonSaveAs, &QToolButton::clicked, this, [this] { run(onSaveAs); });
    connect(SpeedButtonPrint, &QToolButton::clicked, this, [this] { run(onPrint); });
    connect(SpeedButtonSettings, &QToolButton::clicked, this, [this] { run(onSettings); });
    connect(SpeedButtonHelp, &QToolButton::clicked, this, [this] { startHelp(true); });

    PanelScale = new QLabel(this);
    PanelScale->setObjectName(QStringLiteral("PanelScale"));
    PanelScale->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelScale->setAlignment(Qt::AlignCenter);
    QFont bold = PanelScale->font();
    bold.setBold(true);
    PanelScale->setFont(bold);
    UpDownScale = new TUpDown(this);
    UpDownScale->setObjectName(QStringLiteral("UpDownScale"));
    UpDownScale->onClick = [this] { UpDownScaleOnClick(); };
    // Up is the next step of the list: a larger denominator, a smaller drawing.
    UpDownScale->upButton()->setObjectName(QStringLiteral("UpDownScaleSmaller"));
    UpDownScale->downButton()->setObjectName(QStringLiteral("UpDownScaleLarger"));
    SpeedButtonFit = toolButton("SpeedButtonFit", "fit.svg", false);
    connect(SpeedButtonFit, &QToolButton::clicked, this, [this] { Fit(); });
    SpeedButtonShowReadout = toolButton("SpeedButtonShowReadout", "readout.svg", true);
    connect(SpeedButtonShowReadout, &QToolButton::clicked, this,
            [this] { SpeedButtonShowReadoutOnClick(); });
    SpeedButtonExportAnimation =
        toolButton("SpeedButtonExportAnimation", "export-animation.svg", false);
    connect(SpeedButtonExportAnimation, &QToolButton::clicked, this,
            [this] { run(onExportAnimation); });
    SpeedButtonPresets = toolButton("SpeedButtonPresets", "presets.svg", false);
    SpeedButtonPresets->setPopupMode(QToolButton::InstantPopup);
    PopupMenuPresets = new QMenu(this);
    PopupMenuPresets->setObjectName(QStringLiteral("PopupMenuPresets"));
    for (std::size_t i = 0; i < scene::PresetTable.size(); ++i) {
        QAction* item = PopupMenuPresets->addAction(QString());
        item->setObjectName(QStringLiteral("PopupMenuPresets%1").arg(i + 1));
        const scene::TPreset preset = scene::PresetTable[i].Preset;
        connect(item, &QAction::triggered, this, [this, preset] { applyPreset(preset); });
    }
    SpeedButtonPresets->setMenu(PopupMenuPresets);

    PanelImage = new QFrame(this);
    PanelImage->setObjectName(QStringLiteral("PanelImage"));
    PanelImage->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelImage->setLineWidth(1);
    PanelImage->setAutoFillBackground(true);
    QPalette white = PanelImage->palette();
    white.setColor(QPalette::Window, Qt::white);
    PanelImage->setPalette(white);
    Image = new DrawingArea(m_controller.scene(), PanelImage);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setCursor(Qt::OpenHandCursor);
    Image->setFocusPolicy(Qt::NoFocus);
    Image->setContextMenuPolicy(Qt::CustomContextMenu);
    Image->installEventFilter(this);

    PanelReadout = new TReadoutPanel(this);

    PopupMenuImage = new QMenu(this);
    PopupMenuImage->setObjectName(QStringLiteral("PopupMenuImage"));
    QAction* copy = PopupMenuImage->addAction(QString());
    copy->setObjectName(QStringLiteral("PopupMenuImageCopy"));
    QAction* settings = PopupMenuImage->addAction(QString());
    settings->setObjectName(QStringLiteral("PopupMenuImageSettings"));
    connect(copy, &QAction::triggered, this, [this] { run(onCopy); });
    connect(settings, &QAction::triggered, this, [this] { run(onSettings); });
    connect(Image, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenuImage->popup(Image->mapToGlobal(at)); });

    PanelTrackBarElevation = new QWidget(this);
    PanelTrackBarElevation->setObjectName(QStringLiteral("PanelTrackBarElevation"));
    const auto trackBar = [this](const char* name, Qt::Orientation orientation, int tag, int min,
                                 int max, int page, int ticks, int position, QWidget* parent) {
        auto* bar = new TTrackBar(orientation, tag, parent);
        bar->setObjectName(QString::fromLatin1(name));
        bar->setRange(min, max);
        bar->setSingleStep(1);
        bar->setPageStep(page);
        bar->setTickInterval(ticks);
        bar->setTickPosition(orientation == Qt::Vertical ? QSlider::TicksLeft
                                                         : QSlider::TicksBelow);
        bar->setValue(position);
        return bar;
    };
    TrackBarElevation =
        trackBar("TrackBarElevation", Qt::Vertical, 2, -90, 90, 10, 10, 0, PanelTrackBarElevation);
    TrackBarAzimuth = trackBar("TrackBarAzimuth", Qt::Horizontal, 1, -180, 180, 10, 10, 0, this);
    TrackBarHorizontalAmplitude =
        trackBar("TrackBarHorizontalAmplitude", Qt::Horizontal, 1, 0, 100, 10, 10, 50, this);
    TrackBarVerticalAmplitude =
        trackBar("TrackBarVerticalAmplitude", Qt::Horizontal, 2, 0, 100, 10, 10, 50, this);
    TrackBarPhaseShift =
        trackBar("TrackBarPhaseShift", Qt::Horizontal, 3, -180, 180, 15, 15, 0, this);
    TrackBarTime = trackBar("TrackBarTime", Qt::Horizontal, 4, 0, 512, 32, 32, 0, this);
    for (TTrackBar* bar : {TrackBarAzimuth, TrackBarElevation}) {
        connect(bar, &QSlider::valueChanged, this,
                [this, bar] { TrackBarObservationAngleOnChange(bar); });
    }
    for (TTrackBar* bar : {TrackBarHorizontalAmplitude, TrackBarVerticalAmplitude}) {
        connect(bar, &QSlider::valueChanged, this, [this, bar] { TrackBarAmplitudeOnChange(bar); });
    }
    connect(TrackBarPhaseShift, &QSlider::valueChanged, this,
            [this] { TrackBarPhaseShiftOnChange(); });
    connect(TrackBarTime, &QSlider::valueChanged, this, [this] { TrackBarTimeOnChange(); });
    for (TTrackBar* bar : {TrackBarAzimuth, TrackBarElevation, TrackBarHorizontalAmplitude,
                           TrackBarVerticalAmplitude, TrackBarPhaseShift, TrackBarTime}) {
        auto* caption = new TTrackBarCaption(
            bar->orientation(), bar == TrackBarElevation ? PanelTrackBarElevation : this);
        caption->setObjectName(QStringLiteral("Caption") + bar->objectName().mid(8));
        m_captions.push_back({bar, caption});
    }

    const auto bottomButton = [this](const char* name, const char* icon, bool checkable) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setFocusPolicy(Qt::NoFocus);
        button->setCheckable(checkable);
        button->setAutoExclusive(checkable);
        button->setIcon(QIcon(QStringLiteral(":/icons/") + QString::fromLatin1(icon)));
        button->setIconSize(QSize(24, 24));
        return button;
    };
    SpeedButtonStart = bottomButton("SpeedButtonStart", "start.svg", true);
    SpeedButtonPause = bottomButton("SpeedButtonPause", "pause.svg", true);
    BitBtnRewind = bottomButton("BitBtnRewind", "rewind.svg", false);
    SpeedButtonPause->setChecked(true);
    connect(SpeedButtonStart, &QToolButton::clicked, this, [this] { SpeedButtonStartOnClick(); });
    connect(SpeedButtonPause, &QToolButton::clicked, this, [this] { SpeedButtonPauseOnClick(); });
    connect(BitBtnRewind, &QToolButton::clicked, this, [this] { BitBtnRewindOnClick(); });
}

void TFormMain::createTickLabels()
{
    for (int i = -6; i <= 6; ++i) {
        m_azimuthTicks.push_back(tickLabel(angleText(30 * i), this));
    }
    for (int i = 0; i <= 6; ++i) {
        m_elevationTicks.push_back(tickLabel(angleText(90 - 30 * i), PanelTrackBarElevation));
    }
    for (auto* ticks : {&m_horizontalTicks, &m_verticalTicks}) {
        for (const char* text : {"0", "50", "100"}) {
            ticks->push_back(tickLabel(QString::fromLatin1(text), this));
        }
    }
    for (int i = -2; i <= 2; ++i) {
        m_phaseTicks.push_back(tickLabel(angleText(90 * i), this));
    }
    for (const char* text : {"0", "¼·T", "½·T", "¾·T", "T"}) {
        m_timeTicks.push_back(tickLabel(QString::fromUtf8(text), this));
    }
}

void TFormMain::layoutToolbar()
{
    for (std::size_t k = 0; k < m_toolbar.size(); ++k) {
        m_toolbar[k]->setGeometry(static_cast<int>(k) * ToolbarButtonSize, 2, ToolbarButtonSize,
                                  ToolbarButtonSize);
    }
    const int panelLeft = ToolbarButtonSize * 12 + 4;
    PanelScale->setGeometry(panelLeft, 2, 85, ToolbarButtonSize);
    UpDownScale->setGeometry(panelLeft + 85 + 1, 2, 20, ToolbarButtonSize);
    // The commands beyond the original toolbar, after the scale.
    int left = panelLeft + 85 + 1 + 20 + 4;
    for (QToolButton* button :
         {SpeedButtonFit, SpeedButtonShowReadout, SpeedButtonExportAnimation, SpeedButtonPresets}) {
        button->setGeometry(left, 2, ToolbarButtonSize, ToolbarButtonSize);
        left += ToolbarButtonSize;
    }
    // The drop-down's arrow needs room beside the glyph.
    SpeedButtonPresets->resize(ToolbarButtonSize + 12, ToolbarButtonSize);
}

bool TFormMain::readoutFits() const
{
    return width() >= 3 * PanelReadout->preferredWidth();
}

TTrackBarCaption* TFormMain::captionOf(const TTrackBar* bar) const
{
    for (const auto& [owner, caption] : m_captions) {
        if (owner == bar) {
            return caption;
        }
    }
    return nullptr;
}

// The rows from the bottom up: the captions (when shown), the tick labels, the bars and buttons;
// above them the azimuth's captions, labels and bar; the elevation's column at the left. Each bar
// stands where its thumb at either end, its labels and its caption stay inside the window and
// keep three blanks' width from their neighbours'; the spacing beyond that is the original one.
void TFormMain::layoutBottomRows()
{
    const int clientWidth = width();
    const int clientHeight = height();
    const bool captions = m_controller.appSettings().ShowCaptions;
    const int blank = fontMetrics().horizontalAdvance(QLatin1Char(' '));
    // Between two bars' labels and captions: wide enough that "100" and "-180°" read apart.
    const int groupGap = 3 * blank;
    const int captionHeight = captions ? m_labelHeight : 0;
    for (const auto& [bar, caption] : m_captions) {
        caption->setVisible(captions);
    }
    const auto shownCaption = [this, captions](const TTrackBar* bar) {
        return captions ? captionOf(bar) : nullptr;
    };

    m_bottomRowTop = clientHeight - captionHeight - m_labelHeight - BottomRowHeight;
    const int top = m_bottomRowTop;
    // Each bar after the previous one's end plus `gap`, and after its labels and caption.
    int barEnd = 0;
    int footEnd = -groupGap;
    const auto place = [&](TTrackBar* bar, int width, int gap, const std::vector<QLabel*>& ticks) {
        bar->resize(width, BottomRowHeight);
        const TFootprint f = footprint(*bar, *ticks.front(), *ticks.back(), shownCaption(bar));
        const int left = std::max({barEnd + gap, footEnd + groupGap - f.left, 0});
        bar->move(left, top);
        barEnd = left + width;
        footEnd = left + f.right;
    };
    place(TrackBarHorizontalAmplitude, 100 + 23, 0, m_horizontalTicks);
    place(TrackBarVerticalAmplitude, 123, 2, m_verticalTicks);
    place(TrackBarPhaseShift, 360 + 23, 2, m_phaseTicks);
    const int startLeft = barEnd + 4;
    SpeedButtonStart->setGeometry(startLeft, top, ButtonSize, ButtonSize);
    SpeedButtonPause->setGeometry(startLeft + ButtonSize, top, ButtonSize, ButtonSize);
    BitBtnRewind->setGeometry(startLeft + 2 * ButtonSize, top, ButtonSize, ButtonSize);
    // The time bar takes what is left, its end thumb and "T" inside the window.
    const auto stretch = [clientWidth](TTrackBar* bar, int left, int barTop, int height,
                                       const QLabel& last) {
        bar->setGeometry(left, barTop, std::max(1, clientWidth - left), height);
        const int overhang =
            bar->valuePixel(bar->maximum()) + last.width() - last.width() / 2 - bar->width();
        bar->resize(std::max(1, bar->width() - std::max(1, overhang)), height);
    };
    TrackBarTime->resize(100, BottomRowHeight);
    const TFootprint timeFoot = footprint(*TrackBarTime, *m_timeTicks.front(), *m_timeTicks.back(),
                                          shownCaption(TrackBarTime));
    stretch(TrackBarTime, std::max(startLeft + 3 * ButtonSize, footEnd + groupGap - timeFoot.left),
            top, BottomRowHeight, *m_timeTicks.back());

    // The elevation's column: caption, labels right-aligned a blank from the bar, the bar.
    int labelsWidth = 0;
    for (const QLabel* label : m_elevationTicks) {
        labelsWidth = std::max(labelsWidth, label->width());
    }
    const int captionWidth = captions ? captionOf(TrackBarElevation)->width() + 2 : 0;
    const int elevationBarLeft = captionWidth + labelsWidth + blank;
    m_imageLeft = elevationBarLeft + 30 + 2;

    int panelWidth = std::max(0, clientWidth - m_imageLeft - 2);
    // The readout stands at the right of the drawing while the drawing keeps most of the width.
    const bool readout = m_controller.appSettings().ShowReadout && readoutFits();
    PanelReadout->setVisible(readout);
    const int readoutWidth = readout ? PanelReadout->preferredWidth() : 0;
    if (readout) {
        panelWidth -= readoutWidth + 2;
    }
    m_azimuthLabelTop = m_bottomRowTop - 4 - captionHeight - m_labelHeight;
    const int azimuthTop = m_azimuthLabelTop - 30;
    stretch(TrackBarAzimuth, m_imageLeft - 7, azimuthTop, 30, *m_azimuthTicks.back());
    const int panelHeight = std::max(0, azimuthTop - PanelImageTop - 1);
    PanelImage->setGeometry(m_imageLeft, PanelImageTop, panelWidth, panelHeight);
    PanelReadout->setGeometry(m_imageLeft + panelWidth + 2, PanelImageTop, readoutWidth,
                              panelHeight);
    Image->setGeometry(PanelImage->contentsRect());
    PanelTrackBarElevation->setGeometry(0, 26, m_imageLeft - 2, std::max(0, m_bottomRowTop - 26));
    TrackBarElevation->setGeometry(elevationBarLeft, 0, 30, std::max(0, panelHeight - 8 + 22));
    placeTickLabels();
}

void TFormMain::placeTickLabels()
{
    const int clientWidth = width();
    const int blank = fontMetrics().horizontalAdvance(QLatin1Char(' '));
    // Labels stand under the thumb's centre for their value, where the style draws it.
    const auto under = [](TTrackBar* bar, int value) { return bar->x() + bar->valuePixel(value); };
    const auto centreCaption = [this](TTrackBar* bar, int top) {
        TTrackBarCaption* caption = captionOf(bar);
        const int centre =
            bar->x() + (bar->valuePixel(bar->minimum()) + bar->valuePixel(bar->maximum())) / 2;
        caption->move(centre - caption->width() / 2, top);
    };
    std::vector<QWidget*> azimuthRow;
    for (int i = -6; i <= 6; ++i) {
        QLabel* label = m_azimuthTicks[static_cast<std::size_t>(i + 6)];
        label->move(under(TrackBarAzimuth, 30 * i) - label->width() / 2 + (i == 0 ? 2 : 0),
                    m_azimuthLabelTop);
        azimuthRow.push_back(label);
    }
    centreCaption(TrackBarAzimuth, m_azimuthLabelTop + m_labelHeight);
    dropCrowdedLabels(azimuthRow, blank, clientWidth, Qt::Horizontal);

    std::vector<QWidget*> elevationColumn;
    for (int i = 0; i <= 6; ++i) {
        QLabel* label = m_elevationTicks[static_cast<std::size_t>(i)];
        const int centre = TrackBarElevation->y() + TrackBarElevation->valuePixel(-90 + 30 * i);
        label->move(TrackBarElevation->x() - blank - label->width(), centre - m_labelHeight / 2);
        elevationColumn.push_back(label);
    }
    // The caption turned upwards along the bar, at the column's left edge.
    TTrackBarCaption* elevation = captionOf(TrackBarElevation);
    const int middle = TrackBarElevation->y() +
                       (TrackBarElevation->valuePixel(-90) + TrackBarElevation->valuePixel(90)) / 2;
    elevation->move(0, middle - elevation->height() / 2);
    dropCrowdedLabels(elevationColumn, 0, PanelTrackBarElevation->height(), Qt::Vertical);

    const int rowTop = m_bottomRowTop + BottomRowHeight;
    std::vector<QWidget*> bottomRow;
    const auto row = [&](TTrackBar* bar, const std::vector<QLabel*>& ticks, int step,
                         int shiftZero) {
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            const int value = bar->minimum() + static_cast<int>(i) * step;
            QLabel* label = ticks[i];
            label->move(under(bar, value) - label->width() / 2 + (value == 0 ? shiftZero : 0),
                        rowTop);
            bottomRow.push_back(label);
        }
        centreCaption(bar, rowTop + m_labelHeight);
    };
    row(TrackBarHorizontalAmplitude, m_horizontalTicks, 50, 0);
    row(TrackBarVerticalAmplitude, m_verticalTicks, 50, 0);
    row(TrackBarPhaseShift, m_phaseTicks, 90, 2);
    row(TrackBarTime, m_timeTicks, 128, 0);
    dropCrowdedLabels(bottomRow, blank, clientWidth, Qt::Horizontal);
    if (m_controller.appSettings().ShowCaptions) {
        std::vector<QWidget*> captions;
        for (TTrackBar* bar : {TrackBarHorizontalAmplitude, TrackBarVerticalAmplitude,
                               TrackBarPhaseShift, TrackBarTime}) {
            captions.push_back(captionOf(bar));
        }
        dropCrowdedLabels(captions, blank, clientWidth, Qt::Horizontal);
        std::vector<QWidget*> single{captionOf(TrackBarAzimuth)};
        dropCrowdedLabels(single, 0, clientWidth, Qt::Horizontal);
        single = {elevation};
        dropCrowdedLabels(single, 0, PanelTrackBarElevation->height(), Qt::Vertical);
    }
}

}  // namespace mainwindow
