#!/usr/bin/env bash
# Sets up, builds and runs every test: the RelWithDebInfo build, then the same tests built with
# AddressSanitizer and UndefinedBehaviorSanitizer, then the threaded tests under ThreadSanitizer,
# then the Windows DLL cross-built with MinGW-w64 and its tests under Wine.
# QUARN_TEST_PRESETS chooses other presets (for example "default" alone while iterating).
set -euo pipefail
cd "$(dirname "$0")/.."
presets=${QUARN_TEST_PRESETS:-default asan tsan windows}
case " $presets " in
    *" windows "*) scripts/setup.sh --windows ;;
    *) scripts/setup.sh ;;
esac
jobs=$(nproc)
for preset in $presets; do
    echo "== $preset"
    started=$SECONDS
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
    echo "== $preset: $((SECONDS - started)) s"
done
