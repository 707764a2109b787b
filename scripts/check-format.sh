#!/usr/bin/env bash
# Checks that every C++ file of the project is formatted by the root .clang-format; lists the ones that are not.
#   check-format.sh          check only
#   check-format.sh --fix    format them in place
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [[ "${1:-}" == "--fix" ]]; then
    clang-format -i "${files[@]}"
    exit 0
fi
unformatted=()
for file in "${files[@]}"; do
    if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
        unformatted+=("$file")
    fi
done
if [[ ${#unformatted[@]} -gt 0 ]]; then
    echo "These files are not formatted by .clang-format (run scripts/check-format.sh --fix):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
echo "Formatting: ${#files[@]} files match .clang-format"
