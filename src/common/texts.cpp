// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/texts.h"

#include "common/numbers.h"

namespace common {

namespace {

using common::TLanguage;
using P = TTextProperty;

// clang-format off
constexpr TControlText FormMainTexts[] = {
    {"SpeedButtonSave", P::Hint, "Save graphic to file (Ctrl+S)", "Grafik als Datei speichern (Strg+S)"},
    {"SpeedButtonSaveAs", P::Hint, "Save graphic file as (Ctrl+U)", "Grafik-Datei speichern unter (Strg+U)"},
    {"PopupMenuImageCopy", P::Caption, "Copy", "Kopieren"},
    {"PopupMenuImageSettings", P::Caption, "Settings", "Einstellungen"},
    {"SpeedButtonCopy", P::Hint, "Copy graphic to clipboard (Ctrl+C)", "Grafik in die Zwischenablage kopieren (Strg+C)"},
    {"SpeedButtonShowHorizontalWave", P::Hint, "Show horizontal wave (Ctrl+H)", "Horizontal-Welle anzeigen (Strg+H)"},
    {"SpeedButtonShowVerticalWave", P::Hint, "Show vertical wave (Ctrl+V)", "Vertikal-Welle anzeigen (Strg+V)"},
    {"SpeedButtonShowResultantWave", P::Hint, "Show resultant wave (Ctrl+R)", "Resultierende Welle anzeigen (Strg+R)"},
    {"SpeedButtonShowResultantVector", P::Hint, "Show resultant vector (Alt+V)", "Resultierenden Vektor anzeigen (Alt+V)"},
    {"SpeedButtonPrint", P::Hint, "Print graphic (Ctrl+P)", "Grafik drucken (Strg+P)"},
    {"SpeedButtonCoordinateSystemCentered", P::Hint, "Coordinate system centered (Ctrl+Z)", "Koordinatensystem zentriert (Strg+Z)"},
    {"SpeedButtonRotateAzimuth", P::Hint, "Rotate graphic (Alt+R)", "Grafik rotieren (Alt+R)"},
    {"SpeedButtonSettings", P::Hint, "Settings (Ctrl+E)", "Einstellungen (Strg+E)"},
    {"SpeedButtonHelp", P::Hint, "Help (F1)", "Hilfe (F1)"},
    {"PanelScale", P::Hint, "Scale", "Maßstab"},
    {"SpeedButtonStart", P::Hint, "Start (space bar)", "Start (Leertaste)"},
    {"SpeedButtonPause", P::Hint, "Pause (space bar)", "Pause (Leertaste)"},
    {"BitBtnRewind", P::Hint, "Rewind (backspace)", "Rewind (Rücktaste)"},
    {"SaveDialog", P::Title, "Save graphic to file", "Grafik-Datei speichern"},
    {"SpeedButtonShowReadout", P::Hint, "Show the polarisation readout (Ctrl+I)", "Polarisationsanzeige einblenden (Strg+I)"},
    {"SpeedButtonPresets", P::Hint, "Presets: linear, circular (Alt+1 to Alt+6)", "Voreinstellungen: linear, zirkular (Alt+1 bis Alt+6)"},
    {"SpeedButtonExportAnimation", P::Hint, "Export animation (Ctrl+M)", "Animation exportieren (Strg+M)"},
    {"FormExportAnimation", P::Caption, "Export animation", "Animation exportieren"},
    {"LabelAnimationMotion", P::Caption, "What moves", "Was sich bewegt"},
    {"LabelAnimationFrames", P::Caption, "Frames", "Bilder"},
    {"LabelAnimationRate", P::Caption, "Frames per second", "Bilder pro Sekunde"},
    {"LabelAnimationSize", P::Caption, "Size", "Größe"},
    {"AnimationSizeDrawingArea", P::Caption, "Drawing area (%1 × %2)", "Zeichenfläche (%1 × %2)"},
    {"LabelAnimationFormat", P::Caption, "Format", "Format"},
    {"LabelAnimationFile", P::Caption, "File", "Datei"},
    {"ButtonAnimationFile", P::Caption, "Choose...", "Wählen..."},
    {"ButtonAnimationExport", P::Caption, "Export", "Exportieren"},
    {"ButtonAnimationCancel", P::Caption, "Cancel", "Abbrechen"},
    {"AnimationFileName", P::Caption, "Animation", "Animation"},
    {"SpeedButtonFit", P::Hint, "Fit the drawing into the window (Ctrl+F)", "Zeichnung ins Fenster einpassen (Strg+F)"},
    {"TrackBarAzimuth", P::Caption, "Azimuth", "Azimut"},
    {"TrackBarElevation", P::Caption, "Elevation", "Elevation"},
    {"TrackBarHorizontalAmplitude", P::Caption, "Horizontal amplitude", "Horizontal-Amplitude"},
    {"TrackBarVerticalAmplitude", P::Caption, "Vertical amplitude", "Vertikal-Amplitude"},
    {"TrackBarPhaseShift", P::Caption, "Phase shift", "Phasenverschiebung"},
    {"TrackBarTime", P::Caption, "Time", "Zeit"},
    {"Image", P::Caption, "Drawing of the waves", "Zeichnung der Wellen"},
    {"UpDownScaleSmaller", P::Caption, "Smaller drawing (-)", "Zeichnung verkleinern (-)"},
    {"UpDownScaleLarger", P::Caption, "Larger drawing (+)", "Zeichnung vergrößern (+)"},
    {"UpDownScale", P::Hint,
     "Increase/decrease scale\r\n(keys + and -  or  Ctrl+mouse wheel)",
     "Maßstab verkleinern/vergrößern\r\n(Tasten + und -  oder  Strg+Mausrad)"},
};

constexpr TControlText FormSettingsTexts[] = {
    {"TabSheetGeneral", P::Caption, "General", "Allgemein"},
    {"LabelPropagationAxisLabel", P::Caption, "Propagation axis label", "Beschriftung der Ausbreitungsachse"},
    {"LabelHorizontalAxisLabel", P::Caption, "Horizontal axis label", "Beschriftung der Horizontalachse"},
    {"LabelVerticalAxisLabel", P::Caption, "Vertical axis label", "Beschriftung der Vertikalachse"},
    {"LabelLanguage", P::Caption, "Language", "Sprache"},
    {"ComboBoxLanguage", P::Hint, "User language", "Benutzersprache"},
    {"LabelScreenFontName", P::Caption, "Screen font", "Bildschirm-Schriftart"},
    {"LabelAnimationTimeInterval", P::Caption, "Animation time interval in ms", "Animations-Zeitintervall in ms"},
    {"LabelRotateAzimuthTimeInterval", P::Caption, "Rotate azimuth time interval in ms", "Rotations-Zeitintervall in ms"},
    {"LabelScreenWidth", P::Caption, "Screen width in mm", "Bildschirmbreite in mm"},
    {"ButtonScreenWidthFromDisplay", P::Caption, "From display", "Vom Bildschirm"},
    {"ButtonScreenWidthFromDisplay", P::Hint, "Take the width the display reports", "Die vom Bildschirm gemeldete Breite übernehmen"},
    {"CheckBoxAutoRepeat", P::Caption, "Auto repeat mode", "Auto-Repeat-Modus"},
    {"CheckBoxSaveSettings", P::Caption, "Save settings", "Einstellungen speichern"},
    {"CheckBoxSaveSettings", P::Hint, "Save settings on program termination", "Die geänderten Einstellungen beim Beenden des Programms speichern"},
    {"LabelHandednessConvention", P::Caption, "Right-handed means", "Rechtshändig heißt"},
    {"ComboBoxHandednessConvention", P::Hint, "Optics: the tip turns clockwise for an observer facing the oncoming wave; IEEE: the opposite", "Optik: die Spitze dreht sich im Uhrzeigersinn für einen Beobachter, der der ankommenden Welle entgegensieht; IEEE: umgekehrt"},
    {"CheckBoxShowCaptions", P::Caption, "Show captions under the track bars", "Beschriftung unter den Schiebereglern anzeigen"},
    {"TabSheetColorsAndLineStyles", P::Caption, "Colors and line styles", "Farben und Linienstile"},
    {"GroupBoxColorsAndLineStyles", P::Caption, " Colors and line styles ", " Farben und Linienstile "},
    {"LabelObject", P::Caption, "Graphics object", "Grafik-Objekt"},
    {"LabelBold", P::Caption, "Bold", "Fett"},
    {"LabelLineStyle", P::Caption, "Line style", "Linien-Stil"},
    {"LabelColor", P::Caption, "Color", "Farbe"},
    {"LabelBackground", P::Caption, "Background", "Hintergrund"},
    {"CheckBoxReferenceSurfaceBold", P::Caption, "Reference surface", "Referenz-Fläche"},
    {"CheckBoxTextBold", P::Caption, "Axis labels", "Achsenbeschriftung"},
    {"CheckBoxCoordinateSystemBold", P::Caption, "Coordinate system", "Koordinatensystem"},
    {"CheckBoxHorizontalWaveBold", P::Caption, "Horizontal wave", "Horizontal-Welle"},
    {"CheckBoxVerticalWaveBold", P::Caption, "Vertical wave", "Vertikal-Welle"},
    {"CheckBoxResultantWaveBold", P::Caption, "Resultant wave", "Resultierende Welle"},
    {"CheckBoxResultantVectorBold", P::Caption, "Resultant vector", "Resultierender Vektor"},
    {"CheckBoxResultantVectorEllipseBold", P::Caption, "Resultant vector ellipse", "Resultierende Vektor-Ellipse"},
    {"TabSheetProportions", P::Caption, "Proportions", "Proportionen"},
    {"LabelProportionsHint", P::Caption, "Sizes in percent relative to max wave amplitude", "Größen in Prozent bezogen auf die Maximalamplitude der Wellen"},
    {"TabSheetPrinter", P::Caption, "Printer", "Drucker"},
    {"RadioGroupPageOrientation", P::Caption, " Page orientation ", " Seiten-Layout "},
    {"RadioGroupPageOrientation", P::Item0, "Portrait", "Hochformat"},
    {"RadioGroupPageOrientation", P::Item1, "Landscape", "Querformat"},
    {"GroupBoxPageMargins", P::Caption, " Page margins (mm) ", " Seitenränder in mm "},
    {"LabelMarginLeft", P::Caption, "left", "links"},
    {"LabelMarginRight", P::Caption, "right", "rechts"},
    {"LabelMarginTop", P::Caption, "top", "oben"},
    {"LabelMarginBottom", P::Caption, "bottom", "unten"},
    {"LabelPrinterFontName", P::Caption, "Printer font", "Drucker-Schriftart"},
    {"ButtonPrinterConfiguration", P::Caption, "Printer configuration", "Drucker einrichten"},
    {"ButtonCancel", P::Caption, "Cancel", "Abbrechen"},
    {"ButtonApply", P::Caption, "Apply", "Übernehmen"},
    {"ButtonOk", P::Caption, "OK", "OK"},
};

constexpr TControlText WebPageTexts[] = {
    {"ButtonSavePng", P::Caption, "Save picture (PNG)", "Bild speichern (PNG)"},
    {"ButtonSaveSvg", P::Caption, "Save picture (SVG)", "Bild speichern (SVG)"},
    {"ButtonStart", P::Caption, "Start", "Start"},
    {"ButtonPause", P::Caption, "Pause", "Pause"},
    {"ButtonRewind", P::Caption, "Rewind", "Zurück"},
    {"ButtonFit", P::Caption, "Fit", "Einpassen"},
    {"ButtonHelp", P::Caption, "Help", "Hilfe"},
    {"CheckHorizontal", P::Caption, "Horizontal wave", "Horizontal-Welle"},
    {"CheckVertical", P::Caption, "Vertical wave", "Vertikal-Welle"},
    {"CheckResultant", P::Caption, "Resultant wave", "Resultierende Welle"},
    {"CheckVector", P::Caption, "Resultant vector", "Resultierender Vektor"},
    {"CheckCentred", P::Caption, "Centred", "Zentriert"},
    {"CheckRotate", P::Caption, "Rotate", "Rotieren"},
    {"CheckReadout", P::Caption, "Readout", "Anzeige"},
    {"LabelPreset", P::Caption, "Preset", "Voreinstellung"},
    {"LabelConvention", P::Caption, "Handedness", "Drehsinn-Konvention"},
    {"LabelScale", P::Caption, "Scale 1 :", "Maßstab 1 :"},
    {"ScaleNotTrue", P::Caption,
     "The scale is true only once the screen's width is given.",
     "Der Maßstab stimmt erst, wenn die Bildschirmbreite angegeben ist."},
    {"ScaleTrue", P::Caption, "Scale true for a screen %1 mm wide.",
     "Maßstab richtig für einen %1 mm breiten Bildschirm."},
    {"ButtonScreenWidth", P::Caption, "Set", "Übernehmen"},
    {"ScreenWidthInvalid", P::Caption, "The screen width must be a number of millimetres above 0.",
     "Die Bildschirmbreite muss eine Zahl von Millimetern über 0 sein."},
};

constexpr const char* ProportionLabels[9][2] = {
    {"Reference surface size", "Größe der Referenzfläche"},
    {"Coordinate system axis length", "Koordinatenachsenlänge"},
    {"Axis label spacing", "Abstand der Achsenbeschriftung"},
    {"Axis label height", "Höhe der Achsenbeschriftung"},
    {"Arrow length", "Pfeil-Länge"},
    {"Dot radius", "Punktradius"},
    {"Wavelength", "Wellenlänge"},
    {"Graphic margin (clipboard and file)", "Grafik-Rand (Clipboard und Datei)"},
    {"Clipboard bug fix scaling factor", "Clipboard-Skalierungsfaktor"},
};

constexpr THintPrefix HintPrefixes[] = {
    {"TrackBarElevation", "Elevation angle of the observer = ", "Elevationswinkel des Beobachters = "},
    {"TrackBarAzimuth", "Azimuth angle of the observer = ", "Azimutwinkel des Beobachters = "},
    {"TrackBarHorizontalAmplitude", "Horizontal amplitude = ", "Horizontal-Amplitude = "},
    {"TrackBarVerticalAmplitude", "Vertical amplitude = ", "Vertikal-Amplitude = "},
    {"TrackBarPhaseShift", "Phase shift = ", "Phasenverschiebung = "},
    {"TrackBarTime", "Time = ", "Zeit = "},
};
constexpr TMessageText MessageTexts[] = {
    {TMessage::CannotReadFile, "Cannot read the file \"%1\": %2", "Die Datei „%1“ kann nicht gelesen werden: %2"},
    {TMessage::CannotWriteFile, "Cannot write the file \"%1\": %2", "Die Datei „%1“ kann nicht geschrieben werden: %2"},
    {TMessage::IsAFifo, "it is a FIFO, not a regular file", "sie ist eine FIFO, keine gewöhnliche Datei"},
    {TMessage::IsACharacterDevice, "it is a character device, not a regular file", "sie ist ein zeichenorientiertes Gerät, keine gewöhnliche Datei"},
    {TMessage::IsABlockDevice, "it is a block device, not a regular file", "sie ist ein blockorientiertes Gerät, keine gewöhnliche Datei"},
    {TMessage::IsASocket, "it is a socket, not a regular file", "sie ist ein Socket, keine gewöhnliche Datei"},
    {TMessage::IsNotARegularFile, "it is not a regular file", "sie ist keine gewöhnliche Datei"},
    {TMessage::IsLargerThan, "it is larger than %1 MiB", "sie ist größer als %1 MiB"},
    {TMessage::FifoWithoutReader, "it is a FIFO that no process reads", "sie ist eine FIFO, aus der kein Prozess liest"},
    {TMessage::SettingsFileNotUsed, "%1. The settings file is not used; defaults apply.", "%1. Die Einstellungsdatei wird nicht verwendet; es gelten die Standardwerte."},
    {TMessage::SettingsNotSaved, "%1. The settings were not saved.", "%1. Die Einstellungen wurden nicht gespeichert."},
    {TMessage::SettingsProblemsHeading, "The settings file could not be read completely:", "Die Einstellungsdatei konnte nicht vollständig gelesen werden:"},
    {TMessage::MalformedNumber, "[%1] %2: \"%3\" is not a valid number; the default %4 is used instead.", "[%1] %2: „%3“ ist keine gültige Zahl; stattdessen gilt der Standardwert %4."},
    {TMessage::UnusableValue, "[%1] %2: \"%3\" cannot be used; %4 is used instead.", "[%1] %2: „%3“ ist nicht verwendbar; stattdessen gilt %4."},
    {TMessage::GraphicNotSaved, "The graphic could not be saved to \"%1\": %2", "Die Grafik konnte nicht in „%1“ gespeichert werden: %2"},
    {TMessage::PrinterNoUsablePage, "The printer reports no usable page.", "Der Drucker meldet keine verwendbare Seite."},
    {TMessage::PrintNoFileChosen, "No file to print to was chosen.", "Es wurde keine Datei zum Drucken gewählt."},
    {TMessage::PrintFileNotWritable, "The file \"%1\" cannot be written.", "Die Datei „%1“ kann nicht geschrieben werden."},
    {TMessage::PrintJobNotStarted, "The print job could not be started.", "Der Druckauftrag konnte nicht gestartet werden."},
    {TMessage::PrinterReportedError, "The printer reported an error.", "Der Drucker hat einen Fehler gemeldet."},
    {TMessage::PrintJobAborted, "The print job was aborted.", "Der Druckauftrag wurde abgebrochen."},
    {TMessage::AnimationTimeLeft, "about %1 s left", "noch etwa %1 s"},
    {TMessage::ScreenWidthFromSettings, "Screen width from the settings", "Bildschirmbreite aus den Einstellungen"},
    {TMessage::ScreenWidthFromDisplay, "Screen width reported by the display", "Bildschirmbreite vom Bildschirm gemeldet"},
    {TMessage::ScreenWidthAssumed, "Screen width assumed (%1 mm): set it in the settings", "Bildschirmbreite angenommen (%1 mm): in den Einstellungen festlegen"},
};
// clang-format on

bool isGerman(TLanguage language)
{
    return language == TLanguage::German;
}

std::string_view find(std::span<const TControlText> table, std::string_view control,
                      TTextProperty property, TLanguage language)
{
    for (const TControlText& row : table) {
        if (row.Property == property && control == row.Control) {
            return row.text(language);
        }
    }
    return {};
}

}  // namespace

std::span<const TControlText> formMainTexts()
{
    return FormMainTexts;
}
std::span<const TControlText> formSettingsTexts()
{
    return FormSettingsTexts;
}

std::string_view formMainText(std::string_view control, TTextProperty property, TLanguage language)
{
    return find(FormMainTexts, control, property, language);
}

std::string_view formSettingsText(std::string_view control, TTextProperty property,
                                  TLanguage language)
{
    return find(FormSettingsTexts, control, property, language);
}

std::span<const TControlText> webPageTexts()
{
    return WebPageTexts;
}

std::string_view webPageText(std::string_view control, TTextProperty property, TLanguage language)
{
    return find(WebPageTexts, control, property, language);
}

std::string formSettingsTitle(std::string_view exeBaseName, TLanguage language)
{
    return " " + std::string(exeBaseName) +
           (isGerman(language) ? " - Einstellungen" : " - Settings");
}

std::string formMainTitle(std::string_view exeBaseName)
{
    return " " + std::string(exeBaseName);
}

std::string_view proportionLabel(int row, TLanguage language)
{
    if (row < 1 || row > 9) {
        return {};
    }
    return ProportionLabels[row - 1][isGerman(language) ? 1 : 0];
}

std::span<const THintPrefix> hintPrefixes()
{
    return HintPrefixes;
}

std::string_view hintPrefix(std::string_view trackBar, TLanguage language)
{
    for (const THintPrefix& row : HintPrefixes) {
        if (trackBar == row.TrackBar) {
            return isGerman(language) ? row.German : row.English;
        }
    }
    return {};
}

std::string trackBarHintText(std::string_view trackBar, int position, TLanguage language)
{
    std::string value;
    if (trackBar == "TrackBarElevation") {
        value = std::to_string(-static_cast<long long>(position)) + "°";
    } else if (trackBar == "TrackBarHorizontalAmplitude" ||
               trackBar == "TrackBarVerticalAmplitude") {
        value = std::to_string(position) + " %";
    } else if (trackBar == "TrackBarPhaseShift") {
        value = (position > 0 ? "+" : "") + std::to_string(position) + "°";
    } else if (trackBar == "TrackBarTime") {
        // Always with a decimal point, whatever the user's number format.
        std::string fraction = fixedDecimals(position / 512.0, 3);
        if (fraction.size() < 5) {
            fraction.insert(0, 5 - fraction.size(), ' ');
        }
        value = fraction + " · T";
    } else {
        value = std::to_string(position) + "°";
    }
    return std::string(hintPrefix(trackBar, language)) + value;
}

std::span<const TMessageText> messageTexts()
{
    return MessageTexts;
}

std::string fillPlaceholders(std::string_view pattern,
                             std::initializer_list<std::string_view> values)
{
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const auto index = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && index < values.size()) {
            text += values.begin()[index];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::string messageText(TMessage message, TLanguage language,
                        std::initializer_list<std::string_view> values)
{
    return tableText(messageTexts(), &TMessageText::Message, message, language, values);
}

std::string_view defaultDocumentName(TLanguage language)
{
    return isGerman(language) ? "Unbenannt" : "NoName";
}

}  // namespace common
