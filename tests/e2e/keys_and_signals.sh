#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program under Xvfb, driven by real key events: every command key opens its dialog or
# writes its file once per press, the animation keeps running while a dialog opened by a key is
# showing, and a termination signal ends the program from under a message box, with its settings
# written and failed writes reported on standard error.
# Usage: keys_and_signals.sh PROGRAM
set -euo pipefail
program="$1"

for tool in Xvfb xdotool import compare inotifywait ffprobe; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh installs it)"; exit 1; }
done

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
watch_pid=""
mounted=""
cleanup() {
    [ -n "$app_pid" ] && kill -9 "$app_pid" 2>/dev/null || true
    [ -n "$watch_pid" ] && kill "$watch_pid" 2>/dev/null || true
    [ -n "$mounted" ] && umount "$mounted" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
check() {  # check DESCRIPTION COMMAND...
    local what="$1"
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}

source "$(dirname "${BASH_SOURCE[0]}")/../support/xvfb.sh"
start_xvfb "$work"
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$work/out"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
config="$XDG_CONFIG_HOME/Orvantic/ondulix"
mkdir -p "$config"

start_program() {
    "$program" >"$work/program.log" 2>"$work/program.err" &
    app_pid=$!
    window="$(xdotool search --sync --onlyvisible --name '^ ondulix$' | head -n 1)"
    sleep 1
}

# How many visible windows have exactly this title.
windows_named() {
    local count=0 id
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        count=$((count + 1))
    done
    echo "$count"
}

wait_for_window() {  # wait_for_window TITLE: up to 10 s
    for _ in $(seq 100); do
        [ "$(windows_named "$1")" -ge 1 ] && return 0
        sleep 0.1
    done
    return 1
}

# The bottom row of the window, with the time track bar: it moves while the animation runs.
time_row_moves() {
    import -window root -crop 1024x70+0+698 "$work/row1.png"
    sleep 0.6
    import -window root -crop 1024x70+0+698 "$work/row2.png"
    local changed
    changed="$(compare -metric AE "$work/row1.png" "$work/row2.png" null: 2>&1 || true)"
    [ "${changed%% *}" -gt 20 ] 2>/dev/null
}

ends_within_a_second() {
    kill -TERM "$app_pid"
    for _ in $(seq 10); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$app_pid" 2>/dev/null; then
        return 1
    fi
    local status=0
    wait "$app_pid" || status=$?
    app_pid=""
    [ "$status" -eq 0 ]
}

# --- Keys ---------------------------------------------------------------------------------------
start_program
xdotool windowfocus --sync "$window"
inotifywait -q -m -e moved_to --format '%f' "$work/out" >"$work/writes.log" 2>/dev/null &
watch_pid=$!
sleep 0.5
xdotool key space
save_title="Save graphic to file"

xdotool key ctrl+u
check "Ctrl+U opens the save dialog" wait_for_window "$save_title"
check "the animation runs while the dialog of Ctrl+U is open" time_row_moves
xdotool key Escape
sleep 1.5
check "after Escape no save dialog comes back" test "$(windows_named "$save_title")" -eq 0

xdotool key ctrl+u
wait_for_window "$save_title" || true
xdotool key ctrl+a
xdotool type --delay 20 "$work/out/wave.svg"
xdotool key Return
sleep 1.5
check "after saving no save dialog comes back" test "$(windows_named "$save_title")" -eq 0
check "Save As wrote once" test "$(grep -c . "$work/writes.log")" -eq 1
xdotool key ctrl+s
sleep 1
check "Ctrl+S wrote once more" test "$(grep -c . "$work/writes.log")" -eq 2

settings_title=" ondulix - Settings"
xdotool key ctrl+e
check "Ctrl+E opens the settings" wait_for_window "$settings_title"
check "the animation runs while the settings opened by Ctrl+E are open" time_row_moves
xdotool key Escape
sleep 1.5
check "after Escape the settings do not come back" test "$(windows_named "$settings_title")" -eq 0

xdotool key ctrl+p
sleep 1.5
if [ "$(windows_named "Print")" -ge 1 ]; then
    check "the animation runs while the print dialog opened by Ctrl+P is open" time_row_moves
    xdotool key Escape
    sleep 1.5
    check "after Escape no print dialog comes back" test "$(windows_named "Print")" -eq 0
else
    echo "(no printer here: Ctrl+P opens nothing)"
fi
# A preset key sets the amplitudes and the phase: the readout beside the drawing changes, and the
# settings file gets the preset's values, whose state the renderer names.
xdotool key Escape
sleep 0.5
import -window root -crop 150x120+860+32 "$work/readout1.png"
xdotool key alt+1
sleep 0.5
import -window root -crop 150x120+860+32 "$work/readout2.png"
readout_change="$(compare -metric AE "$work/readout1.png" "$work/readout2.png" null: 2>&1 || true)"
check "Alt+1 changes the readout" test "${readout_change%% *}" -gt 50
# Ctrl+M exports the animation through its dialog: 64 frames of GIF into the chosen file.
animation_title="Export animation"
xdotool key ctrl+m
check "Ctrl+M opens the animation export" wait_for_window "$animation_title"
xdotool key Tab End Tab Tab Tab Home Tab ctrl+a
xdotool type --delay 20 "$work/out/period.gif"
xdotool key Return
for _ in $(seq 100); do
    [ -s "$work/out/period.gif" ] && [ "$(windows_named "$animation_title")" -eq 0 ] && break
    sleep 0.2
done
check "the export wrote a GIF of 64 frames" test "$(ffprobe -v error -count_frames -select_streams v:0 \
    -show_entries stream=nb_read_frames -of csv=p=0 "$work/out/period.gif" 2>/dev/null)" = 64
check "SIGTERM ends the program normally" ends_within_a_second
check "the preset's amplitudes and phase are stored" \
    grep -q $'^HorizontalAmplitude=100\r$' "$config/ondulix.ini"
check "the preset's vertical amplitude is stored" grep -q $'^VerticalAmplitude=0\r$' "$config/ondulix.ini"
check "the stored scene is horizontal linear" \
    bash -c '"$1" --describe --settings "$2" | grep -q "\"state\": \"linear\""' _ \
    "$(dirname "$program")/ondulix-render" "$config/ondulix.ini"

# --- A signal while the start-up warning is showing -------------------------------------------
printf '[General]\r\nScreenWidth=abc\r\n' >"$config/ondulix.ini"
start_program
wait_for_window " ondulix" || true
check "the start-up warning shows beside the window" test "$(windows_named " ondulix")" -eq 2
check "SIGTERM ends the program from under the warning within a second" ends_within_a_second
check "the settings were written at the end" grep -q '^ScreenWidth=0.3' "$config/ondulix.ini"

# --- Failed writes at a signal are reported on standard error ----------------------------------
printf '[General]\r\nScreenWidth=abc\r\n' >"$config/ondulix.ini"
if mount --bind "$config" "$config" 2>/dev/null; then
    mounted="$config"
    if mount -o remount,ro,bind "$config" 2>/dev/null; then
        start_program
        check "SIGTERM with a read-only settings folder ends the program" ends_within_a_second
        check "both failed writes are on standard error" \
            test "$(grep -c 'Read-only file system' "$work/program.err")" -eq 2
    else
        echo "(cannot make a read-only folder here: skipped the failed writes)"
    fi
    umount "$config"
    mounted=""
else
    echo "(cannot mount here: skipped the failed writes)"
fi

if [ "$failures" -ne 0 ]; then
    echo "--- program's standard error"
    cat "$work/program.err"
    echo "$failures failed"
    exit 1
fi
echo "all passed"
