#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real program on a Wayland compositor of its own (weston's headless back-end, which
# renders with pixman so that its screenshooter can read the screen back), once in the normal and
# once in the maximised window state, and ends it with SIGTERM the way a logout does. Each time the
# program must draw the waves, end with status 0 and write its settings: the size and the window
# state as usual, but the stored Left and Top as the file had them, since Wayland never tells a
# client where its window is. The keys are not tried here: the headless back-end has no seat, so
# no keyboard (and no pointer) reaches the program; tests/e2e/main_window.sh works the keys on X11.
# Exits 77 (skipped) where weston is not installed. Usage: wayland_window.sh PROGRAM
set -euo pipefail
program="$1"

if ! command -v weston >/dev/null; then
    echo "weston is not installed (scripts/setup.sh installs it); skipping the Wayland test"
    exit 77
fi
for tool in weston-screenshooter convert; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh installs it)"; exit 1; }
done

work="$(mktemp -d)"
weston_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill -9 "$app_pid" 2>/dev/null || true
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY
export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=ondulix-test
# In the sanitizer build, leaks are matched against tests/lsan.supp by whole stacks: some of what
# the Wayland plugin keeps until exit comes from a graphics driver unloaded by then, whose frames
# the fast unwinder loses.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0"
fi

# --debug lets weston-screenshooter read the screen; --no-config keeps a weston.ini out of it.
weston --backend=headless-backend.so --use-pixman --width=1280 --height=1024 --no-config \
    --socket="$WAYLAND_DISPLAY" --idle-time=0 --debug --log="$work/weston.log" >/dev/null 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]; then
    echo "weston did not start"
    cat "$work/weston.log"
    exit 1
fi

# Pixels of a wave colour (within 30 %) on the screen now: the waves are red and blue, the
# desktop and the window's frame grey; the toolbar's pictures have a few hundred of each.
screenshot() {
    local folder
    folder="$(mktemp -d -p "$work")"
    (cd "$folder" && weston-screenshooter >/dev/null 2>&1) || return 1
    ls "$folder"/*.png 2>/dev/null | head -n 1
}
colour_pixels() {
    convert "$1" -alpha off -fuzz 30% -fill black +opaque "$2" -fill white -opaque "$2" \
        -format '%[fx:round(mean*w*h)]' info:
}

settings="$XDG_CONFIG_HOME/Orvantic/ondulix/ondulix.ini"
failed=0
fail() {
    echo "FAIL: $*"
    failed=$((failed + 1))
}
# The program writes its file with CR LF line ends.
value() { tr -d '\r' <"$settings" | sed -n "/^\[FormMain\]/,/^\[/s/^$1=//p"; }

# state  width height: the size is the stored one in both states, being the normal placement.
rows=(
    "0 900 650"
    "2 900 650"
)
for row in "${rows[@]}"; do
    read -r state width height <<<"$row"
    name="WindowState=$state"
    mkdir -p "$(dirname "$settings")"
    printf '[General]\nSaveSettings=1\n\n[FormMain]\nLeft=123\nTop=77\nWidth=%s\nHeight=%s\nWindowState=%s\n' \
        "$width" "$height" "$state" >"$settings"

    "$program" >"$work/program.log" 2>&1 &
    app_pid=$!
    red=0
    blue=0
    for _ in $(seq 40); do
        sleep 0.5
        kill -0 "$app_pid" 2>/dev/null || break
        shot="$(screenshot)" || continue
        red="$(colour_pixels "$shot" red)"
        blue="$(colour_pixels "$shot" blue)"
        [ "$red" -gt 1000 ] && [ "$blue" -gt 1000 ] && break
    done
    echo "$name: $red red and $blue blue pixels on the screen"
    if ! kill -0 "$app_pid" 2>/dev/null; then
        fail "$name: the program died"
        cat "$work/program.log"
        wait "$app_pid" || true
        app_pid=""
        continue
    fi
    [ "$red" -gt 1000 ] && [ "$blue" -gt 1000 ] || fail "$name: the waves were not drawn"

    kill -TERM "$app_pid"
    for _ in $(seq 50); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$app_pid" 2>/dev/null; then
        fail "$name: the program did not end within 5 s of SIGTERM"
        kill -9 "$app_pid"
    fi
    status=0
    wait "$app_pid" || status=$?
    app_pid=""
    if [ "$status" -ne 0 ]; then
        fail "$name: exit status $status after SIGTERM"
        tail -n 40 "$work/program.log"
        continue
    fi

    # What the program wrote at its end, against what the file had.
    got="$(value Left) $(value Top) $(value Width) $(value Height) $(value WindowState)"
    want="123 77 $width $height $state"
    echo "$name: Left Top Width Height WindowState written: $got"
    [ "$got" = "$want" ] || fail "$name: the settings file has '$got', expected '$want'"
done

if [ "$failed" -ne 0 ]; then
    echo "$failed check(s) failed"
    exit 1
fi
echo "${#rows[@]} passed, 0 failed"
