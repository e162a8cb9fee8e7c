#!/usr/bin/env bash
# Sets up, builds and runs every test: the RelWithDebInfo build, then the same tests built with
# AddressSanitizer and UndefinedBehaviorSanitizer, then the threaded tests under ThreadSanitizer,
# then the Windows DLL cross-built with MinGW-w64 and in Microsoft's C++ ABI with clang-cl, each
# with its tests under Wine.
# QUARN_TEST_PRESETS chooses other presets (for example "default" alone while iterating).
set -euo pipefail
cd "$(dirname "$0")/.."
presets=${QUARN_TEST_PRESETS:-default asan tsan windows windows-msvc}
case " $presets " in
    *" windows "* | *" windows-msvc "*) scripts/setup.sh --windows ;;
    *) scripts/setup.sh ;;
esac
jobs=$(nproc)
for preset in $presets; do
    # The clang-cl build needs the Microsoft C++ Standard Library's release archive, which no
    # package provides: without it the preset is skipped, and says why.
    if [ "$preset" = windows-msvc ]; then
        archive=${QUARN_MSVC_STL_ARCHIVE:-$(pwd)/../shared/toolchains/msvc-stl-vs-2022-17.10.tar.xz}
        if [ ! -f "$archive" ]; then
            echo "== $preset: skipped: no Microsoft C++ Standard Library archive at $archive" \
                "(set QUARN_MSVC_STL_ARCHIVE; cmake/msvc-abi/README.md says what it is)"
            continue
        fi
        configure=(cmake --preset "$preset" -DQUARN_MSVC_STL_ARCHIVE="$archive")
    else
        configure=(cmake --preset "$preset")
    fi
    echo "== $preset"
    started=$SECONDS
    "${configure[@]}" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
    echo "== $preset: $((SECONDS - started)) s"
done
