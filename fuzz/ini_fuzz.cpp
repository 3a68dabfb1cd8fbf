// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes through the settings file: the INI reader, ReadSettings, ReadDialogState
// and both writers. Besides the sanitizers' checks it demands a sound round trip: a file as the
// program writes it must read without problems, give back the values written, and settle, so
// that writing what was read no longer changes it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/ini_file.h"
#include "settings/settings_file.h"

namespace {

using namespace settings;

[[noreturn]] void fail(const char* what, const std::string& a, const std::string& b)
{
    std::fprintf(stderr, "round trip failed: %s (the two texts are in round_trip_first.ini and "
                         "round_trip_second.ini)\n", what);
    for (const auto& [name, text] : {std::pair{"round_trip_first.ini", &a},
                                     std::pair{"round_trip_second.ini", &b}}) {
        if (std::FILE* f = std::fopen(name, "wb")) {
            std::fwrite(text->data(), 1, text->size(), f);
            std::fclose(f);
        }
    }
    std::abort();
}

std::string writeAll(IniFile ini, const TSettingsData& data, const TDialogState& dialog,
                     const TNumberFormat& format)
{
    WriteSettings(ini, data, format);
    WriteDialogState(ini, dialog);
    return ini.fileBytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(bytes), size);
    // The first byte picks the user's number format and the printer, so both paths are explored.
    const std::uint8_t selector = size > 0 ? bytes[0] : 0;
    const TNumberFormat format = TNumberFormat::forDecimalSeparator((selector & 1) ? "," : ".");
    const bool printer = (selector & 2) != 0;
    const TWorkArea area{(selector & 4) ? 20 : 1920, 1040};
    const TReadContext context{"/home/u/Documents/", area, format};

    const IniFile original = IniFile::fromFileBytes(input);
    TSettingsRead first = ReadSettings(original, context);
    const TDialogState firstDialog = ReadDialogState(original, area, printer);
    (void)problemsMessage(first.Problems);
    if (selector & 8) {
        sanitizeSettings(first.Data);
    }
    const std::string written = writeAll(original, first.Data, firstDialog, format);

    const IniFile again = IniFile::fromFileBytes(written);
    if (again.fileBytes() != written) {
        fail("the written file does not parse back to itself", written, again.fileBytes());
    }
    TSettingsRead second = ReadSettings(again, context);
    // With SaveSettings false only that key is written; a malformed value elsewhere stays.
    if (first.Data.App.SaveSettings && !second.Problems.empty()) {
        fail("the written file reads with problems", written, second.Problems.front().Message);
    }
    const TDialogState secondDialog = ReadDialogState(again, area, printer);

    // What was written is what is read back. With SaveSettings false nothing but that key is
    // written, so the file keeps what it had, including values the reader had to correct.
    if (first.Data.App.SaveSettings) {
        // Only the zoom steps may grow: once Scale1 .. Scalen are written, keys after them that
        // the first reading did not count (Scale30 after a gap at Scale29) have become
        // consecutive.
        const std::vector<std::int32_t>& steps = first.Data.Scales;
        if (second.Data.Scales.size() < steps.size() ||
            !std::equal(steps.begin(), steps.end(), second.Data.Scales.begin())) {
            fail("the zoom steps changed", writeAll({}, first.Data, firstDialog, format),
                 writeAll({}, second.Data, secondDialog, format));
        }
        TSettingsData secondWithFirstSteps = second.Data;
        secondWithFirstSteps.Scales = steps;
        const std::string firstValues = writeAll({}, first.Data, firstDialog, format);
        const std::string secondValues = writeAll({}, secondWithFirstSteps, secondDialog, format);
        if (firstValues != secondValues) {
            fail("the values read back differ from those written", firstValues, secondValues);
        }
    }

    // And so the file settles after at most two writes.
    const std::string rewritten = writeAll(again, second.Data, secondDialog, format);
    const IniFile third = IniFile::fromFileBytes(rewritten);
    const std::string settled = writeAll(third, ReadSettings(third, context).Data,
                                         ReadDialogState(third, area, printer), format);
    if (settled != rewritten) {
        fail("writing what was read keeps changing the file", rewritten, settled);
    }
    return 0;
}
