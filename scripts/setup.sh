# SPDX-License-Identifier: GPL-3.0-or-later
# Shared set-up of the project's scripts: installs what is missing on Debian 12 and builds.
# Sourced, not run; expects ROOT to be the repository's top folder.

ONDULIX_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-svg-dev libgl-dev qt6-translations-l10n libxcb1-dev libxcb-shm0-dev
    libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libwebp-dev libgif-dev
    libimagequant-dev ffmpeg webp
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-liberation
    xvfb xauth xdotool imagemagick inotify-tools
    emf2svg poppler-utils
    dpkg-dev debhelper lintian file desktop-file-utils appstream groff-base
    weston qt6-wayland
    clang-14 libclang-rt-14-dev
)

# What the browser page needs besides: the compiler, a browser for its tests and npm for the
# browser's driver (Debian's, unless the machine has a Node.js with its own npm).
ONDULIX_WEB_PACKAGES=(emscripten chromium fonts-liberation)
if ! command -v npm >/dev/null 2>&1; then
    ONDULIX_WEB_PACKAGES+=(nodejs npm)
fi

# ondulix_install_missing [PACKAGE...]: the project's packages unless others are named.
ondulix_install_missing() {
    local wanted=("$@")
    if [ ${#wanted[@]} -eq 0 ]; then
        wanted=("${ONDULIX_PACKAGES[@]}")
    fi
    local missing=()
    local pkg
    for pkg in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# ondulix_build FOLDER [extra cmake arguments...]
ondulix_build() {
    local folder="$1"
    shift
    cmake -S "$ROOT" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$folder" -j "$(nproc)"
}
