#!/usr/bin/env bash
# Builds the default preset, runs every benchmark and writes its section of bench/REPORT.md: one
# table with each figure, its target and the ratio of the figure to the target, and the machine it
# ran on. The machine may be shared: the load average before and after the run is part of the
# report.
#
#   scripts/bench-report.sh [--soak-result FILE]   (Markdown on a soak run to include: scripts/soak.sh)
#
# Only what lies between the report's markers is rewritten: the generated section between
# "<!-- bench-report.sh: begin -->" and "<!-- bench-report.sh: end -->", and with --soak-result the
# soak section ("## Soak" and the file) between "<!-- bench-report.sh soak: begin -->" and
# "<!-- bench-report.sh soak: end -->" (placed after the generated section when the report has
# none). Everything else in the report is written by hand (the notes on the misses, the fuzzing
# section) and stays as it is. A report without the generated section's markers is left alone
# and the script fails; a missing report is the generated section alone.
set -euo pipefail
cd "$(dirname "$0")/.."
soak=""
if [[ ${1:-} == --soak-result ]]; then
    soak=$2
fi
build=build/default
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target quarn_bench quarn_sim_bench quarn-dial-sim

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
"$build/bench/quarn_bench" --benchmark_format=json --benchmark_out="$work/core.json" \
    --benchmark_out_format=json --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true >/dev/null
"$build/bench/quarn_sim_bench" --benchmark_out="$work/sim.json" --benchmark_out_format=json \
    >/dev/null
bench/sim_session.sh "$build/tools/sim/quarn-dial-sim" >"$work/session.txt"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

python3 - "$work" "$load_before" "$load_after" >"$work/generated.md" <<'PY'
import json, os, platform, subprocess, sys, datetime
work, load_before, load_after = sys.argv[1:4]

def load(name):
    with open(os.path.join(work, name)) as f:
        return json.load(f)["benchmarks"]

core = load("core.json")
sim = load("sim.json")
# Medians of the repetitions, in nanoseconds of CPU time: the core figures run on one thread, and
# on a shared machine the CPU time is the part that is theirs.
def median(name):
    for b in core:
        if b.get("run_name") == name and b.get("aggregate_name") == "median":
            scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
            return b["cpu_time"] * scale
    raise SystemExit(f"benchmark {name} did not run")

rows = []
def at_most(figure, value, unit, target, target_text):
    rows.append((figure, value, unit, target_text, value / target, value <= target))
def at_least(figure, value, unit, target, target_text):
    rows.append((figure, value, unit, target_text, value / target, value >= target))

at_most("rotation event (device to host notification)", median("BM_RotationEvent"), "ns", 250,
        "< 250 ns")
for case in ("DownCast", "DownCastMiss", "VirtualBaseCast"):
    speedup = median(f"BM_{case}_Dynamic") / median(f"BM_{case}_Cached")
    at_least(f"cached class test, {case}: dynamic_cast / cached", speedup, "x", 10, ">= 10x")
at_most("Update, 30-entry menu, icons cached", median("BM_UpdateWithIconMenu") / 1e3, "us", 50,
        "< 50 us")
frames = [("ring, 1 element", "BM_RingFrameThroughInterface/1", "BM_RingFramePlainCairo/1"),
          ("ring, 3 elements", "BM_RingFrameThroughInterface/3", "BM_RingFramePlainCairo/3"),
          ("ring, 12 elements", "BM_RingFrameThroughInterface/12", "BM_RingFramePlainCairo/12"),
          ("disc", "BM_DiscFrameThroughInterface/3", "BM_DiscFramePlainCairo"),
          ("history label", "BM_HistoryFrameThroughInterface", "BM_HistoryFramePlainCairo"),
          ("value label", "BM_LabelFrameThroughInterface", "BM_LabelFramePlainCairo")]
for what, ours, plain in frames:
    mine, cairo = median(ours), median(plain)
    at_most(f"overlay frame, {what}: vs plain Cairo ({cairo / 1e3:.1f} us)", mine / cairo, "x",
            1.1, "<= 1.1x")
    at_most(f"overlay frame, {what}", mine / 1e3, "us", 1000, "< 1 ms")
for b in sim:
    name = "simulator in-process, " + b["name"].split("/")[0].replace("BM_Sim", "")
    at_least(f"{name}: events per second", b["events/s"], "/s", 100000, ">= 100,000/s")
    at_most(f"{name}: peak RSS, 1,000,000 events", b["peak_rss_MB"], "MB", 64, "< 64 MB")
with open(os.path.join(work, "session.txt")) as f:
    for line in f.read().splitlines()[1:]:
        parts = line.split()
        name = " ".join(parts[:-5])
        wall_rate, peak = float(parts[-3]), float(parts[-1])
        at_least(f"quarn-dial-sim {name}: events per second (wall)", wall_rate, "/s", 100000,
                 ">= 100,000/s")
        at_most(f"quarn-dial-sim {name}: peak RSS", peak, "MB", 64, "< 64 MB")

cpu = "unknown"
with open("/proc/cpuinfo") as f:
    for line in f:
        if line.startswith("model name"):
            cpu = line.split(":", 1)[1].strip()
            break
nproc = os.cpu_count()
now = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
commit = subprocess.run(["git", "rev-parse", "--short", "HEAD"], capture_output=True,
                        text=True).stdout.strip()

print("# Benchmark report\n")
print("Written by `scripts/bench-report.sh` (default preset, RelWithDebInfo). Core figures are the")
print("median CPU time of three repetitions; the simulator's are one run of 1,000,000 rotation")
print("events in wall time (in-process: `bench/sim_bench.cpp`; as a process: `bench/sim_session.sh`).")
print("The ratio is figure / target: at most 1 meets an upper bound, at least 1 a lower one.\n")
print(f"- date: {now}, commit {commit}")
print(f"- machine: {cpu}, `nproc` {nproc}, {platform.system()} {platform.release()}")
print(f"- load average (1, 5, 15 min) before: {load_before}; after: {load_after}. The machine is")
print("  shared with other builds, so absolute times carry their noise.\n")
print("| figure | value | target | ratio | met |")
print("|---|---:|---|---:|---|")
def fmt(v):
    return f"{v:,.0f}" if v >= 1000 else (f"{v:.1f}" if v >= 10 else f"{v:.3g}")
failed = 0
for figure, value, unit, target, ratio, met in rows:
    failed += not met
    print(f"| {figure} | {fmt(value)} {unit} | {target} | {ratio:.2f} | {'yes' if met else '**no**'} |")
print(f"\n{len(rows) - failed} of {len(rows)} figures meet their target.")
PY

python3 - bench/REPORT.md "$work/generated.md" "$soak" <<'PY'
import os, sys
report, generated, soak = sys.argv[1:4]

def block(name, text):
    return f"<!-- bench-report.sh{name}: begin -->\n{text.rstrip()}\n<!-- bench-report.sh{name}: end -->"

def replace(text, name, new):
    begin, end = f"<!-- bench-report.sh{name}: begin -->", f"<!-- bench-report.sh{name}: end -->"
    first, last = text.find(begin), text.find(end)
    if first < 0 or last < first or text.count(begin) != 1 or text.count(end) != 1:
        return None
    return text[:first] + block(name, new) + text[last + len(end):]

with open(generated) as f:
    table = f.read()
if os.path.exists(report):
    with open(report) as f:
        text = f.read()
    merged = replace(text, "", table)
    if merged is None:
        raise SystemExit(f"bench-report: {report} has no single pair of markers "
                         "'<!-- bench-report.sh: begin -->' and '<!-- bench-report.sh: end -->' "
                         "around its generated section; add them (nothing was written)")
else:
    merged = block("", table) + "\n"
if soak:
    with open(soak) as f:
        result = "## Soak\n\n" + f.read()
    with_soak = replace(merged, " soak", result)
    if with_soak is None:
        end = "<!-- bench-report.sh: end -->"
        at = merged.index(end) + len(end)
        with_soak = merged[:at] + "\n\n" + block(" soak", result) + merged[at:]
    merged = with_soak
with open(report, "w") as f:
    f.write(merged)
PY
cat bench/REPORT.md
