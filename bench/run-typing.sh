#!/usr/bin/env bash
# Builds and runs the typing benchmark on a virtual X display of its own (Xvfb), which it ends after.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" build -DQUILLOCK_TESTS=ON -DQUILLOCK_BENCHMARKS=ON

# -noreset keeps the keyboard map when the last client leaves; -displayfd picks a free display.
ready_file=$(mktemp)
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 3>"$ready_file" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -f "$ready_file"' EXIT
for _ in $(seq 100); do
    [[ -s "$ready_file" ]] && break
    sleep 0.1
done
[[ -s "$ready_file" ]] || { echo "Xvfb did not start (install the xvfb package)" >&2; exit 1; }
WAYLAND_DISPLAY= DISPLAY=":$(head -n1 "$ready_file")" QT_QPA_PLATFORM=xcb "$root/build/bin/bench_typing"
