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

source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
start_xvfb "$work"
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work"
unset WAYLAND_DISPLAY
"$@"
