# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts that run programs on a display of their own.
# start_xvfb FOLDER: starts Xvfb (its log in FOLDER/xvfb.log), sets xvfb_pid for the caller's
# clean-up and exports DISPLAY; exits the script when no display comes up.
start_xvfb() {
    local folder="$1" display
    # Xvfb writes the number of the display it took to the pipe.
    exec 3<> <(:)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$folder/xvfb.log" 2>&1 &
    xvfb_pid=$!
    read -r -t 20 display <&3 || { echo "Xvfb did not start"; cat "$folder/xvfb.log"; exit 1; }
    export DISPLAY=":$display"
}
