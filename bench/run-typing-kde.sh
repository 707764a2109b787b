#!/usr/bin/env bash
# Builds and runs the benchmark of typing through the desktop portal on KDE Plasma; it starts (and ends) a headless
# KDE desktop of its own: KWin, the desktop portal and an accessibility bus.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" build -DQUILLOCK_TESTS=ON -DQUILLOCK_BENCHMARKS=ON
QUILLOCK_PORTAL_DESKTOP=KDE "$root/build/bin/bench_typing_portal" "$@"
