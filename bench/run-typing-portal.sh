#!/usr/bin/env bash
# Builds and runs the benchmark of typing through the desktop portal; it starts (and ends) a headless GNOME desktop
# of its own: mutter, the desktop portal and an accessibility bus. Arguments: the lengths of the texts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" build -DQUILLOCK_TESTS=ON -DQUILLOCK_BENCHMARKS=ON
"$root/build/bin/bench_typing_portal" "$@"
