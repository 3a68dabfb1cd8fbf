// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <set>
#include <string>

#include "settings/settings_file.h"

namespace {

namespace fs = std::filesystem;
using namespace settings;
using common::TLanguage;
using common::TPenStyle;
using scene::TSceneObject;

const TNumberFormat Point = TNumberFormat::forDecimalSeparator(".");
const TNumberFormat Comma = TNumberFormat::forDecimalSeparator(",");
const TWorkArea WorkArea{1920, 1040};

TReadContext context(const TNumberFormat& format = Point)
{
    return {"/home/u/Documents/", WorkArea, format};
}

TSettingsRead read(const std::string& text, const TNumberFormat& format = Point)
{
    return ReadSettings(IniFile(text), context(format));
}

std::string written(const TSettingsData& data, const TNumberFormat& format = Point)
{
    IniFile ini;
    WriteSettings(ini, data, format);
    return ini.text();
}

const char* const DefaultGeneral =
    "[General]\r\n"
    "SaveSettings=1\r\n"
    "Language=0\r\n"
    "ScreenWidth=0.3\r\n"
    "ScreenFontName=Arial\r\n"
    "GraphFilePath=/home/u/Documents/\r\n"
    "GraphFileType=1\r\n"
    "CoordinateSystemCentered=0\r\n"
    "ShowHorizontalWave=1\r\n"
    "ShowVerticalWave=1\r\n"
    "ShowResultantWave=1\r\n"
    "ShowResultantVector=1\r\n"
    "Azimuth=-45\r\n"
    "Elevation=30\r\n"
    "HorizontalAmplitude=100\r\n"
    "VerticalAmplitude=100\r\n"
    "PhaseShift=-90\r\n"
    "PropagationAxisLabel=c\r\n"
    "HorizontalAxisLabel=H\r\n"
    "VerticalAxisLabel=V\r\n"
    "AnimationTimeInterval=20\r\n"
    "RotateAzimuthTimeInterval=50\r\n"
    "AutoRepeat=1\r\n"
    "ReferenceRectHalfWidth=1.2\r\n"
    "AxisHalfLength=1.5\r\n"
    "AxisLabelSpacing=0.15\r\n"
    "AxisLabelHeight=0.15\r\n"
    "ArrowLength=0.15\r\n"
    "DotRadius=0.015\r\n"
    "Wavelength=3\r\n"
    "GraphicMarginFactor=0.01\r\n"
    "ClipboardBugfixScalingFactor=1\r\n"
    "HandednessConvention=Optics\r\n"
    "ShowReadout=1\r\n"
    "ShowCaptions=1\r\n"
    "\r\n";

const char* const DefaultRest =
    "[Scales]\r\n"
    "Scale1=1\r\nScale2=2\r\nScale3=3\r\nScale4=4\r\nScale5=5\r\nScale6=6\r\nScale7=8\r\n"
    "Scale8=10\r\nScale9=12\r\nScale10=15\r\nScale11=20\r\nScale12=25\r\nScale13=30\r\n"
    "Scale14=40\r\nScale15=50\r\nScale16=60\r\nScale17=80\r\nScale18=100\r\nScale19=125\r\n"
    "Scale20=150\r\nScale21=200\r\nScale22=250\r\nScale23=300\r\nScale24=400\r\nScale25=500\r\n"
    "Scale26=600\r\nScale27=800\r\nScale28=1000\r\n"
    "Scale=40\r\n"
    "\r\n"
    "[Colors]\r\n"
    "BackgroundColor=16777215\r\n"
    "TextColor=0\r\n"
    "CoordinateSystemColor=0\r\n"
    "ReferenceSurfaceColor=15790320\r\n"
    "HorizontalWaveColor=16711680\r\n"
    "VerticalWaveColor=255\r\n"
    "ResultantWaveColor=0\r\n"
    "ResultantVectorColor=16711808\r\n"
    "ResultantVectorEllipseColor=0\r\n"
    "ColorA=\r\nColorB=\r\nColorC=\r\nColorD=\r\nColorE=\r\nColorF=\r\nColorG=\r\nColorH=\r\n"
    "ColorI=\r\nColorJ=\r\nColorK=\r\nColorL=\r\nColorM=\r\nColorN=\r\nColorO=\r\nColorP=\r\n"
    "\r\n"
    "[LineStyles]\r\n"
    "TextBold=1\r\n"
    "CoordinateSystemBold=0\r\n"
    "ReferenceSurfaceBold=0\r\n"
    "HorizontalWaveBold=1\r\n"
    "VerticalWaveBold=1\r\n"
    "ResultantWaveBold=0\r\n"
    "ResultantVectorBold=1\r\n"
    "ResultantVectorEllipseBold=0\r\n"
    "PenStyleCoordinateSystem=0\r\n"
    "PenStyleReferenceSurface=0\r\n"
    "PenStyleHorizontalWave=0\r\n"
    "PenStyleVerticalWave=0\r\n"
    "PenStyleResultantWave=0\r\n"
    "PenStyleResultantVector=0\r\n"
    "PenStyleResultantVectorEllipse=2\r\n"
    "\r\n"
    "[FormMain]\r\n"
    "WindowState=0\r\n"
    "Left=0\r\n"
    "Top=0\r\n"
    "Width=1024\r\n"
    "Height=768\r\n"
    "\r\n"
    "[Printer]\r\n"
    "Orientation=1\r\n"
    "FontName=Arial\r\n"
    "FontSize=10\r\n"
    "MarginLeft0=15\r\n"
    "MarginRight0=15\r\n"
    "MarginTop0=20\r\n"
    "MarginBottom0=15\r\n"
    "MarginLeft1=15\r\n"
    "MarginRight1=15\r\n"
    "MarginTop1=20\r\n"
    "MarginBottom1=15\r\n"
    "\r\n"
    "[FormSettings]\r\n"
    "Left=0\r\n"
    "Top=0\r\n"
    "ActiveTabSheetIndex=0\r\n"
    "\r\n";

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() /
                   ("ondulix-settings-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        m_file = (m_folder / "Ondulix.ini").string();
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string contents() const
    {
        std::ifstream in(m_file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void put(const std::string& bytes) const { std::ofstream(m_file, std::ios::binary) << bytes; }

    fs::path m_folder;
    std::string m_file;
};

// What a first run leaves: every default, the sections in their order, the dialog's last.
TEST_F(SettingsFile, AFirstRunWritesEveryDefaultInTheStatedOrder)
{
    const TSettingsRead first = ReadSettings(m_file, context());
    EXPECT_TRUE(first.Problems.empty());
    ASSERT_TRUE(WriteSettings(m_file, first.Data, Point).Ok);
    const TDialogStateRead dialog = ReadDialogState(m_file, WorkArea, true);
    ASSERT_TRUE(WriteDialogState(m_file, dialog.State).Ok);
    EXPECT_EQ(contents(), std::string(DefaultGeneral) + DefaultRest);
}

TEST(SettingsRead, AnEmptyFileGivesEveryDefault)
{
    EXPECT_EQ(written(read("").Data), written(defaultSettingsData("/home/u/Documents/")));
    const TSettingsData d = read("").Data;
    EXPECT_EQ(d.Scales.size(), 29u);
    EXPECT_EQ(d.Scales[0], 1);
    EXPECT_EQ(d.Scale, 40);
    EXPECT_EQ(d.App.GraphFilePath, "/home/u/Documents/");
}

// Every key lands in its own field and comes back from it.
TEST(SettingsRead, EachKeyHasItsOwnField)
{
    TSettingsData d = defaultSettingsData("/p/");
    d.App.Language = TLanguage::German;
    d.App.ScreenWidth = 0.25;
    d.App.ScreenFontName = "Liberation Sans";
    d.App.GraphFilePath = "/home/t/Bilder/";
    d.App.GraphFileType = 2;
    d.App.CoordinateSystemCentered = true;
    d.App.ShowHorizontalWave = false;
    d.App.ShowVerticalWave = true;
    d.App.ShowResultantWave = false;
    d.App.ShowResultantVector = true;
    d.Scene = {10, 20, 30, 40, 50};
    d.App.PropagationAxisLabel = "k";
    d.App.HorizontalAxisLabel = "x";
    d.App.VerticalAxisLabel = "y";
    d.App.AnimationTimeInterval = 21;
    d.App.RotateAzimuthTimeInterval = 51;
    d.App.AutoRepeat = false;
    d.App.HandednessConvention = common::THandednessConvention::Ieee;
    d.App.ShowReadout = false;
    d.App.ShowCaptions = false;
    d.Proportions = {1.1, 1.2, 1.3, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9};
    for (int i = 1; i <= 9; ++i) {
        d.Styles[static_cast<std::size_t>(i)].Color = static_cast<common::TColor>(100 + i);
        d.Styles[static_cast<std::size_t>(i)].Bold = i % 2 == 1;
        d.Styles[static_cast<std::size_t>(i)].PenStyle = static_cast<TPenStyle>((i + 3) % 6);
    }
    d.Scales = {1, 7, 9};  // fewer than 28: the reader fills in the rest
    d.Scale = 9;
    d.FormMain = {2, 11, 12, 800, 600};
    d.Printer.Orientation = 0;
    d.Printer.FontName = "Courier";
    d.Printer.FontSize = 12;
    d.Printer.MarginLeft = {1, 5};
    d.Printer.MarginRight = {2, 6};
    d.Printer.MarginTop = {3, 7};
    d.Printer.MarginBottom = {4, 8};

    const std::string text = written(d);
    EXPECT_EQ(text,
              "[General]\r\nSaveSettings=1\r\nLanguage=1\r\nScreenWidth=0.25\r\n"
              "ScreenFontName=Liberation Sans\r\nGraphFilePath=/home/t/Bilder/\r\n"
              "GraphFileType=2\r\nCoordinateSystemCentered=1\r\nShowHorizontalWave=0\r\n"
              "ShowVerticalWave=1\r\nShowResultantWave=0\r\nShowResultantVector=1\r\n"
              "Azimuth=10\r\nElevation=20\r\nHorizontalAmplitude=30\r\nVerticalAmplitude=40\r\n"
              "PhaseShift=50\r\nPropagationAxisLabel=k\r\nHorizontalAxisLabel=x\r\n"
              "VerticalAxisLabel=y\r\nAnimationTimeInterval=21\r\n"
              "RotateAzimuthTimeInterval=51\r\nAutoRepeat=0\r\nReferenceRectHalfWidth=1.1\r\n"
              "AxisHalfLength=1.2\r\nAxisLabelSpacing=1.3\r\nAxisLabelHeight=1.4\r\n"
              "ArrowLength=1.5\r\nDotRadius=1.6\r\nWavelength=1.7\r\nGraphicMarginFactor=1.8\r\n"
              "ClipboardBugfixScalingFactor=1.9\r\nHandednessConvention=IEEE\r\n"
              "ShowReadout=0\r\nShowCaptions=0\r\n\r\n"
              "[Scales]\r\nScale1=7\r\nScale2=9\r\nScale=9\r\n\r\n"
              "[Colors]\r\nBackgroundColor=101\r\nTextColor=102\r\nCoordinateSystemColor=103\r\n"
              "ReferenceSurfaceColor=104\r\nHorizontalWaveColor=105\r\nVerticalWaveColor=106\r\n"
              "ResultantWaveColor=107\r\nResultantVectorColor=108\r\n"
              "ResultantVectorEllipseColor=109\r\n\r\n"
              "[LineStyles]\r\nTextBold=0\r\nCoordinateSystemBold=1\r\nReferenceSurfaceBold=0\r\n"
              "HorizontalWaveBold=1\r\nVerticalWaveBold=0\r\nResultantWaveBold=1\r\n"
              "ResultantVectorBold=0\r\nResultantVectorEllipseBold=1\r\n"
              "PenStyleCoordinateSystem=0\r\nPenStyleReferenceSurface=1\r\n"
              "PenStyleHorizontalWave=2\r\nPenStyleVerticalWave=3\r\nPenStyleResultantWave=4\r\n"
              "PenStyleResultantVector=5\r\nPenStyleResultantVectorEllipse=0\r\n\r\n"
              "[FormMain]\r\nWindowState=2\r\nLeft=11\r\nTop=12\r\nWidth=800\r\nHeight=600\r\n\r\n"
              "[Printer]\r\nOrientation=0\r\nFontName=Courier\r\nFontSize=12\r\n"
              "MarginLeft0=1\r\nMarginRight0=2\r\nMarginTop0=3\r\nMarginBottom0=4\r\n"
              "MarginLeft1=5\r\nMarginRight1=6\r\nMarginTop1=7\r\nMarginBottom1=8\r\n\r\n");

    const TSettingsRead back = read(text);
    EXPECT_TRUE(back.Problems.empty());
    TSettingsData expected = d;
    expected.Scales = builtInScaleSlots();
    expected.Scales[1] = 7;
    expected.Scales[2] = 9;
    EXPECT_EQ(written(back.Data), written(expected));
}

TEST(SettingsRead, EitherDecimalSeparatorReads)
{
    struct Row {
        const char* text;
        const TNumberFormat* format;
        double screenWidth;
        const char* writtenBack;
    };
    const Row rows[] = {
        {"ScreenWidth=0,3", &Point, 0.3, "ScreenWidth=0.3"},
        {"ScreenWidth=0.3", &Comma, 0.3, "ScreenWidth=0,3"},
        {"ScreenWidth=0,3", &Comma, 0.3, "ScreenWidth=0,3"},
        {"ScreenWidth=0.3", &Point, 0.3, "ScreenWidth=0.3"},
        {"ScreenWidth=1", &Comma, 1.0, "ScreenWidth=1\r\n"},
    };
    for (const Row& row : rows) {
        const TSettingsRead r = read(std::string("[General]\r\n") + row.text + "\r\n", *row.format);
        EXPECT_TRUE(r.Problems.empty()) << row.text;
        EXPECT_DOUBLE_EQ(r.Data.App.ScreenWidth, row.screenWidth) << row.text;
        EXPECT_NE(written(r.Data, *row.format).find(row.writtenBack), std::string::npos)
            << row.text;
    }
}

// A malformed float is reported with its key and text, gets its default, and the keys after it
// are still read: nothing falls back silently and nothing is lost at the next write.
TEST(SettingsRead, AMalformedFloatIsReportedAndReadingGoesOn)
{
    const TSettingsRead r = read(
        "[General]\r\n"
        "ScreenWidth=0,3x\r\n"
        "Language=1\r\n"
        "Wavelength=\r\n"
        "DotRadius=0.02\r\n"
        "Azimuth=12\r\n"
        "[FormMain]\r\n"
        "Width=800\r\n");
    ASSERT_EQ(r.Problems.size(), 2u);
    EXPECT_EQ(r.Problems[0].Key, "ScreenWidth");
    EXPECT_EQ(r.Problems[0].Text, "0,3x");
    EXPECT_NE(r.Problems[0].Message.find("ScreenWidth"), std::string::npos);
    EXPECT_NE(r.Problems[0].Message.find("\"0,3x\""), std::string::npos);
    EXPECT_NE(r.Problems[0].Message.find("0.3"), std::string::npos);  // the default used
    EXPECT_EQ(r.Problems[1].Key, "Wavelength");
    EXPECT_DOUBLE_EQ(r.Data.App.ScreenWidth, 0.3);
    EXPECT_DOUBLE_EQ(r.Data.Proportions.Wavelength, 3.0);
    EXPECT_DOUBLE_EQ(r.Data.Proportions.DotRadius, 0.02);
    EXPECT_EQ(r.Data.App.Language, TLanguage::German);
    EXPECT_EQ(r.Data.Scene.Azimuth, 12);
    EXPECT_EQ(r.Data.FormMain.Width, 800);

    const std::string message = problemsMessage(r.Problems);
    EXPECT_NE(message.find("ScreenWidth"), std::string::npos);
    EXPECT_NE(message.find("Wavelength"), std::string::npos);
    EXPECT_EQ(problemsMessage({}), "");
}

TEST(SettingsRead, IntegerFormsAndTheAzimuthTrackBar)
{
    struct Row {
        const char* text;
        std::int32_t asRead;
        std::int32_t onTheTrackBar;
    };
    const Row rows[] = {
        {"0x10", 16, 16},  {"$10", 16, 16},      {"abc", -45, -45},
        {"500", 500, 180}, {"-500", -500, -180}, {"", -45, -45},
    };
    for (const Row& row : rows) {
        TSettingsData d = read(std::string("[General]\r\nAzimuth=") + row.text + "\r\n").Data;
        EXPECT_EQ(d.Scene.Azimuth, row.asRead) << row.text;
        clampToTrackBars(d.Scene);
        EXPECT_EQ(d.Scene.Azimuth, row.onTheTrackBar) << row.text;
        EXPECT_NE(written(d).find("Azimuth=" + std::to_string(row.onTheTrackBar) + "\r\n"),
                  std::string::npos);
    }
}

TEST(SettingsRead, EveryTrackBarClampsToItsRange)
{
    TSceneValues v{-999, -999, -999, -999, -999};
    clampToTrackBars(v);
    EXPECT_EQ(v.Azimuth, -180);
    EXPECT_EQ(v.Elevation, -90);
    EXPECT_EQ(v.HorizontalAmplitude, 0);
    EXPECT_EQ(v.VerticalAmplitude, 0);
    EXPECT_EQ(v.PhaseShift, -180);
    v = {999, 999, 999, 999, 999};
    clampToTrackBars(v);
    EXPECT_EQ(v.Azimuth, 180);
    EXPECT_EQ(v.Elevation, 90);
    EXPECT_EQ(v.HorizontalAmplitude, 100);
    EXPECT_EQ(v.VerticalAmplitude, 100);
    EXPECT_EQ(v.PhaseShift, 180);
}

TEST(SettingsRead, BooleansAndBytes)
{
    const TSettingsData d =
        read(
            "[General]\r\nSaveSettings=2\r\nLanguage=257\r\nAutoRepeat=0\r\nShowVerticalWave=x\r\n"
            "ShowCaptions=0\r\n"
            "[LineStyles]\r\nPenStyleHorizontalWave=258\r\n"
            "[FormMain]\r\nWindowState=$102\r\n"
            "[Printer]\r\nOrientation=-255\r\n")
            .Data;
    EXPECT_TRUE(d.App.SaveSettings);
    EXPECT_EQ(d.App.Language, TLanguage::German);
    EXPECT_FALSE(d.App.AutoRepeat);
    EXPECT_TRUE(d.App.ShowVerticalWave);  // unparsable: the default
    EXPECT_FALSE(d.App.ShowCaptions);
    // A file of a version without captions shows them.
    EXPECT_TRUE(read("[General]\r\nAutoRepeat=0\r\n").Data.App.ShowCaptions);
    EXPECT_EQ(d.Styles[static_cast<std::size_t>(TSceneObject::HorizontalWave)].PenStyle,
              TPenStyle::Dot);
    EXPECT_EQ(d.FormMain.WindowState, 2);
    EXPECT_EQ(d.Printer.Orientation, 1);
}

// The convention is stored by name; any spelling of a name reads, and the write gives it back
// as the program spells it. Other texts are reported elsewhere and read as optics.
TEST(SettingsRead, TheHandednessConventionByName)
{
    using common::THandednessConvention;
    struct Row {
        const char* value;  // nullptr: no key
        THandednessConvention read;
        const char* writtenBack;
    };
    const Row rows[] = {
        {nullptr, THandednessConvention::Optics, "Optics"},
        {"Optics", THandednessConvention::Optics, "Optics"},
        {"IEEE", THandednessConvention::Ieee, "IEEE"},
        {"ieee", THandednessConvention::Ieee, "IEEE"},
        {" Ieee ", THandednessConvention::Ieee, "IEEE"},
        {"OPTICS", THandednessConvention::Optics, "Optics"},
        {"1", THandednessConvention::Optics, "Optics"},
        {"IEEE 802", THandednessConvention::Optics, "Optics"},
    };
    for (const Row& row : rows) {
        const std::string text =
            row.value ? std::string("[General]\r\nHandednessConvention=") + row.value : "";
        const TSettingsData d = read(text).Data;
        EXPECT_EQ(d.App.HandednessConvention, row.read) << text;
        EXPECT_NE(
            written(d).find(std::string("\r\nHandednessConvention=") + row.writtenBack + "\r\n"),
            std::string::npos)
            << text;
    }
    EXPECT_FALSE(read("[General]\r\nShowReadout=0").Data.App.ShowReadout);
    EXPECT_TRUE(read("[General]\r\nShowReadout=x").Data.App.ShowReadout);
}

TEST(SettingsRead, TheZoomStepsCountConsecutiveKeysButAtLeast28)
{
    const auto keys = [](int from, int to, int skip) {
        std::string text = "[Scales]\r\n";
        for (int k = from; k <= to; ++k) {
            if (k != skip) {
                text += "Scale" + std::to_string(k) + "=" + std::to_string(1000 + k) + "\r\n";
            }
        }
        return text;
    };
    struct Row {
        std::string text;
        std::size_t steps;
        std::int32_t step10, step11, step28, last;
    };
    const Row rows[] = {
        {keys(1, 10, 0), 28, 1010, 20, 1000, 1000},
        {keys(1, 40, 0), 40, 1010, 1011, 1028, 1040},
        {keys(1, 30, 29), 28, 1010, 1011, 1028, 1028},
        {keys(2, 40, 0), 28, 1010, 1011, 1028, 1028},  // no Scale1: nothing counts
    };
    for (const Row& row : rows) {
        const TSettingsData d = read(row.text).Data;
        ASSERT_EQ(d.Scales.size(), row.steps + 1) << row.text;
        EXPECT_EQ(d.Scales[0], 1);
        EXPECT_EQ(d.Scales[10], row.step10);
        EXPECT_EQ(d.Scales[11], row.step11);
        EXPECT_EQ(d.Scales[28], row.step28);
        EXPECT_EQ(d.Scales.back(), row.last);
    }
    // Without Scale29, Scale30 is not a step and stays in the file untouched.
    IniFile ini(keys(1, 30, 29) + "Scale=7\r\n");
    WriteSettings(ini, ReadSettings(ini, context()).Data, Point);
    EXPECT_EQ(ini.value("Scales", "Scale30"), "1030");
    EXPECT_FALSE(ini.valueExists("Scales", "Scale29"));
    EXPECT_EQ(ini.value("Scales", "Scale"), "7");

    // Once the steps before them are written, keys that were not steps must not become steps,
    // nor must the steps beyond fewer written ones be read again: what is written reads back.
    for (const std::string& text : {keys(1, 40, 3), keys(1, 40, 0)}) {
        IniFile file(text);
        TSettingsData data = ReadSettings(file, context()).Data;
        data.Scales.resize(std::min<std::size_t>(data.Scales.size(), 29));
        WriteSettings(file, data, Point);
        EXPECT_EQ(ReadSettings(file, context()).Data.Scales, data.Scales) << text;
        EXPECT_FALSE(file.valueExists("Scales", "Scale29")) << text;
        EXPECT_FALSE(file.valueExists("Scales", "Scale40")) << text;
    }
}

TEST(SettingsRead, TheMainWindowIsBoundedByTheWorkArea)
{
    struct Row {
        const char* key;
        std::int32_t stored;
        std::int32_t asRead;
    };
    const Row rows[] = {
        {"Width", 5000, 1920},  {"Width", 1920, 1920},  {"Width", 800, 800},
        {"Height", 5000, 1040}, {"Left", -3000, -3000}, {"Left", 5000, 1888},
        {"Left", 1888, 1888},   {"Top", 2000, 1008},    {"Top", -20, -20},
    };
    for (const Row& row : rows) {
        const TSettingsData d =
            read("[FormMain]\r\n" + std::string(row.key) + "=" + std::to_string(row.stored)).Data;
        const std::int32_t values[] = {d.FormMain.Width, d.FormMain.Height, d.FormMain.Left,
                                       d.FormMain.Top};
        const std::string names[] = {"Width", "Height", "Left", "Top"};
        for (int i = 0; i < 4; ++i) {
            if (names[i] == row.key) {
                EXPECT_EQ(values[i], row.asRead) << row.key << "=" << row.stored;
            }
        }
    }
}

TEST_F(SettingsFile, UnknownSectionsAndKeysSurviveEveryWriteByteForByte)
{
    const std::string mine =
        "[Zzz]\r\n"
        "  hand written = yes  \r\n"
        "; a comment\r\n"
        "\r\n";
    put(std::string("[General]\r\nMyOwnKey=42\r\nAzimuth=10\r\n\r\n") + mine);
    TSettingsData d = ReadSettings(m_file, context()).Data;
    d.Scene.Azimuth = 20;
    ASSERT_TRUE(WriteSettings(m_file, d, Point).Ok);
    ASSERT_TRUE(WriteDialogState(m_file, ReadDialogState(m_file, WorkArea, true).State).Ok);
    const std::string after = contents();
    EXPECT_NE(after.find("[General]\r\nMyOwnKey=42\r\nAzimuth=20\r\n"), std::string::npos);
    const std::size_t at = after.find(mine);
    ASSERT_NE(at, std::string::npos) << after;
    // New sections come after it; it keeps its place.
    EXPECT_LT(at, after.find("[Scales]"));
}

TEST_F(SettingsFile, SaveSettingsFalseWritesOnlySaveSettings)
{
    put("[General]\r\nSaveSettings=1\r\nAzimuth=10\r\n\r\n[FormMain]\r\nWidth=800\r\n\r\n");
    TSettingsData d = ReadSettings(m_file, context()).Data;
    d.App.SaveSettings = false;
    d.Scene.Azimuth = 99;
    d.FormMain.Width = 640;
    ASSERT_TRUE(WriteSettings(m_file, d, Point).Ok);
    EXPECT_EQ(contents(),
              "[General]\r\nSaveSettings=0\r\nAzimuth=10\r\n\r\n[FormMain]\r\nWidth=800\r\n\r\n");

    IniFile empty;
    WriteSettings(empty, d, Point);
    EXPECT_EQ(empty.text(), "[General]\r\nSaveSettings=0\r\n\r\n");
    // The unchecked box comes back at the next start together with the old values.
    const TSettingsData again = ReadSettings(m_file, context()).Data;
    EXPECT_FALSE(again.App.SaveSettings);
    EXPECT_EQ(again.Scene.Azimuth, 10);
}

TEST_F(SettingsFile, AFileThatCannotBeReadIsNeitherUsedNorReplaced)
{
    fs::create_directories(m_file);  // a folder where the file should be
    const TSettingsRead r = ReadSettings(m_file, context());
    ASSERT_EQ(r.Problems.size(), 1u);
    EXPECT_NE(r.Problems[0].Message.find(m_file), std::string::npos);
    EXPECT_EQ(r.Data.Scene.Azimuth, -45);
    const TFileResult w = WriteSettings(m_file, r.Data, Point);
    EXPECT_FALSE(w.Ok);
    EXPECT_NE(w.Error.find(m_file), std::string::npos);
    EXPECT_FALSE(WriteDialogState(m_file, {}).Ok);
    EXPECT_TRUE(fs::is_directory(m_file));
}

// A FIFO or a device in place of the file: the defaults apply, the reason is named in both
// languages, and neither writer touches it. The null device is one of the test's own (it needs
// root): a fault would replace it.
TEST_F(SettingsFile, WhatIsNoRegularFileIsNeitherUsedNorWrittenOver)
{
    ::alarm(20);  // a FIFO without a writer must not make the test wait for ever
    ASSERT_EQ(::mkfifo((m_folder / "fifo").c_str(), 0600), 0);
    const bool node = ::mknod((m_folder / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    for (const char* target : {"fifo", "null"}) {
        if (!fs::exists(m_folder / target)) {
            continue;
        }
        fs::remove(m_file);
        fs::create_symlink(m_folder / target, m_file);
        const TSettingsRead r = ReadSettings(m_file, context());
        EXPECT_TRUE(r.FileExists && !r.File.Ok) << target;
        ASSERT_EQ(r.Problems.size(), 1u) << target;
        EXPECT_EQ(r.Problems[0].Message, "Cannot read the file \"" + m_file +
                                             "\": " + r.File.Reason +
                                             ". The settings file is not used; defaults apply.");
        EXPECT_NE(
            problemsMessage(r.Problems, TLanguage::German).find("es gelten die Standardwerte"),
            std::string::npos);
        EXPECT_EQ(r.Data.Scene.Azimuth, -45);

        const TFileResult w = WriteSettings(m_file, r.Data, Point);
        EXPECT_EQ(w.Error, r.File.Error + ". The settings were not saved.");
        EXPECT_NE(w.GermanError.find("nicht gespeichert"), std::string::npos) << w.GermanError;
        EXPECT_FALSE(WriteDialogState(m_file, {}).Ok) << target;
    }
    ::alarm(0);
    EXPECT_TRUE(fs::is_fifo(m_folder / "fifo"));
    EXPECT_TRUE(!node || fs::is_character_file(m_folder / "null"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()),
              node ? 3 : 2);

    fs::remove(m_file);
    const TSettingsRead missing = ReadSettings(m_file, context());
    EXPECT_TRUE(!missing.FileExists && missing.File.Ok && missing.Problems.empty());
}

TEST_F(SettingsFile, AWriteIntoAMissingFolderFailsWithItsReason)
{
    const std::string nowhere = (m_folder / "gone" / "Ondulix.ini").string();
    const TFileResult w = WriteSettings(nowhere, defaultSettingsData("/"), Point);
    EXPECT_FALSE(w.Ok);
    EXPECT_NE(w.Error.find("No such file or directory"), std::string::npos) << w.Error;
}

TEST(DialogState, PositionAndTabAreKeptUsable)
{
    struct Row {
        const char* text;
        bool printer;
        std::int32_t left, top, tab;
    };
    const Row rows[] = {
        {"Left=-50\r\nTop=5000\r\n", true, 0, 1008, 0},
        {"Left=3000\r\nTop=-1\r\n", true, 1888, 0, 0},
        {"Left=100\r\nTop=200\r\nActiveTabSheetIndex=2\r\n", true, 100, 200, 2},
        {"ActiveTabSheetIndex=3\r\n", true, 0, 0, 3},
        {"ActiveTabSheetIndex=3\r\n", false, 0, 0, 0},
        {"ActiveTabSheetIndex=4\r\n", true, 0, 0, 0},
        {"ActiveTabSheetIndex=-1\r\n", true, 0, 0, 0},
        {"", true, 0, 0, 0},
    };
    for (const Row& row : rows) {
        const TDialogState s = ReadDialogState(
            IniFile(std::string("[FormSettings]\r\n") + row.text), WorkArea, row.printer);
        EXPECT_EQ(s.Left, row.left) << row.text;
        EXPECT_EQ(s.Top, row.top) << row.text;
        EXPECT_EQ(s.ActiveTabSheetIndex, row.tab) << row.text << row.printer;
    }
}

TEST(DialogState, CustomColoursAreKeptAsTextAndWrittenWithAtMost8Characters)
{
    IniFile ini("[Colors]\r\nColorA=FF8000\r\ncolorb=FFFFFFFF\r\nColorP=0123456789AB\r\n");
    const TDialogState s = ReadDialogState(ini, WorkArea, true);
    EXPECT_EQ(s.CustomColors[0], "FF8000");
    EXPECT_EQ(s.CustomColors[1], "FFFFFFFF");
    EXPECT_EQ(s.CustomColors[2], "");
    EXPECT_EQ(s.CustomColors[15], "0123456789AB");
    WriteDialogState(ini, s);
    EXPECT_EQ(ini.value("Colors", "ColorP"), "01234567");
    EXPECT_EQ(ini.value("Colors", "ColorA"), "FF8000");
    EXPECT_EQ(ini.value("Colors", "ColorC"), "");
    EXPECT_EQ(ini.value("FormSettings", "ActiveTabSheetIndex"), "0");
}

TEST(DialogState, CustomColourText)
{
    EXPECT_EQ(parseCustomColor("FF8000"), common::TColor{0xFF8000});
    EXPECT_EQ(parseCustomColor("00ff00"), common::TColor{0x00FF00});
    EXPECT_EQ(parseCustomColor("FFFFFFFF"), std::nullopt);
    EXPECT_EQ(parseCustomColor(""), std::nullopt);
    EXPECT_EQ(parseCustomColor("12G456"), std::nullopt);
    EXPECT_EQ(formatCustomColor(common::TColor{0x0A0B0C}), "0A0B0C");
    EXPECT_EQ(formatCustomColor(std::nullopt), "FFFFFFFF");
}

// Values the engine cannot use are replaced; unusual ones are left for the write.
TEST(Sanitize, OnlyUnusableValuesChange)
{
    struct Row {
        const char* text;
        const char* expectLine;
    };
    const Row rows[] = {
        {"[General]\r\nScreenWidth=0", "ScreenWidth=0.3\r\n"},
        {"[General]\r\nScreenWidth=-1", "ScreenWidth=0.3\r\n"},
        {"[General]\r\nScreenWidth=1e-300", "ScreenWidth=0.3\r\n"},
        {"[General]\r\nScreenWidth=100", "ScreenWidth=100\r\n"},
        {"[General]\r\nAnimationTimeInterval=0", "AnimationTimeInterval=1\r\n"},
        {"[General]\r\nRotateAzimuthTimeInterval=-5", "RotateAzimuthTimeInterval=1\r\n"},
        {"[General]\r\nAnimationTimeInterval=500", "AnimationTimeInterval=500\r\n"},
        {"[General]\r\nLanguage=2", "Language=0\r\n"},
        {"[General]\r\nLanguage=1", "Language=1\r\n"},
        {"[Scales]\r\nScale3=0", "Scale3=1\r\n"},
        {"[Scales]\r\nScale3=-7", "Scale3=1\r\n"},
        {"[Scales]\r\nScale=0", "Scale=1\r\n"},
        {"[Scales]\r\nScale=5000", "Scale=5000\r\n"},
        {"[LineStyles]\r\nPenStyleVerticalWave=6", "PenStyleVerticalWave=0\r\n"},
        {"[LineStyles]\r\nPenStyleVerticalWave=5", "PenStyleVerticalWave=5\r\n"},
        {"[Printer]\r\nOrientation=2", "Orientation=1\r\n"},
        {"[Printer]\r\nOrientation=0", "Orientation=0\r\n"},
        {"[Printer]\r\nMarginLeft0=300", "MarginLeft0=300\r\n"},
        {"[FormMain]\r\nWindowState=3", "WindowState=0\r\n"},
        {"[FormMain]\r\nWindowState=1", "WindowState=1\r\n"},
        {"[General]\r\nWavelength=-2", "Wavelength=-2\r\n"},
    };
    for (const Row& row : rows) {
        TSettingsData d = read(row.text).Data;
        sanitizeSettings(d);
        EXPECT_NE(written(d).find(row.expectLine), std::string::npos) << row.text;
    }
}

// Reading replaces what sanitizeSettings would, and names each value: the key, the text found,
// the value used.
TEST(SettingsRead, EachReplacedValueIsNamed)
{
    struct Row {
        const char* text;
        const TNumberFormat* format;
        const char* key;
        const char* found;
        const char* used;  // empty: kept, no problem
    };
    const Row rows[] = {
        {"[LineStyles]\r\nPenStyleVerticalWave=9", &Point, "PenStyleVerticalWave", "9", "0"},
        {"[Printer]\r\nOrientation=7", &Point, "Orientation", "7", "1"},
        {"[FormMain]\r\nWindowState=9", &Point, "WindowState", "9", "0"},
        {"[General]\r\nAnimationTimeInterval=0", &Point, "AnimationTimeInterval", "0", "1"},
        {"[General]\r\nRotateAzimuthTimeInterval=-5", &Point, "RotateAzimuthTimeInterval", "-5",
         "1"},
        {"[General]\r\nLanguage=2", &Point, "Language", "2", "0"},
        {"[Scales]\r\nScale3=0", &Point, "Scale3", "0", "1"},
        {"[Scales]\r\nScale=-4", &Point, "Scale", "-4", "1"},
        {"[General]\r\nScreenWidth=0", &Point, "ScreenWidth", "0", "0.3"},
        {"[General]\r\nScreenWidth=1e-300", &Point, "ScreenWidth", "1e-300", "0.3"},
        {"[General]\r\nScreenWidth=1e300", &Point, "ScreenWidth", "1e300", "0.3"},
        {"[General]\r\nScreenWidth=0,009", &Comma, "ScreenWidth", "0,009", "0,3"},
        {"[General]\r\nScreenWidth=100.5", &Point, "ScreenWidth", "100.5", "0.3"},
        {"[General]\r\nScreenWidth=0.01", &Point, "ScreenWidth", "0.01", ""},
        {"[General]\r\nScreenWidth=100", &Point, "ScreenWidth", "100", ""},
        {"[General]\r\nAnimationTimeInterval=500", &Point, "AnimationTimeInterval", "500", ""},
        {"[General]\r\nHandednessConvention=clockwise", &Point, "HandednessConvention", "clockwise",
         "Optics"},
        {"[General]\r\nHandednessConvention=", &Point, "HandednessConvention", "", "Optics"},
        {"[General]\r\nHandednessConvention=IEEE", &Point, "HandednessConvention", "IEEE", ""},
    };
    for (const Row& row : rows) {
        const TSettingsRead r = read(row.text, *row.format);
        if (*row.used == '\0') {
            EXPECT_TRUE(r.Problems.empty()) << row.text;
            continue;
        }
        ASSERT_EQ(r.Problems.size(), 1u) << row.text;
        const TSettingsProblem& p = r.Problems[0];
        const std::string section(row.text + 1, std::string_view(row.text).find(']') - 1);
        EXPECT_EQ(p.Section, section);
        EXPECT_EQ(p.Key, row.key);
        EXPECT_EQ(p.Text, row.found);
        EXPECT_EQ(p.Message, "[" + section + "] " + row.key + ": \"" + row.found +
                                 "\" cannot be used; " + row.used + " is used instead.");
    }
}

TEST(SettingsRead, TheStartUpMessageInEitherLanguage)
{
    const TSettingsRead r = read(
        "[General]\r\nScreenWidth=x\r\nLanguage=1\r\n"
        "[Printer]\r\nOrientation=5\r\n");
    ASSERT_EQ(r.Problems.size(), 2u);
    EXPECT_EQ(problemsMessage(r.Problems, TLanguage::English), problemsMessage(r.Problems));
    EXPECT_EQ(problemsMessage(r.Problems),
              "The settings file could not be read completely:\n"
              "[General] ScreenWidth: \"x\" is not a valid number; the default 0.3 is used "
              "instead.\n"
              "[Printer] Orientation: \"5\" cannot be used; 1 is used instead.");
    EXPECT_EQ(problemsMessage(r.Problems, r.Data.App.Language),
              "Die Einstellungsdatei konnte nicht vollständig gelesen werden:\n"
              "[General] ScreenWidth: „x“ ist keine gültige Zahl; stattdessen gilt der "
              "Standardwert 0.3.\n"
              "[Printer] Orientation: „5“ ist nicht verwendbar; stattdessen gilt 1.");
}

TEST(Sanitize, ProportionsAndScreenWidthThatAreNotFinite)
{
    TSettingsData d = defaultSettingsData("/");
    d.App.ScreenWidth = std::numeric_limits<double>::infinity();
    d.Proportions.Wavelength = std::numeric_limits<double>::quiet_NaN();
    d.Proportions.DotRadius = -std::numeric_limits<double>::infinity();
    d.Proportions.ArrowLength = 0.5;
    d.Scales.clear();
    sanitizeSettings(d);
    EXPECT_DOUBLE_EQ(d.App.ScreenWidth, 0.3);
    EXPECT_DOUBLE_EQ(d.Proportions.Wavelength, 3.0);
    EXPECT_DOUBLE_EQ(d.Proportions.DotRadius, 0.015);
    EXPECT_DOUBLE_EQ(d.Proportions.ArrowLength, 0.5);
    EXPECT_EQ(d.Scales, builtInScaleSlots());
}

TEST(SettingsTable, KeysAreUniqueAndEachGroupHasADistinctReadOrder)
{
    std::set<std::string> keys;
    std::set<std::pair<int, int>> positions;
    for (const TSettingsKey& row : SettingsKeys()) {
        const std::string name = std::string(sectionName(row.Section)) + "/" + row.Key +
                                 (row.form() == TValueForm::ScaleList ? "#" : "");
        EXPECT_TRUE(keys.insert(name).second) << name;
        EXPECT_TRUE(positions.insert({static_cast<int>(row.Group), row.ReadPosition}).second)
            << name;
    }
    EXPECT_EQ(keys.size(), 34u + 2u + 9u + 16u + 15u + 5u + 11u + 3u);
}

}  // namespace
