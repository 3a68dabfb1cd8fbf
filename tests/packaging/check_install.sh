#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into an empty prefix, as the Debian package does, and checks what lands
# there: exactly the expected files, icons of their nominal sizes, a valid desktop entry whose
# program and icon are installed, valid AppStream data naming that entry, readable manual pages,
# and installed programs that run. Usage: check_install.sh BUILD_FOLDER VERSION
set -euo pipefail
build="$1"
version="$2"

for tool in desktop-file-validate appstreamcli identify groff; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh installs it)"; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
root="$work/root"
cmake --install "$build" --prefix "$root/usr" >"$work/install.log"

id=org.orvantic.ondulix
expected=(
    usr/bin/ondulix
    usr/bin/ondulix-render
    "usr/share/applications/$id.desktop"
    "usr/share/metainfo/$id.metainfo.xml"
    usr/share/icons/hicolor/scalable/apps/ondulix.svg
    usr/share/man/man1/ondulix.1.gz
    usr/share/man/man1/ondulix-render.1.gz
    usr/share/ondulix/help/English.html
    usr/share/ondulix/help/German.html
)
sizes=(16 32 48 64 128 256)
for size in "${sizes[@]}"; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/ondulix.png")
done

failed=0
fail() {
    echo "FAIL: $*"
    failed=$((failed + 1))
}

# Exactly these files: nothing missing, and no helper, test or library slipping into the package.
printf '%s\n' "${expected[@]}" | sort >"$work/expected"
(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$work/installed"
if ! diff -u "$work/expected" "$work/installed" >"$work/diff"; then
    fail "installed files differ from the expected list (- missing, + unexpected):"
    cat "$work/diff"
fi
for program in ondulix ondulix-render; do
    [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program is not executable"
done

for size in "${sizes[@]}"; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/ondulix.png"
    [ -f "$png" ] || continue
    got="$(identify -format '%m %wx%h' "$png")"
    [ "$got" = "PNG ${size}x${size}" ] || fail "${size}x${size}/apps/ondulix.png is $got"
    # Drawn, not blank: a fully transparent or one-colour picture has a single colour.
    colours="$(identify -format '%k' "$png")"
    [ "$colours" -gt 8 ] || fail "${size}x${size}/apps/ondulix.png has only $colours colours"
done

desktop="$root/usr/share/applications/$id.desktop"
if [ -f "$desktop" ]; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $id.desktop"
    exec_program="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
    [ -x "$root/usr/bin/$exec_program" ] || fail "Exec=$exec_program is not an installed program"
    icon="$(sed -n 's/^Icon=//p' "$desktop")"
    [ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
        fail "Icon=$icon is not an installed icon"
    grep -q '^Comment\[de\]=' "$desktop" || fail "$id.desktop has no German comment"
fi

metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
if [ -f "$metainfo" ]; then
    appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
        { fail "appstreamcli rejects $id.metainfo.xml"; cat "$work/appstream.log"; }
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "the metainfo does not name $id.desktop as its launchable"
fi

for page in ondulix ondulix-render; do
    gz="$root/usr/share/man/man1/$page.1.gz"
    [ -f "$gz" ] || continue
    warnings="$(gzip -dc "$gz" | groff -man -ww -z 2>&1)"
    [ -z "$warnings" ] || fail "man page $page.1.gz: $warnings"
done

# The installed programs run from their installed place with the system's libraries.
got="$("$root/usr/bin/ondulix" --version)" || fail "installed ondulix --version failed"
[ "$got" = "ondulix $version" ] || fail "installed ondulix --version printed '$got'"
if QT_QPA_PLATFORM=offscreen "$root/usr/bin/ondulix-render" --width 320 --height 240 \
    "$work/scene.png" 2>"$work/render.log"; then
    got="$(identify -format '%m %wx%h' "$work/scene.png")"
    [ "$got" = "PNG 320x240" ] || fail "the installed ondulix-render drew $got"
else
    fail "the installed ondulix-render failed: $(cat "$work/render.log")"
fi

if [ "$failed" -ne 0 ]; then
    echo "$failed check(s) failed"
    exit 1
fi
echo "installed ${#expected[@]} files as expected; desktop entry, metainfo, manual pages valid"
