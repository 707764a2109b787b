#!/usr/bin/env bash
# Builds Quillock into build/ for start.sh and install.sh, installing missing Debian packages first. A build/ that
# is already configured keeps its options, so that the programs and the test suite (scripts/test.sh) share one
# build without undoing each other's; a new one is configured without the tests and benchmarks.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
if [[ -f "$root/build/CMakeCache.txt" ]]; then
    "$root/scripts/build.sh" build
else
    "$root/scripts/build.sh" build -DQUILLOCK_TESTS=OFF -DQUILLOCK_BENCHMARKS=OFF
fi
