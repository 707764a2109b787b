#!/usr/bin/env bash
# Installs the Debian packages that Quillock needs when they are missing.
#   install-deps.sh          what building and running need
#   install-deps.sh --test   that, plus what the test suite needs
set -euo pipefail

packages=(
    build-essential cmake ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev
    libx11-dev libxtst-dev libxcb1-dev
    fonts-dejavu-core
)
if [[ "${1:-}" == "--test" ]]; then
    # OpenSSL's Blowfish checks our own cipher; it is linked into tests only.
    packages+=(libssl-dev xvfb xauth)
    # The launch tests: a window manager, Debian's browser for the end-to-end login, and xdotool to
    # compare typing speeds with in the benchmark.
    packages+=(openbox chromium xdotool)
    # The formatting check.
    packages+=(clang-format)
    # The fuzzers: clang with libFuzzer and the sanitizer runtimes.
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing Debian packages: ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
    echo "Installing packages needs root: run this command as root (or with sudo)." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
