#!/usr/bin/env bash
# Installs the Debian packages that building and testing need: only those missing, through sudo
# when not root. Both commands of the README call it first.
#
#   scripts/setup.sh             # the Linux build: library, simulator, tests, benchmarks
#   scripts/setup.sh --windows   # and the Windows cross builds (MinGW-w64, clang-cl) with their
#                                # Wine test runs
set -euo pipefail

windows=false
for argument in "$@"; do
    case "$argument" in
        --windows) windows=true ;;
        *)
            echo "setup: unknown option $argument (only --windows)" >&2
            exit 2
            ;;
    esac
done

packages=(
    build-essential
    cmake
    ninja-build
    pkg-config
    clang
    libclang-rt-14-dev
    clang-format
    libgtest-dev
    libgmock-dev
    libbenchmark-dev
    nlohmann-json3-dev
    libcli11-dev
    libutfcpp-dev
    libcairo2-dev
    libpango1.0-dev
    fonts-dejavu-core
    # The mutation run (scripts/mutate.py) compiles a file as a mutant and then as it was; the
    # second compile comes out of the cache.
    ccache
    # The simulator's live mode (a GTK window, a wheel device through libevdev) and its tests on
    # a virtual display, driven by xdotool and photographed with ImageMagick's import.
    libgtk-3-dev
    libevdev-dev
    xvfb
    xauth
    xdotool
    imagemagick
)
if $windows; then
    # The MinGW-w64 cross compiler (posix threads, for std::thread) and GoogleTest's sources to
    # build for the target; Wine and a virtual display to run the tests. Wine draws no text
    # without fonts, and --no-install-recommends leaves them out.
    packages+=(
        g++-mingw-w64-x86-64-posix
        mingw-w64-x86-64-dev
        googletest
        wine
        wine64
        xvfb
        xauth
        fonts-liberation
        fonts-wine
    )
    # The build in Microsoft's C++ ABI (the windows-msvc preset): clang-19 run as clang-cl,
    # lld-link, and LLVM's librarian, resource compiler, manifest tool and object reader.
    packages+=(
        clang-19
        lld-19
        llvm-19
    )
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
# apt-get, waiting up to five minutes while another package manager holds apt's or dpkg's lock
# (automatic updates on a freshly booted machine, say) instead of failing at once.
apt_get() {
    local errors deadline=$((SECONDS + 300)) said=$((SECONDS - 30))
    errors=$(mktemp)
    until "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "$@" 2>"$errors"; do
        if ! grep -q "Could not get lock" "$errors" || [ "$SECONDS" -ge "$deadline" ]; then
            cat "$errors" >&2
            rm -f "$errors"
            return 1
        fi
        if [ $((SECONDS - said)) -ge 30 ]; then
            echo "setup: another package manager holds the lock; waiting for it" \
                "($((deadline - SECONDS)) s left)" >&2
            said=$SECONDS
        fi
        sleep 5
    done
    cat "$errors" >&2
    rm -f "$errors"
}

echo "setup: installing ${missing[*]}" >&2
apt_get update -qq
apt_get install -y -qq --no-install-recommends "${missing[@]}"
