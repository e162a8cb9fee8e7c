#!/usr/bin/env bash
# Installs the Debian packages that building and testing need: only those missing, through sudo
# when not root. Both commands of the README call it first.
set -euo pipefail

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
)

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
echo "setup: installing ${missing[*]}" >&2
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
