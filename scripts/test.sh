#!/usr/bin/env bash
# Builds 租書系統 with warnings as errors and runs the whole test suite headless.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/deps.sh"
need_packages "${BUILD_PACKAGES[@]}"

cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DBOOKRENTAL_WERROR=ON >/dev/null
cmake --build "$here/build" -j"$(nproc)"
cd "$here/build"
QT_QPA_PLATFORM=offscreen ctest -j"$(nproc)" --output-on-failure "$@"
