#!/usr/bin/env bash
# Builds the libFuzzer harnesses (folder build-fuzz, with clang) and runs each for the given time:
#   fuzz.sh <seconds> [harness...]              every harness, or those named (keystring, mimeapps, ...)
#   fuzz.sh --seeds-only <seconds> [harness...] start from the seed inputs alone and keep nothing (the test run)
# A run starts from the seed inputs in fuzz/corpus/<harness> and, unless --seeds-only, from the inputs earlier
# runs kept in build-fuzz/corpus/<harness>. FUZZ_JOBS=2 runs two harnesses at a time (default one).
# Prints one line per harness (seconds, executions, coverage, corpus, result); a finding is kept in
# build-fuzz/findings and makes the script exit with 1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
all=(keystring desktop_entry mimeapps blowfish_text field_cipher statement password_check protected_text)

seeds_only=false
if [[ "${1:-}" == "--seeds-only" ]]; then
    seeds_only=true
    shift
fi
seconds=${1:?"usage: fuzz.sh [--seeds-only] <seconds> [harness...]"}
shift
harnesses=("${@:-${all[@]}}")
jobs=${FUZZ_JOBS:-1}

logs=$build/logs
$seeds_only && logs=$build/logs/seeds-only
mkdir -p "$logs" "$build/findings"
if ! { CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DQUILLOCK_FUZZ=ON -DQUILLOCK_WERROR=ON &&
    cmake --build "$build" -j "$(nproc)"; } >"$logs/build.log" 2>&1; then
    cat "$logs/build.log" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs one harness and writes its line of the summary to $work/<harness>.summary.
run_harness() {
    local name=$1 corpus log status=0 started
    corpus=$build/corpus/$name
    $seeds_only && corpus=$work/corpus-$name
    mkdir -p "$corpus"
    log=$logs/$name.log
    started=$(date +%s)
    # A single input that runs for 25 s counts as a finding (a hang), as does using more than 2 GB.
    "$build/bin/fuzz_$name" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$name-" "$corpus" "$root/fuzz/corpus/$name" >"$log" 2>&1 || status=$?
    local elapsed=$(($(date +%s) - started))
    local execs stats result
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
    stats=$(grep -o 'cov: [0-9]* ft: [0-9]* corp: [0-9]*/[0-9a-zA-Z]*' "$log" | tail -n1)
    if [[ $status -eq 0 ]]; then
        result="nothing found"
    else
        result="FOUND: $(grep -m1 -E 'Property broken|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error' "$log" ||
            echo "exit status $status") -> $(sed -n 's/.*Test unit written to //p' "$log" | tail -n1) (log: $log)"
    fi
    printf '%-14s %5d s %10s execs  %s  %s\n' "$name" "$elapsed" "${execs:-?}" "${stats:-no coverage line}" \
        "$result" >"$work/$name.summary"
    return "$status"
}

failed=0
running=0
for name in "${harnesses[@]}"; do
    [[ -x "$build/bin/fuzz_$name" ]] || { echo "no harness named $name (known: ${all[*]})" >&2; exit 2; }
    if ((running >= jobs)); then
        wait -n || failed=1
        running=$((running - 1))
    fi
    run_harness "$name" &
    running=$((running + 1))
done
while ((running > 0)); do
    wait -n || failed=1
    running=$((running - 1))
done

echo "fuzzing ${seconds} s per harness:"
for name in "${harnesses[@]}"; do
    cat "$work/$name.summary"
done
exit "$failed"
