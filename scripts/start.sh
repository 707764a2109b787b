#!/usr/bin/env bash
# Builds Quillock (installing missing Debian packages first) and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build-program.sh"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "Quillock is built, but it cannot start: it is a desktop program and no display is set" >&2
    echo "(DISPLAY and WAYLAND_DISPLAY are empty). Run this command from a desktop session." >&2
    exit 1
fi
exec "$root/build/bin/quillock"
