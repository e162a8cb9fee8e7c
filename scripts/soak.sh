#!/usr/bin/env bash
# Soak run, by hand and not in CI: drives quarn-dial-sim for a given time with continuous
# rotation, puck contacts, tool changes, history steps and notifications while the overlay's render
# thread draws at 60 Hz, and samples the process's resident memory, thread count and open
# descriptors every few seconds. After the warm-up the resident memory must stay within 1 MiB
# and the threads and descriptors must not grow; the last line is the verdict (exit status 1 when
# it fails).
#
#   scripts/soak.sh [--minutes N] [--every SECONDS] [--sim path/to/quarn-dial-sim]
#   (defaults: 10 minutes, a sample every 5 seconds, build/default/tools/sim/quarn-dial-sim)
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=10
every=5
sim=build/default/tools/sim/quarn-dial-sim
while [[ $# -gt 0 ]]; do
    case $1 in
        --minutes) minutes=$2; shift 2 ;;
        --every) every=$2; shift 2 ;;
        --sim) sim=$2; shift 2 ;;
        *) echo "usage: $0 [--minutes N] [--every SECONDS] [--sim PATH]" >&2; exit 2 ;;
    esac
done
if [[ ! -x $sim ]]; then
    echo "no simulator at $sim: build it first (cmake --build --preset default --target quarn-dial-sim)" >&2
    exit 2
fi
work=$(mktemp -d)
pid=""
trap '[[ -n $pid ]] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

# One cycle of a user's work on the bundled example: every kind of event, with the puck on the
# screen most of the time so that the overlay stays up and the render thread keeps drawing.
cycle() {
    cat <<'DIAL'
tool Paint Brush
select Size
contact 400 300
rotate 3 x4 every 16
move 420 310
select Colour
rotate -5 x2 every 16
click
hit 469 104
lift
rotate 2 every 16
notify update-all
notify invalidate size
history push Brush stroke
select History
rotate -12 every 100
select Size
history undo
selection levels layer
tool --from-selection Paint Brush
notify adjustment
selection none
tool Levels
select Gamma
acquire 640 400
rotate 4 x2 every 16
key shift down
rotate -4 every 16
key shift up
lose
wait 300
DIAL
}

# The simulator runs a script as fast as it can, so the script must hold enough cycles for the
# time asked: measure a short run, then size the script for the time plus a margin.
make_script() {
    local cycles=$1 out=$2
    {
        printf 'resources resources\nattach\n'
        local block
        block=$(for _ in $(seq 100); do cycle; done)
        for ((i = 0; i < cycles; i += 100)); do
            printf '%s\n' "$block"
        done
    } >"$out"
}
cp examples/paint.json "$work/paint.json"
cp -r examples/resources "$work/resources" 2>/dev/null || true
make_script 2000 "$work/probe.dial"
start=$(date +%s.%N)
"$sim" "$work/paint.json" "$work/probe.dial" --transcript /dev/null
probe=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
# Rotation events per cycle: 4 + 2 + 1 + 1 + 2 + 1 = 11; the simulator takes at most
# 10,000,000 a script.
cycles=$(awk -v p="$probe" -v m="$minutes" 'BEGIN {
    n = int(2000 * (m * 60) / p * 2); if (n > 900000) n = 900000; print n }')
make_script "$cycles" "$work/soak.dial"
echo "soak: ${minutes} min, ${cycles} cycles ($(wc -l <"$work/soak.dial") commands; a cycle of 2000 took ${probe} s)"

"$sim" "$work/paint.json" "$work/soak.dial" --transcript /dev/null &
pid=$!
deadline=$(($(date +%s) + minutes * 60))
warmup=$(awk -v m="$minutes" 'BEGIN { w = int(m * 60 / 5); if (w < 30) w = 30; print w }')
begin=$(date +%s)
printf '%8s %10s %8s %12s\n' seconds rss-KiB threads descriptors
samples="$work/samples"
: >"$samples"
while kill -0 "$pid" 2>/dev/null && (($(date +%s) < deadline)); do
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
    threads=$(awk '/^Threads:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
    fds=$(ls "/proc/$pid/fd" 2>/dev/null | wc -l)
    [[ -z $rss ]] && break
    t=$(($(date +%s) - begin))
    printf '%8d %10d %8d %12d\n' "$t" "$rss" "$threads" "$fds"
    echo "$t $rss $threads $fds" >>"$samples"
    sleep "$every"
done
ran=$(($(date +%s) - begin))
if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    ended="stopped at the deadline"
else
    status=0
    wait "$pid" || status=$?
    ended="ended by itself with status $status before the deadline"
    if ((status != 0)); then
        echo "VERDICT: FAIL: the simulator $ended"
        exit 1
    fi
    # The probe sized the script too small (the machine got faster than it measured): the run
    # proves less than asked, which is no pass.
    echo "VERDICT: FAIL: the script ran out after ${ran} s of $((minutes * 60)) s"
    exit 1
fi
pid=""
# Threads and descriptors are judged by their floor: the menu build opens each icon file for a
# moment, so a sample may catch one more descriptor than usual, but a leak raises the count that
# every sample sees. Growth is a higher minimum in the last third of the samples than in the first.
awk -v warm="$warmup" -v ran="$ran" -v ended="$ended" '
    $1 >= warm { n++; rss[n] = $2; thr[n] = $3; fd[n] = $4 }
    function floor_of(a, from, to,    i, m) {
        m = a[from]
        for (i = from + 1; i <= to; i++) if (a[i] < m) m = a[i]
        return m
    }
    END {
        if (n < 3) { print "VERDICT: FAIL: too few samples after the warm-up"; exit 1 }
        lo = hi = rss[1]
        for (i = 2; i <= n; i++) { if (rss[i] < lo) lo = rss[i]; if (rss[i] > hi) hi = rss[i] }
        third = int(n / 3)
        t0 = floor_of(thr, 1, third); t1 = floor_of(thr, n - third + 1, n)
        f0 = floor_of(fd, 1, third); f1 = floor_of(fd, n - third + 1, n)
        printf "ran %d s (%s); after the %d s warm-up: %d samples, RSS %d..%d KiB (spread %d KiB, last - first %+d KiB), threads %d -> %d, descriptors %d -> %d (floors of the first and last third)\n", ran, ended, warm, n, lo, hi, hi - lo, rss[n] - rss[1], t0, t1, f0, f1
        if (hi - lo > 1024) { print "VERDICT: FAIL: resident memory moved by more than 1 MiB"; exit 1 }
        if (t1 > t0) { print "VERDICT: FAIL: the thread count grew"; exit 1 }
        if (f1 > f0) { print "VERDICT: FAIL: the open descriptors grew"; exit 1 }
        print "VERDICT: PASS: memory within 1 MiB, threads and descriptors steady"
    }' "$samples"
