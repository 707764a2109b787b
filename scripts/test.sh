#!/usr/bin/env bash
# Checks the formatting, builds Quillock and runs every test twice: in a normal build and under
# AddressSanitizer and UndefinedBehaviorSanitizer; builds the OS layer for Windows with mingw-w64 and runs its test
# under wine; then runs each fuzzer a few seconds over its seed inputs.
# Installs missing Debian packages first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --test
"$root/scripts/check-format.sh"

run_suite() {
    local folder=$1
    shift
    echo "== Building $folder"
    "$root/scripts/build.sh" "$folder" "$@"
    echo "== Testing $folder"
    (cd "$root/$folder" && ctest --output-on-failure -j "$(nproc)")
}

run_suite build -DQUILLOCK_TESTS=ON -DQUILLOCK_BENCHMARKS=ON
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
run_suite build-asan -DQUILLOCK_TESTS=ON -DQUILLOCK_SANITIZE=ON -DQUILLOCK_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug

run_suite build-win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DQUILLOCK_OS_ONLY=ON

echo "== Fuzzing build-fuzz"
FUZZ_JOBS=$(nproc) "$root/bench/fuzz.sh" --seeds-only 5
