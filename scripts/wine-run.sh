#!/usr/bin/env bash
# Runs a Windows program under Wine on a virtual display of its own: how ctest (and anything
# else through CMAKE_CROSSCOMPILING_EMULATOR) runs the Windows tests.
#
#   scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
#   scripts/wine-run.sh --new-prefix DIR     # make a fresh prefix in DIR (removing what is there)
#   scripts/wine-run.sh --remove-prefix DIR  # stop its server and remove it
#
# WINEPREFIX names the prefix to run in. Without it a fresh prefix is made in a temporary folder
# for this one run and removed afterwards (about 15 s and 700 MB). Window creation and Direct3D
# need a display, hence Xvfb; Wine's own dialogs (Mono, Gecko) are turned off.
set -euo pipefail

wine=/usr/lib/wine/wine64  # Debian's 64-bit loader; the `wine` alternative may be 32-bit only
if [ ! -x "$wine" ]; then
    wine=$(command -v wine64 || command -v wine)
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe="

# Runs one command on a display of its own, then ends the prefix's server (and with it Wine's
# desktop process), so the next run never meets a desktop bound to a display that is gone.
on_display() {
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '"$@"; status=$?; wineserver -k; exit $status' \
        wine-run "$@"
}

new_prefix() {
    rm -rf "$1"
    mkdir -p "$1"
    WINEPREFIX=$(cd "$1" && pwd) on_display "$wine" wineboot --init
}

case "${1:-}" in
    --new-prefix)
        new_prefix "$2"
        exit 0
        ;;
    --remove-prefix)
        if [ -d "$2" ]; then
            WINEPREFIX=$(cd "$2" && pwd) wineserver -k 2>/dev/null || true
            rm -rf "$2"
        fi
        exit 0
        ;;
esac

if [ -z "${WINEPREFIX:-}" ]; then
    scratch=$(mktemp -d)
    trap 'WINEPREFIX="$scratch/prefix" wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
    new_prefix "$scratch/prefix"
    export WINEPREFIX="$scratch/prefix"
fi
on_display "$wine" "$@"
