#!/usr/bin/env bash
# Measures quarn-dial-sim live on a virtual display: the time from a wheel event to the painting
# of the first frame that began after the dial handled it (median and 99th percentile, from the
# live mode's --latency-log), and the process's CPU use over 5 s with the overlay hidden and
# over 5 s of turning the wheel 50 notches a second (the overlay shown and changing).
#
#   bench/live_latency.sh [path/to/quarn-dial-sim]   (default: build/default/tools/sim/quarn-dial-sim)
set -euo pipefail
cd "$(dirname "$0")/.."
sim=${1:-build/default/tools/sim/quarn-dial-sim}
if [[ ! -x $sim ]]; then
    echo "no simulator at $sim: build it first (cmake --build --preset default --target quarn-dial-sim)" >&2
    exit 2
fi
if [[ -z ${QUARN_LIVE_ON_XVFB:-} ]]; then
    QUARN_LIVE_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1920x1200x24" "$0" "$sim"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$sim" live examples/paint.json --transcript "$work/transcript.txt" \
    --latency-log "$work/latency.txt" 2>"$work/errors.txt" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name 'quarn-dial-sim live' | head -1)
# Colour, the seventh entry of the side panel's menu: a group, whose overlay is a disc.
xdotool mousemove --window "$window" 1320 206 click 1 mousemove --window "$window" 640 400

ticks=$(getconf CLK_TCK)
cpu() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
# Percent of one core over `seconds`.
measure() {
    local before after seconds=$1
    before=$(cpu)
    sleep "$seconds"
    after=$(cpu)
    awk -v a="$before" -v b="$after" -v t="$ticks" -v s="$seconds" \
        'BEGIN { printf "%.1f", 100 * (b - a) / t / s }'
}

xdotool click 4 && sleep 3  # shown by the turn, hidden 2 s later
hidden=$(measure 5)
xdotool click --repeat 250 --delay 20 4 &
spinning=$(measure 5)
wait $!
kill -INT "$pid"
wait "$pid"

sort -n "$work/latency.txt" >"$work/sorted.txt"
count=$(wc -l <"$work/sorted.txt")
percentile() { sed -n "$(awk -v n="$count" -v p="$1" 'BEGIN { i = int(n * p + 0.999); print (i < 1 ? 1 : i) }')p" "$work/sorted.txt"; }
printf 'wheel events measured: %d\n' "$count"
printf 'wheel event to painted frame: median %.1f ms, p99 %.1f ms\n' "$(percentile 0.5)" "$(percentile 0.99)"
printf 'CPU, overlay hidden: %s %% of a core\n' "$hidden"
printf 'CPU, spinning 50 notches/s: %s %% of a core\n' "$spinning"
