#!/usr/bin/env bash
# Builds and runs the benchmark that types into Debian's chromium; it starts its own Xvfb, window manager and
# browsers, and ends them after. Arguments: [runs [characters outside the keymap]] (5 runs by default).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" build -DQUILLOCK_TESTS=ON -DQUILLOCK_BENCHMARKS=ON
"$root/build/bin/bench_typing_chromium" "$@"
