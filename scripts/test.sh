#!/usr/bin/env bash
# Sets up, builds and runs every test: the RelWithDebInfo build, then the same tests built with
# AddressSanitizer and UndefinedBehaviorSanitizer, then the threaded tests under ThreadSanitizer.
# QUARN_TEST_PRESETS chooses other presets (for example "default" alone while iterating).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
presets=${QUARN_TEST_PRESETS:-default asan tsan}
jobs=$(nproc)
for preset in $presets; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done
