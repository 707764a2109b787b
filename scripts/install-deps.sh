#!/usr/bin/env bash
# Installs the Debian packages that Quillock needs when they are missing.
#   install-deps.sh          what building and running need
#   install-deps.sh --test   that, plus what the test suite needs
set -euo pipefail

packages=(
    build-essential cmake ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev
    libx11-dev libxtst-dev libxcb1-dev libx11-xcb-dev libcups2-dev
    # Typing on Wayland: the client library, xkbcommon for the keymaps, the protocol descriptions, sd-bus for the
    # desktop portal, and Qt's Wayland platform that the program runs on there.
    libwayland-dev libxkbcommon-dev wayland-protocols libsystemd-dev qt6-wayland
    # OpenSSL's libcrypto derives the password check file's key (libssl3 is its run-time part).
    libssl-dev libssl3
    # libsodium: Argon2id derives the key that protects the stored texts, XChaCha20-Poly1305 enciphers them, and its
    # guarded memory keeps the keys out of swap and core dumps.
    libsodium-dev libsodium23
    fonts-dejavu-core
    # The printer font: Liberation Serif stands in for Times New Roman with the same metrics.
    fonts-liberation
)
if [[ "${1:-}" == "--test" ]]; then
    # A virtual X server for the tests that need real windows and keys.
    packages+=(xvfb xauth)
    # The launch tests: a window manager, Debian's browser for the end-to-end login, and xdotool to
    # compare typing speeds with in the benchmark.
    packages+=(openbox chromium xdotool)
    # The desktop portal's key sender on a headless GNOME desktop: mutter, the portal and its GNOME backend, a
    # private session bus, Qt on Wayland, and the accessibility bus through which the test answers the portal's
    # dialog (with Python's AT-SPI bindings).
    packages+=(mutter xdg-desktop-portal xdg-desktop-portal-gnome dbus-daemon qt6-wayland)
    packages+=(at-spi2-core python3-gi gir1.2-atspi-2.0)
    # The same on a headless KDE Plasma: KWin, the portal's KDE backend, Qt 5's Wayland platform (which nothing
    # installs with them) and the QML modules of the backend's consent dialog (Plasma's dialog type comes with the
    # workspace).
    packages+=(kwin-wayland xdg-desktop-portal-kde qtwayland5)
    packages+=(plasma-workspace qml-module-org-kde-kirigami2 qml-module-qtquick-controls2 qml-module-qtquick-layouts)
    # A headless Wayland compositor for the Wayland typing test, wtype to compare typing speeds with, and GTK 3 for
    # Python (python3-gi, above), the toolkit of the witness window that the Wayland typing test types into.
    packages+=(sway wtype gir1.2-gtk-3.0)
    # The printing tests read the printed pages back with pdftotext.
    packages+=(poppler-utils)
    # A private CUPS scheduler with a PDF queue as the default printer, for printing on a real queue.
    packages+=(cups cups-client printer-driver-cups-pdf)
    # The formatting check.
    packages+=(clang-format)
    # The install test: the desktop's validators, and GLib's gio to start a program from its menu entry.
    packages+=(desktop-file-utils appstream libglib2.0-bin)
    # The fuzzers: clang with libFuzzer and the sanitizer runtimes.
    packages+=(clang libclang-rt-14-dev)
    # The OS layer built for Windows with mingw-w64 and tested under 64-bit wine (wine alone would do: it pulls
    # wine64), with setxkbmap to give the wine test a German keyboard layout.
    packages+=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 x11-xkb-utils)
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
