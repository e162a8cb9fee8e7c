#!/usr/bin/env bash
# Measures quarn-dial-sim itself on a session of 1,000,000 rotation events without frames, written
# as one repeated line and as a million lines: wall time, rotation events per second and peak
# resident memory (the simulator must stay under 64 MB and reach 100,000 events per second).
#
#   bench/sim_session.sh [path/to/quarn-dial-sim]   (default: build/default/tools/sim/quarn-dial-sim)
set -euo pipefail
cd "$(dirname "$0")/.."
sim=${1:-build/default/tools/sim/quarn-dial-sim}
if [[ ! -x $sim ]]; then
    echo "no simulator at $sim: build it first (cmake --build --preset default --target quarn-dial-sim)" >&2
    exit 2
fi
events=1000000
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/host.json" <<'JSON'
{"tools": [{"name": "Brush", "items": [
  {"kind": "double", "id": "size", "name": "Size", "value": 10, "range": [0, 100]}]}]}
JSON
printf 'attach\ntool Brush\nselect Size\nrotate 1 x%d\n' "$events" >"$work/one-line.dial"
{
    printf 'attach\ntool Brush\nselect Size\n'
    awk -v n="$events" 'BEGIN { for (i = 0; i < n; i++) print (i % 2 ? "rotate -1" : "rotate 1") }'
} >"$work/many-lines.dial"

# Runs the simulator and prints "wall-seconds cpu-seconds peak-kilobytes". The peak is the
# kernel's high-water mark of the process's resident set, read (without forking) until it exits;
# the CPU time is the children's user and system time, which tells the simulator's own cost on a
# machine that other work shares.
measure() {
    local start end peak=0 key value rest
    start=$(date +%s.%N)
    "$sim" "$work/host.json" "$1" --transcript "$work/transcript.txt" &
    local pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        while read -r key value rest; do
            [[ $key == VmHWM: && $value -gt $peak ]] && peak=$value
        done <"/proc/$pid/status" 2>/dev/null || true
        sleep 0.1
    done
    wait "$pid"
    end=$(date +%s.%N)
    # The second line of `times` holds the children's user and system time: "0m1.704s 0m0.209s".
    times >"$work/times"
    echo "$start $end $(sed -n 2p "$work/times") $peak"
}

printf '%-28s %9s %9s %14s %14s %12s\n' session wall-s cpu-s events/s-wall events/s-cpu \
    "peak RSS MB"
for script in one-line many-lines; do
    read -r start end user system peak < <(measure "$work/$script.dial")
    awk -v name="$script ($events events)" -v a="$start" -v b="$end" -v u="$user" \
        -v y="$system" -v n="$events" -v kb="$peak" '
        function seconds(t,  m) { m = t; sub(/m.*/, "", m); sub(/^[0-9]+m/, "", t); sub(/s$/, "", t); return m * 60 + t }
        BEGIN {
            wall = b - a; cpu = seconds(u) + seconds(y)
            printf "%-28s %9.2f %9.2f %14.0f %14.0f %12.1f\n", name, wall, cpu, n / wall, n / cpu, kb / 1024
        }'
done
