// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace platform {

// Whether the program can print: a printer (or the PDF printer Qt always offers) that answers
// its page orientation.
bool checkPrinterAvailable();

}  // namespace platform
