#!/usr/bin/env bash
# Builds and runs the benchmark of typing through the desktop portal on a headless KDE Plasma of its own: KWin, the
# portal's KDE backend and an accessibility bus, which it ends after. Arguments: the lengths of the texts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" build -DQUILLOCK_TESTS=ON -DQUILLOCK_BENCHMARKS=ON
"$root/build/bin/bench_typing_portal" --desktop=kde "$@"
