#!/usr/bin/env bash
# Builds and runs the benchmark of protected data files on Qt's offscreen platform.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" build -DQUILLOCK_TESTS=ON -DQUILLOCK_BENCHMARKS=ON
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$root/build/bin/bench_protection"
