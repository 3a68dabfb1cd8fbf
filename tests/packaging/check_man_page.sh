#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks a manual page: groff formats it without a warning, and, given the program, the page
# describes every option that the program's --help lists. Usage: check_man_page.sh PROGRAM|"" PAGE
set -euo pipefail
program="$1"
page="$2"

command -v groff >/dev/null || { echo "missing groff (scripts/setup.sh installs groff-base)"; exit 1; }
warnings="$(groff -man -ww -z "$page" 2>&1)"
if [ -n "$warnings" ]; then
    echo "groff warns about $page:"
    echo "$warnings"
    exit 1
fi
echo "groff formats $page without warnings"

[ -n "$program" ] || exit 0
options="$(QT_QPA_PLATFORM=offscreen "$program" --help | grep -oE -- '(^|[ ,])--[a-z][a-z-]*' |
           sed 's/^[ ,]*//' | sort -u)"
[ -n "$options" ] || { echo "$program --help lists no options"; exit 1; }
# Every option is the tag of an entry: a line of the formatted page that starts with it, or that
# names it after a comma (as in "--width PX, --height PX").
text="$(groff -man -Tascii -P-cbou "$page" 2>/dev/null)"
missing=0
count=0
for option in $options; do
    count=$((count + 1))
    if ! grep -qE -- "^ {7}(.*, )?${option}( |,|$)" <<<"$text"; then
        echo "$page does not describe $option"
        missing=$((missing + 1))
    fi
done
echo "$count options in --help, $missing not described"
[ "$missing" -eq 0 ]
