// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "settings/ini_file.h"

namespace {

using settings::IniFile;
using settings::TNumberFormat;

const TNumberFormat Point = TNumberFormat::forDecimalSeparator(".");
const TNumberFormat Comma = TNumberFormat::forDecimalSeparator(",");

TEST(IniFileReading, TrimsIgnoresCommentsAndMatchesWithoutCase)
{
    const IniFile ini(
        "Key=before any section\r\n"
        "[ General ]\r\n"
        "  Azimuth =  12  \r\n"
        "; Elevation=99\r\n"
        "\r\n"
        "Label= a b \r\n"
        "Empty=\r\n"
        "NoEquals\r\n"
        "Dup=first\r\n"
        "dup=second\r\n"
        "Eq=a=b\r\n"
        "[general]\n"
        "Late=in a second section of the same name\n"
        "[Other]\r"
        "Key=other\r");
    struct Row {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    };
    const Row rows[] = {
        {"General", "Azimuth", "12"},
        {"GENERAL", "azimuth", "12"},
        {"General", "Elevation", std::nullopt},  // commented out
        {"General", "Label", "a b"},
        {"General", "Empty", ""},
        {"General", "NoEquals", std::nullopt},
        {"General", "Dup", "first"},
        {"General", "Eq", "a=b"},
        {"General", "Key", std::nullopt},   // the line before the first section
        {"General", "Late", std::nullopt},  // only the first section of a name is read
        {"Other", "Key", "other"},          // lines may end in CR alone
        {"Missing", "Key", std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ini.value(row.section, row.key), row.value) << row.section << "/" << row.key;
    }
}

TEST(IniFileReading, IntegerBooleanAndByteForms)
{
    struct Row {
        const char* text;
        std::int32_t integer;  // default 7
        bool boolean;          // default true
        std::uint8_t byte;     // default 9
    };
    const Row rows[] = {
        {"16", 16, true, 16},
        {"-45", -45, true, 211},
        {"+3", 3, true, 3},
        {"0x10", 16, true, 16},
        {"0X1f", 31, true, 31},
        {"$10", 16, true, 16},
        {"-$10", -16, true, 240},
        {"$FFFFFFFF", -1, true, 255},
        {"$100000000", 7, true, 9},  // beyond 32 bits
        {"2147483647", 2147483647, true, 255},
        {"-2147483648", std::numeric_limits<std::int32_t>::min(), true, 0},
        {"2147483648", 7, true, 9},
        {"257", 257, true, 1},
        {"0", 0, false, 0},
        {"2", 2, true, 2},
        {"abc", 7, true, 9},
        {"", 7, true, 9},
        {"0x", 7, true, 9},
        {"$", 7, true, 9},
        {"1 2", 7, true, 9},
        {"12abc", 7, true, 9},
        {"1.5", 7, true, 9},
        {"--1", 7, true, 9},
    };
    for (const Row& row : rows) {
        const IniFile ini(std::string("[S]\r\nK=") + row.text + "\r\n");
        EXPECT_EQ(ini.readInteger("S", "K", 7), row.integer) << row.text;
        EXPECT_EQ(ini.readBool("S", "K", true), row.boolean) << row.text;
        EXPECT_EQ(ini.readByte("S", "K", 9), row.byte) << row.text;
    }
    const IniFile empty;
    EXPECT_EQ(empty.readInteger("S", "K", -3), -3);
    EXPECT_FALSE(empty.readBool("S", "K", false));
    EXPECT_EQ(empty.readString("S", "K", "dflt"), "dflt");
}

TEST(IniFileFloats, FormatsShortestWithUpTo15DigitsInTheUsersSeparator)
{
    struct Row {
        double value;
        const char* point;
        const char* comma;
    };
    const Row rows[] = {
        {0.3, "0.3", "0,3"},
        {3.0, "3", "3"},
        {0.15, "0.15", "0,15"},
        {0.015, "0.015", "0,015"},
        {-1.25, "-1.25", "-1,25"},
        {1.0 / 3.0, "0.333333333333333", "0,333333333333333"},
        {0.1 + 0.2, "0.3", "0,3"},  // 0.30000000000000004 has more than 15 digits
        {123456789012345.0, "123456789012345", "123456789012345"},
        {1e20, "1e+20", "1e+20"},
        {0.00001, "1e-05", "1e-05"},
        {0.0, "0", "0"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(settings::formatIniFloat(row.value, Point), row.point);
        EXPECT_EQ(settings::formatIniFloat(row.value, Comma), row.comma);
    }
}

TEST(IniFileFloats, ReadsEitherSeparatorAndRejectsWhatIsNoNumber)
{
    struct Row {
        const char* text;
        std::optional<double> point;  // user's separator "."
        std::optional<double> comma;  // user's separator ","
    };
    const Row rows[] = {
        {"0.3", 0.3, 0.3},
        {"0,3", 0.3, 0.3},
        {"3", 3.0, 3.0},
        {"-1,5", -1.5, -1.5},
        {"+2.5", 2.5, 2.5},
        {".5", 0.5, 0.5},
        {"5.", 5.0, 5.0},
        {"1e-3", 0.001, 0.001},
        {"1,5E2", 150.0, 150.0},
        {"1.000,5", std::nullopt, std::nullopt},  // only the first alternate is exchanged
        {"1,2,3", std::nullopt, std::nullopt},
        {"1.2.3", std::nullopt, std::nullopt},
        {"0,3x", std::nullopt, std::nullopt},
        {"abc", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"-", std::nullopt, std::nullopt},
        {"1e", std::nullopt, std::nullopt},
        {"nan", std::nullopt, std::nullopt},
        {"inf", std::nullopt, std::nullopt},
        {"0x1p3", std::nullopt, std::nullopt},
        {"1e999", std::nullopt, std::nullopt},  // no double holds it
        {"1 000", std::nullopt, std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(settings::parseIniFloat(row.text, Point), row.point) << row.text;
        EXPECT_EQ(settings::parseIniFloat(row.text, Comma), row.comma) << row.text;
    }
}

TEST(IniFileFloats, AnyFormattedValueReadsBackAndFormatsAlike)
{
    const double values[] = {0.3, 1.0 / 3.0, 2.0 / 3.0, 1e-300, 1.7976931348623157e308,
                             -0.0, 6.02214076e23, 0.1 + 0.2};
    for (const TNumberFormat& format : {Point, Comma}) {
        for (const double v : values) {
            const std::string text = settings::formatIniFloat(v, format);
            const std::optional<double> back = settings::parseIniFloat(text, format);
            ASSERT_TRUE(back.has_value()) << text;
            EXPECT_EQ(settings::formatIniFloat(*back, format), text);
            EXPECT_NEAR(*back, v, std::abs(v) * 1e-14) << text;
        }
    }
}

TEST(IniFileFloats, ASeparatorOfMoreThanOneByte)
{
    const TNumberFormat arabic = TNumberFormat::forDecimalSeparator("\u066B");
    EXPECT_EQ(arabic.AlternateDecimalSeparator, '.');
    EXPECT_EQ(settings::formatIniFloat(0.25, arabic), "0\u066B25");
    EXPECT_EQ(settings::parseIniFloat("0\u066B25", arabic), 0.25);
    EXPECT_EQ(settings::parseIniFloat("0.25", arabic), 0.25);
    EXPECT_EQ(settings::parseIniFloat("0,25", arabic), std::nullopt);
}

TEST(IniFileWriting, UpdatesInPlaceAppendsKeysAndSectionsKeepsEverythingElse)
{
    IniFile ini(
        "; written by hand\r\n"
        "[General]\r\n"
        "Azimuth = 12\r\n"
        "; note\r\n"
        "Custom=  spaced  \r\n"
        "\r\n"
        "\r\n"
        "[Mine]\n"
        "\tTabbed=1\n");
    ini.writeInteger("general", "AZIMUTH", -45);
    ini.writeString("General", "Language", "0");
    ini.writeBool("New", "Flag", true);
    ini.writeString("Mine", "Tabbed", "2");
    EXPECT_EQ(ini.text(),
              "; written by hand\r\n"
              "[General]\r\n"
              "AZIMUTH=-45\r\n"
              "; note\r\n"
              "Custom=  spaced  \r\n"
              "Language=0\r\n"
              "\r\n"
              "[Mine]\r\n"
              "Tabbed=2\r\n"
              "\r\n"
              "[New]\r\n"
              "Flag=1\r\n"
              "\r\n");
}

TEST(IniFileWriting, AFileInTheWrittenFormSurvivesByteForByte)
{
    const std::string text =
        "[General]\r\n"
        "SaveSettings=1\r\n"
        "\r\n"
        "[Zzz Unknown]\r\n"
        "  odd key  =  odd value  \r\n"
        ";comment\r\n"
        "line without equals\r\n"
        "\r\n";
    IniFile ini(text);
    ini.writeBool("General", "SaveSettings", true);
    EXPECT_EQ(ini.text(), text);
}

TEST(IniFileWriting, LineBreaksInAValueCannotStartANewSection)
{
    IniFile ini;
    ini.writeString("General", "VerticalAxisLabel", "V\r\n[Evil]\nKey=1");
    const IniFile back(ini.text());
    EXPECT_FALSE(back.sectionExists("Evil"));
    EXPECT_EQ(back.value("General", "VerticalAxisLabel"), "V  [Evil] Key=1");
}

TEST(IniFileWriting, WrittenValuesReadBackAtOnce)
{
    IniFile ini("[S]\r\nA=1\r\n");
    ini.writeString("S", "A", "  two  ");
    ini.writeString("S", "B", "three");
    EXPECT_EQ(ini.value("S", "A"), "two");
    EXPECT_EQ(ini.value("s", "b"), "three");
    EXPECT_TRUE(ini.sectionExists("S"));
}

TEST(IniFileWriting, WhatIsWrittenIsWhatTheNextReadingSees)
{
    // Blanks and control characters at the ends cannot survive a reading; the written line must
    // not hold them either, or the file changes every time it is read and written.
    IniFile ini;
    ini.writeString("Colors", "ColorA", std::string("FF80\0\0", 6));
    ini.writeString("Colors", "ColorB", " \t12 ");
    EXPECT_NE(ini.text().find("ColorA=FF80\r\n"), std::string::npos);
    EXPECT_NE(ini.text().find("ColorB=12\r\n"), std::string::npos);
    const IniFile back(ini.text());
    EXPECT_EQ(back.value("Colors", "ColorA"), "FF80");
    EXPECT_EQ(back.value("Colors", "ColorB"), "12");
}

TEST(IniFileWriting, FileBytesUseTheCharacterSetRule)
{
    IniFile ini;
    ini.writeString("Colors", "Label", "Größe");
    EXPECT_EQ(ini.fileBytes(), "[Colors]\r\nLabel=Gr\xF6\xDF" "e\r\n\r\n");
    ini.writeString("Colors", "Label", "λ");
    EXPECT_EQ(ini.fileBytes(), "[Colors]\r\nLabel=\xCE\xBB\r\n\r\n");
    EXPECT_EQ(IniFile::fromFileBytes("[Colors]\r\nLabel=Gr\xF6\xDF" "e\r\n").value("Colors", "Label"),
              "Größe");
}

}  // namespace
