#!/usr/bin/env bash
# Runs the Windows test under wine on a private Xvfb, in a fresh wine prefix in a temporary folder, twice: with the
# recording browser associated with ".htm" by a quoted path with blanks and arguments of its own before "%1" on a
# US keyboard layout, then by an unquoted path with blanks and Cyrillic letters and "%L" on a German layout (where
# "@" needs AltGr). Nothing of the machine's own wine prefix,
# home or desktop is used; every process started is ended before the script returns.
#   run-under-wine.sh <wine> <windows_os_test.exe> <record_browser.exe>
set -euo pipefail
wine=${1:-wine}
test_program=$2
recorder=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/quillock-wine.XXXXXX")
xvfb_pid=""
cleanup() {
    if [[ -d "$work/prefix" ]]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
# No mono or gecko installer dialogs, and no menu entries or file associations written for the desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$HOME"

# Xvfb writes its display number to the descriptor once it accepts clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s "$work/display" ]] && break
    sleep 0.1
done
[[ -s "$work/display" ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

started=$SECONDS
"$wine" wineboot --init >/dev/null 2>&1
echo "wine prefix ready in $((SECONDS - started)) s"

# The recording browser where a browser would be installed, blanks in the folders and in its own name, and letters
# outside the ANSI code page in the second folder's.
for folder in "Quillock Test" "Quillock Тест"; do
    mkdir -p "$WINEPREFIX/drive_c/Program Files/$folder"
    cp "$recorder" "$WINEPREFIX/drive_c/Program Files/$folder/record browser.exe"
done
cp "$test_program" "$work/windows_os_test.exe"
program='C:\Program Files\Quillock Test\record browser.exe'
cyrillic_program='C:\Program Files\Quillock Тест\record browser.exe'

associate() {
    local prog_id=$1 command=$2
    "$wine" reg add "HKCR\\$prog_id\\shell\\open\\command" /ve /d "$command" /f >/dev/null 2>&1
    "$wine" reg add 'HKCR\.htm' /ve /d "$prog_id" /f >/dev/null 2>&1
}

status=0
echo "== The association's command quotes the path and has arguments of its own; US keyboard layout"
setxkbmap -display "$DISPLAY" us
associate QuillockTest.Quoted "\"$program\" -osint -url \"%1\""
"$wine" "$work/windows_os_test.exe" "$program" --arguments -osint -url || status=1

echo "== The association's command leaves a Cyrillic path with blanks unquoted; German keyboard layout"
setxkbmap -display "$DISPLAY" de
associate QuillockTest.Unquoted "$cyrillic_program %L"
"$wine" "$work/windows_os_test.exe" "$cyrillic_program" --altgr-layout || status=1

echo "wine test done in $((SECONDS - started)) s"
exit $status
