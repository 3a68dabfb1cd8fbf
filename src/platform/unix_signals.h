// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace platform {

// Turns SIGTERM, SIGINT and SIGHUP into a call of onSignal from the event loop, so that a
// logout, Ctrl+C in a terminal or a test's kill closes the program normally. Call once, after
// the application object exists.
void routeTerminationSignals(std::function<void()> onSignal);

}  // namespace platform
