#!/usr/bin/env bash
# Builds and runs the Wayland typing benchmark; it starts its own headless sway, and ends it after. Arguments: the
# lengths of the texts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" build -DQUILLOCK_TESTS=ON -DQUILLOCK_BENCHMARKS=ON
"$root/build/bin/bench_typing_wayland" "$@"
