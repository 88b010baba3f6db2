#!/usr/bin/env bash
# Builds the benchmarks in build-bench (optimised), makes the large shop when it is missing, runs
# the desk benchmark on it, then starts the real program on the shop under a virtual display and
# reads its resident size once the window is up.
#
#   bench/run.sh [SHOP] [bench_desk options: --runs N, --trace]
#   (SHOP defaults to build-bench/large.mdb)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
shop="$build/large.mdb"
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then
    shop=$1
    shift
fi
targetMb=150

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
make -C "$build" -j"$(nproc)" bench_desk bookrental demoshop >/dev/null

if [ ! -e "$shop" ]; then
    "$build/demoshop" --large "$shop"
fi

"$build/bench/bench_desk" --shop "$shop" "$@"

echo
if ! command -v xvfb-run >/dev/null || ! command -v xwininfo >/dev/null; then
    echo "xvfb-run or xwininfo is missing (packages xvfb, x11-utils): the program's resident size is not measured"
    exit 0
fi

log=$(mktemp)
# xvfb-run runs the program as its own child, which is how it is found below.
(unset QT_QPA_PLATFORM; exec xvfb-run -a "$build/bookrental" "$shop") >"$log" 2>&1 &
xvfb=$!
stop() {
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    rm -f "$log"
}
trap stop EXIT

pid=""
for _ in $(seq 100); do
    pid=$(pgrep -P "$xvfb" -x bookrental || true)
    [ -n "$pid" ] && break
    sleep 0.1
done
if [ -z "$pid" ]; then
    echo "the program did not start:"
    cat "$log"
    exit 1
fi

envOf() { tr '\0' '\n' <"/proc/$pid/environ" | sed -n "s/^$1=//p"; }
display=$(envOf DISPLAY)
auth=$(envOf XAUTHORITY)
up=""
start=$(date +%s.%N)
for _ in $(seq 300); do
    if DISPLAY=$display XAUTHORITY=$auth xwininfo -root -tree 2>/dev/null | grep -q '租書系統'; then
        up=yes
        break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$up" ]; then
    echo "the program's window did not come up:"
    cat "$log"
    exit 1
fi
waited=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
# Let the desk finish what it does after showing: read at least 5 s after the start.
sleep "$(awk -v w="$waited" 'BEGIN { print (w < 4 ? 5 - w : 1) }')"
kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
awk -v kb="$kb" -v t="$targetMb" -v w="$waited" 'BEGIN {
    mb = kb / 1024
    printf "resident size (VmRSS) of build-bench/bookrental with the shop open (window up after %s s): %.1f MB (target < %d MB: %s)\n", w, mb, t, mb < t ? "ok" : "MISSED"
}'
