#!/usr/bin/env bash
# Builds 租書系統 and starts it on BookDB.mdb in the current directory (or the path given).
# On the very first run, when no shop file exists yet, it fills a demo shop to try.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/deps.sh"
need_packages "${BUILD_PACKAGES[@]}" fonts-noto-cjk

cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build "$here/build" -j"$(nproc)" --target bookrental demoshop

shop="${1:-BookDB.mdb}"
if [ ! -e "$shop" ]; then
    echo "No shop file yet: filling a demo shop in $shop"
    "$here/build/demoshop" "$shop"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "There is no graphical display here (DISPLAY is not set), so the program cannot show its windows."
    echo "To start it anyway on a virtual display, run:"
    echo "  sudo apt-get install -y xvfb xauth && xvfb-run -a $here/build/bookrental $shop"
    exit 2
fi
exec "$here/build/bookrental" "$shop"
