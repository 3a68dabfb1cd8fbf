#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real program under Xvfb with an empty home, works it with keys and the mouse, and
# ends it the way a logout does. Usage: main_window.sh PROGRAM [SCREENSHOT_COPY]
set -euo pipefail
program="$1"
copy_to="${2:-}"

for tool in Xvfb xdotool import compare; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh installs it)"; exit 1; }
done

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill -9 "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "${BASH_SOURCE[0]}")/../support/xvfb.sh"
start_xvfb "$work"
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

"$program" >"$work/program.log" 2>&1 &
app_pid=$!
window="$(xdotool search --sync --onlyvisible --name ' ondulix' | head -n 1)"
[ -n "$window" ] || { echo "no window"; exit 1; }
sleep 1
import -window root "$work/before.png"

xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key --delay 50 Up Up Up Right Right ctrl+h plus
# A drag across the drawing turns the view.
xdotool mousemove --sync 600 400 mousedown 1 mousemove --sync 500 380 mousemove --sync 400 360 mouseup 1
sleep 1
import -window root "$work/after.png"
[ -n "$copy_to" ] && cp "$work/after.png" "$copy_to"

kill -0 "$app_pid" || { echo "the program died"; cat "$work/program.log"; exit 1; }
changed="$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1 || true)"
echo "pixels changed: $changed"
[ "${changed%% *}" -gt 1000 ] 2>/dev/null || { echo "the picture did not change"; exit 1; }

kill -TERM "$app_pid"
for _ in $(seq 50); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
    echo "the program did not end within 5 s of SIGTERM"
    exit 1
fi
status=0
wait "$app_pid" || status=$?
app_pid=""
echo "exit status after SIGTERM: $status"
if [ "$status" -ne 0 ]; then
    tail -n 60 "$work/program.log"
    exit 1
fi

# The window as a teacher first meets it, in both languages, with the captions and without:
# each picture differs from the others (the texts, the rows), and none is blank.
shots="${ONDULIX_SHOTS:-$work/shots}"
mkdir -p "$shots"
config="$XDG_CONFIG_HOME/Orvantic/ondulix"
for language in 0 1; do
    for captions in 1 0; do
        printf '[General]\r\nLanguage=%s\r\nShowCaptions=%s\r\n' "$language" "$captions" \
            >"$config/ondulix.ini"
        "$program" >"$work/program.log" 2>&1 &
        app_pid=$!
        xdotool search --sync --onlyvisible --name ' ondulix' >/dev/null
        sleep 1.5
        import -window root -crop 1024x768+0+0 "$shots/window-$language-$captions.png"
        kill -TERM "$app_pid"
        wait "$app_pid" || true
        app_pid=""
    done
done
for a in 0-1 0-0 1-1 1-0; do
    for b in 0-1 0-0 1-1 1-0; do
        [ "$a" \< "$b" ] || continue
        differ="$(compare -metric AE "$shots/window-$a.png" "$shots/window-$b.png" null: 2>&1 || true)"
        [ "${differ%% *}" -gt 100 ] 2>/dev/null || { echo "window-$a and window-$b look the same"; exit 1; }
    done
done
echo "screenshots in both languages, with and without captions: $shots"
echo "1 passed, 0 failed"
