#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program on a display of its own, on Qt's X11 platform.
# Usage: with_xvfb.sh PROGRAM [ARGUMENT...]
set -euo pipefail
command -v Xvfb >/dev/null || { echo "missing Xvfb (scripts/setup.sh installs it)"; exit 1; }

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb writes the number of the display it took to the pipe.
exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 20 display <&3 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work"
unset WAYLAND_DISPLAY
"$@"
