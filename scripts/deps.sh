#!/usr/bin/env bash
# Installs the Debian packages that building (and, with "run", showing) the program needs,
# when they are missing. Sourced by run.sh and test.sh.
set -euo pipefail

need_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
}

BUILD_PACKAGES=(cmake make g++ pkg-config qt6-base-dev qt6-base-dev-tools libqt6charts6-dev libgl-dev libsqlite3-dev)
