#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer) and
# runs each fuzzer for SECONDS (default 60), starting from its committed seeds in fuzz/corpus.
#
#   scripts/fuzz.sh [SECONDS] [FUZZER...]
#
# A crash, a leak, a hang (over 10 s for one input) or a sanitizer report stops that fuzzer; the
# script still runs the others, then fails. The input that did it is left in
# build/fuzz/reproducers/<fuzzer>/; replay it with build/fuzz/fuzz/<fuzzer> <file> and the
# LSAN_OPTIONS below (fontconfig keeps its caches to the end), adding QUARN_FUZZ_TRACE=1 for the
# event fuzzer's steps. What each run found grows build/fuzz/corpus/<fuzzer>/, which later runs
# start from too.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
seconds=${1:-60}
shift || true
fuzzers=("$@")
if [ ${#fuzzers[@]} -eq 0 ]; then
    fuzzers=(fuzz_dial_events fuzz_host_description fuzz_script)
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" --target "${fuzzers[@]}"

root=$PWD
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for fuzzer in "${fuzzers[@]}"; do
    corpus=build/fuzz/corpus/$fuzzer
    reproducers=build/fuzz/reproducers/$fuzzer
    mkdir -p "$corpus" "$reproducers"
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
             -artifact_prefix="$reproducers/")
    if [ "$fuzzer" = fuzz_dial_events ]; then
        options+=(-max_len=4096 -len_control=0)  # room for long sequences from the start
        # Every input of this fuzzer touches thousands of features (a host, a dial, a menu), and
        # the entropic schedule's bookkeeping per feature took more CPU than the inputs did: without
        # it the same 6,000 inputs from the same seeds took a third of the CPU, for coverage within
        # the spread of such runs (bench/REPORT.md, Fuzzing).
        options+=(-entropic=0)
    fi
    if [ -f "fuzz/dict/$fuzzer.dict" ]; then
        options+=(-dict="fuzz/dict/$fuzzer.dict")
    fi
    echo "== $fuzzer, $seconds s"
    log=build/fuzz/$fuzzer.log
    seeds=()
    if [ -d "fuzz/corpus/$fuzzer" ]; then
        seeds=("fuzz/corpus/$fuzzer")
    fi
    if build/fuzz/fuzz/"$fuzzer" "${options[@]}" "$corpus" "${seeds[@]}" >"$log" 2>&1; then
        grep -E '^stat::|^#[0-9]+ +DONE' "$log" || true
    else
        tail -n 60 "$log"
        echo "fuzz: $fuzzer failed; reproducer in $reproducers/:" >&2
        ls "$reproducers" >&2
        failed+=("$fuzzer")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: failed: ${failed[*]}" >&2
    exit 1
fi
